#pragma once
// Level of detail for dense lines, on the GPU. A line of far more points than its frame has
// pixel columns draws the same pixels as the line through, per column, the first, the
// lowest, the highest and the last of the column's points (the M4 reduction; it holds for
// points ordered by x). So per frame:
//
//   1. one fragment per pixel column finds the column's points by binary search over x in a
//      buffer texture laid over the plot's own buffer, and writes those four points; it
//      also checks that its share of the points is ordered by x (each column a contiguous
//      slice of the indices, so together they check all);
//   2. two one-pixel draws under occlusion queries tell "all ordered" from "not ordered";
//   3. the reduced line (four vertices per column) is drawn if all was ordered, the full
//      line otherwise, each under conditional rendering on its query.
//
// Nothing is read back and the CPU never waits for the GPU: the choice is made on the GPU.
// The reduced points go through the plot's own vertex and geometry stages, so they land and
// widen exactly as the full line would.

#include <map>
#include <string>

#include <glm/glm.hpp>

#include "common/shader_interface.hpp"
#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "gl/limits.hpp"
#include "gl/shared_program.hpp"
#include "gl/uniforms.hpp"
#include "gl/vertex_arrays.hpp"
#include "range/point_source.hpp"

namespace internal {

// A full-area quad from the vertex number alone (a strip of four vertices, no attributes):
// covers every pixel of the viewport once.
inline constexpr const char* gLodQuadVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
void main(void) {
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)glsl";

// The reduction, one fragment per texel of a (columns + 2) * parts x 1 target, `parts`
// texels a column: texels of column 0 hold the last point before the frame's first column,
// those of column columns + 1 the first point after its last, those of column k the four
// points of each of `parts` runs of the points of pixel column k - 1 (the line through them
// in order draws what the line through the column's four would). Output 0 is (first, last),
// output 1 the lowest and highest in the order of their indices, output 2.r is 1 where the
// texel's slice of the indices is not ordered by x or, on logarithmic axes ("logAxes"), holds
// a point without a logarithm (the lowest and highest of the values are those of their
// logarithms). A run without points repeats the point
// before it (the line passes it anyway, and a segment of zero length draws nothing).
// A driver may end a shader's loops early, in silence (LOOP_BUDGET in gl/limits.hpp): each
// loop runs at most "runBudget" times; a column of more points than its runs can take is
// not reduced and marks itself not ordered, so the full line is drawn; so do the texels of
// columns 0 and columns + 1 when the marker bitmap's reach beyond the frame (4 columns
// before, 5 after) holds more than runBudget points.
// "column" is where the data vertex stage puts a point, in pixel columns from the frame's
// first: the same arithmetic, so the columns split the points as the line is drawn.
// The points are the n drawn, oldest first (point(), see range/point_source.hpp).
// The code puts ZV_GLSL_HEADER in front, then a line defining the sampler type (POINTS:
// samplerBuffer, isamplerBuffer or usamplerBuffer, after the plot's element type).
inline constexpr auto gLodReduceFragmentShaderBody = glslJoin(gPointFetchGlsl, R"glsl(
uniform int n;
uniform int columns;
uniform mat4 transform;
uniform vec2 origin;
uniform vec2 halfViewport;
uniform float firstColumn;
uniform int runBudget;
uniform int parts;
uniform ivec2 logAxes;
uniform int blocksOn;
uniform int xDirection;
uniform sampler2DArray blockSummary;
layout(location = 0) out vec4 firstLast;
layout(location = 1) out vec4 extremes;
layout(location = 2) out vec4 disorder;
float column(vec2 p) {
    if (logAxes.x == 1)
        p.x = log2(max(p.x, 1e-30)) * 0.30102999566398120;
    if (logAxes.y == 1)
        p.y = log2(max(p.y, 1e-30)) * 0.30102999566398120;
    vec4 c = transform * vec4(p - origin, 0.0, 1.0);
    return (c.x / c.w + 1.0) * halfViewport.x - firstColumn;
}
// Whether the point has a logarithm on each logarithmic axis: a point without one cuts the
// line (see the data vertex stage), which the reduction does not reproduce.
bool usable(vec2 p) {
    return (logAxes.x == 0 || p.x > 0.0) && (logAxes.y == 0 || p.y > 0.0);
}
// The points of the block at place p (a multiple of BLOCK): BLOCK, fewer for the buffer's
// last block.
int blockLength(int p) {
    return min(BLOCK, ringCapacity - p);
}
// Whether the points from index i on, a whole block of them, are ordered and usable as
// the loop over them would find, and the column of its last (see gBlockSummaryFragmentBody).
bool blockOrdered(int i, int p, float previous, out float last) {
    int n = blockLength(p);
    vec4 s = texelFetch(blockSummary, ivec3((p / BLOCK) % SUMMARY_WIDTH, (p / BLOCK) / SUMMARY_WIDTH, 1), 0);
    int flags = int(s.x + 0.5);
    float x0 = s.y;
    float x1 = s.z;
    bool xPositive = (flags & 4) != 0;
    bool rising = (flags & 1) != 0;
    bool falling = (flags & 2) != 0;
    if (implicitOn == 1) {
        x0 = float(i) * implicitX.x + implicitX.y;
        x1 = float(i + n - 1) * implicitX.x + implicitX.y;
        xPositive = min(x0, x1) > 0.0;
        rising = implicitX.x >= 0.0;
        falling = implicitX.x <= 0.0;
    }
    // A finite y adds nothing to the column: only x decides, as the loop's column() does.
    float c0 = column(vec2(x0, 1.0));
    last = column(vec2(x1, 1.0));
    bool monotonic = xDirection == 0 || (xDirection > 0 ? rising : falling);
    return (flags & 16) != 0 && monotonic && c0 >= previous && (logAxes.x == 0 || xPositive) &&
           (logAxes.y == 0 || (flags & 8) != 0);
}
// The first index whose point lies at or right of `edge`.
int lowerBound(float edge) {
    int lo = 0;
    int hi = n;
    while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        if (column(point(mid)) < edge)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}
void only(vec2 p) {
    firstLast = vec4(p, p);
    extremes = vec4(p, p);
}
void main(void) {
    int t = int(gl_FragCoord.x);
    int k = t / parts;
    int part = t - k * parts;
    // This texel's slice of the indices, and the pair across its end.
    int texels = (columns + 2) * parts;
    int per = n / texels;
    int rest = n - per * texels;
    int s0 = min(t * per + min(t, rest), n - 1);
    int s1 = min(s0 + per + (t < rest ? 1 : 0), n - 1);
    float previous = column(point(s0));
    bool ordered = !isnan(previous) && usable(point(s0));
    // Whole blocks of the slice from their summaries, the points around them one by one.
    int i = s0 + 1;
    while (i <= s1 && ordered) {
        int place = placeOf(i);
        if (blocksOn == 1 && place % BLOCK == 0 && i + blockLength(place) - 1 <= s1) {
            float last;
            ordered = blockOrdered(i, place, previous, last);
            previous = last;
            i += blockLength(place);
        } else {
            vec2 p = point(i);
            float c = column(p);
            ordered = ordered && c >= previous && usable(p);
            previous = c;
            ++i;
        }
    }
    disorder = vec4(ordered ? 0.0 : 1.0);
    if (k == 0) {
        int first = lowerBound(0.0);
        only(point(clamp(first - 1, 0, n - 1)));
        if (first - lowerBound(-4.0) > runBudget)
            disorder = vec4(1.0);
        return;
    }
    if (k == columns + 1) {
        int after = lowerBound(float(columns));
        only(point(clamp(after, 0, n - 1)));
        if (lowerBound(float(columns + 5)) - after > runBudget)
            disorder = vec4(1.0);
        return;
    }
    int j = k - 1;
    int lo = lowerBound(float(j));
    int hi = lowerBound(float(j + 1));
    if (hi - lo > runBudget * parts) {
        only(point(clamp(lo, 0, n - 1)));
        disorder = vec4(1.0);
        return;
    }
    // This part's run of the column's points.
    int run = (hi - lo + parts - 1) / parts;
    lo = min(lo + part * run, hi);
    hi = min(lo + run, hi);
    if (lo >= hi) {
        only(point(clamp(lo - 1, 0, n - 1)));
    } else {
        vec2 first = point(lo);
        int iMin = lo;
        int iMax = lo;
        float yMin = first.y;
        float yMax = first.y;
        int i = lo + 1;
        while (i < hi) {
            int place = placeOf(i);
            if (blocksOn == 1 && place % BLOCK == 0 && i + blockLength(place) <= hi) {
                // The block's lowest and highest, the first of equals, as the points would.
                vec4 b = texelFetch(blockSummary, ivec3((place / BLOCK) % SUMMARY_WIDTH, (place / BLOCK) / SUMMARY_WIDTH, 0), 0);
                if (b.x < yMin) {
                    yMin = b.x;
                    iMin = i + int(b.z + 0.5);
                }
                if (b.y > yMax) {
                    yMax = b.y;
                    iMax = i + int(b.w + 0.5);
                }
                i += blockLength(place);
            } else {
                float y = point(i).y;
                if (y < yMin) {
                    yMin = y;
                    iMin = i;
                }
                if (y > yMax) {
                    yMax = y;
                    iMax = i;
                }
                ++i;
            }
        }
        vec2 low = point(iMin);
        vec2 high = point(iMax);
        firstLast = vec4(first, point(hi - 1));
        extremes = iMin < iMax ? vec4(low, high) : vec4(high, low);
    }
}
)glsl");

// Uniforms of the reduction program.
struct LodReduceUniforms {
    enum : int {
        N,
        COLUMNS,
        TRANSFORM,
        ORIGIN,
        HALF_VIEWPORT,
        FIRST_COLUMN,
        RUN_BUDGET,
        PARTS,
        LOG_AXES,
        BLOCKS_ON,
        X_DIRECTION,
        BLOCK_SUMMARY,
        ZV_POINT_FETCH_ENUM,
        COUNT
    };
    static constexpr const char* NAMES[COUNT] = {
        "n",        "columns",    "transform",    "origin",       "halfViewport",
        "firstColumn", "runBudget", "parts",      "logAxes",      "blocksOn",
        "xDirection", "blockSummary", ZV_POINT_FETCH_NAMES};
};

// Summaries of the points by blocks of BLOCK places of the buffer, which the reduction takes
// whole where a block lies inside what one of its loops walks, so that a frame reads each
// point at most once more than the blocks it changed: a ring that takes a few new points a
// frame has only their blocks summed again (see LineLod::noteChanges). One fragment per
// block b, at texel (b % SUMMARY_WIDTH, b / SUMMARY_WIDTH) of a 2-layer target; only blocks
// from "dirtyFirst" on, "dirtyCount" of them (wrapping at "blocks"), are written, the others
// discarded. Layer 0: the lowest y, the highest y, the offsets in the block of the first
// point holding each (NaN never counts). Layer 1: flags (1: x never falls from place to
// place, 2: x never rises, 4: every x above 0, 8: every y above 0, 16: every coordinate
// finite), then the first and the last point's x. An implicit x is made from the index at
// the reduction, which ignores the x flags then.
inline constexpr auto gBlockSummaryFragmentBody = glslJoin(gPointFetchGlsl, R"glsl(
uniform int blocks;
uniform int dirtyFirst;
uniform int dirtyCount;
layout(location = 0) out vec4 extremes;
layout(location = 1) out vec4 order;
void main(void) {
    int b = int(gl_FragCoord.y) * SUMMARY_WIDTH + int(gl_FragCoord.x);
    int d = b - dirtyFirst;
    if (d < 0)
        d += blocks;
    // Blocks are places of the buffer, whatever the ring's start (never below 0: the test
    // only keeps the fetch's uniform table whole).
    if (b >= blocks || d >= dirtyCount || ringStart < 0)
        discard;
    int p0 = b * BLOCK;
    int p1 = min(p0 + BLOCK, ringCapacity);
    float yMin = uintBitsToFloat(0x7F800000u);
    float yMax = -yMin;
    int iMin = 0;
    int iMax = 0;
    bool rising = true;
    bool falling = true;
    bool xPositive = true;
    bool yPositive = true;
    bool finite = true;
    vec2 first = pointAt(p0, 0);
    vec2 previous = first;
    for (int p = p0; p < p1; ++p) {
        vec2 v = pointAt(p, 0);
        if (v.y < yMin) {
            yMin = v.y;
            iMin = p - p0;
        }
        if (v.y > yMax) {
            yMax = v.y;
            iMax = p - p0;
        }
        rising = rising && v.x >= previous.x;
        falling = falling && v.x <= previous.x;
        xPositive = xPositive && v.x > 0.0;
        yPositive = yPositive && v.y > 0.0;
        finite = finite && !isnan(v.x) && !isinf(v.x) && !isnan(v.y) && !isinf(v.y);
        previous = v;
    }
    extremes = vec4(yMin, yMax, float(iMin), float(iMax));
    int flags = (rising ? 1 : 0) + (falling ? 2 : 0) + (xPositive ? 4 : 0) +
                (yPositive ? 8 : 0) + (finite ? 16 : 0);
    order = vec4(float(flags), first.x, previous.x, 0.0);
}
)glsl");

// Uniforms of the block summary program.
struct BlockSummaryUniforms {
    enum : int { BLOCKS, DIRTY_FIRST, DIRTY_COUNT, ZV_POINT_FETCH_ENUM, COUNT };
    static constexpr const char* NAMES[COUNT] = {"blocks", "dirtyFirst", "dirtyCount",
                                                 ZV_POINT_FETCH_NAMES};
};

// One pixel, kept when the columns' verdict is the one asked for ("wantOrdered" 1: every
// column ordered; 0: some column not), so that an occlusion query around it holds the
// answer.
inline constexpr const char* gLodVerdictFragmentShaderSrc = ZV_GLSL_HEADER R"glsl(
uniform sampler2DArray reduced;
uniform int count;
uniform int wantOrdered;
out vec4 verdict;
void main(void) {
    bool ordered = true;
    for (int k = 0; k < count; ++k)
        ordered = ordered && texelFetch(reduced, ivec3(k, 0, 2), 0).r < 0.5;
    if (ordered != (wantOrdered == 1))
        discard;
    verdict = vec4(1.0);
}
)glsl";

