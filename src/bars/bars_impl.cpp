#include "bars/bars_impl.hpp"

#include <atomic>
#include <cmath>

#include "bars/bars_shaders.hpp"
#include "chart/chart_shaders.hpp"
#include "common/common.hpp"
#include "exception/raise.hpp"
#include "gl/gl_alloc.hpp"
#include "gl/shaders.hpp"
#include "gl/state_guard.hpp"

namespace internal {

namespace {
// Every change of any bars' categories gets a number never used before, so that a chart
// that saw other bars' categories at the same address still rebuilds its labels.
unsigned nextCategoryVersion() {
    static std::atomic<unsigned> counter{0};
    return ++counter;
}

GLProgram stackProgram() {
    const GLShader vertex = compileStage(GL_VERTEX_SHADER, gBarsStackVertexShaderSrc, "Vertex");
    const GLShader fragment =
        compileStage(GL_FRAGMENT_SHADER, gBarsStackFragmentShaderSrc, "Fragment");
    return linkProgram({&vertex, &fragment}, [](GLuint program) {
        const char* varyings[] = {"top"};
        glTransformFeedbackVaryings(program, 1, varyings, GL_INTERLEAVED_ATTRIBS);
    });
}
}  // namespace

bars_impl::bars_impl(unsigned numCategories, zv::ZVType dataType, int orientation)
    : bars_impl(numCategories, accept(numCategories, dataType, orientation)) {}

bars_impl::Accepted bars_impl::accept(unsigned numCategories, zv::ZVType dataType,
                                      int orientation) {
    const GLenum gl = chartDataType(dataType, "Bars::Bars");
    if (numCategories == 0) {
        ZV_FAIL(BarsNoCategories, "Bars::Bars");
    }
    checkDrawCount(numCategories, "Bars::Bars", "categories");
    if (orientation != zv::ZV_BARS_VERTICAL && orientation != zv::ZV_BARS_HORIZONTAL) {
        ZV_FAIL(BarsOrientation, "Bars::Bars");
    }
    return Accepted{gl, orientation == zv::ZV_BARS_HORIZONTAL};
}

bars_impl::bars_impl(unsigned numCategories, Accepted type)
    : mCount(numCategories), mGLType(type.gl), mHorizontal(type.horizontal) {
    GLStateGuard guard;
    mCategories.count = numCategories;
    mCategories.onY = mHorizontal;
    mCategories.version = nextCategoryVersion();
    mVBOSize = static_cast<size_t>(numCategories) * bytesPerElement(mGLType);
    mVBO = makeDataBuffer(GL_ARRAY_BUFFER, mVBOSize, GL_DYNAMIC_DRAW, "Bars::Bars",
                          "the bars' value buffer");
    mTops = makeDataBuffer(GL_ARRAY_BUFFER, static_cast<size_t>(numCategories) * sizeof(float),
                           GL_DYNAMIC_COPY, "Bars::Bars", "the bars' stack tops");
    mProgram = groupProgram<BarsUniforms>("bars", [] {
        return makeProgram(gBarsVertexShaderSrc, gBarsGeometryShaderSrc, gChartFragmentShaderSrc);
    });
    mStackProgram = groupProgram<BarsStackUniforms>("bars stack", [] { return stackProgram(); });
    SeriesSlot self;
    self.series = this;
    self.key = this;
    series().push_back(std::move(self));
    // The category axis names the categories from the first draw, as after any change.
    setAxesLimits(mHorizontal ? 1.0f : static_cast<float>(numCategories) - 0.5f,
                  mHorizontal ? 0.0f : -0.5f,
                  mHorizontal ? static_cast<float>(numCategories) - 0.5f : 1.0f,
                  mHorizontal ? -0.5f : 0.0f, "Bars::Bars");
}

// Vertex arrays go first, then programs and buffers.
bars_impl::~bars_impl() = default;

void bars_impl::setColor(zv::Color color) {
    mColor[0] = static_cast<float>(color >> 24) / 255.0f;
    mColor[1] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
    mColor[2] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
    mColor[3] = static_cast<float>(color & 0xFF) / 255.0f;
    mColorSet = true;
}

void bars_impl::setColor(float red, float green, float blue, float opacity) {
    mColor[0] = clampTo01(red);
    mColor[1] = clampTo01(green);
    mColor[2] = clampTo01(blue);
    mColor[3] = clampTo01(opacity);
    mColorSet = true;
}

void bars_impl::takeCycleColor(zv::Color color) {
    setColor(color | 0xFFu);
}

void bars_impl::setCategoryNames(const std::vector<std::string>& names) {
    if (!names.empty() && names.size() != mCount) {
        ZV_FAIL(BarsCategoryNames, "Bars::setCategoryNames", mCount);
    }
    mCategories.names = names;
    mCategories.version = nextCategoryVersion();
}

void bars_impl::setGroupWidth(float fraction) {
    if (!(fraction > 0.0f && fraction <= 1.0f)) {
        ZV_FAIL(BarsGroupWidth, "Bars::setGroupWidth");
    }
    mGroupWidth = fraction;
}

void bars_impl::stackOn(const std::shared_ptr<bars_impl>& below) {
    if (below) {
        if (below->mCount != mCount) {
            ZV_FAIL(BarsStackCategories, "Bars::stackOn", mCount);
        }
        if (below->mHorizontal != mHorizontal) {
            ZV_FAIL(BarsStackOrientation, "Bars::stackOn");
        }
        if (below->group() != group()) {
            ZV_FAIL(BarsStackInOtherGroup, "Bars::stackOn");
        }
        for (const bars_impl* b = below.get(); b; b = b->mBelow.get()) {
            if (b == this) {
                ZV_FAIL(BarsStackLoop, "Bars::stackOn");
            }
        }
    }
    if (below == mBelow) return;
    mBelow = below;
    // The vertex arrays point at the buffers below: made again by the next draw.
    mVAOs.clear();
    mStackVAOs.clear();
}

void bars_impl::setBarsLogAxes(bool xLog, bool yLog) {
    if (mHorizontal ? yLog : xLog) {
        ZV_FAIL_ARG(BarsCategoryAxisLog, "Bars::setLogAxes", mHorizontal ? 2 : 1);
    }
    setLogAxes(xLog, yLog, "Bars::setLogAxes");
}

void bars_impl::prepareData(int windowId) {
    if (!mBelow) return;
    mBelow->prepareData(windowId);
    UniformCache& u = mStackProgram->uniforms;
    u.use(windowId);
    u.setFloat(BarsStackUniforms::BASE_WEIGHT, 1.0f);
    mStackVAOs.bind(windowId, [&] {
        glBindBuffer(GL_ARRAY_BUFFER, mVBO.get());
        glEnableVertexAttribArray(CHART_POINT_LOCATION);
        glVertexAttribPointer(CHART_POINT_LOCATION, 1, mGLType, GL_FALSE, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, mBelow->topBuffer());
        glEnableVertexAttribArray(BARS_BASE_LOCATION);
        glVertexAttribPointer(BARS_BASE_LOCATION, 1, mBelow->topType(), GL_FALSE, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    });
    glEnable(GL_RASTERIZER_DISCARD);
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, mTops.get());
    glBeginTransformFeedback(GL_POINTS);
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(mCount));
    glEndTransformFeedback();
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, 0);
    glDisable(GL_RASTERIZER_DISCARD);
    VertexArrayMap::unbind();
    glUseProgram(0);
}

