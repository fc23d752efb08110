#pragma once
// The bounding range of a chart's data, found on the GPU from the object's own buffer, so
// that the data never travels to the CPU: only the four numbers of the result do.
//
// Passes of vertex shaders whose outputs are captured by transform feedback, with rasterising
// off: in the first, each vertex loops over one slice of the data through a buffer texture
// laid over the object's buffer and writes the slice's range; in the next ones, each vertex
// merges a group of those, until one range is left. Slices and groups are held within
// LOOP_BUDGET (gl/limits.hpp), so that no driver cuts a loop short; data longer than a
// buffer texture covers is copied, piece by piece, into a buffer the texture covers and
// reduced piece by piece. Transform feedback needs no framebuffer object (which contexts do
// not share) and no float render target. Values that are NaN or infinite are left out.
// Both calls run in a GLStateGuard: the application's bindings, transform feedback included,
// are left as found.

#include <cmath>
#include <cstddef>

#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shared_program.hpp"
#include "gl/vertex_arrays.hpp"
#include "range/point_source.hpp"

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
// it, and alone reach from 0 to 5% above the tallest bar (as a histogram's own fit). On a
// logarithmic axis (`xLog`, `yLog`) the margin is 5% of the decades spanned, a factor each
// side, so the limits stay above zero; bars there stand on the bottom limit in force. A log
// axis whose data reach zero or below keeps its limits. False when nothing finite was found.
bool fitSeries(const SeriesBounds& b, const FittedLimits& current, FittedLimits& out,
               bool xLog = false, bool yLog = false);
// The top limit that leaves room above the tallest bar `top` standing on `bottom`: 5% of
// the bars' height on a linear axis, 5% of their decades on a logarithmic one (`log`, with
// 0 < bottom < top). The tallest bar thus never touches the frame's top edge.
float barsHeadroom(float bottom, float top, bool log);

class DataRange {
public:
    // The range of `count` elements of `components` (2: points whose x and y are both
    // finite; 1: values v, taken as points (index, v)) of `type` (GL_FLOAT, GL_INT,
    // GL_UNSIGNED_INT, GL_SHORT, GL_UNSIGNED_SHORT or GL_UNSIGNED_BYTE) in `buffer`.
    // Nothing is made until first used.
    DataRange(GLuint buffer, GLenum type, int components, unsigned count);
    // The range of points placed as `source` says (any layout, any element type of a plot,
    // up to `source.capacity` points); each reduction takes the points of the window it is
    // given, in whatever order a ring keeps them (an implicit x counts from the oldest).
    explicit DataRange(const PointSource& source);
    DataRange(const DataRange&) = delete;
    DataRange& operator=(const DataRange&) = delete;

    // Reduces now and reads the result back, waiting for it. A window of the buffer's group
    // must be current, with id `windowId`. `points`: the points taken, for a range of
    // points (a range of values takes all of them).
    DataBounds compute(int windowId, const PointWindow& points = PointWindow());

    // For following the data without waiting: starts a reduction whose result lands in the
    // next of a ring of small buffers, and returns, in `out`, the result of the oldest one
    // when there is one (a reduction started RING - 1 starts ago, long done by then, so
    // reading it does not wait for the GPU). Returns false while none is ready yet.
    bool follow(int windowId, DataBounds& out, const PointWindow& points = PointWindow());
    // Forgets started reductions (the next follow() starts the ring afresh).
    void resetFollow() { mStarted = 0; }

    // Slices of the data in the first pass when they fit the loop budget (more otherwise).
    static constexpr int SLICES = 64;
    static constexpr int RING = 3;
    // Elements copied at a time when the data is longer than a buffer texture covers.
    static constexpr unsigned PIECE = 1u << 22;

private:
    void build();
    void buildPoints();
    // Runs the passes, the result into `target` at offset 0. Inside the callers' guard.
    void reduce(int windowId, GLuint target, const PointWindow& points);
    // The first pass over points: the slices' ranges into mPartial[0]; returns how many.
    unsigned slicePoints(int windowId, const PointWindow& points);
    // The merges of `ranges` ranges in mPartial[0] into `target`.
    void merge(int windowId, unsigned ranges, GLuint target);
    // Whether a reduction would find nothing: no element, or no point drawn.
    bool nothingTo(const PointWindow& points) const {
        return mCount == 0 || (mPoints && points.count == 0);
    }

    GLuint mData;
    GLenum mType;
    int mComponents;
    unsigned mCount;  // elements, or the points' capacity
    bool mPoints = false;
    PointSource mSource;          // for points
    GLBuffer mPointScratch[2];    // one piece of the x and the y buffer, when read in pieces
    GLTexture mPointTexture[2];   // buffer textures of x and y (one when x and y share)
    bool mBuilt = false;
    ProgramRef mSliceProgram;  // the group's programs of both passes
    ProgramRef mMergeProgram;
    ProgramRef mPointProgram;
    unsigned mSliceSize = 1;    // elements a slice
    unsigned mSlices = 0;       // slices of the whole data
    unsigned mPiece = 0;        // elements a piece: mCount when the texture covers the data
    unsigned mElementBytes = 0;
    GLBuffer mScratch;          // one piece of the data, when read in pieces
    GLTexture mDataTexture;     // buffer texture over the data, or over the piece
    GLBuffer mPartial[2];       // ranges of the slices, and of merged groups (ping-pong)
    GLTexture mPartialTexture[2];  // buffer textures over them
    GLBuffer mResult;           // compute()'s result
    GLBuffer mRing[RING];       // follow()'s results
    long mStarted = 0;          // reductions started by follow() since the ring was reset
    VertexArrayMap mVAOs;       // an empty vertex array per window, for drawing with none
};

}  // namespace internal
