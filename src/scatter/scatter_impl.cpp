#include "scatter/scatter_impl.hpp"

#include <cmath>
#include <initializer_list>
#include <string>

#include "common/common.hpp"
#include "common/style.hpp"
#include "exception/raise.hpp"
#include "font/chart_font.hpp"
#include "gl/gl_alloc.hpp"
#include "gl/state_guard.hpp"
#include "gl/uniforms.hpp"
#include "image/color_bar.hpp"
#include "image/color_bar_layout.hpp"
#include "scatter/scatter_shaders.hpp"

namespace internal {

namespace {

constexpr const char* CREATE = "Scatter::Scatter";

// Raises zv::Error (ZV_ERR_GL) when one of `buffers` (0: none) is still mapped by the
// application: a draw cannot read it, and would leave the picture as it was without a word.
void refuseMapped(std::initializer_list<GLuint> buffers, const char* what) {
    for (GLuint b : buffers) {
        if (b == 0) continue;
        glBindBuffer(GL_ARRAY_BUFFER, b);
        GLint mapped = GL_FALSE;
        glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_MAPPED, &mapped);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        if (mapped) {
            ZV_FAIL(SeriesBufferMapped, "Window::draw", what);
        }
    }
}

}  // namespace

mapped_scatter_impl::mapped_scatter_impl(unsigned numPoints, zv::ZVType dataType, int markerType, bool sizes)
    : mapped_scatter_impl(numPoints, markerType, sizes, accept(numPoints, dataType, markerType)) {}

mapped_scatter_impl::Accepted mapped_scatter_impl::accept(unsigned numPoints, zv::ZVType dataType,
                                            int markerType) {
    // The element type is the constructor's second argument.
    const bool accepted = dataType == zv::ZV_UINT8 || dataType == zv::ZV_INT16 ||
                          dataType == zv::ZV_UINT16 || dataType == zv::ZV_INT32 ||
                          dataType == zv::ZV_UINT32 || dataType == zv::ZV_FLOAT32;
    if (!accepted) ZV_FAIL(SeriesPointType, CREATE, dataType);
    const GLenum gl = ZVTypeToGLenum(dataType);
    checkDrawCount(numPoints, CREATE, "points");
    if (markerType < zv::ZV_MARKER_POINT || markerType > zv::ZV_MARKER_STAR) {
        ZV_FAIL(ScatterMarker, CREATE);
    }
    return Accepted{gl};
}

mapped_scatter_impl::mapped_scatter_impl(unsigned numPoints, int markerType, bool sizes, Accepted type)
    : mNumPoints(numPoints), mGLType(type.gl), mMarkerType(markerType) {
    GLStateGuard guard;
    const size_t e = bytesPerElement(mGLType);
    mVBOSize = 2 * static_cast<size_t>(numPoints) * e;
    mValueSize = static_cast<size_t>(numPoints) * e;
    mVBO = makeDataBuffer(GL_ARRAY_BUFFER, mVBOSize, GL_DYNAMIC_DRAW, CREATE,
                          "the scatter's point buffer");
    mValueVBO = makeDataBuffer(GL_ARRAY_BUFFER, mValueSize, GL_DYNAMIC_DRAW, CREATE,
                               "the scatter's value buffer");
    if (sizes) {
        mSizeVBO = makeDataBuffer(GL_ARRAY_BUFFER, mValueSize, GL_DYNAMIC_DRAW, CREATE,
                                  "the scatter's size buffer");
    }
    mProgram = groupProgram<ScatterUniforms>(
        "scatter",
        [] {
            return makeProgram(gScatterVertexShaderSrc, gScatterGeometryShaderSrc,
                               gScatterFragmentShaderSrc);
        },
        [](UniformCache& u) {
            const GLuint program = u.program();
            glUniformBlockBinding(program, glGetUniformBlockIndex(program, "ColorMap"), 0);
        });
    SeriesSlot self;
    self.series = this;
    self.key = this;
    series().push_back(std::move(self));
}

// The owners go in reverse order of declaration: vertex arrays first, programs and buffers
// after the objects that use them.
mapped_scatter_impl::~mapped_scatter_impl() = default;

void mapped_scatter_impl::setValueRange(float min, float max) {
    const char* label = "Scatter::setValueRange";
    if (!std::isfinite(min)) ZV_FAIL(ScatterValueMinNotFinite, label);
    if (!std::isfinite(max)) ZV_FAIL(ScatterValueMaxNotFinite, label);
    if (std::fabs(static_cast<double>(max) - min) < std::ldexp(1.0, -110)) {
        ZV_FAIL(ScatterValueRangeTooNarrow, label);
    }
    mValueMin = min;
    mValueMax = max;
}

void mapped_scatter_impl::setMarkerSize(float pixels) {
    if (!(pixels > 0.0f) || !(pixels <= MAX_MARKER_SIZE)) {
        ZV_FAIL(ScatterMarkerSize, "Scatter::setMarkerSize");
    }
    mMarkerSize = pixels;
}

void mapped_scatter_impl::setSwatchColor(float red, float green, float blue) {
    mSwatch[0] = clampTo01(red);
    mSwatch[1] = clampTo01(green);
    mSwatch[2] = clampTo01(blue);
    mSwatch[3] = 1.0f;
    mColorSet = true;
}

