#pragma once
// The baseline: hand-written OpenGL drawing the same pictures as the library, with no
// library around it. It compiles the library's shader sources itself, makes its own
// buffers, textures and vertex arrays, and per frame binds what each draw uses, uploads
// what depends on the frame, and draws. State that never changes during a run (clear
// colour, blend function, unpack alignment, point size, texture filtering, constant
// uniforms, the colour-map binding) is set once at start-up, and nothing is unbound.
//
// Every function expects the baseline window's context to be current.

#include <string>
#include <vector>

#ifndef GLEW_MX
#define GLEW_MX
#endif
#include <GL/glew.h>

#include "chart/chart_layout.hpp"

namespace baseline {

struct Rect {
    int x, y, w, h;
};

// A string laid out once: the glyph index and quad origin of every drawn character.
struct TextRun {
    struct Glyph {
        int k;
        float x, y;
    };
    std::vector<Glyph> glyphs;
    float projection[16];
    float color[4];
    float scale;
};

class Renderer;

class Image {
public:
    Image(Renderer& r, unsigned width, unsigned height, bool gray, bool float32);
    ~Image();
    GLuint pbo() const { return mPBO; }
    size_t bytes() const { return mBytes; }
    // Unpacks the pixel buffer and draws the quad into the current viewport for an area of
    // areaW x areaH (the aspect-ratio scale), as the library does.
    void draw(int areaW, int areaH, bool keepAspect);

private:
    Renderer& mR;
    unsigned mW, mH;
    GLenum mFormat, mType;
    size_t mBytes;
    GLuint mTex = 0, mPBO = 0;
};

// A chart frame for one drawing area: border, ticks, labels and titles. The labels and the
// positions of all text are laid out at construction.
class Chart {
public:
    Chart(Renderer& r, int areaW, int areaH, const std::vector<std::string>& xLabels,
          const std::vector<std::string>& yLabels, const std::string& xTitle,
          const std::string& yTitle);
    ~Chart();
    const internal::ChartLayout& layout() const { return mLayout; }
    GLuint vbo() const { return mVBO; }
    // The data clip of this frame in the given viewport.
    internal::PixelBox scissor(const int viewport[4]) const;
    void draw();

private:
    Renderer& mR;
    internal::ChartLayout mLayout;
    GLuint mVBO = 0, mVAO = 0;
    int mTicks = 0;
    TextRun mText;
};

class Plot {
public:
    // marker 0: a line only; scatter: markers only.
    Plot(Renderer& r, unsigned n, int marker, bool scatter, const float color[4]);
    ~Plot();
    GLuint vbo() const { return mVBO; }
    size_t bytes() const { return size_t(mN) * 2 * sizeof(float); }
    // The graph clipped to the chart's frame, then the frame.
    void draw(Chart& chart, const int viewport[4], float xmax, float xmin, float ymax, float ymin);
    // Several line plots (no markers) clipped to one frame, then the frame once.
    static void drawMany(Chart& chart, const int viewport[4], Plot* const* plots, size_t n,
                         float xmax, float xmin, float ymax, float ymin);
    // Steps (1 before, 2 after, 3 centred on each point), drawn in full as the library does.
    void setStepMode(int mode) { mStepMode = mode; }

private:
    Renderer& mR;
    unsigned mN;
    int mMarker;
    bool mScatter;
    int mStepMode = 0;
    float mColor[4];
    GLuint mVBO = 0, mVAO = 0;
    // The line, reduced per column when dense (as the library reduces it).
    bool drawLine(const glm::mat4& t, const internal::PixelBox& box, const int viewport[4]);
    GLuint mLodPoints = 0, mLodReduced = 0, mLodVerdict = 0;
    GLuint mLodFbo[2] = {0, 0};
    GLuint mLodQueries[2] = {0, 0};
    // The markers of a reduced line, stamped from a bitmap of their centres (as the library
    // stamps them): the bitmap's texture and framebuffer.
    void drawMarkers(const glm::mat4& t, const internal::PixelBox& box, const int viewport[4],
                     bool reduced);
    GLuint mBitmap = 0, mBitmapFbo = 0;
};

class Histogram {
public:
    Histogram(Renderer& r, Chart& chart, unsigned bins, float ymax, const float color[4]);
    ~Histogram();
    GLuint vbo() const { return mVBO; }
    size_t bytes() const { return size_t(mBins) * sizeof(float); }
    void draw(Chart& chart, const int viewport[4]);

private:
    Renderer& mR;
    unsigned mBins;
    GLuint mVBO = 0, mVAO = 0;
    GLuint mBinsTexture = 0;  // buffer texture over mVBO, for the column bars
};

// A 2-D histogram: the points counted into an nx x ny float texture (one GL_POINT each,
// additive blending), the largest count taken into a 1 x 1 texture (GL_MAX blending), and
// the bins shown through the colour map inside the frame, as the library does every frame.
// Its own programs, built from the library's sources; the bins span [0, 1]^2 and the frame's
// limits are [0, 1] on both axes.
class Histogram2D {
public:
    Histogram2D(Renderer& r, unsigned n, unsigned nx, unsigned ny);
    ~Histogram2D();
    GLuint vbo() const { return mVBO; }
    size_t bytes() const { return size_t(mN) * 2 * sizeof(float); }
    void draw(Chart& chart, const int viewport[4]);

private:
    Renderer& mR;
    unsigned mN, mNx, mNy;
    GLuint mVBO = 0, mPointsVAO = 0, mEmptyVAO = 0;
    GLuint mCounts = 0, mMax = 0, mCountsFbo = 0, mMaxFbo = 0;
    GLuint mBin = 0, mMaxProgram = 0, mShow = 0;
    // Where the context has image atomics (OpenGL 4.2), the points are counted by fragments
    // into an unsigned image, as the library does there.
    bool mByFragments = false;
    GLuint mBinImage = 0, mPointTexture = 0, mAtomic = 0, mTake = 0;
    GLint mShowTransform = -1;
};

// A band of n points between two curves, filled in one colour at its opacity; one draw of
// the library's band program.
class Band {
public:
    Band(Renderer& r, unsigned n, const float color[4]);
    ~Band();
    GLuint vbo() const { return mVBO; }
    size_t bytes() const { return size_t(mN) * 4 * sizeof(float); }
    void draw(Chart& chart, const int viewport[4], float xmax, float xmin, float ymax,
              float ymin);

private:
    unsigned mN;
    float mColor[4];
    GLuint mVBO = 0, mVAO = 0, mProgram = 0;
    GLint mTransform = -1;
};

// A colour-mapped scatter: n points, a value and a marker size each, discs through the
// colour map over a value range; one draw of the library's scatter program.
class ColorScatter {
public:
    ColorScatter(Renderer& r, unsigned n, float valueMin, float valueMax);
    ~ColorScatter();
    GLuint vbo() const { return mVBO; }
    GLuint valueVbo() const { return mValues; }
    GLuint sizeVbo() const { return mSizes; }
    void draw(Chart& chart, const int viewport[4], float xmax, float xmin, float ymax,
              float ymin);

private:
    unsigned mN;
    GLuint mVBO = 0, mValues = 0, mSizes = 0, mVAO = 0, mProgram = 0;
    GLint mTransform = -1, mHalfViewport = -1, mViewportOrigin = -1;
};

// Error bars: n points with asymmetric y errors and symmetric x errors, bars and caps of
// whole pixels in one colour; one draw of the library's error-bar program.
class ErrorBars {
public:
    ErrorBars(Renderer& r, unsigned n, const float color[4]);
    ~ErrorBars();
    GLuint vbo() const { return mVBO; }
    GLuint yErrorVbo() const { return mYErrors; }
    GLuint xErrorVbo() const { return mXErrors; }
    void draw(Chart& chart, const int viewport[4], float xmax, float xmin, float ymax,
              float ymin);

private:
    unsigned mN;
    GLuint mVBO = 0, mYErrors = 0, mXErrors = 0, mVAO = 0, mProgram = 0;
    GLint mTransform = -1, mHalfViewport = -1;
};

// Bars of n categories in two series, the second stacked on the first: the stack's tops
// added by a transform-feedback pass every frame, then both series drawn one point per
// category through the library's bar shaders, side by side in one place of the group width
// 0.8, over the limits x [-0.5, n - 0.5] and y [0, 1], as a zv::Chart of two zv::Bars does.
class Bars {
public:
    Bars(Renderer& r, unsigned n, const float lowColor[4], const float highColor[4]);
    ~Bars();
    GLuint lowVBO() const { return mLow; }
    GLuint highVBO() const { return mHigh; }
    size_t bytes() const { return size_t(mN) * sizeof(float); }
    void draw(Chart& chart, const int viewport[4]);

private:
    unsigned mN;
    float mLowColor[4], mHighColor[4];
    GLuint mLow = 0, mHigh = 0, mTops = 0;
    GLuint mLowVAO = 0, mHighVAO = 0, mStackVAO = 0;
    GLuint mDraw = 0, mStack = 0;
    GLint mTransform = -1, mColor = -1, mStacked = -1;
};

// Programs, the glyph set, the quad and the colour map, made once in the baseline window.
class Renderer {
public:
    // Builds everything; `fontFile` is rasterised at `fontSize` pixels.
    Renderer(const std::string& fontFile, int fontSize);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Lays out `text` at pos in an area of areaW x areaH units, drawn at fontSize pixels,
    // appending to `run` (whose projection and colour are set from the area and colour).
    void layout(TextRun& run, int areaW, int areaH, float x, float y, const char* text,
                int fontSize, bool vertical, const float color[4]) const;
    void drawText(const TextRun& run);
    // How far the pen moves over `text` drawn at fontSize pixels.
    float textWidth(const char* text, int fontSize) const;