// Uniforms of the verdict program.
struct LodVerdictUniforms {
    enum : int { TEXELS, WANT_ORDERED, COUNT };
    static constexpr const char* NAMES[COUNT] = {"count", "wantOrdered"};
};

// The reduced line: vertex 4k + m is point m (first, one extreme, the other, last) of texel
// k, through the data vertex stage's arithmetic, logarithms included (the reduction only
// keeps its points when every point has its logarithms).
inline constexpr const char* gLodLineVertexShaderSrc = ZV_GLSL_HEADER R"glsl(
uniform sampler2DArray reduced;
uniform mat4 transform;
uniform vec2 origin;
uniform ivec2 logAxes;
void main(void) {
    int k = gl_VertexID / 4;
    int m = gl_VertexID - 4 * k;
    vec4 fl = texelFetch(reduced, ivec3(k, 0, 0), 0);
    vec4 ex = texelFetch(reduced, ivec3(k, 0, 1), 0);
    vec2 p = m == 0 ? fl.xy : (m == 1 ? ex.xy : (m == 2 ? ex.zw : fl.zw));
    if (logAxes.x == 1)
        p.x = log2(max(p.x, 1e-30)) * 0.30102999566398120;
    if (logAxes.y == 1)
        p.y = log2(max(p.y, 1e-30)) * 0.30102999566398120;
    gl_Position = transform * vec4(p - origin, 0.0, 1.0);
    gl_ClipDistance[0] = 1.0;
}
)glsl";