void mapped_scatter_impl::takeCycleColor(zv::Color c) {
    setSwatchColor(static_cast<float>(c >> 24) / 255.0f,
                   static_cast<float>((c >> 16) & 0xFF) / 255.0f,
                   static_cast<float>((c >> 8) & 0xFF) / 255.0f);
}

void mapped_scatter_impl::bindResources(int windowId) {
    mVAOs.bind(windowId, [&] {
        glBindBuffer(GL_ARRAY_BUFFER, mVBO.get());
        glEnableVertexAttribArray(CHART_POINT_LOCATION);
        glVertexAttribPointer(CHART_POINT_LOCATION, 2, mGLType, GL_FALSE, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, mValueVBO.get());
        glEnableVertexAttribArray(SCATTER_VALUE_LOCATION);
        glVertexAttribPointer(SCATTER_VALUE_LOCATION, 1, mGLType, GL_FALSE, 0, nullptr);
        if (mSizeVBO) {
            glBindBuffer(GL_ARRAY_BUFFER, mSizeVBO.get());
            glEnableVertexAttribArray(SCATTER_SIZE_LOCATION);
            glVertexAttribPointer(SCATTER_SIZE_LOCATION, 1, mGLType, GL_FALSE, 0, nullptr);
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    });
}

// The program and vertex array stay bound: the frame drawn next binds its own and leaves
// program 0 and vertex array 0.
void mapped_scatter_impl::drawSeries(const FrameDraw& frame, const ChartAxes& axes) {
    if (mNumPoints == 0 || frame.draw.colorMap == 0 || frame.draw.colorMapRows == 0) return;
    refuseMapped({mVBO.get(), mValueVBO.get(), mSizeVBO.get()}, "scatter");
    const int windowId = frame.draw.windowId;
    const GLfloat origin[2] = {static_cast<float>(axes.x.shaderOrigin()),
                               static_cast<float>(axes.y.shaderOrigin())};
    const GLint log[2] = {axes.x.log ? 1 : 0, axes.y.log ? 1 : 0};
    const GLfloat range[2] = {mValueMin, mValueMax};
    // The squares are made in the viewport's pixels (a grid cell's inset area).
    const int* vp = frame.viewport;
    const GLfloat halfViewport[2] = {0.5f * static_cast<float>(vp[2]),
                                     0.5f * static_cast<float>(vp[3])};
    const GLfloat viewportOrigin[2] = {static_cast<float>(vp[0]), static_cast<float>(vp[1])};
    UniformCache& u = mProgram->uniforms;
    u.use(windowId);
    u.setMatrix4(ScatterUniforms::TRANSFORM, &axes.data[0][0]);
    u.setVec2(ScatterUniforms::ORIGIN, origin);
    u.setIVec2(ScatterUniforms::LOG_AXES, log);
    u.setInt(ScatterUniforms::SIZED, mSizeVBO ? 1 : 0);
    u.setFloat(ScatterUniforms::MARKER_SIZE, mMarkerSize);
    u.setVec2(ScatterUniforms::RANGE, range);
    u.setFloat(ScatterUniforms::CMAPLEN, static_cast<float>(frame.draw.colorMapRows));
    u.setVec2(ScatterUniforms::HALF_VIEWPORT, halfViewport);
    u.setVec2(ScatterUniforms::VIEWPORT_ORIGIN, viewportOrigin);
    u.setInt(ScatterUniforms::MARKER_TYPE, mMarkerType);
    glBindBufferBase(GL_UNIFORM_BUFFER, 0, frame.draw.colorMap);
    bindResources(windowId);
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(mNumPoints));
    glBindBuffer(GL_UNIFORM_BUFFER, 0);
}

int mapped_scatter_impl::besideWidth(const DrawContext& draw) {
    if (!mColorBar || draw.colorMap == 0 || draw.colorMapRows == 0) return 0;
    if (!mBarTitle.empty() && !mBarFont) mBarFont = getChartFont();
    const ColorBarLayout bar =
        colorBarLayout(draw.viewport.width, draw.viewport.height,
                       mBarTitle.empty() ? -1.0f : colorBarTextWidth(*mBarFont, mBarTitle));
    return bar.shown ? draw.viewport.width - bar.imageWidth : 0;
}

void mapped_scatter_impl::drawBeside(const DrawContext& draw) {
    if (!mBarFont) mBarFont = getChartFont();
    const int w = draw.viewport.width, h = draw.viewport.height;
    const ColorBarLayout bar =
        colorBarLayout(w, h, mBarTitle.empty() ? -1.0f : colorBarTextWidth(*mBarFont, mBarTitle));
    if (mBarLabels.empty() || mLabelsMin != mValueMin || mLabelsMax != mValueMax) {
        mLabelsMin = mValueMin;
        mLabelsMax = mValueMax;
        mBarLabels = colorBarLabels(mLabelsMin, mLabelsMax);
    }
    float foreground[4];
    foregroundOf(draw.style, foreground);
    drawColorBar(draw.windowId, bar, w, h, draw.colorMap, draw.colorMapRows, *mBarFont,
                 mBarLabels, mBarTitle, foreground);
}

}  // namespace internal
