// UTF-8 with no GPU: well-formed text decodes to its code points, malformed input lays out
// replacement characters only (one for each maximal subpart), and decoding never reads past
// the terminating NUL.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "font/text_layout.hpp"
#include "font/utf8.hpp"

namespace {

std::vector<std::uint32_t> decodeAll(const char* text) {
    std::vector<std::uint32_t> out;
    for (const char* p = text; *p;) out.push_back(internal::decodeUtf8(p));
    return out;
}

// A glyph source that draws every code point as a glyph of its own (k = the code point) with
// advance 10, so the layout's callbacks list exactly what was decoded.
struct EveryCodePoint {
    bool glyph(std::uint32_t cp, internal::PenGlyph& g) const {
        if (cp < 32) return false;
        g = internal::PenGlyph{static_cast<int>(cp), 0, 10};
        return true;
    }
    long long kern(int, int) const { return 0; }
    long long lineStep() const { return 20; }
};

std::vector<std::uint32_t> laidOut(const char* text) {
    std::vector<std::uint32_t> out;
    internal::layoutRun(EveryCodePoint{}, text, 0, 0, false,
                        [&](int k, int, int) { out.push_back(static_cast<std::uint32_t>(k)); });
    return out;
}

constexpr std::uint32_t R = internal::REPLACEMENT_CHARACTER;

TEST(Utf8Test, WellFormedTextDecodesToItsCodePoints) {
    EXPECT_EQ(decodeAll("A\xC2\xB5\xC2\xB0\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"),
              (std::vector<std::uint32_t>{'A', 0xB5, 0xB0, 0x20AC, 0x1F600, 0x10FFFF}));
    // The edges of each length.
    EXPECT_EQ(decodeAll("\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80"),
              (std::vector<std::uint32_t>{0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0x10000}));
}

// Each maximal subpart of a malformed sequence is one U+FFFD; nothing else is laid out.
TEST(Utf8Test, MalformedInputLaysOutReplacementCharactersOnly) {
    const struct {
        const char* what;
        const char* text;
        size_t replacements;
    } cases[] = {
        {"overlong two-byte slash", "\xC0\xAF", 2},
        {"overlong three-byte", "\xE0\x80\xAF", 3},
        {"overlong four-byte", "\xF0\x80\x80\xAF", 4},
        {"high surrogate", "\xED\xA0\x80", 3},
        {"low surrogate", "\xED\xBF\xBF", 3},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", 4},
        {"F5 lead", "\xF5\x80\x80\x80", 4},
        {"truncated three-byte sequence", "\xE2\x82", 1},
        {"truncated four-byte sequence", "\xF0\x9F\x98", 1},
        {"lone lead byte", "\xC3", 1},
        {"FE and FF", "\xFE\xFF\xFE", 3},
        {"stray continuation bytes", "\x80\xBF\x80", 3},
        {"truncated sequences back to back", "\xE2\x82\xF0\x9F\x98\xC3", 3},
    };
    for (const auto& c : cases) {
        const std::vector<std::uint32_t> out = laidOut(c.text);
        EXPECT_EQ(out, std::vector<std::uint32_t>(c.replacements, R)) << c.what;
    }
    // Good text around bad bytes survives: the example of Unicode's chapter 3.
    EXPECT_EQ(laidOut("a\xF1\x80\x80\xE1\x80\xC2" "b\x80" "c\x80\xBF" "d"),
              (std::vector<std::uint32_t>{'a', R, R, R, 'b', R, 'c', R, R, 'd'}));
}

TEST(Utf8Test, DecodingStopsAtTheTerminatingNul) {
    // A continuation byte after the NUL must not be taken into the truncated sequence.
    const char buffer[] = {'\xE2', '\x82', '\0', '\xAC', '\0'};
    EXPECT_EQ(decodeAll(buffer), std::vector<std::uint32_t>{R});
    EXPECT_EQ(internal::codePointCount(buffer), 1);
    const char four[] = {'\xF0', '\x9F', '\0', '\x98', '\x80', '\0'};
    EXPECT_EQ(decodeAll(four), std::vector<std::uint32_t>{R});
    // On the heap, exactly as long as the text: a read past the NUL is AddressSanitizer's.
    for (const char* text : {"\xF0", "\xF0\x9F", "\xF0\x9F\x98", "\xE2\x82", "\xC3"}) {
        const size_t n = std::strlen(text) + 1;
        std::unique_ptr<char[]> heap(new char[n]);
        std::memcpy(heap.get(), text, n);
        EXPECT_EQ(decodeAll(heap.get()), std::vector<std::uint32_t>{R}) << text;
    }
}

}  // namespace
