#pragma once
// The bounding range of a chart's data, found on the GPU from the object's own buffer, so
// that the data never travels to the CPU: only the four numbers of the result do.
//
// Two passes of vertex shaders whose outputs are captured by transform feedback, with
// rasterising off: in the first, each of SLICES vertices loops over one slice of the data
// through a buffer texture laid over the object's buffer and writes the slice's range; in
// the second, one vertex merges those. Transform feedback needs no framebuffer object (which
// contexts do not share) and no float render target. Values that are NaN or infinite are
// left out.

#include <cmath>
#include <cstddef>

#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shared_program.hpp"
#include "gl/vertex_arrays.hpp"

namespace internal {

// A data range: x from xmin to xmax, y from ymin to ymax. Empty when no finite value was
// found (then the limits are +inf and -inf).
struct DataBounds {
    float xmin, ymin, xmax, ymax;
    bool empty() const { return !(xmin <= xmax) || !(ymin <= ymax); }
};

// Limits for showing `b`: the range plus 5% of its extent each side; an extent of zero
// (one point, or equal values) gets 5% of the value, or 0.5 for a value of zero. The limits
// are always finite and apart: a margin that would pass the largest float stops at
// +-FLT_MAX (data at FLT_MAX then lies on the frame's edge).
struct FittedLimits {
    float xmin, xmax, ymin, ymax;
};
FittedLimits fitLimits(const DataBounds& b);

// The data of a chart of several series, gathered for one fit: plots bring their points'
// range; histograms bring y from 0 to their largest frequency, and nothing in x (their bins
// fill the frame's width whatever the x limits are).
struct SeriesBounds {
    DataBounds points{INFINITY, INFINITY, -INFINITY, -INFINITY};
    float barsTop = -INFINITY;  // the largest positive frequency of any histogram
    void addPoints(const DataBounds& b);
    void addBars(const DataBounds& b);
};
// Limits for showing every series, from the limits in force (`current`): x is the points'
// range plus 5% each side, or stays when no plot has a finite point; y spans the points and
// the bars plus 5% each side, except that bars keep the bottom at 0 when nothing lies below
// it and, alone, reach exactly to the tallest bar (as a histogram's own fit). False when
// nothing finite was found.
bool fitSeries(const SeriesBounds& b, const FittedLimits& current, FittedLimits& out);

class DataRange {
public:
    // The range of `count` elements of `components` (2: points whose x and y are both
    // finite; 1: values v, taken as points (index, v)) of `type` (GL_FLOAT, GL_INT,
    // GL_UNSIGNED_INT or GL_UNSIGNED_BYTE) in `buffer`. Nothing is made until first used.
    DataRange(GLuint buffer, GLenum type, int components, unsigned count);
    DataRange(const DataRange&) = delete;
    DataRange& operator=(const DataRange&) = delete;

    // Reduces now and reads the result back, waiting for it. A window of the buffer's group
    // must be current, with id `windowId`.
    DataBounds compute(int windowId);

    // For following the data without waiting: starts a reduction whose result lands in the
    // next of a ring of small buffers, and returns, in `out`, the result of the oldest one
    // when there is one (a reduction started RING - 1 starts ago, long done by then, so
    // reading it does not wait for the GPU). Returns false while none is ready yet.
    bool follow(int windowId, DataBounds& out);
    // Forgets started reductions (the next follow() starts the ring afresh).
    void resetFollow() { mStarted = 0; }

    static constexpr int SLICES = 64;
    static constexpr int RING = 3;

private:
    void build();
    // Runs both passes, the result into `target` at offset 0. Leaves OpenGL as found.
    void reduce(int windowId, GLuint target);

    GLuint mData;
    GLenum mType;
    int mComponents;
    unsigned mCount;
    bool mBuilt = false;
    ProgramRef mSliceProgram;  // the group's programs of both passes
    ProgramRef mMergeProgram;
    GLTexture mDataTexture;     // buffer texture over the data
    GLBuffer mPartial;          // SLICES ranges of the first pass
    GLTexture mPartialTexture;  // buffer texture over them
    GLBuffer mResult;           // compute()'s result
    GLBuffer mRing[RING];       // follow()'s results
    long mStarted = 0;          // reductions started by follow() since the ring was reset
    VertexArrayMap mVAOs;       // an empty vertex array per window, for drawing with none
};

}  // namespace internal