    // Whole-window frame: viewport and clear.
    void beginFrame(int w, int h);

    struct ImageProgram {
        GLuint program = 0;
        GLint matrix = -1, isGray = -1;
    } image;
    struct BorderProgram {
        GLuint program = 0;
        GLint transform = -1, color = -1;
    } border;
    // The plot line: segments widened into triangles, as the library draws them.
    struct LineProgram {
        GLuint program = 0;
        GLint transform = -1, color = -1, halfViewport = -1, halfWidth = -1, stepMode = -1;
    } line;
    // Level of detail of dense lines: the reduction, the verdict and the reduced line.
    struct LodReduceProgram {
        GLuint program = 0;
        GLint columns = -1, transform = -1, origin = -1, halfViewport = -1, firstColumn = -1,
              n = -1;
    } lodReduce;
    struct LodVerdictProgram {
        GLuint program = 0;
        GLint count = -1, wantOrdered = -1;
    } lodVerdict;
    struct LodLineProgram {
        GLuint program = 0;
        GLint transform = -1, origin = -1, color = -1, halfViewport = -1, halfWidth = -1;
    } lodLine;
    struct SpriteProgram {
        GLuint program = 0;
        GLint transform = -1, isYAxis = -1;
    } sprite;
    struct MarkerProgram {
        GLuint program = 0;
        GLint transform = -1, color = -1, type = -1, halfViewport = -1, viewportOrigin = -1;
    } marker;
    // Markers of dense lines: the bitmap of their centres and the stamp.
    struct MarkerBitmapProgram {
        GLuint program = 0;
        GLint n = -1, transform = -1, origin = -1, halfViewport = -1, gridOrigin = -1,
              chunks = -1, type = -1;
    } markerBitmap;
    struct MarkerStampProgram {
        GLuint program = 0;
        GLint gridOrigin = -1, viewportOrigin = -1, chunks = -1, color = -1;
    } markerStamp;
    struct BarProgram {
        GLuint program = 0;
        GLint transform = -1, nbins = -1, ymax = -1;
    } bar;
    // Histograms of more bins than columns: one bar per pixel column at its highest bin.
    struct ColumnBarProgram {
        GLuint program = 0;
        GLint transform = -1, halfViewport = -1, firstColumn = -1;
    } columnBar;
    struct TextProgram {
        GLuint program = 0;
        GLint projection = -1, modelView = -1, color = -1, glyphBox = -1;
    } text;
    GLuint quadVAO = 0;

private:
    GLuint mQuadBuffers[3] = {};
    GLuint mColorMap = 0;
    std::vector<GLuint> mPages;  // glyph pages (see font/glyph_atlas.hpp)
    int mGlyphPage[95] = {};
    float mGlyphClamp[95][4] = {};
    int mAdvance[95] = {}, mBearingX[95] = {};
    int mLineHeight = 0, mLoadedSize = 0;
    GLuint mTextVBO = 0, mTextVAO = 0;
};

// The file fontconfig finds for a family name, or "" when none.
std::string findFont(const char* family);

}  // namespace baseline