// Uniforms of the reduced-line program (gLodLineVertexShaderSrc, gLineGeometryShaderSrc and
// gChartFragmentShaderSrc).
struct LodLineUniforms {
    enum : int { TRANSFORM, ORIGIN, COLOR, HALF_VIEWPORT, HALF_WIDTH, LOG_AXES, COUNT };
    static constexpr const char* NAMES[COUNT] = {"transform",    "origin",    "color",
                                                 "halfViewport", "halfWidth", "logAxes"};
};

// The reduction of one plot's buffer, for its line and its markers. Programs, the buffer
// texture, the reduced points and the marker bitmap belong to the share group; framebuffers
// and queries, which contexts do not share, are made per window on its first reduced draw.
class LineLod {
public:
    // Points one invocation of the reduction loops over at most, in each of its two loops;
    // both together stay within the loop budget. Also what the marker bitmap loops over for
    // a pixel column at most (two columns' worth where its columns straddle the line's).
    static constexpr int RUN_BUDGET = LOOP_BUDGET / 2;
    // Places a block summary covers, and blocks a row of the summary texture holds.
    static constexpr unsigned BLOCK = 64;
    static constexpr unsigned SUMMARY_WIDTH = 1024;

    // For the plot's points as `source` places them (any element type of a plot). A window
    // of the plot's group must be current. Raises what the shader building raises.
    explicit LineLod(const PointSource& source);
    ~LineLod();
    LineLod(const LineLod&) = delete;
    LineLod& operator=(const LineLod&) = delete;

