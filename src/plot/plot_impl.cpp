#include "plot/plot_impl.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "gl/gl_alloc.hpp"
#include "common/common.hpp"
#include "gl/uniforms.hpp"
#include "gl/check.hpp"
#include "gl/context.hpp"
#include "exception/raise.hpp"
#include "chart/chart_shaders.hpp"
#include "gl/state_guard.hpp"
#include "plot/line_geometry.hpp"
#include "plot/marker_lod_shaders.hpp"
#include "plot/plot_shaders.hpp"

namespace internal {

namespace {
// Writes the axes' origins and logarithmic flags into a program of the data vertex stage
// (LineUniforms and MarkerUniforms name them alike).
template <class U>
void writeMapping(UniformCache& uniforms, const GLfloat* origin, const GLint* log) {
    uniforms.setVec2(U::ORIGIN, origin);
    uniforms.setIVec2(U::LOG_AXES, log);
}
}  // namespace

plot_impl::plot_impl(unsigned numPoints, zv::ZVType dataType, int markerType,
                     const zv::DataLayout& layout)
    : plot_impl(numPoints, accept(numPoints, dataType, layout), markerType, layout) {}

// A record wider than this is surely a mistake, and every driver takes a vertex stride this
// wide (GL_MAX_VERTEX_ATTRIB_STRIDE is at least 2048).
constexpr unsigned MAX_RECORD_BYTES = 2048;

plot_impl::AcceptedType plot_impl::accept(unsigned numPoints, zv::ZVType dataType,
                                          const zv::DataLayout& layout) {
    const GLenum gl = chartDataType(dataType, "Plot::Plot");
    checkDrawCount(numPoints, "Plot::Plot", "points");
    AcceptedType a{gl, PointSource(), {0, 0}};
    PointSource& s = a.source;
    s.type = gl;
    s.capacity = numPoints;
    const size_t e = bytesPerElement(gl);
    const size_t n = numPoints;
    switch (layout.kind) {
        case zv::ZV_LAYOUT_INTERLEAVED:
            a.bytes[1] = 2 * n * e;
            break;
        case zv::ZV_LAYOUT_SEPARATE:
            s.stride[0] = s.stride[1] = 1;
            s.offset[0] = s.offset[1] = 0;
            a.bytes[0] = a.bytes[1] = n * e;
            break;
        case zv::ZV_LAYOUT_STRIDED: {
            const unsigned stride = layout.stride, xo = layout.xOffset, yo = layout.yOffset;
            if (stride == 0 || stride % e != 0 || stride > MAX_RECORD_BYTES) {
                ZV_FAIL(PlotStride, "Plot::Plot", e);
            }
            if (xo % e != 0 || yo % e != 0 || xo > stride - e || yo > stride - e) {
                ZV_FAIL(PlotOffsets, "Plot::Plot", e, stride);
            }
            s.stride[0] = s.stride[1] = static_cast<GLint>(stride / e);
            s.offset[0] = static_cast<GLint>(xo / e);
            s.offset[1] = static_cast<GLint>(yo / e);
            a.bytes[1] = n * stride;
            break;
        }
        case zv::ZV_LAYOUT_IMPLICIT_X:
            if (!std::isfinite(layout.xStep) || !std::isfinite(layout.xStart)) {
                ZV_FAIL(PlotImplicitX, "Plot::Plot");
            }
            s.implicitX = true;
            s.step = layout.xStep;
            s.start = layout.xStart;
            s.stride[0] = s.stride[1] = 1;
            s.offset[0] = s.offset[1] = 0;
            a.bytes[1] = n * e;
            break;
        default:
            ZV_FAIL(PlotLayout, "Plot::Plot");
    }
    return a;
}

plot_impl::plot_impl(unsigned numPoints, AcceptedType type, int markerType,
                     const zv::DataLayout& layout)
    : mNumPoints(numPoints),
      mGLType(type.gl),
      mLayout(layout),
      mSource(type.source),
      mMarkerType(markerType) {
    mWindow.count = numPoints;
    GLStateGuard guard;
    mVBOSize = type.bytes[1];
    mVBO = makeDataBuffer(GL_ARRAY_BUFFER, mVBOSize, GL_DYNAMIC_DRAW, "Plot::Plot",
                          mSource.implicitX || type.bytes[0] ? "the plot's buffer of y values"
                                                             : "the plot's vertex buffer");
    if (type.bytes[0]) {
        mXVBOSize = type.bytes[0];
        mXVBO = makeDataBuffer(GL_ARRAY_BUFFER, mXVBOSize, GL_DYNAMIC_DRAW, "Plot::Plot",
                               "the plot's buffer of x values");
    }
    mSource.buffers[1] = mVBO.get();
    mSource.buffers[0] = mXVBO ? mXVBO.get() : mVBO.get();
    if (numPoints >= 2) {
        const GLuint seam[2] = {numPoints - 1, 0};
        mSeam = GLBuffer::create();
        glBindBuffer(GL_ARRAY_BUFFER, mSeam.get());
        glBufferData(GL_ARRAY_BUFFER, sizeof seam, seam, GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    mLineProgram = groupProgram<LineUniforms>("plot line", makeLineProgram);
    mMarkerProgram = groupProgram<MarkerUniforms>("plot marker", [] {
        return makeProgram(gMarkerVertexShaderSrc, gMarkerGeometryShaderSrc,
                           gMarkerSpriteFragmentShaderSrc);
    });
    SeriesSlot self;
    self.series = this;
    self.key = this;
    series().push_back(std::move(self));
}

// The owners go in reverse order of declaration: vertex arrays first, programs and buffers
// after the objects that use them.
plot_impl::~plot_impl() = default;

void plot_impl::setColor(zv::Color color) {
    mColor[0] = static_cast<float>(color >> 24) / 255.0f;
    mColor[1] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
    mColor[2] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
    mColor[3] = static_cast<float>(color & 0xFF) / 255.0f;
    mColorSet = true;
}

void plot_impl::setColor(float red, float green, float blue) {
    mColor[0] = clampTo01(red);
    mColor[1] = clampTo01(green);
    mColor[2] = clampTo01(blue);
    mColor[3] = 1.0f;
    mColorSet = true;
}

void plot_impl::setLineWidth(float pixels) {
    if (!(std::isfinite(pixels) && pixels > 0.0f && pixels <= MAX_LINE_WIDTH)) {
        ZV_FAIL(PlotLineWidth, "Plot::setLineWidth");
    }
    mLineWidth = pixels;
    mLineWidthSet = true;
}

void plot_impl::setCount(unsigned count) {
    if (count > mNumPoints) {
        ZV_FAIL(PlotCountAboveRoom, "Plot::setCount", mNumPoints);
    }
    mWindow.count = count;
    mOnlyAppended = false;
}

void plot_impl::setRing(unsigned start, unsigned count) {
    if (start >= mNumPoints && start != 0) {
        ZV_FAIL(PlotRingStart, "Plot::setRing", mNumPoints);
    }
    if (count > mNumPoints) {
        ZV_FAIL(PlotRingCount, "Plot::setRing", mNumPoints);
    }
    mWindow.start = start;
    mWindow.count = count;
    mOnlyAppended = false;
}

void plot_impl::advanceRing(unsigned newPoints) {
    if (newPoints > mNumPoints) {
        ZV_FAIL(PlotRingAdvance, "Plot::advanceRing", mNumPoints);
    }
    if (mNumPoints == 0) return;
    if (newPoints == 0) {
        // Nothing new, and nothing else changed: the next draw keeps every block's summary.
        if (!mOnlyAppended) {
            mOnlyAppended = true;
            mAppendedCount = 0;
        }
        return;
    }
    const unsigned long long cap = mNumPoints;
    const unsigned first = static_cast<unsigned>((0ull + mWindow.start + mWindow.count) % cap);
    const unsigned long long total = 0ull + mWindow.count + newPoints;
    const unsigned long long dropped = total > cap ? total - cap : 0;
    mWindow.start = static_cast<unsigned>((mWindow.start + dropped) % cap);
    mWindow.count = static_cast<unsigned>(std::min(total, cap));
    if (mOnlyAppended && mAppendedCount > 0) {
        mAppendedCount = static_cast<unsigned>(std::min(cap, 0ull + mAppendedCount + newPoints));
    } else {
        mOnlyAppended = true;
        mAppendedFirst = first;
        mAppendedCount = newPoints;
    }
}

template <class U>
void plot_impl::writeSource(UniformCache& u) const {
    u.setInt(U::IMPLICIT_ON, mSource.implicitX ? 1 : 0);
    const GLfloat implicit[2] = {mSource.step, mSource.start};
    u.setVec2(U::IMPLICIT_X, implicit);
    u.setInt(U::RING_START, static_cast<GLint>(mWindow.start));
    u.setInt(U::RING_CAPACITY, static_cast<GLint>(mNumPoints));
}

void plot_impl::drawPoints(GLenum mode) const {
    const unsigned first = std::min(mWindow.count, mNumPoints - mWindow.start);
    if (first > 0)
        glDrawArrays(mode, static_cast<GLint>(mWindow.start), static_cast<GLsizei>(first));
    const unsigned rest = mWindow.count - first;
    if (rest == 0) return;
    if (mode == GL_LINE_STRIP) glDrawElements(GL_LINES, 2, GL_UNSIGNED_INT, nullptr);
    glDrawArrays(mode, 0, static_cast<GLsizei>(rest));
}

void plot_impl::setStepMode(int mode) {
    if (mode < 0 || mode > 3) {
        ZV_FAIL(PlotStepMode, "Plot::setStepMode");
    }
    mStepMode = mode;
}

void plot_impl::bindResources(int windowId) {
    mVAOs.bind(windowId, [&] {
        const size_t e = bytesPerElement(mGLType);
        const auto attribute = [&](GLuint location, GLuint buffer, int k) {
            glEnableVertexAttribArray(location);
            glBindBuffer(GL_ARRAY_BUFFER, buffer);
            glVertexAttribPointer(location, 1, mGLType, GL_FALSE,
                                  static_cast<GLsizei>(mSource.stride[k] * e),
                                  reinterpret_cast<const void*>(mSource.offset[k] * e));
        };
        // An implicit x reads no attribute (the vertex stage makes it).
        if (!mSource.implicitX) attribute(CHART_POINT_LOCATION, mSource.buffers[0], 0);
        attribute(PLOT_Y_LOCATION, mSource.buffers[1], 1);
        if (mSeam) glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mSeam.get());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    });
}

void plot_impl::renderSeries(const FrameDraw& frame, const glm::mat4& transform,
                             const AxisMap& ax, const AxisMap& ay) {
    mMapping.origin[0] = static_cast<float>(ax.shaderOrigin());
    mMapping.origin[1] = static_cast<float>(ay.shaderOrigin());
    mMapping.log[0] = ax.log ? 1 : 0;
    mMapping.log[1] = ay.log ? 1 : 0;
    // Points without a logarithm are clipped away (see the data vertex stage).
    const bool clip = (ax.log || ay.log) && !glIsEnabled(GL_CLIP_DISTANCE0);
    if (clip) glEnable(GL_CLIP_DISTANCE0);
    renderGraph(frame, transform);
    if (clip) glDisable(GL_CLIP_DISTANCE0);
}

void plot_impl::renderMarkerAt(const FrameDraw& frame, float x, float y) {
    if (mMarkerType == zv::ZV_MARKER_NONE || mWindow.count == 0) return;
    // No scale, only the translation: every point lands on (x, y).
    glm::mat4 place(0.0f);
    place[3] = glm::vec4(x, y, 0.0f, 1.0f);
    UniformCache& u = useMarkerProgram(frame);
    u.setMatrix4(MarkerUniforms::TRANSFORM, &place[0][0]);
    writeSource<MarkerUniforms>(u);
    bindResources(frame.draw.windowId);
    glDrawArrays(GL_POINTS, static_cast<GLint>(mWindow.start), 1);
}

// The graph's program and vertex array stay bound: the frame drawn next binds its own and
// leaves program 0 and vertex array 0 (render() always draws the frame after the graph).
void plot_impl::renderGraph(const FrameDraw& frame, glm::mat4 transform) {
    const int windowId = frame.draw.windowId;
    // What changed since the last draw; after it, nothing is known to have held still.
    if (mLod) mLod->noteChanges(mOnlyAppended, mAppendedFirst, mAppendedCount);
    mOnlyAppended = false;
    mAppendedCount = 0;
    bindResources(windowId);
    UniformCache& u = mLineProgram->uniforms;
    u.use(windowId);
    u.setMatrix4(LineUniforms::TRANSFORM, &transform[0][0]);
    u.setVec4(LineUniforms::COLOR, mColor);
    writeMapping<LineUniforms>(u, mMapping.origin, mMapping.log);
    writeSource<LineUniforms>(u);
    // The segments are widened in the viewport's pixels: a grid cell's viewport is its inset
    // area, not the cell the transform was made for.
    const int* viewport = frame.viewport;
    // A plot that never had its width set takes the style's.
    const float width =
        mLineWidthSet || !frame.draw.style ? mLineWidth : frame.draw.style->lineWidth;
    const float halfWidth = 0.5f * std::max(width, MIN_DRAWN_LINE_WIDTH);
    u.setVec2(LineUniforms::HALF_VIEWPORT, halfViewportOf(viewport).data());
    u.setFloat(LineUniforms::HALF_WIDTH, halfWidth);
    u.setInt(LineUniforms::STEP_MODE, mStepMode);
    const auto fullDraw = [&] {
        glUseProgram(mLineProgram->get());
        drawPoints(GL_LINE_STRIP);
    };
    // The reduction's columns are those of the frame's clip.
    const int* clip = frame.clip;
    const bool linear = mMapping.log[0] == 0 && mMapping.log[1] == 0;
    bool reduced = false;
    // A reduced line keeps a column's extremes, not the order of its levels that steps show.
    if (mLodEnabled && mStepMode == 0 && clip[2] > 0 &&
        mWindow.count / 2u > static_cast<unsigned>(clip[2])) {
        if (!mLod) mLod.reset(new LineLod(mSource));
        mLod->setWindow(mWindow);
        reduced = mLod->worthIt(clip[2]);
    }
    if (reduced) {
        reduced = mLod->draw(windowId, transform, mMapping.origin, mMapping.log, mColor,
                             halfWidth, clip, viewport, fullDraw);
    } else {
        fullDraw();
    }
    if (reduced && linear && mMarkerType != zv::ZV_MARKER_NONE) {
        // Dense enough to reduce: the markers too are stamped from a bitmap when ordered (on
        // linear axes; on logarithmic ones from their coverage, see renderMarkers).
        mLod->drawMarkers(windowId, transform, mMapping.origin, mColor, mMarkerType, clip,
                          viewport, [&] { renderMarkers(frame, transform, true); });
    } else {
        renderMarkers(frame, transform, true);
    }
}

void plot_impl::renderMarkers(const FrameDraw& frame, const glm::mat4& transform, bool bound) {
    if (mMarkerType == zv::ZV_MARKER_NONE) return;
    if (mLodEnabled && MarkerCoverage::worthIt(mWindow.count, frame.clip[2], frame.clip[3])) {
        // Dense markers in any order: stamped per pixel, the pixels of the markers drawn one
        // by one.
        if (!bound) bindResources(frame.draw.windowId);
        bound = true;
        if (!mCoverage) mCoverage.reset(new MarkerCoverage());
        const auto points = [this](UniformCache& u) {
            writeSource<MarkerCoverageUniforms>(u);
            drawPoints(GL_POINTS);
        };
        if (mCoverage->draw(frame.draw.windowId, points, transform, mMapping.origin,
                            mMapping.log, mColor, mMarkerType, frame.clip, frame.viewport))
            return;
    }
    UniformCache& u = useMarkerProgram(frame);
    u.setMatrix4(MarkerUniforms::TRANSFORM, &transform[0][0]);
    writeMapping<MarkerUniforms>(u, mMapping.origin, mMapping.log);
    writeSource<MarkerUniforms>(u);
    if (!bound) bindResources(frame.draw.windowId);
    drawPoints(GL_POINTS);
}

UniformCache& plot_impl::useMarkerProgram(const FrameDraw& frame) {
    UniformCache& u = mMarkerProgram->uniforms;
    u.use(frame.draw.windowId);
    u.setInt(MarkerUniforms::MARKER_TYPE, mMarkerType);
    u.setVec4(MarkerUniforms::LINE_COLOR, mColor);
    // The squares are made in the viewport's pixels (a grid cell's inset area).
    const int* viewport = frame.viewport;
    const GLfloat viewportOrigin[2] = {static_cast<float>(viewport[0]),
                                       static_cast<float>(viewport[1])};
    u.setVec2(MarkerUniforms::HALF_VIEWPORT, halfViewportOf(viewport).data());
    u.setVec2(MarkerUniforms::VIEWPORT_ORIGIN, viewportOrigin);
    return u;
}

void scatter_impl::renderGraph(const FrameDraw& frame, glm::mat4 transform) {
    renderMarkers(frame, transform, false);
}

}  // namespace internal
