#include "installer/rules/LicenceText.h"

namespace {

std::u16string DecodeUtf16(const unsigned char* bytes, size_t length, bool bigEndian)
{
    std::u16string out;
    out.reserve(length / 2 + 1);
    for (size_t i = 0; i + 1 < length; i += 2) {
        const unsigned first = bytes[i], second = bytes[i + 1];
        out.push_back(static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first)));
    }
    if (length % 2)
        out.push_back(u'\xFFFD');
    return out;
}

bool HasMultiByteSequence(const unsigned char* bytes, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (bytes[i] >= 0x80)
            return true;
    }
    return false;
}

}  // namespace

bool DecodeUtf8(const char* text, size_t length, std::u16string* out)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    out->clear();
    out->reserve(length);
    size_t i = 0;
    while (i < length) {
        const unsigned lead = bytes[i];
        if (lead < 0x80) {
            out->push_back(static_cast<char16_t>(lead));
            ++i;
            continue;
        }
        size_t more;
        unsigned long code;
        unsigned long least;
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1, code = lead & 0x1F, least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2, code = lead & 0x0F, least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3, code = lead & 0x07, least = 0x10000;
        } else {
            return false;  // a continuation byte without its lead, C0/C1 (overlong) or F5..FF
        }
        if (length - i - 1 < more)
            return false;
        for (size_t k = 1; k <= more; ++k) {
            const unsigned next = bytes[i + k];
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        if (code >= 0x10000) {
            code -= 0x10000;
            out->push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out->push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out->push_back(static_cast<char16_t>(code));
        }
        i += more + 1;
    }
    return true;
}

LicenceSource DecodeLicence(const char* text, size_t length)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    LicenceSource source;
    if (length >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        source.encoding = LICENCE_UNICODE;
        source.wide = DecodeUtf16(bytes + 2, length - 2, bytes[0] == 0xFE);
        return source;
    }
    if (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        bytes += 3;
        length -= 3;
    }
    if (HasMultiByteSequence(bytes, length) &&
        DecodeUtf8(reinterpret_cast<const char*>(bytes), length, &source.wide)) {
        source.encoding = LICENCE_UNICODE;
        return source;
    }
    source.wide.clear();
    source.ansi.assign(reinterpret_cast<const char*>(bytes), length);
    return source;
}

std::string EditControlText(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 2);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else if (c == '\0') {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

bool IsBlankLicence(const std::string& text)
{
    for (const char c : text) {
        switch (c) {
        case ' ': case '\t': case '\r': case '\n': case '\v': case '\f': case '\0':
            break;
        default:
            return false;
        }
    }
    return true;
}
