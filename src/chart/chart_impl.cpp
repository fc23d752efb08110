#include "chart/chart_impl.hpp"

#include <climits>
#include <mutex>
#include <string>

#include "chart/chart_shaders.hpp"
#include "common/common.hpp"
#include "gl/uniforms.hpp"
#include "gl/raise.hpp"
#include "gl/check.hpp"
#include "font/font_impl.hpp"
#include "gl/context.hpp"

namespace internal {

namespace {

const float WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};

// The chart font of one share group. `loaded` is set only by a load that returned, so a
// load that threw is tried again by the next chart.
struct ChartFontSlot {
    std::shared_ptr<font_impl> font;
    bool loaded = false;
};

// Guards the creation and the first load of every group's chart font, so first calls
// racing on several threads load each group's font once.
std::mutex gChartFontMutex;

}  // namespace

std::shared_ptr<font_impl> getChartFont() {
    std::shared_ptr<ShareGroup> group = currentGroup();
    if (!group) {
        ZV_RAISE("Create a window (its context becomes current) before creating a chart",
                 zv::ZV_ERR_GL);
    }
    std::lock_guard<std::mutex> lock(gChartFontMutex);
    std::shared_ptr<void>& entry = group->resources[GROUP_CHART_FONT];
    if (!entry) entry = std::make_shared<ChartFontSlot>();
    auto* slot = static_cast<ChartFontSlot*>(entry.get());
    if (!slot->font) slot->font = std::make_shared<font_impl>();
    if (!slot->loaded) {
        slot->font->loadSystemFont("Vera", 32);
        slot->loaded = true;
    }
    return slot->font;
}

GLenum chartDataType(zv::ZVType type, const char* label) {
    const GLenum gl = ZVTypeToGLenum(type);
    const bool accepted = type == zv::ZV_UINT8 || type == zv::ZV_INT32 || type == zv::ZV_UINT32 ||
                          type == zv::ZV_FLOAT32;
    if (!accepted) ZV_RAISE_TYPE(label, 1, type);
    return gl;
}

void checkDrawCount(unsigned count, const char* label, const char* what) {
    if (count <= static_cast<unsigned>(INT_MAX)) return;
    ZV_RAISE_DIM(label, 1,
                 std::string("at most ") + std::to_string(INT_MAX) + " " + what +
                     ", what one draw call can take; split the data over several objects");
}

AbstractChart2D::AbstractChart2D() {
    mFont = getChartFont();
    mBorderProgram = makeProgram(gChartVertexShaderSrc, gChartFragmentShaderSrc);
    mSpriteProgram = makeProgram(gChartVertexShaderSrc, gChartSpriteFragmentShaderSrc);
    mPointLoc = CHART_POINT_LOCATION;
    mBorderColorLoc = glGetUniformLocation(mBorderProgram.get(), "color");
    mBorderMatLoc = glGetUniformLocation(mBorderProgram.get(), "transform");
    mSpriteColorLoc = glGetUniformLocation(mSpriteProgram.get(), "tick_color");
    mSpriteMatLoc = glGetUniformLocation(mSpriteProgram.get(), "transform");
    mSpriteIsYAxisLoc = glGetUniformLocation(mSpriteProgram.get(), "isYAxis");
    // Ticks are always white: set once, the program keeps it.
    setProgramConstants(mSpriteProgram.get(), [&] {
        glUniform4fv(mSpriteColorLoc, 1, WHITE);
    });
    setTickCount(mMetrics.tickCount);
}

AbstractChart2D::~AbstractChart2D() {
    glErrorCheck("Begin Chart::~Chart", __FILE__, __LINE__);
    mVAOs.clear();
    mRectangle.reset();
    mBorderProgram.reset();
    mSpriteProgram.reset();
    glErrorCheck("End Chart::~Chart", __FILE__, __LINE__);
}

void AbstractChart2D::setTickCount(int count) {
    mMetrics.tickCount = count;
    mTicksPerAxis = ticksPerAxis(count);
    const std::vector<float> vertices = chartVertices(count);
    mTickTextX.clear();
    mTickTextY.clear();
    for (size_t k = 8; k + 1 < vertices.size(); k += 2) {
        mTickTextX.push_back(vertices[k]);
        mTickTextY.push_back(vertices[k + 1]);
    }
    // The labels name the initial limits, as setAxesLimits would.
    mXLabels = axisLabels(mXMax, mXMin, count);
    mYLabels = axisLabels(mYMax, mYMin, count);

    GLBuffer buffer = GLBuffer::create();
    glBindBuffer(GL_ARRAY_BUFFER, buffer.get());
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)),
                 vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    mRectangle = std::move(buffer);
}

void AbstractChart2D::setAxesLimits(float xmax, float xmin, float ymax, float ymin) {
    mXMax = xmax;
    mXMin = xmin;
    mYMax = ymax;
    mYMin = ymin;
    mXLabels = axisLabels(xmax, xmin, mMetrics.tickCount);
    mYLabels = axisLabels(ymax, ymin, mMetrics.tickCount);
}

