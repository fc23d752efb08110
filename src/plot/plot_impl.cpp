#include "plot/plot_impl.hpp"

#include <algorithm>
#include <cmath>

#include "gl/gl_alloc.hpp"
#include "common/common.hpp"
#include "gl/uniforms.hpp"
#include "gl/check.hpp"
#include "gl/context.hpp"
#include "exception/raise.hpp"
#include "chart/chart_shaders.hpp"
#include "gl/state_guard.hpp"
#include "plot/line_geometry.hpp"
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

plot_impl::plot_impl(unsigned numPoints, zv::ZVType dataType, int markerType)
    : plot_impl(numPoints, accept(numPoints, dataType), markerType) {}

plot_impl::AcceptedType plot_impl::accept(unsigned numPoints, zv::ZVType dataType) {
    const GLenum gl = chartDataType(dataType, "Plot::Plot");
    checkDrawCount(numPoints, "Plot::Plot", "points");
    return AcceptedType{gl};
}

plot_impl::plot_impl(unsigned numPoints, AcceptedType type, int markerType)
    : mNumPoints(numPoints), mGLType(type.gl), mMarkerType(markerType) {
    GLStateGuard guard;
    mVBOSize = 2 * static_cast<size_t>(numPoints) * bytesPerElement(mGLType);
    mVBO = makeDataBuffer(GL_ARRAY_BUFFER, mVBOSize, GL_DYNAMIC_DRAW, "Plot::Plot",
                          "the plot's vertex buffer");
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
        ZV_RAISE_ARG("Plot::setLineWidth", 1,
                     "pass a line width in pixels above 0 and at most 1000 (1 is the default)");
    }
    mLineWidth = pixels;
}

void plot_impl::bindResources(int windowId) {
    mVAOs.bind(windowId, [&] {
        glEnableVertexAttribArray(CHART_POINT_LOCATION);
        glBindBuffer(GL_ARRAY_BUFFER, mVBO.get());
        glVertexAttribPointer(CHART_POINT_LOCATION, 2, mGLType, GL_FALSE, 0, nullptr);
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
    if (mMarkerType == zv::ZV_MARKER_NONE || mNumPoints == 0) return;
    // No scale, only the translation: every point lands on (x, y).
    glm::mat4 place(0.0f);
    place[3] = glm::vec4(x, y, 0.0f, 1.0f);
    UniformCache& u = useMarkerProgram(frame);
    u.setMatrix4(MarkerUniforms::TRANSFORM, &place[0][0]);
    bindResources(frame.draw.windowId);
    glDrawArrays(GL_POINTS, 0, 1);
}

// The graph's program and vertex array stay bound: the frame drawn next binds its own and
// leaves program 0 and vertex array 0 (render() always draws the frame after the graph).
void plot_impl::renderGraph(const FrameDraw& frame, glm::mat4 transform) {
    const int windowId = frame.draw.windowId;
    bindResources(windowId);
    UniformCache& u = mLineProgram->uniforms;
    u.use(windowId);
    u.setMatrix4(LineUniforms::TRANSFORM, &transform[0][0]);
    u.setVec4(LineUniforms::COLOR, mColor);
    writeMapping<LineUniforms>(u, mMapping.origin, mMapping.log);
    // The segments are widened in the viewport's pixels: a grid cell's viewport is its inset
    // area, not the cell the transform was made for.
    const int* viewport = frame.viewport;
    const float halfWidth = 0.5f * std::max(mLineWidth, MIN_DRAWN_LINE_WIDTH);
    u.setVec2(LineUniforms::HALF_VIEWPORT, halfViewportOf(viewport).data());
    u.setFloat(LineUniforms::HALF_WIDTH, halfWidth);
    const auto fullDraw = [&] {
        glUseProgram(mLineProgram->get());
        glDrawArrays(GL_LINE_STRIP, 0, static_cast<GLsizei>(mNumPoints));
    };
    // The reduction's columns are those of the frame's clip.
    const int* clip = frame.clip;
    const bool linear = mMapping.log[0] == 0 && mMapping.log[1] == 0;
    bool reduced = false;
    if (mLodEnabled && clip[2] > 0 &&
        mNumPoints / 2u > static_cast<unsigned>(clip[2])) {
        if (!mLod) mLod.reset(new LineLod(mVBO.get(), mGLType, mNumPoints));
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
    if (mLodEnabled && MarkerCoverage::worthIt(mNumPoints, frame.clip[2], frame.clip[3])) {
        // Dense markers in any order: stamped per pixel, the pixels of the markers drawn one
        // by one.
        if (!bound) bindResources(frame.draw.windowId);
        bound = true;
        if (!mCoverage) mCoverage.reset(new MarkerCoverage());
        if (mCoverage->draw(frame.draw.windowId, mNumPoints, transform, mMapping.origin,
                            mMapping.log, mColor, mMarkerType, frame.clip, frame.viewport))
            return;
    }
    UniformCache& u = useMarkerProgram(frame);
    u.setMatrix4(MarkerUniforms::TRANSFORM, &transform[0][0]);
    writeMapping<MarkerUniforms>(u, mMapping.origin, mMapping.log);
    if (!bound) bindResources(frame.draw.windowId);
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(mNumPoints));
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