    // Sets the points the next draws reduce: `points.count` from place `points.start` on,
    // oldest first (see range/point_source.hpp).
    void setWindow(const PointWindow& points) {
        mWindow = points;
        mN = points.count;
    }
    // What changed in the points since the last draw, told on every draw of the plot
    // (reduced or not): with `appendedOnly`, only `count` points from place `first` on
    // (wrapping) were written, the others hold what they held; otherwise anything may have
    // changed. The block summaries are made again where those points lie, or everywhere.
    void noteChanges(bool appendedOnly, unsigned first, unsigned count);
    // Whether the last reduction took the block summaries, and the blocks it summed again
    // (all of them when the summaries were made anew), for tests.
    bool lastUsedBlocks() const { return mBlocksUsed; }
    unsigned lastBlocksSummed() const { return mBlocksSummed; }
    // Whether the reduction pays for a frame of `columns` pixel columns: more than two points
    // a column, buffers the textures can cover, and a reduced texture (texels for the runs
    // of every column) no wider than a texture may be.
    bool worthIt(int columns) const;

    // Draws the line reduced when its points are ordered by x, and through `fullDraw` (the
    // plot's own line draw, made with its program and vertex array) when not. `frame` is the
    // scissor box of the frame and `viewport` the viewport, both in window pixels; the
    // transform, origin, colour and half width are those of the full line. The reduced line
    // is drawn with the scissor box and viewport as found; the reduction passes change them
    // and the draw framebuffer for the moment. Leaves the reduced-line program in use, no
    // texture on unit 0's buffer and array targets; the caller's vertex array stays bound.
    // Returns whether the points' verdict was made (false: the full line was drawn
    // unconditionally), which drawMarkers reads.
    template <class FullDraw>
    bool draw(int windowId, const glm::mat4& transform, const float origin[2],
              const int logAxes[2], const float color[4], float halfWidth, const int frame[4],
              const int viewport[4], FullDraw&& fullDraw) {
        const WindowTargets* w = reduce(windowId, transform, origin, logAxes, frame, viewport);
        if (!w) {
            fullDraw();
            return false;
        }
        glBeginConditionalRender(w->queries[0].get(), GL_QUERY_WAIT);
        drawReduced(windowId, transform, origin, logAxes, color, halfWidth, viewport, mTexels);
        glEndConditionalRender();
        glBeginConditionalRender(w->queries[1].get(), GL_QUERY_WAIT);
        fullDraw();
        glEndConditionalRender();
        unbindTextures();
        return true;
    }

