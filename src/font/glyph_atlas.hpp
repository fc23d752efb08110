#pragma once
// Where a font's glyphs live in its textures. All glyphs share a few large textures (pages),
// so a run of text binds one texture instead of one per glyph: the software rasteriser copies
// its whole texture state, some 70 KB, into the frame at every change of texture, which with
// a texture per glyph was most of a chart frame's cost.
//
// Each glyph keeps the box of a texture of its own (powers of two, the bitmap in its
// lower-left corner, zeros around); the text shader clamps its samples to the box (see
// text_shaders.hpp), so text looks exactly as with a texture per glyph.

#include <cstddef>
#include <vector>

namespace internal {

struct GlyphBox {
    int width = 0, height = 0;  // texels; 0 x 0 for a glyph that draws nothing
};

struct AtlasSlot {
    int page = 0;
    int x = 0, y = 0;  // the box's lower-left texel in its page
};

struct AtlasLayout {
    int pageWidth = 0;
    std::vector<int> pageHeights;  // one entry per page
    std::vector<AtlasSlot> slots;  // one per box, in the boxes' order
    std::vector<GlyphBox> boxes;   // the boxes as placed: one too large for a page is 0 x 0
};

// Places the boxes on shelves, left to right and then upwards, in pages at most `maxSide`
// texels wide and high (the context's largest texture). A page is as wide as the widest box
// or 1024 texels, whichever is more, and as high as its shelves. A box that cannot fit a page
// even alone is placed as 0 x 0 (it draws nothing).
AtlasLayout packGlyphBoxes(const std::vector<GlyphBox>& boxes, int maxSide);

// How glyph k of a layout is drawn: its quad, four vertices (x, y, s, t) as a triangle
// strip, covering the whole box one texel per unit, lifted by the glyph's descent, with the
// box's texture coordinates in its page; and the limits its samples are clamped to, the
// centres of the box's edge texels (left, bottom, right, top; see the text shader).
struct GlyphQuad {
    float vertices[16];
    float clamp[4];
};
GlyphQuad glyphQuad(const AtlasLayout& layout, size_t k, int descent);

// Places glyph boxes one at a time, as they are first drawn, on shelves in square pages of
// `side` texels: left to right, then upwards, then on a new page. place() returns false for
// a box larger than a page (it draws nothing); otherwise it fills `at` and sets `newPage`
// when the box opens a page the caller must make.
struct ShelfPacker {
    int side = 0;
    int page = -1;  // the page being filled, counted from 0; -1 before the first box
    int x = 0, shelfY = 0, shelfHeight = 0;
    bool place(const GlyphBox& box, AtlasSlot& at, bool& newPage);
};

// A glyph's texels: box.width x box.height bytes, rows bottom-up, holding `bitmap`
// (bitmapWidth x bitmapHeight coverage bytes, rows bottom-up, no larger than the box) in the
// lower-left corner and zeros elsewhere.
std::vector<unsigned char> glyphTexels(const GlyphBox& box,
                                       const std::vector<unsigned char>& bitmap, int bitmapWidth,
                                       int bitmapHeight);

}  // namespace internal
