#pragma once
// Pen placement of a byte string drawn with a glyph set, in whole area units. Kept apart
// from the drawing so that it needs no context; it allocates nothing and calls back once
// per glyph to draw.

#include <climits>

namespace internal {

// Printable ASCII: glyph k is the character with code FIRST_GLYPH_CODE + k.
constexpr int FIRST_GLYPH_CODE = 32;
constexpr int LAST_GLYPH_CODE = 126;

// The pen moves in 64 bits and reaches the glyphs held to the int range, so that no start
// position or size, however far out, overflows; positions that far out draw off the area.
inline int clampToInt(long long v) {
    return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

// A metric m measured at the loaded size L, at the drawn size S: m * S / L with the
// multiplication first and the division truncating toward zero, so that scaled advances
// stay whole pixels (24/16 of 1 is 1, not 1.5). The product is formed in 64 bits so an
// unusual size cannot overflow it.
inline int scaleMetric(long long m, int S, int L) {
    return clampToInt(m * S / L);
}

// A start coordinate truncated toward zero; NaN gives 0, the infinities the int limits.
inline long long penStart(float v) {
    if (!(v == v)) return 0;
    if (v >= 2147483648.0f) return INT_MAX;
    if (v <= -2147483648.0f) return INT_MIN;
    return static_cast<long long>(v);
}

// What the layout reads from a loaded glyph set.
struct GlyphMetrics {
    const int* advance;   // per glyph, pixels at the loaded size
    const int* bearingX;  // per glyph, pen to left edge, pixels at the loaded size
    int lineHeight;       // pixels at the loaded size
    int loadedSize;       // pixels, at least 1
};

// A glyph set's metrics scaled to one drawn size: what the pen needs for each glyph, so that
// strings drawn at that size scale each metric once instead of at every byte.
struct ScaledGlyphs {
    static constexpr int COUNT = LAST_GLYPH_CODE - FIRST_GLYPH_CODE + 1;
    bool filled = false;
    int drawnSize = 0;            // S, pixels
    long long lineStep = 0;       // the line height, scaled
    int bearingX[COUNT] = {};     // pen to quad origin, scaled
    int afterBearing[COUNT] = {}; // quad origin to the next pen position: advance - bearing X,
                                  // scaled as one metric
};

// Fills `out` for drawn size S (fontSize, or the loaded size for -1).
inline void scaleGlyphs(const GlyphMetrics& g, int fontSize, ScaledGlyphs& out) {
    const int L = g.loadedSize;
    const int S = fontSize == -1 ? L : fontSize;
    out.drawnSize = S;
    out.lineStep = scaleMetric(g.lineHeight, S, L);
    for (int k = 0; k < ScaledGlyphs::COUNT; ++k) {
        out.bearingX[k] = scaleMetric(g.bearingX[k], S, L);
        out.afterBearing[k] =
            scaleMetric(static_cast<long long>(g.advance[k]) - g.bearingX[k], S, L);
    }
    out.filled = true;
}

// Lays out the NUL-terminated bytes of `text` from the pen position (x, y), truncated toward
// zero, with glyphs scaled to one size, and calls place(k, gx, gy) for each printable byte
// with its glyph index k and the point (gx, gy) where its quad's origin goes. A newline
// returns the pen to x one line step down. Bytes 127, control characters and bytes of 128
// and above draw nothing and leave the pen alone. With `vertical`, every byte, drawn or not,
// is followed by a line step back to x, so the characters are stacked.
template <class Place>
void layoutText(const ScaledGlyphs& g, const char* text, float x, float y, bool vertical,
                Place&& place) {
    if (!text) return;
    const long long startX = penStart(x);
    long long penX = startX;
    long long penY = penStart(y);
    for (const char* p = text; *p; ++p) {
        const int b = static_cast<signed char>(*p);
        if (b == '\n') {
            penX = startX;
            penY -= g.lineStep;
        } else if (b >= FIRST_GLYPH_CODE && b <= LAST_GLYPH_CODE) {
            const int k = b - FIRST_GLYPH_CODE;
            const long long gx = penX + g.bearingX[k];
            place(k, clampToInt(gx), clampToInt(penY));
            penX = gx + g.afterBearing[k];
        }
        if (vertical) {
            penX = startX;
            penY -= g.lineStep;
        }
    }
}

// The same at drawn size fontSize (-1: the loaded size), scaling the metrics on the way.
template <class Place>
void layoutText(const GlyphMetrics& g, const char* text, float x, float y, int fontSize,
                bool vertical, Place&& place) {
    ScaledGlyphs scaled;
    scaleGlyphs(g, fontSize, scaled);
    layoutText(scaled, text, x, y, vertical, place);
}

}  // namespace internal
