// Steady-state frames: once an object has been drawn in a window, drawing it again there
// (over the whole window, or into a grid cell under a caption) allocates nothing on the heap
// and creates no OpenGL object. Both are counted, not timed: every operator new of this
// program, every name generated through the loader's entry points, the library's own count
// of owned names, and the texture names alive in the context.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <vector>

#include "gl/gl_objects.hpp"
#include "font/font_impl.hpp"
#include "hist2d/hist2d_impl.hpp"
#include "histogram/hist_impl.hpp"
#include "image/image_impl.hpp"
#include "image/image_series_impl.hpp"
#include "multichart/multichart_impl.hpp"
#include "annotations/mark_impl.hpp"
#include "band/band_impl.hpp"
#include "error_bars/error_bars_impl.hpp"
#include "scatter/scatter_impl.hpp"
#include "bars/bars_impl.hpp"
#include "plot/plot_impl.hpp"
#include "support/gl_test.hpp"
#include "plot/line_lod.hpp"
#include "window/interaction.hpp"
#include "window/window_impl.hpp"

namespace {
// Counting only while armed, so the test framework's own allocations do not count.
bool gArmed = false;
long gAllocations = 0;

void* allocate(std::size_t n) {
    if (gArmed) ++gAllocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    if (gArmed) ++gAllocations;
    return std::malloc(n ? n : 1);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    if (gArmed) ++gAllocations;
    return std::malloc(n ? n : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using internal::font_impl;
using internal::hist_impl;
using internal::image_impl;
using internal::plot_impl;
using internal::scatter_impl;
using internal::window_impl;

// Counts the names made through the loader's entry points while installed. The loader's
// pointers are process-wide variables, so swapping them catches every call of the library.
class NameCounter {
public:
    NameCounter() {
        gCount = 0;
        mGenBuffers = __glewGenBuffers;
        mGenVertexArrays = __glewGenVertexArrays;
        mGenSamplers = __glewGenSamplers;
        mGenFramebuffers = __glewGenFramebuffers;
        mGenQueries = __glewGenQueries;
        mCreateProgram = __glewCreateProgram;
        mCreateShader = __glewCreateShader;
        sGenBuffers = mGenBuffers;
        sGenVertexArrays = mGenVertexArrays;
        sGenSamplers = mGenSamplers;
        sGenFramebuffers = mGenFramebuffers;
        sGenQueries = mGenQueries;
        sCreateProgram = mCreateProgram;
        sCreateShader = mCreateShader;
        __glewGenBuffers = [](GLsizei n, GLuint* names) { gCount += n; sGenBuffers(n, names); };
        __glewGenVertexArrays = [](GLsizei n, GLuint* names) {
            gCount += n;
            sGenVertexArrays(n, names);
        };
        __glewGenSamplers = [](GLsizei n, GLuint* names) { gCount += n; sGenSamplers(n, names); };
        __glewGenFramebuffers = [](GLsizei n, GLuint* names) {
            gCount += n;
            sGenFramebuffers(n, names);
        };
        __glewGenQueries = [](GLsizei n, GLuint* names) { gCount += n; sGenQueries(n, names); };
        __glewCreateProgram = []() -> GLuint {
            ++gCount;
            return sCreateProgram();
        };
        __glewCreateShader = [](GLenum kind) -> GLuint {
            ++gCount;
            return sCreateShader(kind);
        };
    }
    ~NameCounter() {
        __glewGenBuffers = mGenBuffers;
        __glewGenVertexArrays = mGenVertexArrays;
        __glewGenSamplers = mGenSamplers;
        __glewGenFramebuffers = mGenFramebuffers;
        __glewGenQueries = mGenQueries;
        __glewCreateProgram = mCreateProgram;
        __glewCreateShader = mCreateShader;
    }
    long count() const { return gCount; }

private:
    static inline long gCount = 0;
    static inline PFNGLGENBUFFERSPROC sGenBuffers = nullptr;
    static inline PFNGLGENVERTEXARRAYSPROC sGenVertexArrays = nullptr;
    static inline PFNGLGENSAMPLERSPROC sGenSamplers = nullptr;
    static inline PFNGLGENFRAMEBUFFERSPROC sGenFramebuffers = nullptr;
    static inline PFNGLGENQUERIESPROC sGenQueries = nullptr;
    static inline PFNGLCREATEPROGRAMPROC sCreateProgram = nullptr;
    static inline PFNGLCREATESHADERPROC sCreateShader = nullptr;
    PFNGLGENBUFFERSPROC mGenBuffers;
    PFNGLGENVERTEXARRAYSPROC mGenVertexArrays;
    PFNGLGENSAMPLERSPROC mGenSamplers;
    PFNGLGENFRAMEBUFFERSPROC mGenFramebuffers;
    PFNGLGENQUERIESPROC mGenQueries;
    PFNGLCREATEPROGRAMPROC mCreateProgram;
    PFNGLCREATESHADERPROC mCreateShader;
};

// Texture names alive in the current context among the first few thousand (textures come
// from an entry point of OpenGL 1.1, which the loader does not hold).
int liveTextureNames() {
    int n = 0;
    for (GLuint name = 1; name < 4096; ++name) n += glIsTexture(name) ? 1 : 0;
    return n;
}

struct FrameCost {
    long allocations;
    long namesMade;
    long ownedNamesAdded;
    int texturesAdded;
};

// What one more frame costs, after the caller's first frame.
FrameCost measure(const std::function<void()>& frame) {
    const long owned = internal::liveGLObjects();
    const int textures = liveTextureNames();
    FrameCost cost{};
    {
        NameCounter names;
        gAllocations = 0;
        gArmed = true;
        frame();
        gArmed = false;
        cost.allocations = gAllocations;
        cost.namesMade = names.count();
    }
    cost.ownedNamesAdded = internal::liveGLObjects() - owned;
    cost.texturesAdded = liveTextureNames() - textures;
    return cost;
}

void expectFree(const FrameCost& c, const char* what) {
    EXPECT_EQ(c.allocations, 0) << what << ": heap allocations in a steady-state frame";
    EXPECT_EQ(c.namesMade, 0) << what << ": GL names generated in a steady-state frame";
    EXPECT_EQ(c.ownedNamesAdded, 0) << what << ": GL objects kept by a steady-state frame";
    EXPECT_EQ(c.texturesAdded, 0) << what << ": textures made by a steady-state frame";
}

class SteadyStateTest : public zvtest::GLTest {
protected:
    std::shared_ptr<font_impl> captionFont() {
        auto font = std::make_shared<font_impl>();
        font->loadSystemFont("Vera", 32);
        return font;
    }
    // `warmUp` first frames, then the frame measured. Dense lines take two: the software
    // rasteriser compiles one more variant of the reduction's shaders in the second frame
    // (inside the driver's own LLVM, which calls our operator new); the library makes
    // nothing after the first.
    void expectSteady(const std::function<void()>& frame, const char* what, int warmUp = 1) {
        for (int i = 0; i < warmUp; ++i) frame();
        expectFree(measure(frame), what);
        zvtest::expectNoGLError(what);
    }
};

// The probes themselves must see what a frame would make, or the tests prove nothing.
TEST_F(SteadyStateTest, ProbesSeeNewObjectsAndAllocations) {
    const FrameCost c = measure([] {
        GLuint buffer = 0;
        glGenBuffers(1, &buffer);
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glBindTexture(GL_TEXTURE_2D, 0);
        internal::GLBuffer owned = internal::GLBuffer::create();
        static std::unique_ptr<internal::GLBuffer> kept;
        kept.reset(new internal::GLBuffer(std::move(owned)));
    });
    EXPECT_EQ(c.namesMade, 2);  // the raw buffer and the owned one
    EXPECT_EQ(c.ownedNamesAdded, 1);
    EXPECT_EQ(c.texturesAdded, 1);
    EXPECT_GE(c.allocations, 1);
}

TEST_F(SteadyStateTest, ImageOverTheWholeWindow) {
    struct Case {
        zv::ColorMode mode;
        zv::ZVType type;
    };
    for (const Case& k : {Case{zv::ZV_GRAYSCALE, zv::ZV_UINT8}, Case{zv::ZV_RGBA, zv::ZV_FLOAT32},
                          Case{zv::ZV_RGB, zv::ZV_INT32}}) {
        auto image = std::make_shared<image_impl>(64, 48, k.mode, k.type);
        std::shared_ptr<internal::AbstractRenderable> r = image;
        expectSteady([&] { window->draw(r); }, "image");
    }
}

TEST_F(SteadyStateTest, ImageInAGridCellWithACaption) {
    window->setFont(captionFont());
    auto image = std::make_shared<image_impl>(64, 64, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    std::shared_ptr<internal::AbstractRenderable> r = image;
    window->grid(2, 2);
    expectSteady(
        [&] {
            window->draw(0, 0, r, "first cell");
            window->draw(1, 1, r, "Another caption, longer");
            window->draw();
        },
        "image in grid cells with captions");
}

// Each window has its own vertex arrays and its own copy of uniform values; switching
// between two windows every frame is still a steady state once both have drawn.
TEST_F(SteadyStateTest, ImageAlternatingBetweenTwoWindowsOfAGroup) {
    auto second = std::make_shared<window_impl>(W, H, "second", window, true);
    auto image = std::make_shared<image_impl>(32, 32, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    std::shared_ptr<internal::AbstractRenderable> r = image;
    expectSteady(
        [&] {
            window->draw(r);
            second->draw(r);
        },
        "image in two windows");
    internal::MakeContextCurrent(window.get());
}

// Every chart: the frame, its 18 labels and both titles (the text path), and the data.
std::vector<std::shared_ptr<internal::AbstractChart2D>> charts() {
    std::vector<std::shared_ptr<internal::AbstractChart2D>> all = {
        std::make_shared<plot_impl>(1000, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE),
        std::make_shared<plot_impl>(1000, zv::ZV_FLOAT32, zv::ZV_MARKER_STAR),
        std::make_shared<scatter_impl>(1000, zv::ZV_UINT32, zv::ZV_MARKER_CIRCLE),
        std::make_shared<hist_impl>(100, zv::ZV_FLOAT32),
        std::make_shared<hist_impl>(0, zv::ZV_UINT8),
    };
    for (auto& chart : all) {
        chart->setAxesLimits(10.0f, -2.5f, 1.0f, 0.0f);
        chart->setXAxisTitle("X Axis");
        chart->setYAxisTitle("Y Axis");
    }
    // Round-value ticks, logarithmic axes (the data pass clips points without a logarithm)
    // and labels thinned in narrow cells, under a title long enough to cover some.
    auto nice = std::make_shared<plot_impl>(1000, zv::ZV_FLOAT32, zv::ZV_MARKER_POINT);
    nice->setAxesLimits(2.1e7f, 1.9e7f, 1e-5f, -1e-5f);
    nice->setNiceTicks(true);
    auto log = std::make_shared<plot_impl>(1000, zv::ZV_FLOAT32, zv::ZV_MARKER_POINT);
    log->setAxesLimits(1e6f, 1e-3f, 100.0f, 0.5f);
    log->setLogAxes(true, true);
    log->setYAxisTitle("a title of thirty characters..");
    auto logHist = std::make_shared<hist_impl>(100, zv::ZV_FLOAT32);
    logHist->setAxesLimits(1.0f, 0.0f, 1e4f, 1.0f);
    logHist->setLogAxes(false, true);
    all.insert(all.end(), {nice, log, logHist});
    return all;
}

TEST_F(SteadyStateTest, ChartsOverTheWholeWindow) {
    for (const auto& chart : charts()) {
        std::shared_ptr<internal::AbstractRenderable> r = chart;
        expectSteady([&] { window->draw(r); }, "chart");
    }
}

TEST_F(SteadyStateTest, ChartsInGridCellsWithCaptions) {
    window->setFont(captionFont());
    window->grid(3, 3);
    const auto all = charts();
    expectSteady(
        [&] {
            for (size_t i = 0; i < all.size(); ++i)
                window->draw(static_cast<int>(i % 3), static_cast<int>(i / 3), all[i], "Cell");
            window->draw();
        },
        "charts in grid cells with captions", 2);  // the cells' lines are dense
}

// Dense lines, reduced per pixel column on the GPU: the reduction's framebuffers and queries
// (and the marker bitmap's) are made per window on the first frame, and nothing after. Two
// element types (two kinds of buffer texture), one with markers, over the whole window and
// in cells of two sizes.
TEST_F(SteadyStateTest, DenseLinesReducedOnTheGPU) {
    std::shared_ptr<internal::AbstractRenderable> lines[3] = {
        std::make_shared<plot_impl>(20000, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE),
        std::make_shared<plot_impl>(20000, zv::ZV_UINT8, zv::ZV_MARKER_NONE),
        std::make_shared<plot_impl>(20000, zv::ZV_UINT8, zv::ZV_MARKER_CIRCLE)};
    for (const auto& r : lines) expectSteady([&] { window->draw(r); }, "dense line", 2);
    window->grid(1, 3);
    expectSteady(
        [&] {
            window->draw(0, 0, lines[0], nullptr);
            window->draw(1, 0, lines[1], nullptr);
            window->draw(2, 0, lines[2], nullptr);
            window->draw();
        },
        "dense lines in grid cells", 2);
    for (const auto& r : lines) {
        ASSERT_NE(std::static_pointer_cast<plot_impl>(r)->lod(), nullptr);
        EXPECT_EQ(std::static_pointer_cast<plot_impl>(r)->lod()->windows(), 1u);
    }
}

// A ring told of its new points (advanceRing) sums their blocks again every frame, dense and
// reduced; charts linked on both axes, in cells; the cursor's read-out over a chart, in the
// whole window and in a cell: no allocation, no GL object once the first frames are drawn.
TEST_F(SteadyStateTest, AdvancedRingLinkedChartsAndTheReadout) {
    auto ring = std::make_shared<plot_impl>(20000, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE);
    std::vector<float> xy(2 * 20000);
    for (size_t i = 0; i < xy.size() / 2; ++i) {
        xy[2 * i] = static_cast<float>(i);
        xy[2 * i + 1] = static_cast<float>(i % 37);
    }
    glBindBuffer(GL_ARRAY_BUFFER, ring->vbo());
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(xy.size() * sizeof(float)),
                    xy.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    ring->setAxesLimits(20000.0f, 0.0f, 40.0f, 0.0f);
    std::shared_ptr<internal::AbstractRenderable> r = ring;
    expectSteady(
        [&] {
            ring->advanceRing(300);
            window->draw(r);
        },
        "ring advanced every frame", 2);
    ASSERT_NE(ring->lod(), nullptr);
    EXPECT_TRUE(ring->lod()->lastUsedBlocks());
    EXPECT_LE(ring->lod()->lastBlocksSummed(), 300u / internal::LineLod::BLOCK + 2);

    auto other = std::make_shared<plot_impl>(100, zv::ZV_FLOAT32, zv::ZV_MARKER_CIRCLE);
    other->linkAxis(internal::LINK_AXIS_X, *ring);
    other->linkAxis(internal::LINK_AXIS_Y, *ring);
    window->setReadout(true);
    window->draw(r);
    window->interaction().cursor(W / 2.0 + 0.3, H / 2.0 + 0.7);
    internal::Interaction::Readout shown;
    expectSteady([&] { window->draw(r); }, "read-out over the whole window", 2);
    ASSERT_TRUE(window->interaction().readoutIn(-1, -1, shown));
    window->grid(1, 2);
    window->interaction().cursor(W * 0.75, H / 2.0);  // over the second cell's frame
    std::shared_ptr<internal::AbstractRenderable> o = other;
    expectSteady(
        [&] {
            ring->advanceRing(300);
            window->draw(0, 0, r, nullptr);
            window->draw(1, 0, o, nullptr);
            window->draw();
        },
        "linked charts in cells, a read-out in one", 2);
    ASSERT_TRUE(window->interaction().readoutIn(1, 0, shown));
}

// Histograms of more bins than columns: one bar per column, its maximum taken on the GPU.
TEST_F(SteadyStateTest, DenseHistogramsDrawnByColumn) {
    auto dense = std::make_shared<hist_impl>(100000, zv::ZV_FLOAT32);
    std::shared_ptr<internal::AbstractRenderable> r = dense;
    expectSteady([&] { window->draw(r); }, "dense histogram", 2);
    window->grid(2, 2);
    expectSteady(
        [&] {
            window->draw(1, 1, r, nullptr);
            window->draw();
        },
        "dense histogram in a grid cell", 2);
    EXPECT_NE(dense->columnBars(), nullptr);
}

// 2-D histograms: the points binned into the count texture and the largest count found,
// each in this window's own framebuffers, then shown, whole window and in a grid cell.
TEST_F(SteadyStateTest, TwoDimensionalHistogramBinnedEveryFrame) {
    auto h = std::make_shared<internal::hist2d_impl>(10000, 64, 48, zv::ZV_FLOAT32);
    h->setLogScale(true);
    std::shared_ptr<internal::AbstractRenderable> r = h;
    expectSteady([&] { window->draw(r); }, "2-D histogram", 2);
    window->grid(2, 2);
    expectSteady(
        [&] {
            window->draw(0, 1, r, nullptr);
            window->draw();
        },
        "2-D histogram in a grid cell", 2);
}

// A chart of a line, a line with markers, a scatter plot and a histogram, all labelled: the
// series' passes, the frame, the legend's box, swatches, markers and labels.
TEST_F(SteadyStateTest, ChartOfFourSeriesWithALegend) {
    auto chart = std::make_shared<internal::multichart_impl>();
    chart->setAxesLimits(10.0f, -2.5f, 1.0f, 0.0f);
    chart->setXAxisTitle("X Axis");
    chart->setYAxisTitle("Y Axis");
    chart->add(std::make_shared<plot_impl>(1000, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE), "line");
    chart->add(std::make_shared<plot_impl>(1000, zv::ZV_FLOAT32, zv::ZV_MARKER_STAR), "stars");
    chart->add(std::make_shared<scatter_impl>(1000, zv::ZV_UINT32, zv::ZV_MARKER_CIRCLE),
               "scatter");
    chart->add(std::make_shared<hist_impl>(100, zv::ZV_FLOAT32), "bars");
    std::shared_ptr<internal::AbstractRenderable> r = chart;
    expectSteady([&] { window->draw(r); }, "chart of four series with a legend");
    window->setFont(captionFont());
    window->grid(1, 2);
    expectSteady(
        [&] {
            window->draw(1, 0, r, "Chart");
            window->draw();
        },
        "chart of four series with a legend in a cell");
}

// Stepped lines, alone and as a series of a chart: the steps are made on the GPU each draw.
TEST_F(SteadyStateTest, SteppedLines) {
    auto steps = std::make_shared<plot_impl>(5000, zv::ZV_FLOAT32, zv::ZV_MARKER_POINT);
    steps->setStepMode(3);
    steps->setLineWidth(3);
    std::shared_ptr<internal::AbstractRenderable> alone = steps;
    expectSteady([&] { window->draw(alone); }, "stepped line");
    auto chart = std::make_shared<internal::multichart_impl>();
    chart->add(steps, "steps");
    std::shared_ptr<internal::AbstractRenderable> r = chart;
    expectSteady([&] { window->draw(r); }, "stepped line in a chart");
}

// Bands, alone and under a line in a chart with a legend (the swatch blends too).
TEST_F(SteadyStateTest, Bands) {
    auto band = std::make_shared<internal::band_impl>(5000, zv::ZV_FLOAT32,
                                                      zv::ZV_BAND_TWO_CURVES);
    std::shared_ptr<internal::AbstractRenderable> alone = band;
    expectSteady([&] { window->draw(alone); }, "band");
    auto chart = std::make_shared<internal::multichart_impl>();
    chart->add(band, "band");
    chart->add(std::make_shared<plot_impl>(1000, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE), "line");
    std::shared_ptr<internal::AbstractRenderable> r = chart;
    expectSteady([&] { window->draw(r); }, "band in a chart");
}

// Colour-mapped scatters with sizes and a colour bar, alone and in a cell; error bars
// following their data (a capture of the extents every frame), alone and in a chart beside
// a scatter.
TEST_F(SteadyStateTest, ScattersAndErrorBars) {
    auto scatter = std::make_shared<internal::mapped_scatter_impl>(5000, zv::ZV_FLOAT32,
                                                                   zv::ZV_MARKER_POINT, true);
    scatter->setColorBar(true);
    scatter->setColorBarTitle("value");
    std::shared_ptr<internal::AbstractRenderable> alone = scatter;
    expectSteady([&] { window->draw(alone); }, "scatter with a colour bar");
    auto bars = std::make_shared<internal::error_bars_impl>(
        5000, zv::ZV_FLOAT32, zv::ZV_ERRORS_ASYMMETRIC, zv::ZV_ERRORS_SYMMETRIC);
    bars->setAutoFit(true);
    std::shared_ptr<internal::AbstractRenderable> barsAlone = bars;
    expectSteady([&] { window->draw(barsAlone); }, "error bars following their data");
    auto chart = std::make_shared<internal::multichart_impl>();
    chart->add(scatter, "scatter");
    chart->add(bars, "bars");
    chart->setAutoFit(true);
    std::shared_ptr<internal::AbstractRenderable> r = chart;
    expectSteady([&] { window->draw(r); }, "scatter and error bars in a chart");
    window->grid(2, 2);
    expectSteady(
        [&] {
            window->draw(0, 1, alone, nullptr);
            window->draw();
        },
        "scatter with a colour bar in a cell");
}

// Bars alone with named categories, then grouped and stacked (the stack pass runs every
// frame) with reference lines, a span and text in a chart with a legend.
TEST_F(SteadyStateTest, BarsAndMarks) {
    auto low = std::make_shared<internal::bars_impl>(12u, zv::ZV_FLOAT32, zv::ZV_BARS_VERTICAL);
    low->setCategoryNames({"jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct",
                           "nov", "dec"});
    std::shared_ptr<internal::AbstractRenderable> alone = low;
    expectSteady([&] { window->draw(alone); }, "bars");
    auto high = std::make_shared<internal::bars_impl>(12u, zv::ZV_INT32, zv::ZV_BARS_VERTICAL);
    high->stackOn(low);
    auto side = std::make_shared<internal::bars_impl>(12u, zv::ZV_UINT16, zv::ZV_BARS_VERTICAL);
    using Kind = internal::mark_impl::Kind;
    auto line = std::make_shared<internal::mark_impl>(Kind::Line, zv::ZV_MARK_Y, 0.5f, 0.0f, "l");
    auto span = std::make_shared<internal::mark_impl>(Kind::Span, zv::ZV_MARK_X, 2.0f, 4.0f, "s");
    auto note = std::make_shared<internal::mark_impl>(Kind::Text, 0, 1.0f, 0.5f, "t");
    note->setText("peak \u2191");
    auto chart = std::make_shared<internal::multichart_impl>();
    chart->add(span, "span");
    chart->add(low, "low");
    chart->add(high, "high");
    chart->add(side, "side");
    chart->add(line, "line");
    chart->add(note, nullptr);
    chart->setAutoFit(true);
    std::shared_ptr<internal::AbstractRenderable> r = chart;
    expectSteady([&] { window->draw(r); }, "bars and marks in a chart");
}

TEST_F(SteadyStateTest, ImageWithAColourBar) {
    auto image = std::make_shared<image_impl>(64, 48, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32);
    image->setValueRange(250.0f, 320.0f);
    image->showColorBar(true);
    std::shared_ptr<internal::AbstractRenderable> r = image;
    expectSteady([&] { window->draw(r); }, "image with a colour bar");
    window->grid(2, 2);
    expectSteady(
        [&] {
            window->draw(0, 1, r, nullptr);
            window->draw();
        },
        "image with a colour bar in a cell");
}

// An image on a chart's axes with linear filtering and a colour bar under a titled line,
// alone and in a chart with a legend: the upload, the placed quad, the bar and the swatch.
TEST_F(SteadyStateTest, ImageSeriesWithAColourBar) {
    auto image = std::make_shared<image_impl>(64, 48, zv::ZV_GRAYSCALE, zv::ZV_FLOAT32);
    image->setValueRange(250.0f, 320.0f);
    image->setColorBarTitle("K");
    auto field = std::make_shared<internal::image_series_impl>(image);
    field->setExtent(-1.0f, 1.0f, 0.0f, 0.75f);
    field->setLinearFilter(true);
    field->setColorBar(true);
    std::shared_ptr<internal::AbstractRenderable> alone = field;
    expectSteady([&] { window->draw(alone); }, "image series with a colour bar");
    auto chart = std::make_shared<internal::multichart_impl>();
    chart->add(field, "field");
    chart->add(std::make_shared<plot_impl>(1000, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE), "line");
    chart->setAutoFit(true);
    std::shared_ptr<internal::AbstractRenderable> r = chart;
    expectSteady([&] { window->draw(r); }, "image series in a chart", 3);
}

TEST_F(SteadyStateTest, TextAlone) {
    auto font = captionFont();
    const float pos[2] = {10.0f, 100.0f};
    const float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    expectSteady(
        [&] {
            font->render(window->id(), W, H, pos, color, "0.50 -0.22 X Axis", 15, false);
            font->render(window->id(), W, H, pos, color, "Y Axis", 15, true);
        },
        "text");
}

// Text beyond ASCII: once a string's glyphs are loaded (the first frame rasterises them, a
// fallback face's among them), frames with them allocate nothing and make no GL object.
TEST_F(SteadyStateTest, NonAsciiTitlesLegendsCaptionsAndText) {
    auto chart = std::make_shared<internal::multichart_impl>();
    chart->setAxesLimits(10.0f, -2.5f, 1.0f, 0.0f);
    chart->setXAxisTitle("Time (\xC2\xB5s)");
    chart->setYAxisTitle("PSD (K\xC2\xB2/Hz)");
    chart->add(std::make_shared<plot_impl>(1000, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE),
               "\xCE\xB1 \xE2\x88\x92 \xCE\xB2 (\xE2\x80\xB0)");
    chart->add(std::make_shared<hist_impl>(100, zv::ZV_FLOAT32), "\xD0\x96 \xE2\x82\xAC");
    auto plot = std::make_shared<plot_impl>(1000, zv::ZV_FLOAT32, zv::ZV_MARKER_STAR);
    plot->setAxesLimits(10.0f, -2.5f, 1.0f, 0.0f);
    plot->setXAxisTitle("Temperature (\xC2\xB0" "C) \xC3\x85 \xC2\xB1 \xE0\xA4\x95");
    plot->setYAxisTitle("\xC2\xB5m\xC2\xB3");
    std::shared_ptr<internal::AbstractRenderable> a = chart, b = plot;
    window->setFont(captionFont());
    window->grid(1, 2);
    expectSteady(
        [&] {
            window->draw(0, 0, a, "Temperature (\xC2\xB0" "C)");
            window->draw(1, 0, b, "\xC3\xA9t\xC3\xA9 \xE2\x80\x94 \xCE\xA9");
            window->draw();
        },
        "non-ASCII chart titles, legend entries and captions", 2);
    auto font = captionFont();
    const float pos[2] = {10.0f, 100.0f};
    const float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    expectSteady(
        [&] {
            font->render(window->id(), W, H, pos, color, "\xC2\xB1 0.5 \xC2\xB5s \xE0\xA4\x95",
                         15, false);
            font->begin(window->id(), W, H);
            font->drawStringRotated(pos, color, "PSD (K\xC2\xB2/Hz) \xE2\x80\xB0", 15);
            font->end();
        },
        "non-ASCII text, horizontal and turned");
}

// Limits that follow the data: once the ring of reductions is full and the data holds
// still, a frame with auto-fit on allocates nothing, makes no GL object and never waits on
// the GPU (the one read is a map of a result two frames old; no glGetBufferSubData).
// Streams: rings whose start and count move every frame, in every layout of x and y and in
// 16-bit elements, dense (reduced on the GPU, markers stamped) and sparse (the ring's seam
// drawn), one following its data; 16-bit histograms and images beside them.
TEST_F(SteadyStateTest, StreamsMovingTheirRingEveryFrame) {
    const unsigned cap = 20000;
    std::shared_ptr<plot_impl> rings[] = {
        std::make_shared<plot_impl>(cap, zv::ZV_FLOAT32, zv::ZV_MARKER_POINT,
                                    zv::DataLayout::separate()),
        std::make_shared<plot_impl>(cap, zv::ZV_INT16, zv::ZV_MARKER_NONE,
                                    zv::DataLayout::strided(8, 2, 6)),
        std::make_shared<plot_impl>(cap, zv::ZV_UINT16, zv::ZV_MARKER_NONE,
                                    zv::DataLayout::implicitX(0.5f, 3.0f)),
        std::make_shared<plot_impl>(50, zv::ZV_FLOAT32, zv::ZV_MARKER_CIRCLE)};
    std::vector<float> x(cap);
    for (unsigned i = 0; i < cap; ++i) x[i] = static_cast<float>(i);
    glBindBuffer(GL_ARRAY_BUFFER, rings[0]->xVbo());
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(cap * sizeof(float)), x.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    rings[2]->setAutoFit(true);
    auto hist = std::make_shared<hist_impl>(5000, zv::ZV_INT16);
    auto image = std::make_shared<image_impl>(64, 64, zv::ZV_GRAYSCALE, zv::ZV_UINT16);
    std::shared_ptr<internal::AbstractRenderable> r[] = {rings[0], rings[1], rings[2],
                                                         rings[3], hist,     image};
    window->grid(3, 2);
    unsigned frameNumber = 0;
    const auto frame = [&] {
        ++frameNumber;
        for (const auto& p : rings) {
            const unsigned n = p->numPoints();
            // The one following its data keeps its count, so that its limits stay (new
            // limits make new labels, which is not what is measured here).
            const unsigned shorter = p->autoFit() ? 0 : frameNumber % 3;
            p->setRing((frameNumber * 7919u) % n, n - shorter);
        }
        for (int i = 0; i < 6; ++i) window->draw(i % 3, i / 3, r[i], nullptr);
        window->draw();
    };
    expectSteady(frame, "streams moving their ring", 4);
    for (int i = 0; i < 3; ++i) ASSERT_NE(rings[i]->lod(), nullptr) << i;
}

TEST_F(SteadyStateTest, ChartsFollowingTheirData) {
    auto plot = std::make_shared<plot_impl>(1000, zv::ZV_FLOAT32, zv::ZV_MARKER_CIRCLE);
    auto hist = std::make_shared<hist_impl>(100, zv::ZV_UINT32);
    std::vector<float> xy(2000);
    for (size_t i = 0; i < xy.size(); ++i) xy[i] = static_cast<float>(i % 37) - 5.0f;
    std::vector<unsigned> counts(100, 7);
    glBindBuffer(GL_ARRAY_BUFFER, plot->vbo());
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(xy.size() * sizeof(float)),
                    xy.data());
    glBindBuffer(GL_ARRAY_BUFFER, hist->vbo());
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(counts.size() * sizeof(unsigned)),
                    counts.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    plot->setAutoFit(true);
    hist->setAutoFit(true);
    // A chart of both series following them too, on its own reductions.
    auto chart = std::make_shared<internal::multichart_impl>();
    chart->add(plot, "plot");
    chart->add(hist, "bars");
    chart->setAutoFit(true);
    // The mouse is on (the default): the window keeps what it drew where, every frame.
    ASSERT_TRUE(window->interactive());
    std::shared_ptr<internal::AbstractRenderable> p = plot, h = hist, c = chart;
    window->grid(1, 3);
    const auto frame = [&] {
        window->draw(0, 0, p, nullptr);
        window->draw(1, 0, h, nullptr);
        window->draw(2, 0, c, nullptr);
        window->draw();
    };
    for (int i = 0; i < 4; ++i) frame();  // builds, fills the ring, fits once
    ASSERT_FLOAT_EQ(7.35f, hist->ymax());  // the tallest bar plus 5%
    ASSERT_FLOAT_EQ(32.8f, chart->ymax());  // points -5 to 31, bars to 7: 5% of 36 over

    static long sGetBufferSubData = 0, sMaps = 0;
    static PFNGLGETBUFFERSUBDATAPROC sGet = nullptr;
    static PFNGLMAPBUFFERRANGEPROC sMap = nullptr;
    sGet = __glewGetBufferSubData;
    sMap = __glewMapBufferRange;
    sGetBufferSubData = sMaps = 0;
    __glewGetBufferSubData = [](GLenum t, GLintptr o, GLsizeiptr n, void* d) {
        ++sGetBufferSubData;
        sGet(t, o, n, d);
    };
    __glewMapBufferRange = [](GLenum t, GLintptr o, GLsizeiptr n, GLbitfield a) {
        ++sMaps;
        return sMap(t, o, n, a);
    };
    expectSteady(frame, "charts following their data");
    __glewGetBufferSubData = sGet;
    __glewMapBufferRange = sMap;
    EXPECT_EQ(0, sGetBufferSubData);
    EXPECT_EQ(8, sMaps);  // one old result per series followed, in each of the two frames
}

}  // namespace

// A themed chart: grid lines, minor ticks, titles outside the frame (the y title turned), a
// chart title and the legend right of the frame, over the whole window and in grid cells
// under captions of the style's own band; and a plot with a style of its own, which brings
// its background.
TEST_F(SteadyStateTest, ThemedChartsWithTitlesOutsideAndTheLegendBeside) {
    auto chart = std::make_shared<internal::multichart_impl>();
    chart->setAxesLimits(10.0f, -2.5f, 1.0f, 0.0f);
    chart->setXAxisTitle("Time (s)");
    chart->setYAxisTitle("Temperature (\xC2\xB0" "C)");
    chart->setTitle("A day of readings");
    chart->add(std::make_shared<plot_impl>(1000, zv::ZV_FLOAT32, zv::ZV_MARKER_NONE), "line");
    chart->add(std::make_shared<hist_impl>(100, zv::ZV_FLOAT32), "bars");
    auto plot = std::make_shared<plot_impl>(1000, zv::ZV_FLOAT32, zv::ZV_MARKER_STAR);
    plot->setXAxisTitle("x");
    plot->setYAxisTitle("y");
    plot->setStyle(zv::Style::dark(), "Series::setStyle");
    window->setStyle(zv::Style::light());
    std::shared_ptr<internal::AbstractRenderable> a = chart, b = plot;
    expectSteady([&] { window->draw(a); }, "themed chart over the whole window");
    window->setFont(captionFont());
    window->grid(1, 2);
    expectSteady(
        [&] {
            window->draw(0, 0, a, "Themed chart");
            window->draw(1, 0, b, "Plot of its own style");
            window->draw();
        },
        "themed charts in grid cells under captions", 2);
}
