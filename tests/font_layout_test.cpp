// The text engine's pen layout, with no context: where each glyph of a text goes, across
// lines, vertically, at other sizes, and past bytes that draw nothing.

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "font/font_impl.hpp"
#include "font/text_layout.hpp"

namespace {

using internal::font_impl;

struct Placement {
    char c;
    int x, y;
    bool operator==(const Placement& o) const { return c == o.c && x == o.x && y == o.y; }
};
std::ostream& operator<<(std::ostream& os, const Placement& p) {
    return os << "'" << p.c << "'@(" << p.x << ", " << p.y << ")";
}

// Every glyph advances 10 with no bearing, except 'x' (advance 10, bearing 1); line height
// 20, loaded at 16 pixels.
struct LayoutGlyphs {
    int advance[font_impl::NUM_CHARS];
    int bearing[font_impl::NUM_CHARS];
    LayoutGlyphs() {
        for (int k = 0; k < font_impl::NUM_CHARS; ++k) {
            advance[k] = 10;
            bearing[k] = 0;
        }
        bearing['x' - 32] = 1;
    }
    internal::GlyphMetrics metrics() const { return {advance, bearing, 20, 16}; }
};

std::vector<Placement> layout(const char* text, float x, float y, int fontSize, bool vertical) {
    LayoutGlyphs glyphs;
    std::vector<Placement> out;
    internal::layoutText(glyphs.metrics(), text, x, y, fontSize, vertical,
                         [&](int k, int gx, int gy) {
                             out.push_back({static_cast<char>(k + 32), gx, gy});
                         });
    return out;
}

struct LayoutCase {
    const char* what;
    const char* text;
    float x, y;
    int fontSize;
    bool vertical;
    std::vector<Placement> expected;
};

TEST(FontLayoutTest, PenPlacement) {
    const LayoutCase cases[] = {
        {"newline returns to x one line step down", "ab\ncd", 10, 100, -1, false,
         {{'a', 10, 100}, {'b', 20, 100}, {'c', 10, 80}, {'d', 20, 80}}},
        {"vertical stacks at x; the newline steps for itself and once more", "ab\ncd", 10,
         100, -1, true,
         {{'a', 10, 100}, {'b', 10, 80}, {'c', 10, 20}, {'d', 10, 0}}},
        {"the space is a glyph and advances", "a b", 10, 100, -1, false,
         {{'a', 10, 100}, {' ', 20, 100}, {'b', 30, 100}}},
        {"position truncated toward zero", "a\na", 10.9f, -3.7f, -1, false,
         {{'a', 10, -3}, {'a', 10, -23}}},
        {"-1 is the loaded size: metrics unscaled", "xx", 0, 0, -1, false,
         {{'x', 1, 0}, {'x', 11, 0}}},
        {"the loaded size given explicitly is the same", "xx", 0, 0, 16, false,
         {{'x', 1, 0}, {'x', 11, 0}}},
        // 24/16 of bearing 1 is 1; the pen moves on by 24 * 9 / 16 = 13, not 15.
        {"magnified metrics scale in whole pixels", "xx", 0, 0, 24, false,
         {{'x', 1, 0}, {'x', 15, 0}}},
        {"reduced metrics truncate", "xx", 0, 0, 8, false, {{'x', 0, 0}, {'x', 4, 0}}},
        {"the line step scales too", "a\na", 0, 100, 24, false, {{'a', 0, 100}, {'a', 0, 70}}},
        {"control, DEL and high bytes neither draw nor advance",
         "a\x01\t\r\x1f\x7f\x80\xc3\xa9\xff" "b", 10, 100, -1, false,
         {{'a', 10, 100}, {'b', 20, 100}}},
        {"skipped bytes still take a line step when vertical", "a\x7f\xc3" "b", 10, 100, -1,
         true, {{'a', 10, 100}, {'b', 10, 40}}},
        {"empty text draws nothing", "", 10, 100, -1, false, {}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(layout(c.text, c.x, c.y, c.fontSize, c.vertical), c.expected);
    }
}

TEST(FontLayoutTest, ScaleMetricMultipliesFirstAndTruncatesTowardZero) {
    struct Case {
        int m, S, L, expected;
    } cases[] = {
        {1, 24, 16, 1},  {9, 24, 16, 13}, {-3, 24, 16, -4},  // -4.5 toward zero, not -5
        {7, 16, 16, 7},  {3, 1, 2, 1},    {0, 100, 16, 0},
        {2000, 2000000, 1000, 4000000},  // the product passes 32 bits before the division
    };
    for (const Case& c : cases)
        EXPECT_EQ(internal::scaleMetric(c.m, c.S, c.L), c.expected)
            << c.m << " * " << c.S << " / " << c.L;
}

}  // namespace
