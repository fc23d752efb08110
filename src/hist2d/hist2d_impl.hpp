#pragma once
// 2-D histograms: N points (x, y) the application writes into a buffer the histogram makes,
// counted on the GPU at every draw into an nx x ny texture of bins over a range the caller
// sets, and shown through the window's colour map inside the chart frame. Nothing is read
// back: the binning, the largest count that scales the colours and the picture all stay on
// the GPU.

#include <cstddef>
#include <memory>

#include "chart/chart_impl.hpp"
#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shared_program.hpp"
#include "gl/vertex_arrays.hpp"
#include "zarvo/defines.h"

namespace internal {

// A 2-D histogram is a chart of one series, itself, or a series of a chart of several.
class hist2d_impl : public AbstractChart2D, public ChartSeries {
public:
    // npoints points of two dataType elements each (x then y), binned into nx x ny bins
    // spanning [0, 1] x [0, 1] until setBinRange. A window of the share group it will be
    // drawn in must be current. Raises, before any OpenGL object is made:
    // zv::TypeError (argument 1) for a type charts do not take; zv::DimensionError for more
    // points than one draw takes (argument 1), or nx (2) or ny (3) of 0 or above what a
    // texture and a viewport take.
    hist2d_impl(unsigned npoints, unsigned nx, unsigned ny, zv::ZVType dataType);
    ~hist2d_impl() override;

    // Points at or between the limits count; the upper edges belong to the last bins. Raises
    // zv::ArgumentError (labelled `label`) for a limit that is not finite or a max not above
    // its min; nothing changes then.
    void setBinRange(float xmin, float xmax, float ymin, float ymax,
                     const char* label = "Histogram2D::setBinRange");
    const float* binRange() const { return mRange; }  // xmin, xmax, ymin, ymax
    void setLogScale(bool on) { mLogScale = on; }
    bool logScale() const { return mLogScale; }
    void setSwatchColor(float red, float green, float blue);

    unsigned points() const { return mPoints; }
    unsigned binsX() const { return mNx; }
    unsigned binsY() const { return mNy; }
    // The R32F texture of counts (row 0 the lowest y) and the 1 x 1 one of the largest count,
    // as the last draw left them.
    GLuint countTexture() const { return mCounts.get(); }
    GLuint maxTexture() const { return mMax.get(); }
    // Whether the points are counted by fragments with image atomics (else drawn as points).
    bool countsByFragments() const { return mByFragments; }

    GLuint vbo() const override { return mVBO.get(); }
    size_t size() const override { return mVBOSize; }

    // Bins the points, then shows the bins' rectangle through the chart's axes.
    void drawSeries(const FrameDraw& frame, const ChartAxes& axes) override;
    // A fit reduces the two corners of the bins' rectangle, not the points: the bins are
    // what is shown, and reducing 10^8 points every frame would cost as much as binning them.
    SeriesData seriesData() const override { return packedPairs(mExtent.get(), GL_FLOAT, 2); }
    void addBounds(SeriesBounds& bounds, const DataBounds& range) const override {
        bounds.addPoints(range);
    }
    void fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const override {
        painter.fill(entry.bar, mSwatch);
    }
    bool colorSet() const override { return mColorSet; }
    const char* seriesKind() const override { return "2-D histogram"; }
    ChartSeries* asSeries() override { return this; }
    void takeCycleColor(zv::Color color) override;

protected:
    const char* fitLabel() const override { return "Histogram2D::fitAxesToData"; }
    // Alone: the limits become the bins' rectangle exactly.
    void applyFit(const SeriesBounds& bounds) override;

private:
    struct Accepted {
        GLenum gl;
    };
    static Accepted accept(unsigned npoints, unsigned nx, unsigned ny, zv::ZVType dataType);
    hist2d_impl(unsigned npoints, unsigned nx, unsigned ny, Accepted type);
    // Counts the points into mCounts and the largest count into mMax, in this window's
    // framebuffers; puts back the framebuffer, viewport, scissor test, clear colour and
    // blending the chart draw had.
    void bin(int windowId);
    // The counting by fragments and image atomics, into mCounts (cleared, blended by adding);
    // puts back image unit 0.
    void binByFragments(int windowId, GLuint emptyVertexArray);
    // Puts a binning program in use with the bins' range and count.
    void useBinning(UniformCache& u, int windowId) const;

    // Per window: the framebuffers over the count and the largest-count textures, and the
    // vertex arrays of the points and of nothing (for the passes that read no attribute).
    struct WindowObjects {
        GLFramebuffer counts;
        GLFramebuffer max;
        GLVertexArray points;
        GLVertexArray empty;
    };

    GLenum mGLType;
    unsigned mPoints;
    unsigned mNx;
    unsigned mNy;
    float mRange[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    bool mLogScale = false;
    float mSwatch[4] = {0.3f, 0.6f, 1.0f, 1.0f};
    bool mColorSet = false;
    GLBuffer mVBO;
    size_t mVBOSize = 0;
    GLBuffer mExtent;  // the bins' corners (xmin, ymin), (xmax, ymax), for fits
    GLTexture mCounts;
    GLTexture mMax;
    // Where the context has image atomics and the points fit a buffer texture and the pass's
    // loops: the points counted by fragments into mBinImage (unsigned, left at zero after
    // each draw) through a buffer texture of (x, y) texels over mVBO. Otherwise drawn as
    // points.
    bool mByFragments = false;
    int mPerFragment = 0;
    GLTexture mBinImage;
    GLTexture mPointTexture;
    ProgramRef mAtomicProgram;
    ProgramRef mTakeProgram;
    ProgramRef mBinProgram;
    ProgramRef mMaxProgram;
    ProgramRef mShowProgram;
    PerWindow<WindowObjects> mWindows;
};

}  // namespace internal
