#include "error_bars/error_bars_impl.hpp"

#include <cmath>
#include <initializer_list>
#include <string>

#include "chart/chart_shaders.hpp"
#include "common/common.hpp"
#include "error_bars/error_bars_shaders.hpp"
#include "exception/raise.hpp"
#include "gl/gl_alloc.hpp"
#include "gl/shaders.hpp"
#include "gl/state_guard.hpp"
#include "gl/uniforms.hpp"

namespace internal {

namespace {

constexpr const char* CREATE = "ErrorBars::ErrorBars";

bool errorKind(int kind) {
    return kind == zv::ZV_ERRORS_NONE || kind == zv::ZV_ERRORS_SYMMETRIC ||
           kind == zv::ZV_ERRORS_ASYMMETRIC;
}

// The capture program of the extents: its two outputs written one after the other.
GLProgram extentProgram() {
    const GLShader vertex = compileStage(GL_VERTEX_SHADER, gErrorBarsExtentShaderSrc, "Vertex");
    const GLShader fragment =
        compileStage(GL_FRAGMENT_SHADER, gChartFragmentShaderSrc, "Fragment");
    return linkProgram({&vertex, &fragment}, [](GLuint program) {
        const char* varyings[] = {"low", "high"};
        glTransformFeedbackVaryings(program, 2, varyings, GL_INTERLEAVED_ATTRIBS);
    });
}

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

error_bars_impl::error_bars_impl(unsigned numPoints, zv::ZVType dataType, int yErrors,
                                 int xErrors)
    : error_bars_impl(numPoints, yErrors, xErrors,
                      accept(numPoints, dataType, yErrors, xErrors)) {}

error_bars_impl::Accepted error_bars_impl::accept(unsigned numPoints, zv::ZVType dataType,
                                                  int yErrors, int xErrors) {
    const bool accepted = dataType == zv::ZV_UINT8 || dataType == zv::ZV_INT16 ||
                          dataType == zv::ZV_UINT16 || dataType == zv::ZV_INT32 ||
                          dataType == zv::ZV_UINT32 || dataType == zv::ZV_FLOAT32;
    if (!accepted) ZV_FAIL(SeriesPointType, CREATE, dataType);
    checkDrawCount(numPoints, CREATE, "points");
    if (!errorKind(yErrors)) {
        ZV_FAIL_ARG(ErrorBarsKind, CREATE, 3);
    }
    if (!errorKind(xErrors)) {
        ZV_FAIL_ARG(ErrorBarsKind, CREATE, 4);
    }
    if (yErrors == zv::ZV_ERRORS_NONE && xErrors == zv::ZV_ERRORS_NONE) {
        ZV_FAIL(ErrorBarsNone, CREATE);
    }
    return Accepted{ZVTypeToGLenum(dataType)};
}

error_bars_impl::error_bars_impl(unsigned numPoints, int yErrors, int xErrors, Accepted type)
    : mNumPoints(numPoints), mGLType(type.gl), mYErrors(yErrors), mXErrors(xErrors) {
    GLStateGuard guard;
    const size_t e = bytesPerElement(mGLType);
    const size_t n = numPoints;
    mVBOSize = 2 * n * e;
    mVBO = makeDataBuffer(GL_ARRAY_BUFFER, mVBOSize, GL_DYNAMIC_DRAW, CREATE,
                          "the error bars' point buffer");
    if (mYErrors != zv::ZV_ERRORS_NONE) {
        mYErrorSize = static_cast<size_t>(mYErrors) * n * e;
        mYErrorVBO = makeDataBuffer(GL_ARRAY_BUFFER, mYErrorSize, GL_DYNAMIC_DRAW, CREATE,
                                    "the error bars' y error buffer");
    }
    if (mXErrors != zv::ZV_ERRORS_NONE) {
        mXErrorSize = static_cast<size_t>(mXErrors) * n * e;
        mXErrorVBO = makeDataBuffer(GL_ARRAY_BUFFER, mXErrorSize, GL_DYNAMIC_DRAW, CREATE,
                                    "the error bars' x error buffer");
    }
    mExtent = makeDataBuffer(GL_ARRAY_BUFFER, 4 * n * sizeof(float), GL_DYNAMIC_COPY, CREATE,
                             "the error bars' extents");
    mProgram = groupProgram<ErrorBarsUniforms>("error bars", [] {
        return makeProgram(gErrorBarsVertexShaderSrc, gErrorBarsGeometryShaderSrc,
                           gChartFragmentShaderSrc);
    });
    mExtentProgram = groupProgram<ErrorBarsExtentUniforms>("error bar extents", extentProgram);
    SeriesSlot self;
    self.series = this;
    self.key = this;
    series().push_back(std::move(self));
}

// The owners go in reverse order of declaration: vertex arrays first, programs and buffers
// after the objects that use them.
error_bars_impl::~error_bars_impl() = default;

void error_bars_impl::setColor(zv::Color color) {
    mColor[0] = static_cast<float>(color >> 24) / 255.0f;
    mColor[1] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
    mColor[2] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
    mColor[3] = static_cast<float>(color & 0xFF) / 255.0f;
    mColorSet = true;
}

void error_bars_impl::setColor(float red, float green, float blue) {
    mColor[0] = clampTo01(red);
    mColor[1] = clampTo01(green);
    mColor[2] = clampTo01(blue);
    mColor[3] = 1.0f;
    mColorSet = true;
}

void error_bars_impl::setCapSize(float pixels) {
    if (!(pixels >= 0.0f) || !(pixels <= MAX_PIXELS)) {
        ZV_FAIL(ErrorBarsCapSize, "ErrorBars::setCapSize");
    }
    mCapSize = pixels;
}

void error_bars_impl::setLineWidth(float pixels) {
    if (!(pixels > 0.0f) || !(pixels <= MAX_PIXELS)) {
        ZV_FAIL(ErrorBarsLineWidth, "ErrorBars::setLineWidth");
    }
    mLineWidth = pixels;
}

void error_bars_impl::bindResources(int windowId) {
    mVAOs.bind(windowId, [&] {
        glBindBuffer(GL_ARRAY_BUFFER, mVBO.get());
        glEnableVertexAttribArray(CHART_POINT_LOCATION);
        glVertexAttribPointer(CHART_POINT_LOCATION, 2, mGLType, GL_FALSE, 0, nullptr);
        if (mYErrorVBO) {
            glBindBuffer(GL_ARRAY_BUFFER, mYErrorVBO.get());
            glEnableVertexAttribArray(ERROR_Y_LOCATION);
            glVertexAttribPointer(ERROR_Y_LOCATION, mYErrors, mGLType, GL_FALSE, 0, nullptr);
        }
        if (mXErrorVBO) {
            glBindBuffer(GL_ARRAY_BUFFER, mXErrorVBO.get());
            glEnableVertexAttribArray(ERROR_X_LOCATION);
            glVertexAttribPointer(ERROR_X_LOCATION, mXErrors, mGLType, GL_FALSE, 0, nullptr);
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    });
}

// The program and vertex array stay bound: the frame drawn next binds its own and leaves
// program 0 and vertex array 0.
void error_bars_impl::drawSeries(const FrameDraw& frame, const ChartAxes& axes) {
    if (mNumPoints == 0) return;
    refuseMapped({mVBO.get(), mYErrorVBO.get(), mXErrorVBO.get()}, "error bars");
    const int windowId = frame.draw.windowId;
    const GLfloat origin[2] = {static_cast<float>(axes.x.shaderOrigin()),
                               static_cast<float>(axes.y.shaderOrigin())};
    const GLint log[2] = {axes.x.log ? 1 : 0, axes.y.log ? 1 : 0};
    const int* vp = frame.viewport;
    const GLfloat halfViewport[2] = {0.5f * static_cast<float>(vp[2]),
                                     0.5f * static_cast<float>(vp[3])};
    // Whole pixels: a width of 2.4 draws 2, and nothing narrower than 1.
    const float width = std::max(1.0f, std::floor(mLineWidth + 0.5f));
    UniformCache& u = mProgram->uniforms;
    u.use(windowId);
    u.setMatrix4(ErrorBarsUniforms::TRANSFORM, &axes.data[0][0]);
    u.setVec2(ErrorBarsUniforms::ORIGIN, origin);
    u.setIVec2(ErrorBarsUniforms::LOG_AXES, log);
    u.setInt(ErrorBarsUniforms::ERRORS_Y, mYErrors);
    u.setInt(ErrorBarsUniforms::ERRORS_X, mXErrors);
    u.setVec2(ErrorBarsUniforms::HALF_VIEWPORT, halfViewport);
    u.setFloat(ErrorBarsUniforms::HALF_WIDTH, 0.5f * width);
    u.setFloat(ErrorBarsUniforms::CAP_HALF, 0.5f * std::floor(mCapSize + 0.5f));
    u.setVec4(ErrorBarsUniforms::COLOR, mColor);
    bindResources(windowId);
    const bool blend = mColor[3] < 1.0f;
    if (blend) {
        glEnable(GL_BLEND);
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    }
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(mNumPoints));
    if (blend) glDisable(GL_BLEND);
}

void error_bars_impl::prepareFit(int windowId, bool xLog, bool yLog) {
    if (mNumPoints == 0) return;
    GLStateGuard guard;
    const GLint log[2] = {xLog ? 1 : 0, yLog ? 1 : 0};
    UniformCache& u = mExtentProgram->uniforms;
    u.use(windowId);
    u.setInt(ErrorBarsExtentUniforms::ERRORS_Y, mYErrors);
    u.setInt(ErrorBarsExtentUniforms::ERRORS_X, mXErrors);
    u.setIVec2(ErrorBarsExtentUniforms::LOG_AXES, log);
    bindResources(windowId);
    glEnable(GL_RASTERIZER_DISCARD);
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, mExtent.get());
    glBeginTransformFeedback(GL_POINTS);
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(mNumPoints));
    glEndTransformFeedback();
    glDisable(GL_RASTERIZER_DISCARD);
}

void error_bars_impl::fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const {
    painter.fill(entry.bar, mColor);
}

}  // namespace internal