void bars_impl::bindResources(int windowId) {
    mVAOs.bind(windowId, [&] {
        glBindBuffer(GL_ARRAY_BUFFER, topBuffer());
        glEnableVertexAttribArray(CHART_POINT_LOCATION);
        glVertexAttribPointer(CHART_POINT_LOCATION, 1, topType(), GL_FALSE, 0, nullptr);
        if (mBelow) {
            glBindBuffer(GL_ARRAY_BUFFER, mBelow->topBuffer());
            glEnableVertexAttribArray(BARS_BASE_LOCATION);
            glVertexAttribPointer(BARS_BASE_LOCATION, 1, mBelow->topType(), GL_FALSE, 0,
                                  nullptr);
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    });
}

namespace {
// One decade below the lower end of a logarithmic axis, in log10 units: where bars standing
// on 0 start, out of the frame.
float logFloor(const AxisMap& map) {
    if (!map.log) return 0.0f;
    const double other = map.scale != 0.0 ? map.origin + 2.0 / map.scale : map.origin;
    return static_cast<float>(std::fmin(map.origin, other) - 1.0);
}
}  // namespace

// The program and vertex array stay bound: the frame drawn next binds its own.
void bars_impl::drawSeries(const FrameDraw& frame, const ChartAxes& axes) {
    const int windowId = frame.draw.windowId;
    const GLfloat origin[2] = {static_cast<float>(axes.x.shaderOrigin()),
                               static_cast<float>(axes.y.shaderOrigin())};
    const GLint log[2] = {axes.x.log ? 1 : 0, axes.y.log ? 1 : 0};
    // Where the bars' origin is left to the matrix, the floor is taken from the origin the
    // matrix subtracts.
    const GLfloat floor[2] = {logFloor(axes.x), logFloor(axes.y)};
    const int places = mPlaces > 0 ? mPlaces : 1;
    const float width = mGroupWidth / static_cast<float>(places);
    const GLfloat place[2] = {-0.5f * mGroupWidth + static_cast<float>(mPlace) * width, width};
    UniformCache& u = mProgram->uniforms;
    u.use(windowId);
    u.setMatrix4(BarsUniforms::TRANSFORM, &axes.data[0][0]);
    u.setVec4(BarsUniforms::COLOR, mColor);
    u.setVec2(BarsUniforms::ORIGIN, origin);
    u.setIVec2(BarsUniforms::LOG_AXES, log);
    u.setVec2(BarsUniforms::LOG_FLOOR, floor);
    u.setInt(BarsUniforms::STACKED, mBelow ? 1 : 0);
    u.setInt(BarsUniforms::HORIZONTAL, mHorizontal ? 1 : 0);
    u.setVec2(BarsUniforms::PLACE, place);
    bindResources(windowId);
    // Translucent colours blend over what the chart drew before; the framebuffer's alpha
    // stays as it is.
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(mCount));
    glDisable(GL_BLEND);
}

void bars_impl::addBounds(SeriesBounds& bounds, const DataBounds& range) const {
    if (range.empty()) return;
    // The categories of the range, each with its whole group's width.
    const float half = 0.5f * mGroupWidth;
    const float c0 = range.xmin - half, c1 = range.xmax + half;
    if (mHorizontal) {
        bounds.addPoints(DataBounds{std::fmin(range.ymin, 0.0f), c0,
                                    std::fmax(range.ymax, 0.0f), c1});
        return;
    }
    // Bars stand on 0: the tops enter as bars (the fit keeps 0 as the bottom when nothing
    // lies below it), the lowest value as a point, and 0 too when every value is below it.
    bounds.addPoints(DataBounds{c0, range.ymin, c1, range.ymin});
    if (range.ymax <= 0.0f) bounds.addPoints(DataBounds{c0, 0.0f, c1, 0.0f});
    bounds.addBars(range);
}

void bars_impl::fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const {
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    painter.fill(entry.bar, mColor);
    glDisable(GL_BLEND);
}

}  // namespace internal
