// Text beyond ASCII on real contexts: glyphs rasterised on first use and placed where
// FreeType puts them, fallback faces, kerning, the bounded glyph cache and text turned a
// quarter turn. (UTF-8 decoding, malformed input included, with no GPU: utf8_test.cpp.)

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "font/font_impl.hpp"
#include "font/text_layout.hpp"
#include "font/utf8.hpp"
#include "support/gl_test.hpp"

namespace {

using internal::font_impl;

const char* const SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const float WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};
// A Devanagari letter: DejaVu Sans lacks it, Lohit Devanagari (fonts-lohit-deva) has it.
constexpr std::uint32_t FALLBACK_CP = 0x0915;

// ---------------------------------------------------------------------------------------
// Glyphs on a real context, checked against FreeType's own rendering.

struct FreeTypeFace {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    FreeTypeFace(const std::string& file, int size) {
        FT_Init_FreeType(&lib);
        if (FT_New_Face(lib, file.c_str(), 0, &face) != 0) face = nullptr;
        if (face) FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size));
    }
    ~FreeTypeFace() {
        if (face) FT_Done_Face(face);
        FT_Done_FreeType(lib);
    }
    int advance(std::uint32_t cp) {
        FT_Load_Char(face, cp, FT_LOAD_DEFAULT);
        return static_cast<int>(face->glyph->advance.x >> 6);
    }
    int kerning(std::uint32_t a, std::uint32_t b) {
        FT_Vector v{0, 0};
        FT_Get_Kerning(face, FT_Get_Char_Index(face, a), FT_Get_Char_Index(face, b),
                       FT_KERNING_DEFAULT, &v);
        return static_cast<int>(v.x >> 6);
    }
};

// The file fontconfig offers for cp, or "" when no installed font has it.
std::string fontconfigFileFor(std::uint32_t cp) {
    FcInit();
    FcPattern* pattern = FcPatternCreate();
    FcCharSet* set = FcCharSetCreate();
    FcCharSetAddChar(set, cp);
    FcPatternAddCharSet(pattern, FC_CHARSET, set);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file;
    FcCharSet* has = nullptr;
    FcChar8* value = nullptr;
    if (match && FcPatternGetCharSet(match, FC_CHARSET, 0, &has) == FcResultMatch &&
        FcCharSetHasChar(has, cp) && FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch)
        file = reinterpret_cast<const char*>(value);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    FcCharSetDestroy(set);
    return file;
}

// Coverage of a window area, one byte a pixel (white text on black: the red channel).
struct Coverage {
    int x0, y0, w, h;
    std::vector<int> v;
    Coverage(int x, int y, int width, int height)
        : x0(x), y0(y), w(width), h(height), v(static_cast<size_t>(width * height), 0) {}
    int& at(int x, int y) { return v[static_cast<size_t>((y - y0) * w + (x - x0))]; }
    bool inside(int x, int y) const { return x >= x0 && y >= y0 && x < x0 + w && y < y0 + h; }
};

// Intersection over union of two coverages of the same area.
double iou(const Coverage& a, const Coverage& b) {
    double inter = 0, uni = 0;
    for (size_t i = 0; i < a.v.size(); ++i) {
        inter += std::min(a.v[i], b.v[i]);
        uni += std::max(a.v[i], b.v[i]);
    }
    return uni == 0 ? 1.0 : inter / uni;
}

class TextGlyphsTest : public zvtest::GLTest {
protected:
    static constexpr int SIZE = 32;
    void SetUp() override {
        GLTest::SetUp();
        font = std::make_unique<font_impl>();
        font->loadFont(SANS, SIZE);
    }
    void TearDown() override {
        font.reset();
        GLTest::TearDown();
    }
    zvtest::Snapshot draw(const std::function<void()>& strings) {
        glViewport(0, 0, W, H);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        EXPECT_TRUE(font->begin(window->id(), W, H));
        strings();
        font->end();
        zvtest::expectNoGLError("text");
        return grab();
    }
    zvtest::Snapshot draw(const char* text, float x, float y) {
        return draw([&] {
            const float pos[2] = {x, y};
            font->drawString(pos, WHITE, text, -1, false);
        });
    }
    // Adds FreeType's rendering of cp with `face` at pen (x, baseline y) to `c`.
    static void addFreeTypeGlyph(FT_Face face, std::uint32_t cp, int x, int y, Coverage& c) {
        ASSERT_EQ(FT_Load_Char(face, cp, FT_LOAD_DEFAULT), 0);
        ASSERT_EQ(FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL), 0);
        const FT_Bitmap& bm = face->glyph->bitmap;
        for (unsigned r = 0; r < bm.rows; ++r)
            for (unsigned col = 0; col < bm.width; ++col) {
                const int px = x + face->glyph->bitmap_left + static_cast<int>(col);
                const int py = y + face->glyph->bitmap_top - 1 - static_cast<int>(r);
                if (c.inside(px, py))
                    c.at(px, py) = std::min(
                        255, c.at(px, py) + bm.buffer[static_cast<int>(r) * bm.pitch +
                                                      static_cast<int>(col)]);
            }
    }
    static Coverage drawnCoverage(const zvtest::Snapshot& s, int x0, int y0, int w, int h) {
        Coverage c(x0, y0, w, h);
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) c.at(x, y) = s.at(x, y).r;
        return c;
    }
    std::unique_ptr<font_impl> font;
};