    // The markers of the line draw() has just drawn with its verdict made, same frame and
    // viewport (through `direct` alone when its columns were reduced in several runs): stamped from a bitmap of the pixel corners they are centred on when the
    // points were ordered (marker_lod_shaders.hpp), through `direct` (the plot's own marker
    // draw, with its program and vertex array) when not, each under conditional rendering
    // on the verdict; the pixels are the same. `color` and `markerType` as the marker program
    // takes them. Through `direct` alone when the bitmap cannot be made for this frame.
    // Leaves the stamp or the marker program in use and no texture on unit 0's 2-D and
    // buffer targets; the scissor box, viewport and draw framebuffer are as found.
    template <class DirectDraw>
    void drawMarkers(int windowId, const glm::mat4& transform, const float origin[2],
                     const float color[4], int markerType, const int frame[4],
                     const int viewport[4], DirectDraw&& direct) {
        // The bitmap's loop takes a pixel column's points at once: not with runs of them.
        const WindowTargets* w = mParts == 1 ? bitmapTarget(windowId, frame) : nullptr;
        if (!w) {
            direct();
            return;
        }
        glBeginConditionalRender(w->queries[0].get(), GL_QUERY_WAIT);
        stampMarkers(windowId, *w, transform, origin, color, markerType, frame, viewport);
        glEndConditionalRender();
        glBeginConditionalRender(w->queries[1].get(), GL_QUERY_WAIT);
        direct();
        glEndConditionalRender();
    }

