#pragma once
// The licence text of readme.txt on its way to the read-only edit control of the first question.
// Package makers save it as their editor does: ANSI, UTF-8 with or without a BOM, or UTF-16 with a
// BOM (Notepad's "Unicode"), with DOS, Unix or old Mac line ends. The edit control takes text in
// the system's ANSI code page and breaks lines only at CR LF, and a NUL would end the text there.
#include <cstddef>
#include <string>

enum LicenceEncoding {
    LICENCE_ANSI,     // in the system's code page already: `ansi` holds it
    LICENCE_UNICODE,  // decoded from UTF-8 or UTF-16: `wide` holds it, for the code-page conversion
};

struct LicenceSource {
    LicenceEncoding encoding = LICENCE_ANSI;
    std::string ansi;
    std::u16string wide;
};

// Finds how the `length` bytes are written:
// - a UTF-16 BOM (FF FE little-endian, FE FF big-endian): the rest is UTF-16 (a last odd byte
//   becomes U+FFFD, so that it still shows);
// - a UTF-8 BOM (EF BB BF) is dropped; the rest, and a text without any BOM, is UTF-8 when it is
//   valid UTF-8 and holds at least one multi-byte sequence;
// - anything else is ANSI, byte for byte, as the package maker's Windows wrote it.
LicenceSource DecodeLicence(const char* bytes, size_t length);

// Valid UTF-8 to UTF-16: no overlong forms, no surrogate code points, nothing above U+10FFFF, no
// sequence cut short. False (and `out` unspecified) when the bytes are not valid UTF-8.
bool DecodeUtf8(const char* bytes, size_t length, std::u16string* out);

// What the edit control is given: every NUL a blank, so nothing after it is hidden, and every line
// end (CR LF, a bare LF or a bare CR) a CR LF.
std::string EditControlText(const std::string& text);

// True when the text holds nothing to read: empty, or only blanks, tabs, line and page breaks and
// NULs. Such a licence is refused like a missing one.
bool IsBlankLicence(const std::string& text);
