// What a caller gets for bad input at every public entry point: one table, each row an input
// and either the zv::Error (class, code, argument, and a message that tells what to do) or
// the defined harmless result, checked on the pixels where there is something to see. Every
// row also ends with no OpenGL error pending in the window it used.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/gl_test.hpp"
#include "support/robust_util.hpp"
#include "window/window.hpp"
#include "zarvo.h"

namespace {

using zvtest::readBack;
using zvtest::RGBA;

// What one row needs, made on first use: most rows need a window, some must run before any.
struct Env {
    static constexpr int W = 800;
    static constexpr int H = 600;
    std::unique_ptr<zv::Window> window;
    std::unique_ptr<zv::Font> font;
    zvtest::TempDir dir;

    zv::Window& win() {
        if (!window) window.reset(new zv::Window(W, H, "bad input", nullptr, true));
        return *window;
    }
    internal::window_impl& core() { return *win().get()->impl(); }
    // DejaVu Sans at 16 pixels, set as the window's caption font.
    zv::Font& captionFont() {
        win();
        if (!font) {
            font.reset(new zv::Font());
            font->loadFont(zvtest::dejaVuPath(), 16);
            window->setFont(font.get());
        }
        return *font;
    }
    zvtest::Snapshot frame() {
        win().makeCurrent();
        return readBack(0, 0, W, H);
    }
    // A small image of mid grey, so a draw of it is visible on a black window.
    zv::Image greyImage() {
        win();
        zv::Image image(4, 4, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
        zvtest::writeBuffer(image.pbo(), std::vector<unsigned char>(16, 200));
        return image;
    }
};

int countIn(const zvtest::Snapshot& s, bool (*pred)(const RGBA&)) {
    return s.count(s.x0, s.y0, s.x0 + s.width, s.y0 + s.height, pred);
}

enum class Expect { Harmless, Error, Type, Argument, Dimension };

struct Row {
    const char* name;
    std::function<void(Env&)> act;
    Expect expect;
    zv::ErrorCode code;
    int argIndex;          // checked for the argument, dimension and type errors
    std::string mentions;  // what the message (or expected condition) must contain
    std::function<void(Env&)> check;  // the harmless result, after act
};

Row raises(const char* name, Expect kind, zv::ErrorCode code, int argIndex, std::string mentions,
           std::function<void(Env&)> act) {
    return {name, std::move(act), kind, code, argIndex, std::move(mentions), nullptr};
}
Row harmless(const char* name, std::function<void(Env&)> act,
             std::function<void(Env&)> check = nullptr) {
    return {name, std::move(act), Expect::Harmless, zv::ZV_ERR_GL, 0, "", std::move(check)};
}

// Font files that are not fonts, written into the row's scratch directory.
std::string randomBytes(size_t n) {
    std::mt19937 rng(12345);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(rng() & 0xFF);
    return s;
}

// DejaVu Sans with the em of its 'head' table shrunk from 2048 to `unitsPerEm` font units,
// which blows every glyph up by 2048 / unitsPerEm at the same pixel size.
std::string blownUpFont(unsigned unitsPerEm) {
    std::string f = zvtest::readFileBytes(zvtest::dejaVuPath());
    auto u16 = [&](size_t at) {
        return static_cast<size_t>(static_cast<unsigned char>(f[at])) << 8 |
               static_cast<unsigned char>(f[at + 1]);
    };
    auto u32 = [&](size_t at) { return u16(at) << 16 | u16(at + 2); };
    const size_t tables = u16(4);
    for (size_t i = 0; i < tables; ++i) {
        const size_t entry = 12 + 16 * i;
        if (f.compare(entry, 4, "head") == 0) {
            const size_t at = u32(entry + 8) + 18;
            f[at] = static_cast<char>(unitsPerEm >> 8);
            f[at + 1] = static_cast<char>(unitsPerEm & 0xFF);
        }
    }
    return f;
}

void drawHistogramOfFive(Env& env, zv::Histogram& h, float ymax) {
    env.win().makeCurrent();
    zvtest::writeBuffer(h.vbo(), std::vector<float>{5, 5, 5, 5});
    h.setBarColor(0, 1, 0);
    h.setAxesLimits(4, 0, ymax, 0);
    env.win().draw(h);
}

// A scatter plot of one point drawn as a 10-pixel disc in green over the whole window.
zv::Plot onePointScatter(Env& env, float x, float y) {
    env.win();
    zv::Plot p(1, zv::ZV_FLOAT32, zv::ZV_PLOT_SCATTER, zv::ZV_MARKER_POINT);
    zvtest::writeBuffer(p.vbo(), std::vector<float>{x, y});
    p.setColor(0.0f, 1.0f, 0.0f);
    return p;
}

// Centre of the green pixels; {-1, -1} when there are none.
std::pair<float, float> greenCentre(const zvtest::Snapshot& s) {
    std::vector<int> b = s.bounds(zvtest::isGreen);
    if (b[0] < 0) return {-1.0f, -1.0f};
    return {(b[0] + b[2]) / 2.0f, (b[1] + b[3]) / 2.0f};
}

// A column that, multiplied by the 25-pixel cells of a 32-column grid on 800 pixels, wraps
// round 2^32 to x = 101: a layout that multiplies in int would put it inside the window.
int wrappingColumn() {
    uint32_t inverse = 25;  // Newton's iteration for the inverse of 25 modulo 2^32
    for (int i = 0; i < 5; ++i) inverse *= 2u - 25u * inverse;
    return static_cast<int>(inverse * 101u);
}

std::vector<Row> table() {
    using zv::ZV_ERR_ARGUMENT;
    using zv::ZV_ERR_DIMENSION;
    using zv::ZV_ERR_FONT;
    using zv::ZV_ERR_GL;
    using zv::ZV_ERR_TYPE;
    const std::string longText(20000, 'W');
    const char* highBytes = "\x80\xC3\xA9\xE2\x82\xAC\xFF";
    std::vector<Row> rows = {
        // ---- element types, colour modes and maps out of range. Only the values an
        // enumeration can hold without a name are tried (ZVType, ColorMode and ColorMap hold
        // 0 to 7): a value beyond that range cannot even be formed without undefined
        // behaviour in the caller.
        raises("PlotInt8", Expect::Type, ZV_ERR_TYPE, 1, "Plot",
               [](Env& e) { e.win(); zv::Plot p(10, zv::ZV_INT8); }),
        raises("PlotTypeOutOfRange", Expect::Type, ZV_ERR_TYPE, 1, "Plot",
               [](Env& e) { e.win(); zv::Plot p(10, static_cast<zv::ZVType>(7)); }),
        raises("HistogramInt8", Expect::Type, ZV_ERR_TYPE, 1, "Histogram",
               [](Env& e) { e.win(); zv::Histogram h(10, zv::ZV_INT8); }),
        raises("HistogramTypeOutOfRange", Expect::Type, ZV_ERR_TYPE, 1, "Histogram",
               [](Env& e) { e.win(); zv::Histogram h(10, static_cast<zv::ZVType>(7)); }),
        // Images take signed bytes; negative values show the colour map's first row.
        harmless("ImageInt8",
                 [](Env& e) {
                     e.win();
                     zv::Image im(4, 4, zv::ZV_GRAYSCALE, zv::ZV_INT8);
                     EXPECT_EQ(im.size(), 16u);
                     EXPECT_EQ(im.channelType(), zv::ZV_INT8);
                     zvtest::writeBuffer(im.pbo(), std::vector<signed char>(16, 100));
                     e.win().draw(im, false);
                 },
                 [](Env& e) { EXPECT_GT(countIn(e.frame(), zvtest::notBlack), 400000); }),
        // An unknown element type is read as 32-bit float, and says so.
        harmless("ImageTypeUnknown", [](Env& e) {
            e.win();
            zv::Image im(4, 4, zv::ZV_GRAYSCALE, static_cast<zv::ZVType>(7));
            EXPECT_EQ(im.channelType(), zv::ZV_FLOAT32);
            EXPECT_EQ(im.size(), 64u);
            e.win().draw(im);
        }),
        // An unknown colour mode is taken as four channels: the buffer is sized for them.
        harmless("ImageColorModeUnknown", [](Env& e) {
            e.win();
            zv::Image a(4, 4, static_cast<zv::ColorMode>(2), zv::ZV_UINT8);
            zv::Image b(4, 4, static_cast<zv::ColorMode>(0), zv::ZV_FLOAT32);
            EXPECT_EQ(a.size(), 64u);
            EXPECT_EQ(b.size(), 256u);
            e.win().draw(a);
            e.win().draw(b);
        }),
        harmless("ColorMapOutOfRange", [](Env& e) {
            e.win().setColorMap(zv::ZV_CMAP_HEAT);
            const GLuint heat = e.core().colorMapBuffer();
            e.win().setColorMap(static_cast<zv::ColorMap>(7));
            EXPECT_EQ(e.core().colorMapBuffer(), heat);
            EXPECT_EQ(e.core().colorMapLength(), 64u);
        }),
        // ---- grids and cells
        raises("GridZeroRows", Expect::Argument, ZV_ERR_ARGUMENT, 1, "rows",
               [](Env& e) { e.win().grid(0, 2); }),
        raises("GridZeroColumns", Expect::Argument, ZV_ERR_ARGUMENT, 2, "columns",
               [](Env& e) { e.win().grid(2, 0); }),
        raises("GridNegative", Expect::Argument, ZV_ERR_ARGUMENT, 1, "rows",
               [](Env& e) { e.win().grid(-3, -3); }),
        raises("CellBeforeGrid", Expect::Argument, ZV_ERR_ARGUMENT, 1, "grid(",
               [](Env& e) { e.win().draw(0, 0, e.greyImage()); }),
        raises("CaptionWithoutFont", Expect::Argument, ZV_ERR_ARGUMENT, 4, "setFont",
               [](Env& e) {
                   zv::Image im = e.greyImage();
                   e.win().grid(1, 1);
                   e.win().draw(0, 0, im, "caption");
               }),
        // Cells outside the grid lie outside the window: nothing shows.
        harmless("CellOutsideGrid",
                 [](Env& e) {
                     zv::Image im = e.greyImage();
                     e.win().grid(2, 2);
                     e.win().draw(5, 0, im);
                     e.win().draw(0, 2, im);
                     e.win().draw(-1, -1, im);
                 },
                 [](Env& e) { EXPECT_EQ(countIn(e.frame(), zvtest::notBlack), 0); }),
        harmless("CellAtIntMax",
                 [](Env& e) {
                     zv::Image im = e.greyImage();
                     e.win().grid(2, 3);
                     e.win().draw(INT_MAX, INT_MAX, im);
                     e.win().draw(INT_MIN, INT_MIN, im);
                 },
                 [](Env& e) { EXPECT_EQ(countIn(e.frame(), zvtest::notBlack), 0); }),
        harmless("CellColumnThatWouldWrapIntoTheWindow",
                 [](Env& e) {
                     zv::Image im = e.greyImage();
                     e.win().grid(1, 32);
                     e.win().draw(wrappingColumn(), 0, im);
                 },
                 [](Env& e) { EXPECT_EQ(countIn(e.frame(), zvtest::notBlack), 0); }),
        // Grids of any size are taken; cells smaller than a pixel show nothing, and the
        // window keeps no state per cell of the grid (the mouse remembers only cells drawn).
        harmless("GridOfAbsurdSize",
                 [](Env& e) {
                     zv::Image im = e.greyImage();
                     zv::Plot p(2, zv::ZV_FLOAT32);
                     e.win().grid(INT_MAX, INT_MAX);
                     e.win().draw(0, 0, im);
                     e.win().draw(INT_MAX - 1, INT_MAX - 1, p);
                     e.win().draw();
                     e.win().grid(1, INT_MAX);
                     e.win().draw(0, 0, im);
                 },
                 [](Env& e) { EXPECT_EQ(countIn(e.frame(), zvtest::notBlack), 0); }),
        // Charts in cells too small for a data area draw what fits, without OpenGL errors.
        harmless("ChartsInTinyCells", [](Env& e) {
            e.captionFont();
            zv::Plot p(2, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_CIRCLE);
            zv::Histogram h(3, zv::ZV_FLOAT32);
            e.win().grid(60, 90);
            e.win().draw(0, 0, p, "plot");
            e.win().draw(1, 0, h, "histogram");
            e.win().draw(2, 0, e.greyImage(), "image");
            e.win().grid(600, 800);  // cells of 1 x 1 pixel
            e.win().draw(0, 0, p, "p");
            e.win().draw(1, 1, h, "h");
            e.win().draw();
        }),
        harmless("ChartsInATinyWindow", [](Env&) {
            zv::Window tiny(40, 30, "tiny", nullptr, true);
            zv::Plot p(2, zv::ZV_FLOAT32, zv::ZV_PLOT_SCATTER, zv::ZV_MARKER_STAR);
            zv::Histogram h(3, zv::ZV_UINT32);
            tiny.draw(p);
            tiny.draw(h);
            tiny.makeCurrent();
            zvtest::expectNoGLError("charts in a 40 x 30 window");
        }),

        // ---- captions and titles
        // Captions are UTF-8: the stray continuation byte and the FF among well-formed é and
        // € each draw one U+FFFD, exactly what the caption with U+FFFD written out draws.
        harmless("CaptionBytesAbove127", [highBytes](Env& e) {
            e.captionFont();
            zv::Image im = e.greyImage();
            e.win().grid(1, 1);
            e.win().draw(0, 0, im, "\xEF\xBF\xBD\xC3\xA9\xE2\x82\xAC\xEF\xBF\xBD");
            const zvtest::Snapshot written = e.frame();
            EXPECT_GT(countIn(written, zvtest::isRed), 20);
            e.win().draw();
            e.win().draw(0, 0, im, highBytes);
            EXPECT_EQ(e.frame().rgba, written.rgba);
            e.win().draw();
        }),
        // A caption far longer than its cell is cut at the cell's edge.
        harmless("CaptionVeryLong", [longText](Env& e) {
            e.captionFont();
            zv::Image im = e.greyImage();
            e.win().grid(2, 2);
            e.win().draw(0, 0, im, longText.c_str());
            zvtest::Snapshot s = e.frame();
            EXPECT_GT(s.count(0, 300, 400, 600, zvtest::isRed), 100);
            EXPECT_EQ(s.count(400, 0, 800, 600, zvtest::isRed), 0);
            EXPECT_EQ(s.count(0, 0, 400, 300, zvtest::isRed), 0);
            e.win().draw();
        }),
        harmless("CaptionEmpty",
                 [](Env& e) {
                     e.captionFont();
                     zv::Image im = e.greyImage();
                     e.win().grid(1, 1);
                     e.win().draw(0, 0, im, "");
                 },
                 [](Env& e) { EXPECT_EQ(countIn(e.frame(), zvtest::isRed), 0); }),
        harmless("AxisTitlesLongAndHighBytes", [longText, highBytes](Env& e) {
            e.win();
            zv::Plot p(2, zv::ZV_FLOAT32);
            zv::Histogram h(2, zv::ZV_FLOAT32);
            p.setXAxisTitle(longText.c_str());
            p.setYAxisTitle(longText.c_str());
            h.setXAxisTitle(highBytes);
            h.setYAxisTitle(highBytes);
            e.win().draw(p);
            e.win().draw(h);
        }),

        // ---- fonts
        raises("FontMissingFile", Expect::Error, ZV_ERR_FONT, 0,
               "font face creation failed | could not read \"/nonexistent/zarvo.ttf\" as a font",
               [](Env& e) { e.win(); zv::Font f; f.loadFont("/nonexistent/zarvo.ttf", 16); }),
        raises("FontDirectory", Expect::Error, ZV_ERR_FONT, 0, "font face creation failed",
               [](Env& e) { e.win(); zv::Font f; f.loadFont(e.dir.path().c_str(), 16); }),
        raises("FontEmptyFile", Expect::Error, ZV_ERR_FONT, 0, "font face creation failed",
               [](Env& e) {
                   e.win();
                   zv::Font f;
                   f.loadFont(e.dir.write("empty.ttf", "").c_str(), 16);
               }),
        // Null titles mean no title, as every other text argument takes null.
        harmless("NullAxisTitles", [](Env& e) {
            e.win();
            zv::Plot p(2, zv::ZV_FLOAT32);
            p.setXAxisTitle(nullptr);
            p.setYAxisTitle(nullptr);
            e.win().draw(p);
            zv::Histogram h(2, zv::ZV_FLOAT32);
            h.setXAxisTitle(nullptr);
            h.setYAxisTitle(nullptr);
            e.win().draw(h);
        }),
        raises("FontNullPath", Expect::Error, ZV_ERR_FONT, 0, "font face creation failed",
               [](Env& e) { e.win(); zv::Font f; f.loadFont(nullptr, 16); }),
        raises("FontTruncated", Expect::Error, ZV_ERR_FONT, 0, "font face creation failed",
               [](Env& e) {
                   e.win();
                   std::string bytes = zvtest::readFileBytes(zvtest::dejaVuPath());
                   zv::Font f;
                   f.loadFont(e.dir.write("cut.ttf", bytes.substr(0, 2048)).c_str(), 16);
               }),
        raises("FontRandomBytes", Expect::Error, ZV_ERR_FONT, 0, "font face creation failed",
               [](Env& e) {
                   e.win();
                   zv::Font f;
                   f.loadFont(e.dir.write("noise.ttf", randomBytes(4096)).c_str(), 16);
               }),
        raises("FontSizeZero", Expect::Argument, ZV_ERR_ARGUMENT, 2, "at least 1",
               [](Env& e) { e.win(); zv::Font f; f.loadFont(zvtest::dejaVuPath(), 0); }),
        raises("FontSizeMinusOne", Expect::Argument, ZV_ERR_ARGUMENT, 2, "at least 1",
               [](Env& e) { e.win(); zv::Font f; f.loadFont(zvtest::dejaVuPath(), -1); }),
        raises("FontSize10000", Expect::Argument, ZV_ERR_ARGUMENT, 2, "smaller size",
               [](Env& e) { e.win(); zv::Font f; f.loadFont(zvtest::dejaVuPath(), 10000); }),
        raises("SystemFontSizeZero", Expect::Argument, ZV_ERR_ARGUMENT, 2, "at least 1",
               [](Env& e) { e.win(); zv::Font f; f.loadSystemFont("Vera", 0); }),
        // A face whose glyphs come out 32 times their size: refused, or loaded with glyphs
        // held to a sane size, but not rasterised into hundreds of megabytes of textures.
        harmless("FontWithGiantGlyphs", [](Env& e) {
            e.win();
            const std::string path = e.dir.write("giant.ttf", blownUpFont(64));
            const size_t before = zvtest::residentBytes();
            zv::Font f;
            try {
                f.loadFont(path.c_str(), 16);
            } catch (const zv::Error& error) {
                EXPECT_EQ(error.err(), zv::ZV_ERR_FONT) << error.what();
            }
            // 64 MiB leaves room for the sanitizers' shadow memory and quarantine; glyphs
            // at 32 times their size would take hundreds of megabytes.
            EXPECT_LT(zvtest::residentBytes() - before, size_t(64) << 20);
        }),
        // fontconfig always answers with its best match.
        harmless("SystemFontUnknownFamily", [](Env& e) {
            e.win();
            zv::Font f;
            f.loadSystemFont("No Such Family Zarvo", 16);
            f.loadSystemFont("", 16);
        }),
        // A load that failed leaves the font unloaded: captions through it are skipped.
        harmless("CaptionThroughAFailedFont", [](Env& e) {
            e.win();
            zv::Font f;
            e.win().setFont(&f);
            EXPECT_THROW(f.loadFont("/nonexistent/zarvo.ttf", 16), zv::Error);
            zv::Image im = e.greyImage();
            e.win().grid(1, 1);
            e.win().draw(0, 0, im, "caption");
            EXPECT_EQ(countIn(e.frame(), zvtest::isRed), 0);
            e.win().draw();
        }),

        // ---- images
        raises("ImageWiderThanTextures", Expect::Dimension, ZV_ERR_DIMENSION, 1,
               "maximum texture size",
               [](Env& e) {
                   e.win();
                   GLint max = 0;
                   glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max);
                   zv::Image im(static_cast<unsigned>(max) + 1, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
               }),
        raises("ImageTallerThanTextures", Expect::Dimension, ZV_ERR_DIMENSION, 2,
               "maximum texture size",
               [](Env& e) {
                   e.win();
                   zv::Image im(1, UINT_MAX, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
               }),
        raises("ImageOf4GiBOrMore", Expect::Dimension, ZV_ERR_DIMENSION, 2, "bytes",
               [](Env& e) {
                   e.win();
                   GLint max = 0;
                   glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max);
                   // The largest square the texture size allows, as RGBA floats; 16384 (the
                   // usual maximum) gives exactly 4 GiB.
                   const unsigned m = static_cast<unsigned>(max);
                   if (uint64_t(m) * m * 16 <= UINT32_MAX) GTEST_SKIP() << "textures too small";
                   zv::Image im(m, m, zv::ZV_RGBA, zv::ZV_FLOAT32);
               }),
        harmless("ImageEmpty",
                 [](Env& e) {
                     e.win();
                     zv::Image a(0, 0, zv::ZV_RGB, zv::ZV_UINT8);
                     zv::Image b(0, 7, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32);
                     EXPECT_EQ(a.size(), 0u);
                     EXPECT_EQ(b.size(), 0u);
                     e.win().draw(a);
                     e.win().grid(1, 2);
                     e.win().draw(1, 0, b);
                 },
                 [](Env& e) { EXPECT_EQ(countIn(e.frame(), zvtest::notBlack), 0); }),

        // ---- charts: sizes and limits
        harmless("PlotOfZeroPoints", [](Env& e) {
            e.win();
            zv::Plot p(0, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_POINT);
            zv::Plot s(0, zv::ZV_UINT8, zv::ZV_PLOT_SCATTER, zv::ZV_MARKER_CROSS);
            EXPECT_EQ(p.size(), 0u);
            p.setColor(0.0f, 1.0f, 0.0f);
            e.win().draw(p);
            zvtest::Snapshot f = e.frame();
            EXPECT_GT(countIn(f, zvtest::isWhite), 1000);  // the frame is there
            EXPECT_EQ(countIn(f, zvtest::isGreen), 0);
            e.win().draw(s);
        }),
        harmless("HistogramOfZeroBins", [](Env& e) {
            e.win();
            zv::Histogram h(0, zv::ZV_FLOAT32);
            EXPECT_EQ(h.size(), 0u);
            h.setBarColor(0, 1, 0);
            e.win().draw(h);
            zvtest::Snapshot f = e.frame();
            EXPECT_GT(countIn(f, zvtest::isWhite), 1000);
            EXPECT_EQ(countIn(f, zvtest::isGreen), 0);
        }),
        // ymax 0 draws no bars; the same data with ymax 10 draws them.
        harmless("HistogramYMaxZero", [](Env& e) {
            e.win();
            zv::Histogram h(4, zv::ZV_FLOAT32);
            drawHistogramOfFive(e, h, 10.0f);
            EXPECT_GT(countIn(e.frame(), zvtest::isGreen), 10000);
            drawHistogramOfFive(e, h, 0.0f);
            EXPECT_EQ(h.ymax(), 0.0f);
            EXPECT_EQ(countIn(e.frame(), zvtest::isGreen), 0);
        }),
        // Reversed limits mirror the graph: (0.25, 0.25) lands where (0.75, 0.75) does with
        // the limits the right way round.
        harmless("PlotReversedLimits", [](Env& e) {
            zv::Plot straight = onePointScatter(e, 0.75f, 0.75f);
            e.win().draw(straight);
            const auto expected = greenCentre(e.frame());
            zv::Plot p = onePointScatter(e, 0.25f, 0.25f);
            p.setAxesLimits(0, 1, 0, 1);
            EXPECT_EQ(p.xmax(), 0.0f);
            EXPECT_EQ(p.xmin(), 1.0f);
            e.win().draw(p);
            const auto c = greenCentre(e.frame());
            ASSERT_GT(expected.first, 400.0f);  // on the right-hand side, so a mirror shows
            EXPECT_NEAR(c.first, expected.first, 1.5f);
            EXPECT_NEAR(c.second, expected.second, 1.5f);
        }),
        // Equal x limits collapse x onto the data area's left edge (about x 74, under the
        // frame's left side); y still maps as before.
        harmless("PlotEqualLimits", [](Env& e) {
            zv::Plot p = onePointScatter(e, 0.7f, 0.5f);
            e.win().draw(p);
            const auto straight = greenCentre(e.frame());
            p.setAxesLimits(2, 2, 1, 0);
            e.win().draw(p);
            // Most of the disc is cut by the frame's edge: count every greenish pixel.
            std::vector<int> b = e.frame().bounds(
                [](const RGBA& c) { return c.g > 100 && c.r < 100 && c.b < 100; });
            ASSERT_GE(b[0], 0) << "the point is not drawn";
            EXPECT_GE(b[0], 66);
            EXPECT_LE(b[2], 84);
            EXPECT_NEAR((b[1] + b[3]) / 2.0, straight.second, 2.0);
        }),
        harmless("HistogramReversedAndEqualLimits", [](Env& e) {
            e.win();
            zv::Histogram h(4, zv::ZV_FLOAT32);
            drawHistogramOfFive(e, h, 10.0f);
            h.setAxesLimits(0, 4, 10, 20);
            e.win().draw(h);
            h.setAxesLimits(3, 3, 3, 3);
            e.win().draw(h);
            EXPECT_EQ(h.ymin(), 3.0f);
        }),
        harmless("NonFiniteLimits", [](Env& e) {
            const float nan = std::numeric_limits<float>::quiet_NaN();
            const float inf = std::numeric_limits<float>::infinity();
            zv::Plot p = onePointScatter(e, 0.5f, 0.5f);
            zv::Histogram h(4, zv::ZV_FLOAT32);
            p.setAxesLimits(nan, 0, inf, -inf);
            h.setAxesLimits(inf, nan, nan, 0);
            e.win().draw(p);
            e.win().draw(h);
            EXPECT_TRUE(std::isnan(p.xmax()));
        }),

        // ---- buffers OpenGL cannot allocate. The driver refuses buffers above 4 GiB at
        // once, so these ask for 8 and 32 GiB without touching memory.
        raises("HistogramOf8GiB", Expect::Error, ZV_ERR_GL, 0, "8589934588",
               [](Env& e) { e.win(); zv::Histogram h(INT_MAX, zv::ZV_FLOAT32); }),
        // More bins or points than one draw call takes: refused before anything is made.
        raises("HistogramBeyondOneDrawCall", Expect::Dimension, ZV_ERR_DIMENSION, 1,
               "2147483647 bins",
               [](Env& e) { e.win(); zv::Histogram h(1u << 31, zv::ZV_UINT8); }),
        raises("PlotBeyondOneDrawCall", Expect::Dimension, ZV_ERR_DIMENSION, 1,
               "2147483647 points",
               [](Env& e) { e.win(); zv::Plot p(UINT_MAX, zv::ZV_INT32); }),
        raises("PlotOf8GiB", Expect::Error, ZV_ERR_GL, 0, "8589934592",
               [](Env& e) { e.win(); zv::Plot p(1u << 30, zv::ZV_FLOAT32); }),
        raises("PlotOfMostPoints", Expect::Error, ZV_ERR_GL, 0, "17179869176",
               [](Env& e) { e.win(); zv::Plot p(INT_MAX, zv::ZV_INT32); }),
        // A float RGBA texture of just under 4 GiB, which the driver refuses at once too: the
        // image raises before its pixel buffer is made.
        raises("ImageTextureOfAlmost4GiB", Expect::Error, ZV_ERR_GL, 0, "16384 x 16383 texels",
               [](Env& e) {
                   e.win();
                   zv::Image im(16384, 16383, zv::ZV_RGBA, zv::ZV_FLOAT32);
               }),

        // An application error pending when a buffer cannot be allocated is named in the
        // message, since reading the flag took it; one pending at an allocation that works
        // is left alone.
        raises("FailedAllocationWithAnErrorPending", Expect::Error, ZV_ERR_GL, 0,
               "GL_INVALID_ENUM",
               [](Env& e) {
                   e.win().makeCurrent();
                   glEnable(0xBAD);
                   zv::Histogram h(INT_MAX, zv::ZV_FLOAT32);
               }),
        harmless("AllocationWithAnErrorPending", [](Env& e) {
            e.win().makeCurrent();
            glEnable(0xBAD);
            zv::Histogram h(8, zv::ZV_FLOAT32);
            zv::Plot p(8, zv::ZV_UINT8);
            zv::Image im(8, 8, zv::ZV_RGB, zv::ZV_FLOAT32);
            e.win().makeCurrent();
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_ENUM));
        }),