    // Number of windows with framebuffers and queries of their own, for tests.
    size_t windows() const { return mWindows.size(); }

private:
    struct WindowTargets {
        GLFramebuffer reduceFbo, verdictFbo;
        GLQuery queries[2];  // some pixel kept: [0] all ordered, [1] not ordered
        unsigned attachedCapacity = 0;  // texture width the framebuffer was attached at
        bool complete = false;
        GLFramebuffer summaryFbo;  // over both layers of mSummary
        bool summaryComplete = false;
        GLFramebuffer bitmapFbo;  // made on the first marker draw
        unsigned bitmapAttached = 0;  // mBitmapGeneration the framebuffer was attached at
        bool bitmapComplete = false;
    };
    // Passes 1 and 2; null when this window cannot reduce (incomplete framebuffer), in
    // which case nothing was drawn and the state is as found.
    const WindowTargets* reduce(int windowId, const glm::mat4& transform, const float origin[2],
                                const int logAxes[2], const int frame[4], const int viewport[4]);
    void drawReduced(int windowId, const glm::mat4& transform, const float origin[2],
                     const int logAxes[2], const float color[4], float halfWidth,
                     const int viewport[4], int texels);
    static void unbindTextures();
    // The reduced-points texture at least `texels` wide; grows, never shrinks.
    void reserve(unsigned texels);
    WindowTargets& window(int windowId);
    // The marker bitmap sized for `frame` and this window's framebuffer on it; null when the
    // frame is too wide for a texture or the framebuffer is incomplete (marker_lod.cpp).
    const WindowTargets* bitmapTarget(int windowId, const int frame[4]);
    // Both marker passes (marker_lod.cpp).
    void stampMarkers(int windowId, const WindowTargets& w, const glm::mat4& transform,
                      const float origin[2], const float color[4], int markerType,
                      const int frame[4], const int viewport[4]);

    // Brings the block summaries up to date (the point textures bound, scissor test off;
    // changes the draw framebuffer and viewport). False when this window cannot make them
    // (too many blocks for a texture, incomplete framebuffer): the reduction reads every
    // point then.
    bool updateSummary(int windowId, WindowTargets& w);
    // Runs a column is reduced in: enough that a column of twice its share of the points
    // fits them, for a frame of `columns`.
    unsigned partsFor(int columns) const;
    // Binds the x and y textures for the fetch (see bindPointTextures) and unbinds them.
    GLint bindPoints() const;
    void unbindPoints(GLint previous) const;

    PointSource mSource;
    PointWindow mWindow;
    unsigned mN = 0;
    unsigned mParts = 1;   // of the last reduction
    int mTexels = 0;       // texels of the last reduction
    GLint mMaxTexels = 0;
    GLint mMaxTextureSize = 0;  // the marker bitmap's largest side
    GLTexture mX, mY;    // buffer textures of single elements over the x and y buffers (mY
                         // alone when one buffer holds both)
    GLTexture mReduced;  // 2-D array, 3 layers of capacity x 1 texels (RGBA32F)
    GLTexture mVerdict;  // 1 x 1 target of the verdict pixels
    unsigned mCapacity = 0;
    ProgramRef mReduceProgram, mVerdictProgram, mLineProgram, mSummaryProgram;
    // Block summaries (2-D array, 2 layers of SUMMARY_WIDTH x rows, RGBA32F), whether they
    // hold the points as they are (but for the pending ones), and the points written since
    // they were made: `mPendingCount` from place `mPendingFirst` on.
    GLTexture mSummary;
    unsigned mSummaryRows = 0;
    bool mSummaryValid = false;
    unsigned mPendingFirst = 0, mPendingCount = 0;
    bool mBlocksUsed = false;
    unsigned mBlocksSummed = 0;
    // Dense markers: the bitmap (RGBA32UI) with its size, bumped generation on each
    // reallocation, and the programs, all made on the first marker draw.
    GLTexture mBitmap;
    unsigned mBitmapSize[2] = {0, 0};
    unsigned mBitmapGeneration = 0;
    const char* mSampler = nullptr;  // the points' sampler type, for the bitmap program
    ProgramRef mBitmapProgram, mStampProgram;
    ::internal::PerWindow<WindowTargets> mWindows;
};

}  // namespace internal
