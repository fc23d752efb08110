// Packing a font's glyph boxes into shared texture pages, and a glyph's texels in its box.
// Pure functions: no context needed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font/glyph_atlas.hpp"

namespace {

using internal::AtlasLayout;
using internal::GlyphBox;

struct PackCase {
    const char* name;
    std::vector<GlyphBox> boxes;
    int maxSide;
    int pages;  // expected page count
};

std::vector<GlyphBox> repeated(int n, GlyphBox b) { return std::vector<GlyphBox>(size_t(n), b); }

// Like a chart font's glyph boxes: mixed powers of two, an empty space.
std::vector<GlyphBox> fontLike() {
    std::vector<GlyphBox> b;
    for (int k = 0; k < 95; ++k)
        b.push_back(k == 0 ? GlyphBox{} : GlyphBox{8 << (k % 3), 16 << (k % 2)});
    return b;
}

class PackGlyphBoxes : public ::testing::TestWithParam<PackCase> {};

TEST_P(PackGlyphBoxes, BoxesStayInTheirPagesAndNeverOverlap) {
    const PackCase& c = GetParam();
    const AtlasLayout l = internal::packGlyphBoxes(c.boxes, c.maxSide);
    ASSERT_EQ(l.slots.size(), c.boxes.size());
    ASSERT_EQ(l.boxes.size(), c.boxes.size());
    EXPECT_EQ(int(l.pageHeights.size()), c.pages);
    EXPECT_LE(l.pageWidth, c.maxSide);
    for (int h : l.pageHeights) {
        EXPECT_GT(h, 0);
        EXPECT_LE(h, c.maxSide);
    }
    for (size_t k = 0; k < c.boxes.size(); ++k) {
        SCOPED_TRACE("box " + std::to_string(k));
        const GlyphBox& in = c.boxes[k];
        const GlyphBox& b = l.boxes[k];
        const bool fits =
            in.width > 0 && in.height > 0 && in.width <= c.maxSide && in.height <= c.maxSide;
        EXPECT_EQ(b.width, fits ? in.width : 0);
        EXPECT_EQ(b.height, fits ? in.height : 0);
        if (!fits) continue;
        const internal::AtlasSlot& s = l.slots[k];
        ASSERT_GE(s.page, 0);
        ASSERT_LT(s.page, int(l.pageHeights.size()));
        EXPECT_GE(s.x, 0);
        EXPECT_GE(s.y, 0);
        EXPECT_LE(s.x + b.width, l.pageWidth);
        EXPECT_LE(s.y + b.height, l.pageHeights[size_t(s.page)]);
        for (size_t j = 0; j < k; ++j) {
            const GlyphBox& o = l.boxes[j];
            const internal::AtlasSlot& t = l.slots[j];
            if (o.width == 0 || t.page != s.page) continue;
            const bool apart = s.x + b.width <= t.x || t.x + o.width <= s.x ||
                               s.y + b.height <= t.y || t.y + o.height <= s.y;
            EXPECT_TRUE(apart) << "overlaps box " << j;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PackGlyphBoxes,
    ::testing::Values(
        PackCase{"FontLike", fontLike(), 16384, 1},
        PackCase{"ManyPagesWhenTheSideIsSmall", repeated(40, GlyphBox{64, 64}), 128, 10},
        PackCase{"WideBoxesWidenThePage", repeated(3, GlyphBox{2048, 16}), 16384, 1},
        PackCase{"BoxesTooLargeForAPageDrawNothing",
                 {GlyphBox{64, 64}, GlyphBox{257, 8}, GlyphBox{8, 300}, GlyphBox{256, 256}}, 256,
                 2},
        PackCase{"NothingToPlace", repeated(5, GlyphBox{}), 1024, 0}),
    [](const ::testing::TestParamInfo<PackCase>& i) { return std::string(i.param.name); });

TEST(GlyphTexels, HoldTheBitmapInTheLowerLeftCornerAndZerosAround) {
    // A 3 x 2 bitmap (rows bottom-up) in a 4 x 4 box.
    const std::vector<unsigned char> bitmap = {1, 2, 3,  //
                                               4, 5, 6};
    const std::vector<unsigned char> t = internal::glyphTexels(GlyphBox{4, 4}, bitmap, 3, 2);
    const std::vector<unsigned char> expected = {1, 2, 3, 0,  //
                                                 4, 5, 6, 0,  //
                                                 0, 0, 0, 0,  //
                                                 0, 0, 0, 0};
    EXPECT_EQ(t, expected);
    EXPECT_TRUE(internal::glyphTexels(GlyphBox{}, {}, 0, 0).empty());
}

// Glyphs placed one at a time as they are first drawn: shelves left to right, then up, then
// a new page; never overlapping, never beyond a page; a box larger than a page is refused.
TEST(ShelfPacker, PlacesBoxesOneAtATimeOnShelvesAndPages) {
    internal::ShelfPacker packer;
    packer.side = 64;
    const struct {
        GlyphBox box;
        bool placed, newPage;
        int page, x, y;
    } steps[] = {
        {{32, 16}, true, true, 0, 0, 0},    // the first box opens page 0
        {{32, 8}, true, false, 0, 32, 0},   // beside it
        {{16, 16}, true, false, 0, 0, 16},  // the shelf is full: the next, above the tallest
        {{128, 4}, false, false, 0, 0, 0},  // wider than a page: refused, nothing moves
        {{64, 32}, true, false, 0, 0, 32},  // the next shelf
        {{8, 32}, true, true, 1, 0, 0},     // no room above: a new page
        {{8, 8}, true, false, 1, 8, 0},
    };
    for (const auto& s : steps) {
        internal::AtlasSlot at{};
        bool newPage = false;
        EXPECT_EQ(packer.place(s.box, at, newPage), s.placed) << s.box.width << "x" << s.box.height;
        if (!s.placed) continue;
        EXPECT_EQ(newPage, s.newPage);
        EXPECT_EQ(at.page, s.page);
        EXPECT_EQ(at.x, s.x);
        EXPECT_EQ(at.y, s.y);
    }
}

}  // namespace