        // ---- objects drawn in a window of another share group
        raises("ImageOfAnotherGroup", Expect::Argument, ZV_ERR_ARGUMENT, 1, "share group",
               [](Env& e) {
                   zv::Image im = e.greyImage();
                   zv::Window other(64, 48, "other group", nullptr, true);
                   other.draw(im);
               }),
        raises("PlotOfAnotherGroupInACell", Expect::Argument, ZV_ERR_ARGUMENT, 3, "share group",
               [](Env& e) {
                   e.win();
                   zv::Plot p(4, zv::ZV_FLOAT32);
                   zv::Window other(64, 48, "other group", nullptr, true);
                   other.grid(1, 1);
                   other.draw(0, 0, p);
               }),
        raises("HistogramOfAnotherGroup", Expect::Argument, ZV_ERR_ARGUMENT, 1, "share group",
               [](Env& e) {
                   zv::Window other(64, 48, "other group", nullptr, true);
                   zv::Histogram h(4, zv::ZV_FLOAT32);
                   e.win().draw(h);
               }),
        raises("FontOfAnotherGroup", Expect::Argument, ZV_ERR_ARGUMENT, 1, "share group",
               [](Env& e) {
                   e.win();
                   zv::Font f;
                   zv::Window other(64, 48, "other group", nullptr, true);
                   other.setFont(&f);
               }),