// Null means no title, as every other text argument of the library takes it.
void AbstractChart2D::setXAxisTitle(const char* title) { mXTitle = title ? title : ""; }
void AbstractChart2D::setYAxisTitle(const char* title) { mYTitle = title ? title : ""; }

void AbstractChart2D::bindResources(int windowId) {
    mVAOs.bind(windowId, [&] {
        glEnableVertexAttribArray(mPointLoc);
        glBindBuffer(GL_ARRAY_BUFFER, mRectangle.get());
        glVertexAttribPointer(mPointLoc, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    });
}

bool AbstractChart2D::beginDataClip(const ChartLayout& layout) {
    if (!layout.hasDataArea) return false;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const PixelBox box = frameScissor(layout, viewport);
    glScissor(box.x, box.y, box.width, box.height);
    glEnable(GL_SCISSOR_TEST);
    return true;
}

void AbstractChart2D::renderChart(int windowId, int x, int y, int w, int h) {
    (void)x;
    (void)y;
    const ChartLayout c = layout(w, h);
    // Too small an area for a data area: a frame of no size and a text space of no size
    // have nothing to show.
    if (!c.hasDataArea) return;
    glErrorCheck("Begin Chart::render", __FILE__, __LINE__);

    // The programs are shared by the group's windows; see UniformRefresh.
    const bool windowChanged = mUniformRefresh.windowChanged(windowId);
    bindResources(windowId);
    glUseProgram(mBorderProgram.get());
    if (windowChanged) {
        UniformRefresh::awayMatrix(mBorderMatLoc);
        UniformRefresh::awayVec4(mBorderColorLoc);
    }
    glUniformMatrix4fv(mBorderMatLoc, 1, GL_FALSE, &c.transform[0][0]);
    glUniform4fv(mBorderColorLoc, 1, WHITE);
    glDrawArrays(GL_LINE_LOOP, 0, 4);

    glPointSize(static_cast<float>(mMetrics.tickSize));
    glUseProgram(mSpriteProgram.get());
    if (windowChanged) {
        UniformRefresh::awayMatrix(mSpriteMatLoc);
        UniformRefresh::awayInt(mSpriteIsYAxisLoc);
        mSpriteTransform.forget();
        mSpriteFlagHeld = false;
    }
    if (mSpriteTransform.update(&c.transform[0][0]))
        glUniformMatrix4fv(mSpriteMatLoc, 1, GL_FALSE, &c.transform[0][0]);
    // The two axes' ticks never overlap, so a frame starts with the axis whose flag the
    // program still holds from the frame before, and changes it once.
    int axis = mSpriteFlagHeld ? mSpriteIsYAxis : 1;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1 || !mSpriteFlagHeld) glUniform1i(mSpriteIsYAxisLoc, axis);
        glDrawArrays(GL_POINTS, axis ? 4 : 4 + mTicksPerAxis, mTicksPerAxis);
        mSpriteIsYAxis = axis;
        axis = 1 - axis;
    }
    mSpriteFlagHeld = true;
    glPointSize(1.0f);

    // The text run uses its own program and vertex array and leaves program 0 and vertex
    // array 0, as the frame must; without a font they are unbound here.
    mFont->setOthro2D(static_cast<int>(c.dataWidth), static_cast<int>(c.dataHeight));
    if (!mFont->begin(windowId)) {
        glUseProgram(0);
        unbindResources();
        glErrorCheck("End Chart::render", __FILE__, __LINE__);
        return;
    }
    const size_t perAxis = static_cast<size_t>(mTicksPerAxis);
    for (size_t k = 0; k < mYLabels.size() && k < perAxis; ++k) {
        const std::string& text = mYLabels[k];
        TextPos p = yLabelPos(c, mMetrics, mTickTextX[k], mTickTextY[k], text.size());
        const float pos[2] = {p.x, p.y};
        mFont->drawString(pos, WHITE, text.c_str(), CHART_TEXT_SIZE, false);
    }
    for (size_t k = 0; k < mXLabels.size() && k < perAxis; ++k) {
        const std::string& text = mXLabels[k];
        TextPos p =
            xLabelPos(c, mMetrics, mTickTextX[perAxis + k], mTickTextY[perAxis + k], text.size());
        const float pos[2] = {p.x, p.y};
        mFont->drawString(pos, WHITE, text.c_str(), CHART_TEXT_SIZE, false);
    }
    if (!mYTitle.empty()) {
        TextPos p = yTitlePos(c, mMetrics);
        const float pos[2] = {p.x, p.y};
        mFont->drawString(pos, WHITE, mYTitle.c_str(), CHART_TEXT_SIZE, true);
    }
    if (!mXTitle.empty()) {
        TextPos p = xTitlePos(c, mMetrics);
        const float pos[2] = {p.x, p.y};
        mFont->drawString(pos, WHITE, mXTitle.c_str(), CHART_TEXT_SIZE, false);
    }
    mFont->end();
    glErrorCheck("End Chart::render", __FILE__, __LINE__);
}

}  // namespace internal
