#include <gtest/gtest.h>

#include <string>

#include "installer/rules/LicenceText.h"

namespace {

LicenceSource Decode(const std::string& bytes)
{
    return DecodeLicence(bytes.data(), bytes.size());
}

}  // namespace

// One row per way a package maker's editor saves readme.txt.
TEST(LicenceText, EncodingIsFoundFromTheBomAndFromUtf8Validity)
{
    const struct {
        const char* what;
        std::string bytes;
        LicenceEncoding encoding;
        std::string ansi;      // LICENCE_ANSI
        std::u16string wide;   // LICENCE_UNICODE
    } rows[] = {
        {"plain ASCII", "Licence\r\n", LICENCE_ANSI, "Licence\r\n", u""},
        {"empty", "", LICENCE_ANSI, "", u""},
        {"ANSI 1252 f\xFCr", "f\xFCr", LICENCE_ANSI, "f\xFCr", u""},
        {"UTF-8 without a BOM", "f\xC3\xBCr", LICENCE_UNICODE, "", u"f\u00FCr"},
        {"UTF-8 with a BOM", "\xEF\xBB\xBF" "f\xC3\xBCr", LICENCE_UNICODE, "", u"f\u00FCr"},
        {"UTF-8 BOM before ASCII", "\xEF\xBB\xBFKey", LICENCE_ANSI, "Key", u""},
        {"UTF-8 BOM alone", "\xEF\xBB\xBF", LICENCE_ANSI, "", u""},
        {"UTF-8 BOM before ANSI", "\xEF\xBB\xBF" "f\xFCr", LICENCE_ANSI, "f\xFCr", u""},
        {"UTF-8 three and four bytes", "\xE2\x82\xAC \xF0\x9F\x98\x80", LICENCE_UNICODE, "",
         u"\u20AC \U0001F600"},
        {"UTF-8 with a NUL", std::string("a\0\xC3\xA9", 4), LICENCE_UNICODE, "", std::u16string(u"a\0\u00E9", 3)},
        {"UTF-16LE with a BOM", std::string("\xFF\xFEK\0\xFC\0r\0", 8), LICENCE_UNICODE, "", u"K\u00FCr"},
        {"UTF-16LE Cyrillic", std::string("\xFF\xFE\x1F\x04\x40\x04", 6), LICENCE_UNICODE, "", u"\u041F\u0440"},
        {"UTF-16LE BOM alone", "\xFF\xFE", LICENCE_UNICODE, "", u""},
        {"UTF-16LE odd last byte", std::string("\xFF\xFEK\0r", 5), LICENCE_UNICODE, "", u"K\uFFFD"},
        {"UTF-16BE with a BOM", std::string("\xFE\xFF\0K\0\xFC", 6), LICENCE_UNICODE, "", u"K\u00FC"},
        {"a lone FF is ANSI", "\xFFK", LICENCE_ANSI, "\xFFK", u""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const LicenceSource source = Decode(row.bytes);
        EXPECT_EQ(row.encoding, source.encoding);
        EXPECT_EQ(row.ansi, source.ansi);
        EXPECT_TRUE(row.wide == source.wide);
    }
}

// Bytes that are not UTF-8 make the whole text ANSI, as the package maker's code page wrote it.
TEST(LicenceText, InvalidUtf8IsTakenAsAnsi)
{
    const char* const rows[] = {
        "\xC3",                  // cut short at the end
        "\xC3(",                 // continuation missing
        "\x80 stray",            // continuation without a lead
        "\xC0\xAF",              // overlong '/'
        "\xE0\x80\xAF",          // overlong, three bytes
        "\xF0\x80\x80\xAF",      // overlong, four bytes
        "\xED\xA0\x80",          // a surrogate code point (U+D800)
        "\xF4\x90\x80\x80",      // above U+10FFFF
        "\xF5\x80\x80\x80",      // no such lead
        "ok \xC3\xBC then \xFC",  // valid at first, ANSI later
    };
    for (const char* bytes : rows) {
        SCOPED_TRACE(bytes);
        std::u16string wide;
        EXPECT_FALSE(DecodeUtf8(bytes, std::string(bytes).size(), &wide));
        const LicenceSource source = Decode(bytes);
        EXPECT_EQ(LICENCE_ANSI, source.encoding);
        EXPECT_EQ(bytes, source.ansi);
    }
    // The edges that are valid.
    std::u16string wide;
    EXPECT_TRUE(DecodeUtf8("\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF", 17, &wide));
    EXPECT_TRUE(wide == u"\u0080\u07FF\u0800\uD7FF\uE000\U0010FFFF");
}

TEST(LicenceText, EveryLineEndBecomesCrLfAndNulABlank)
{
    const struct {
        std::string text, shown;
    } rows[] = {
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\r\nb\r\n", "a\r\nb\r\n"},
        {"a\rb\r", "a\r\nb\r\n"},
        {"a\r\r\nb", "a\r\n\r\nb"},
        {"a\n\rb", "a\r\n\r\nb"},
        {"a\n\nb", "a\r\n\r\nb"},
        {"\n", "\r\n"},
        {"\r", "\r\n"},
        {std::string("one\0two\0", 8), "one two "},
        {std::string("\0\n", 2), " \r\n"},
        {"", ""},
        {"no end", "no end"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.text));
        EXPECT_EQ(row.shown, EditControlText(row.text));
    }
}

TEST(LicenceText, OnlyWhiteSpaceIsBlank)
{
    EXPECT_TRUE(IsBlankLicence(""));
    EXPECT_TRUE(IsBlankLicence(" \t\r\n\v\f"));
    EXPECT_TRUE(IsBlankLicence(std::string("\0\0 ", 3)));
    EXPECT_FALSE(IsBlankLicence("."));
    EXPECT_FALSE(IsBlankLicence("\r\n  x\r\n"));
    EXPECT_FALSE(IsBlankLicence("\xA0"));  // a no-break space in 1252 still shows as something
    EXPECT_FALSE(IsBlankLicence("?"));
}