        // ---- windows
        raises("WindowOfZeroSize", Expect::Error, ZV_ERR_GL, 0,
               "glfw window creation failed | Invalid window size 0x0",
               [](Env&) { zv::Window w(0, 0, "zero", nullptr, true); }),
        raises("WindowOfNegativeSize", Expect::Error, ZV_ERR_GL, 0,
               "glfw window creation failed | Invalid window size -5x100",
               [](Env&) { zv::Window w(-5, 100, "negative", nullptr, true); }),
        raises("WindowLargerThanTheWindowSystemTakes", Expect::Error, ZV_ERR_GL, 0,
               "glfw window creation failed | Invalid window size 65536x10",
               [](Env&) { zv::Window w(65536, 10, "wide", nullptr, true); }),
        // Sizes the window system cannot take or draw are held to 1 .. 16384 pixels a side.
        harmless("WindowResizedOutOfRange", [](Env& e) {
            e.win().setSize(0, 0);
            e.win().setSize(65536, 10);
            e.win().setSize(UINT_MAX, UINT_MAX);
            zv::Image im = e.greyImage();
            e.win().draw(im);
        }),
        harmless("WindowMovedFarAway", [](Env& e) {
            e.win().setPos(INT_MAX, INT_MIN);
            e.win().setPos(-100000, 100000);
            e.win().draw(e.greyImage());
        }),
        harmless("WindowTitles", [longText, highBytes](Env&) {
            zv::Window w(64, 48, longText.c_str(), nullptr, true);
            w.setTitle(highBytes);
            w.setTitle("");
        }),

