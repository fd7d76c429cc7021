#include "core/transcription/cp1250checked.h"

#include <gtest/gtest.h>

#include "core/transcription/tengwarunicode.h"

namespace {

using Kind = cp1250::DecodeFault::Kind;

TEST(Cp1250Checked, TakesUtf8IntoTheCodePageOrSaysWhereItCannot) {
    struct Case {
        std::string utf8;
        bool replace;
        std::string out;  // on a fault: the text before it
        std::optional<Kind> fault;
        std::size_t column;
    };
    const Case cases[] = {
        {"ko\xC4\x8D \xE2\x82\xAC", false, "ko\xE8 \x80", {}, 0},  // č, €
        {"a\xD0\xB6"
         "b",
         false, "a", Kind::NotInCodePage, 2},  // ж
        {"a\xD0\xB6"
         "b",
         true,
         "a?b",
         {},
         0},
        {"\xC2\x81", false, "", Kind::NotInCodePage, 1},    // a C1 control, undefined in the page
        {"\xC2\x9F", false, "", Kind::NotInCodePage, 1},    // the last C1 control
        {"a\xC2\xA0z", false, "a\xA0z", {}, 0},             // a no-break space, as word processors paste it
        {"\xF0\x9F\x98\x80x", true, "?x", {}, 0},           // outside the BMP
        {"ab\xE8", true, "ab", Kind::InvalidUtf8, 3},       // a Windows-1250 č
        {"\xC0\xAF", false, "", Kind::InvalidUtf8, 1},      // overlong
        {"\xED\xA0\x80", false, "", Kind::InvalidUtf8, 1},  // a surrogate
        {"\xE2\x82", false, "", Kind::InvalidUtf8, 1},      // cut short
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        std::string out = "=";
        const auto fault = cp1250::appendFromUtf8(c.utf8, out, c.replace);
        EXPECT_EQ(out, "=" + c.out);
        ASSERT_EQ(fault.has_value(), c.fault.has_value());
        if (fault) {
            EXPECT_EQ(fault->kind, *c.fault);
            EXPECT_EQ(fault->column, c.column);
        }
    }
}

TEST(TengwarUnicode, EveryFontCodeHasOneCodePointAndMarksKeepTheirPlace) {
    for (int code = 0x21; code <= 0x7E; ++code) {
        const char32_t cp = tengwarunicode::codePoint(static_cast<unsigned char>(code));
        EXPECT_TRUE((cp >= 0xE000 && cp <= 0xE07F) || (cp > 0x20 && cp < 0xE000)) << code;
    }
    // The four forms of the e mark are one sign; letters and marks stay in order.
    std::string out;
    tengwarunicode::appendUtf8(out, "1^1Y1H1N");
    EXPECT_EQ(out, "\uE000\uE046\uE000\uE046\uE000\uE046\uE000\uE046");
    EXPECT_EQ(tengwarunicode::codePoint(0x80), U'\uFFFD');
    // The carriers, and signs of one, two and three UTF-8 bytes after a text
    // already there: the output is exactly as long as its characters.
    out = "x";
    tengwarunicode::appendUtf8(out, "`~ /'\x80~");
    EXPECT_EQ(out, "x\uE025\uE026 /\u00B7\uFFFD\uE026");
}

}  // namespace