TEST_F(TextGlyphsTest, GlyphsBeyondAsciiDrawWhereFreeTypePutsThem) {
    const std::string fallbackFile = fontconfigFileFor(FALLBACK_CP);
    const struct {
        const char* what;
        const char* text;
    } table[] = {
        {"Latin-1 supplement", "\xC3\xA0\xC3\xA9\xC3\xAE\xC3\xB5\xC3\xBC\xC3\xA7\xC3\xB1\xC3\x9F"},
        {"Greek", "\xCE\xB1\xCE\xB2\xCE\x94\xCE\xA9\xCF\x80"},
        {"Cyrillic", "\xD0\x96\xD0\xAF\xD1\x88\xD1\x89"},
        {"units and signs",
         "\xC2\xB5\xC2\xB0\xC2\xB2\xC2\xB3\xE2\x81\xBB\xC2\xB1\xC3\x97\xE2\x88\x92\xC3\x85"
         "\xE2\x80\xB0\xE2\x82\xAC"},
        {"a fallback face's letter", "\xE0\xA4\x95"},
    };
    FreeTypeFace own(SANS, SIZE);
    ASSERT_NE(own.face, nullptr);
    const int x = 200, y = 300;
    for (const auto& row : table) {
        for (const char* p = row.text; *p;) {
            const char* start = p;
            const std::uint32_t cp = internal::decodeUtf8(p);
            const std::string one(start, p);
            const int k = font->glyphFor(cp);
            FT_Face face = own.face;
            std::unique_ptr<FreeTypeFace> other;
            if (FT_Get_Char_Index(own.face, cp) == 0) {
                if (fallbackFile.empty()) {
                    std::cout << "[  SKIPPED ] no installed font has U+0915 (install "
                                 "fonts-lohit-deva): fallback glyph not checked\n";
                    continue;
                }
                ASSERT_GT(font->glyphFace(k), 0) << row.what << ": not from a fallback face";
                other = std::make_unique<FreeTypeFace>(font->faceFile(font->glyphFace(k)), SIZE);
                ASSERT_NE(FT_Get_Char_Index(other->face, cp), 0u) << row.what;
                face = other->face;
            }
            const zvtest::Snapshot s = draw(one.c_str(), x, y);
            Coverage expected(x - 40, y - 40, 120, 100);
            addFreeTypeGlyph(face, cp, x, y, expected);
            const Coverage drawn = drawnCoverage(s, x - 40, y - 40, 120, 100);
            EXPECT_GE(iou(drawn, expected), 0.95) << row.what << ": U+" << std::hex << cp;
        }
    }
}

// No shaping: a combining accent still draws, over its base, where FreeType's bearings put
// it (it has no advance of its own).
TEST_F(TextGlyphsTest, ACombiningAccentDrawsOverItsBase) {
    FreeTypeFace own(SANS, SIZE);
    const int x = 200, y = 300;
    const zvtest::Snapshot s = draw("e\xCC\x81", x, y);
    Coverage expected(x - 40, y - 40, 120, 100);
    addFreeTypeGlyph(own.face, 'e', x, y, expected);
    addFreeTypeGlyph(own.face, 0x301, x + own.advance('e') + own.kerning('e', 0x301), y,
                     expected);
    EXPECT_GE(iou(drawnCoverage(s, x - 40, y - 40, 120, 100), expected), 0.95);
    // The accent adds ink above the plain 'e'.
    const std::vector<int> accented = s.bounds(zvtest::notBlack);
    const std::vector<int> plain = draw("e", x, y).bounds(zvtest::notBlack);
    EXPECT_GT(accented[3], plain[3] + 3);
}

TEST_F(TextGlyphsTest, KernedAdvancesAreFreeTypes) {
    FreeTypeFace own(SANS, SIZE);
    for (const char* pair : {"AV", "To", "Wa"}) {
        const int kern = own.kerning(pair[0], pair[1]);
        EXPECT_NE(kern, 0) << pair << ": the face kerns this pair";
        EXPECT_EQ(font->textWidth(pair, -1), own.advance(pair[0]) + kern + own.advance(pair[1]))
            << pair;
        // Drawn: the second letter sits one kerned advance after the first.
        const char first[2] = {pair[0], 0}, second[2] = {pair[1], 0};
        const zvtest::Snapshot together = draw(pair, 100, 300);
        const zvtest::Snapshot apart = draw([&] {
            const float a[2] = {100, 300};
            const float b[2] = {static_cast<float>(100 + own.advance(pair[0]) + kern), 300};
            font->drawString(a, WHITE, first, -1, false);
            font->drawString(b, WHITE, second, -1, false);
        });
        EXPECT_EQ(together.rgba, apart.rgba) << pair;
    }
    // Scaled with the text, in whole pixels.
    EXPECT_LT(font->textWidth("AV", 64), 2 * (own.advance('A') + own.advance('V')));
}