        // ---- objects made while no window exists: nothing to make them in
        raises("ImageBeforeAnyWindow", Expect::Error, ZV_ERR_GL, 0, "window",
               [](Env&) { zv::Image im(4, 4, zv::ZV_GRAYSCALE, zv::ZV_UINT8); }),
        raises("PlotBeforeAnyWindow", Expect::Error, ZV_ERR_GL, 0, "window",
               [](Env&) { zv::Plot p(4, zv::ZV_FLOAT32); }),
        raises("HistogramBeforeAnyWindow", Expect::Error, ZV_ERR_GL, 0, "window",
               [](Env&) { zv::Histogram h(4, zv::ZV_FLOAT32); }),
        raises("FontBeforeAnyWindow", Expect::Error, ZV_ERR_GL, 0, "window",
               [](Env&) { zv::Font f; }),
        raises("ChartBeforeAnyWindow", Expect::Error, ZV_ERR_GL, 0,
               "make a window of the library current", [](Env&) { zv::Chart c; }),
    };
    return rows;
}

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class BadInput : public ::testing::TestWithParam<Row> {};

TEST_P(BadInput, CallerGetsWhatTheTableSays) {
    const Row& row = GetParam();
    Env env;
    if (row.expect == Expect::Harmless) {
        ASSERT_NO_THROW(row.act(env));
        if (row.check) row.check(env);
    } else {
        try {
            row.act(env);
            if (!::testing::Test::IsSkipped()) ADD_FAILURE() << "nothing was raised";
        } catch (const zv::Error& e) {
            EXPECT_EQ(e.err(), row.code) << e.what();
            EXPECT_GT(e.line(), 0);
            EXPECT_STRNE(e.functionName(), "");
            // Every failure says what to do about it, type errors and GL failures included.
            EXPECT_STRNE(e.expectedCondition(), "") << e.what();
            std::string detail = e.what();
            int argIndex = -1;
            switch (row.expect) {
                case Expect::Type: {
                    auto* t = dynamic_cast<const zv::TypeError*>(&e);
                    ASSERT_NE(t, nullptr) << "not a zv::TypeError: " << e.what();
                    EXPECT_STRNE(t->typeName(), "");
                    detail = e.functionName();  // the fixed message names no function
                    argIndex = t->argIndex();
                    break;
                }
                case Expect::Argument: {
                    auto* a = dynamic_cast<const zv::ArgumentError*>(&e);
                    ASSERT_NE(a, nullptr) << "not a zv::ArgumentError: " << e.what();
                    detail = a->expectedCondition();
                    argIndex = a->argIndex();
                    break;
                }
                case Expect::Dimension: {
                    auto* d = dynamic_cast<const zv::DimensionError*>(&e);
                    ASSERT_NE(d, nullptr) << "not a zv::DimensionError: " << e.what();
                    detail = d->expectedCondition();
                    argIndex = d->argIndex();
                    break;
                }
                default:
                    // The fixed message, then the reason it carries.
                    detail = std::string(e.what()) + " | " + e.expectedCondition();
                    EXPECT_EQ(dynamic_cast<const zv::TypeError*>(&e), nullptr);
                    EXPECT_EQ(dynamic_cast<const zv::ArgumentError*>(&e), nullptr);
                    EXPECT_EQ(dynamic_cast<const zv::DimensionError*>(&e), nullptr);
                    break;
            }
            if (row.expect != Expect::Error) {
                EXPECT_EQ(argIndex, row.argIndex);
            }
            EXPECT_NE(detail.find(row.mentions), std::string::npos)
                << "'" << detail << "' does not mention '" << row.mentions << "'";
        }
    }
    if (env.window) {
        env.window->makeCurrent();
        zvtest::expectNoGLError(row.name);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, BadInput, ::testing::ValuesIn(table()),
                         [](const ::testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
