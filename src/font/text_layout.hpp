#pragma once
// Pen placement of a UTF-8 string drawn with a glyph set, in whole area units. Kept apart
// from the drawing so that it needs no context; it allocates nothing and calls back once
// per glyph to draw.

#include <algorithm>
#include <climits>
#include <cstdint>

#include "font/utf8.hpp"

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
// strings drawn at that size scale each metric once instead of at every character.
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

// What the pen needs of one glyph at the drawn size: its index in the font's glyph table and
// its scaled metrics.
struct PenGlyph {
    int k;
    int bearingX;      // pen to quad origin
    int afterBearing;  // quad origin to the next pen position
};

// A glyph source holds: glyph(cp, g), which fills g for code point cp and returns false for
// a character that draws nothing and leaves the pen alone (controls and DEL); kern(a, b),
// the scaled kerning between glyphs a and b drawn in that order; and lineStep(), the scaled
// line height. ScaledGlyphs is the source of printable ASCII alone, without kerning.
struct AsciiGlyphs {
    const ScaledGlyphs& g;
    bool glyph(std::uint32_t cp, PenGlyph& out) const {
        if (cp < FIRST_GLYPH_CODE || cp > LAST_GLYPH_CODE) return false;
        const int k = static_cast<int>(cp) - FIRST_GLYPH_CODE;
        out = PenGlyph{k, g.bearingX[k], g.afterBearing[k]};
        return true;
    }
    long long kern(int, int) const { return 0; }
    long long lineStep() const { return g.lineStep; }
};

// Lays out the NUL-terminated UTF-8 text from the pen position (x, y), truncated toward
// zero, and calls place(k, gx, gy) for each glyph drawn with its index k and the point
// (gx, gy) where its quad's origin goes. Code points below 128 take the fast path: no
// decoding. Malformed UTF-8 is read as U+FFFD (see decodeUtf8). A newline returns the pen
// to x one line step down. Between two glyphs drawn in a row the pen moves by their
// kerning. With `vertical`, every code point, drawn or not, is followed by a line step back
// to x, so the characters are stacked. Returns how far the pen ended right of x on its
// last line: the width of a one-line text.
template <class Source, class Place>
long long layoutRun(const Source& src, const char* text, float x, float y, bool vertical,
                    Place&& place) {
    if (!text) return 0;
    const long long startX = penStart(x);
    long long penX = startX;
    long long penY = penStart(y);
    int previous = -1;  // the glyph drawn just before, for kerning
    for (const char* p = text; *p;) {
        std::uint32_t cp = static_cast<unsigned char>(*p);
        if (cp < 0x80)
            ++p;
        else
            cp = decodeUtf8(p);
        PenGlyph g;
        if (cp == '\n') {
            penX = startX;
            penY -= src.lineStep();
            previous = -1;
        } else if (src.glyph(cp, g)) {
            if (previous >= 0) penX += src.kern(previous, g.k);
            const long long gx = penX + g.bearingX;
            place(g.k, clampToInt(gx), clampToInt(penY));
            penX = gx + g.afterBearing;
            previous = g.k;
        }
        if (vertical) {
            penX = startX;
            penY -= src.lineStep();
            previous = -1;
        }
    }
    return penX - startX;
}

// The width of the widest line of text as layoutRun lays it out: how far the pen moves
// along it, kerning included.
template <class Source>
long long measureText(const Source& src, const char* text) {
    if (!text) return 0;
    long long penX = 0, widest = 0;
    int previous = -1;
    for (const char* p = text; *p;) {
        std::uint32_t cp = static_cast<unsigned char>(*p);
        if (cp < 0x80)
            ++p;
        else
            cp = decodeUtf8(p);
        PenGlyph g;
        if (cp == '\n') {
            penX = 0;
            previous = -1;
        } else if (src.glyph(cp, g)) {
            if (previous >= 0) penX += src.kern(previous, g.k);
            penX += static_cast<long long>(g.bearingX) + g.afterBearing;
            previous = g.k;
            widest = std::max(widest, penX);
        }
    }
    return widest;
}

// Printable ASCII alone, with glyphs scaled to one size: other code points draw nothing.
template <class Place>
void layoutText(const ScaledGlyphs& g, const char* text, float x, float y, bool vertical,
                Place&& place) {
    layoutRun(AsciiGlyphs{g}, text, x, y, vertical, place);
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
