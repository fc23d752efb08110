#include "font/glyph_atlas.hpp"

#include <algorithm>
#include <cstddef>

namespace internal {

namespace {
constexpr int MIN_PAGE_WIDTH = 1024;
}  // namespace

AtlasLayout packGlyphBoxes(const std::vector<GlyphBox>& boxes, int maxSide) {
    AtlasLayout layout;
    layout.boxes = boxes;
    int widest = 0;
    for (GlyphBox& b : layout.boxes) {
        if (b.width <= 0 || b.height <= 0 || b.width > maxSide || b.height > maxSide)
            b = GlyphBox{};
        else
            widest = std::max(widest, b.width);
    }
    layout.pageWidth = std::min(maxSide, std::max(MIN_PAGE_WIDTH, widest));
    layout.slots.resize(boxes.size());
    int x = 0, shelfY = 0, shelfHeight = 0;
    for (size_t k = 0; k < layout.boxes.size(); ++k) {
        const GlyphBox& b = layout.boxes[k];
        if (b.width == 0) continue;
        const int w = b.width, h = b.height;
        if (layout.pageHeights.empty()) layout.pageHeights.push_back(0);
        if (x + w > layout.pageWidth) {  // the next shelf
            shelfY += shelfHeight;
            x = shelfHeight = 0;
        }
        if (shelfY + h > maxSide) {  // the next page
            layout.pageHeights.push_back(0);
            x = shelfY = shelfHeight = 0;
        }
        layout.slots[k] = AtlasSlot{static_cast<int>(layout.pageHeights.size()) - 1, x, shelfY};
        x += w;
        shelfHeight = std::max(shelfHeight, h);
        layout.pageHeights.back() = std::max(layout.pageHeights.back(), shelfY + shelfHeight);
    }
    return layout;
}

bool ShelfPacker::place(const GlyphBox& box, AtlasSlot& at, bool& newPage) {
    newPage = false;
    if (box.width <= 0 || box.height <= 0 || box.width > side || box.height > side) return false;
    if (page >= 0 && x + box.width > side) {  // the next shelf
        shelfY += shelfHeight;
        x = shelfHeight = 0;
    }
    if (page < 0 || shelfY + box.height > side) {  // the next page
        ++page;
        x = shelfY = shelfHeight = 0;
        newPage = true;
    }
    at = AtlasSlot{page, x, shelfY};
    x += box.width;
    shelfHeight = std::max(shelfHeight, box.height);
    return true;
}

GlyphQuad glyphQuad(const AtlasLayout& layout, size_t k, int descent) {
    const GlyphBox& box = layout.boxes[k];
    const AtlasSlot& at = layout.slots[k];
    const float w = static_cast<float>(box.width), h = static_cast<float>(box.height);
    const float x = static_cast<float>(at.x), y = static_cast<float>(at.y);
    const float d = static_cast<float>(descent);
    const float pageW = static_cast<float>(layout.pageWidth);
    // A glyph with no box is in no page: any height serves its empty quad.
    const float pageH =
        box.width > 0 ? static_cast<float>(layout.pageHeights[static_cast<size_t>(at.page)])
                      : 1.0f;
    const float s0 = x / pageW, s1 = (x + w) / pageW, t0 = y / pageH, t1 = (y + h) / pageH;
    return GlyphQuad{{0.0f, h - d, s0, t1,  //
                      0.0f, -d, s0, t0,     //
                      w, h - d, s1, t1,     //
                      w, -d, s1, t0},
                     {(x + 0.5f) / pageW, (y + 0.5f) / pageH, (x + w - 0.5f) / pageW,
                      (y + h - 0.5f) / pageH}};
}

std::vector<unsigned char> glyphTexels(const GlyphBox& box,
                                       const std::vector<unsigned char>& bitmap, int bitmapWidth,
                                       int bitmapHeight) {
    std::vector<unsigned char> out(
        static_cast<size_t>(std::max(box.width, 0)) * static_cast<size_t>(std::max(box.height, 0)),
        0);
    for (int y = 0; y < std::min(bitmapHeight, box.height); ++y)
        for (int x = 0; x < std::min(bitmapWidth, box.width); ++x)
            out[static_cast<size_t>(y) * box.width + x] =
                bitmap[static_cast<size_t>(y) * bitmapWidth + x];
    return out;
}

}  // namespace internal