TEST_F(TextGlyphsTest, MalformedTextDrawsReplacementCharactersOnly) {
    // A truncated sequence, a lone lead byte and FF: three U+FFFD.
    const zvtest::Snapshot bad = draw("\xE2\x82" "\xC3" "\xFF", 100, 300);
    const zvtest::Snapshot good = draw("\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", 100, 300);
    EXPECT_GT(good.count(0, 0, W, H, zvtest::notBlack), 100);
    EXPECT_EQ(bad.rgba, good.rgba);
}

// A character no installed font has draws as U+FFFD; it takes no glyph of its own.
TEST_F(TextGlyphsTest, CharactersNoFontHasShareTheReplacementGlyph) {
    const std::uint32_t nowhere = 0x10FFFD;  // private use: no font installed here has it
    if (!fontconfigFileFor(nowhere).empty()) GTEST_SKIP() << "a font has U+10FFFD";
    const int before = font->glyphCount();
    EXPECT_EQ(font->glyphFor(nowhere), font->glyphFor(internal::REPLACEMENT_CHARACTER));
    EXPECT_EQ(font->glyphCount(), before);
}

TEST_F(TextGlyphsTest, FallbackFacesAreOpenedOncePerFont) {
    if (fontconfigFileFor(FALLBACK_CP).empty())
        GTEST_SKIP() << "fontconfig finds no font with U+0915: install fonts-lohit-deva";
    const int ka = font->glyphFor(0x0915), kb = font->glyphFor(0x0916);
    ASSERT_GT(font->glyphFace(ka), 0);
    EXPECT_EQ(font->glyphFace(ka), font->glyphFace(kb));
    EXPECT_TRUE(font->faceFile(font->glyphFace(ka)).find(".tt") != std::string::npos ||
                font->faceFile(font->glyphFace(ka)).find(".otf") != std::string::npos);
    // Loading another font starts over.
    font->loadFont("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", SIZE);
    EXPECT_EQ(font->faceFile(1), "");
}

// The cache holds MAX_EXTRA_GLYPHS glyphs beyond ASCII; characters first seen after that
// draw as U+FFFD, and the font keeps drawing.
TEST_F(TextGlyphsTest, TheGlyphCacheIsBounded) {
    std::string text;
    int distinct = 0;
    for (std::uint32_t cp = 0x100; distinct < font_impl::MAX_EXTRA_GLYPHS + 50; ++cp) {
        if (cp >= 0xD800 && cp < 0xE000) continue;
        char utf8[4] = {static_cast<char>(0xE0 | (cp >> 12)),
                        static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                        static_cast<char>(0x80 | (cp & 0x3F)), 0};
        if (cp < 0x800) {
            utf8[0] = static_cast<char>(0xC0 | (cp >> 6));
            utf8[1] = static_cast<char>(0x80 | (cp & 0x3F));
            utf8[2] = 0;
        }
        text += utf8;
        ++distinct;
    }
    draw(text.c_str(), 0, 300);
    EXPECT_EQ(font->glyphCount(), font_impl::MAX_GLYPHS);
    EXPECT_EQ(font->glyphFor(0x3A9), font->glyphFor(0x3A9));  // loaded earlier: kept
    EXPECT_EQ(font->glyphFor(0x2603), font->glyphFor(internal::REPLACEMENT_CHARACTER));
    // The pages stay few: at most one per glyph page's worth of boxes.
    EXPECT_LE(font->pageCount(), 4);
    EXPECT_GT(draw("\xCE\xA9", 100, 300).count(0, 0, W, H, zvtest::notBlack), 50);
}

// Text turned a quarter turn anticlockwise is the horizontal text's pixels turned: pixel
// (i, j) from the horizontal start lands on (-j - 1, i) from the turned one.
TEST_F(TextGlyphsTest, RotatedTextIsHorizontalTextTurnedExactly) {
    const char* text = "Hy \xC2\xB5s \xC3\x85";
    const int hx = 100, hy = 100, rx = 500, ry = 200;
    const zvtest::Snapshot flat = draw(text, hx, hy);
    const zvtest::Snapshot turned = draw([&] {
        const float pos[2] = {static_cast<float>(rx), static_cast<float>(ry)};
        font->drawStringRotated(pos, WHITE, text, -1);
    });
    const std::vector<int> b = flat.bounds(zvtest::notBlack);
    ASSERT_GE(b[0], 0);
    int ink = 0, mismatched = 0;
    for (int y = b[1]; y <= b[3]; ++y)
        for (int x = b[0]; x <= b[2]; ++x) {
            const int i = x - hx, j = y - hy;
            const zvtest::RGBA a = flat.at(x, y), c = turned.at(rx - j - 1, ry + i);
            ink += a.r > 0 ? 1 : 0;
            mismatched += std::abs(a.r - c.r) > 2 ? 1 : 0;
        }
    EXPECT_GT(ink, 200);
    EXPECT_EQ(mismatched, 0);
    EXPECT_EQ(turned.count(0, 0, W, H, zvtest::notBlack), flat.count(0, 0, W, H, zvtest::notBlack));
}

}  // namespace
