#include "chart/chart_impl.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "chart/chart_shaders.hpp"
#include "common/common.hpp"
#include "gl/uniforms.hpp"
#include "exception/raise.hpp"
#include "gl/state_guard.hpp"
#include "gl/check.hpp"
#include "font/chart_font.hpp"
#include "font/font_impl.hpp"
#include "gl/context.hpp"

namespace internal {

namespace {

const float WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};

// Neighbouring labels closer than this, in text units, count as touching: glyphs keep about
// a unit of side bearing each, so two labels this far apart leave a few pixels between them.
constexpr float LABEL_GAP = 3.0f;
// Height of a label's digits above its baseline, and depth of a title's letters below theirs,
// in text units (the font's size is 15).
constexpr float LABEL_ASCENT = 11.0f;
constexpr float TITLE_DESCENT = 4.0f;

// Width of a label written at `size` with `font`: the pen's advance, kerning included, as
// the font lays it out at that size.
float labelWidthAt(font_impl& font, int size, const std::string& text) {
    return static_cast<float>(font.textWidth(text.c_str(), size));
}

}  // namespace


GLenum chartDataType(zv::ZVType type, const char* label) {
    const GLenum gl = ZVTypeToGLenum(type);
    const bool accepted = type == zv::ZV_UINT8 || type == zv::ZV_INT16 ||
                          type == zv::ZV_UINT16 || type == zv::ZV_INT32 ||
                          type == zv::ZV_UINT32 || type == zv::ZV_FLOAT32;
    if (!accepted) ZV_FAIL(SeriesDataType, label, type);
    return gl;
}

void checkDrawCount(unsigned count, const char* label, const char* what) {
    if (count <= static_cast<unsigned>(INT_MAX)) return;
    ZV_FAIL(DrawCountTooLarge, label, INT_MAX, what);
}

AbstractChart2D::AbstractChart2D() {
    mFont = getChartFont();
    // Builds buffers and programs with whatever the application left bound: see GLStateGuard.
    GLStateGuard guard;
    mBorderProgram = groupProgram<ChartBorderUniforms>("chart border", [] {
        return makeProgram(gChartVertexShaderSrc, gChartFragmentShaderSrc);
    });
    mSpriteProgram = groupProgram<ChartSpriteUniforms>(
        "chart ticks",
        [] { return makeProgram(gChartVertexShaderSrc, gChartSpriteFragmentShaderSrc); },
        // Ticks are always white.
        [](UniformCache& u) { u.setConstantVec4(ChartSpriteUniforms::TICK_COLOR, WHITE); });
    // Label widths decide which labels fit side by side; they are measured with the font
    // that writes them.
    int advance[font_impl::NUM_CHARS], bearing[font_impl::NUM_CHARS];
    for (int k = 0; k < font_impl::NUM_CHARS; ++k) {
        advance[k] = mFont->advance(k);
        bearing[k] = mFont->bearingX(k);
    }
    const GlyphMetrics metrics{advance, bearing, mFont->lineHeight(),
                               std::max(1, mFont->loadedSize())};
    scaleGlyphs(metrics, CHART_TEXT_SIZE, mLabelGlyphs);
    setTickCount(mMetrics.tickCount);
}

// The owners go in reverse order of declaration: vertex arrays first, programs and buffers
// after the objects that use them.
AbstractChart2D::~AbstractChart2D() = default;

bool AbstractChart2D::settleFit(float& xMax, float& xMin, float& yMax, float& yMin) const {
    if (xLog() && !logLimitsValid(xMax, xMin)) {
        xMax = xmax();
        xMin = xmin();
    }
    if (yLog() && !logLimitsValid(yMax, yMin)) {
        yMax = ymax();
        yMin = ymin();
    }
    return !(xMax == xmax() && xMin == xmin() && yMax == ymax() && yMin == ymin());
}

void AbstractChart2D::setTickCount(int count) {
    mMetrics.tickCount = count;
    // The border corners, then room for the most ticks any style shows: the y axis' points
    // from vertex 4, the x axis' from vertex 4 + MAX_AXIS_TICKS.
    std::vector<float> vertices = chartVertices(0);
    vertices.resize(8 + 4 * MAX_AXIS_TICKS, 0.0f);
    GLBuffer buffer = GLBuffer::create();
    glBindBuffer(GL_ARRAY_BUFFER, buffer.get());
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)),
                 vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    mRectangle = std::move(buffer);
    // The first labels already name the initial limits, as any later ones do.
    rebuildTicks();
    uploadTickPoints();
}

void AbstractChart2D::rebuildTicks() {
    auto style = [&](bool log) {
        return log ? TickStyle::Log : mNiceTicks ? TickStyle::Nice : TickStyle::Even;
    };
    mXStyle = style(mXLog);
    mYStyle = style(mYLog);
    AxisTicks x = axisTicks(mXStyle, mXMax, mXMin, mMetrics.tickCount);
    AxisTicks y = axisTicks(mYStyle, mYMax, mYMin, mMetrics.tickCount);
    for (AxisTicks* t : {&x, &y}) {
        const size_t n = std::min<size_t>(t->positions.size(), MAX_AXIS_TICKS);
        t->positions.resize(n);
        t->labels.resize(n);
        t->offsets.resize(n);
    }
    mTickPointsMoved = mTickPointsMoved || x.positions != mXTicks.positions ||
                       y.positions != mYTicks.positions;
    mXTicks = std::move(x);
    mYTicks = std::move(y);
    mXLabelWidths.clear();
    for (const std::string& label : mXTicks.labels)
        mXLabelWidths.push_back(labelWidthAt(*mFont, CHART_TEXT_SIZE, label));
    mYLabelWidths.clear();
    for (const std::string& label : mYTicks.labels)
        mYLabelWidths.push_back(labelWidthAt(*mFont, CHART_TEXT_SIZE, label));
    mStrideWidth = mStrideHeight = -1;
}

void AbstractChart2D::uploadTickPoints() {
    float points[4 * MAX_AXIS_TICKS] = {};
    for (size_t k = 0; k < mYTicks.positions.size(); ++k) {
        points[2 * k] = -1.0f;
        points[2 * k + 1] = mYTicks.positions[k];
    }
    float* x = points + 2 * MAX_AXIS_TICKS;
    for (size_t k = 0; k < mXTicks.positions.size(); ++k) {
        x[2 * k] = mXTicks.positions[k];
        x[2 * k + 1] = -1.0f;
    }
    glBindBuffer(GL_ARRAY_BUFFER, mRectangle.get());
    glBufferSubData(GL_ARRAY_BUFFER, 8 * sizeof(float), sizeof points, points);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    mTickPointsMoved = false;
}

// The frame's own even ticks keep the placement their labels always had, from an estimate of
// their width by characters (not UTF-8 bytes); labels of round values and decades, often a
// character or two, are centred by their measured width.
TextPos AbstractChart2D::xLabelAt(const ChartLayout& c, size_t k) const {
    TextPos p = mXStyle == TickStyle::Even
                    ? xLabelPos(c, mMetrics, mXTicks.positions[k], -1.0f,
                                static_cast<size_t>(codePointCount(mXTicks.labels[k].c_str())))
                    : xLabelPosCentred(c, mMetrics, mXTicks.positions[k], mXLabelWidths[k]);
    p.x = keepInside(p.x, mXLabelWidths[k], c.dataWidth) + mXLabelShift[k];
    return p;
}

TextPos AbstractChart2D::yLabelAt(const ChartLayout& c, size_t k) const {
    TextPos p = mYStyle == TickStyle::Even
                    ? yLabelPos(c, mMetrics, -1.0f, mYTicks.positions[k],
                                static_cast<size_t>(codePointCount(mYTicks.labels[k].c_str())))
                    : yLabelPosCentred(c, mMetrics, mYTicks.positions[k], mYLabelWidths[k],
                                       LABEL_ASCENT);
    // A label too long for the margin starts at the area's edge rather than off it, and one
    // at the top of the axis stays below the area's top.
    p.x = std::max(p.x, 0.0f);
    p.y = std::min(p.y, c.dataHeight - LABEL_ASCENT);
    return p;
}

int AbstractChart2D::fitBeforeDashes(size_t k, float end, float top, TextPos& p) const {
    const float width = mYLabelWidths[k];
    if (p.x + width <= end) return CHART_TEXT_SIZE;
    if (width <= end) {
        p.x = end - width;
        return CHART_TEXT_SIZE;
    }
    // Wider than the whole margin: written smaller, from the area's edge, rather than over
    // the frame or cut short (a label missing its first digits would name another value).
    int size = CHART_TEXT_SIZE;
    float w = width;
    while (w > end && size > 1) w = labelWidthAt(*mFont, --size, mYTicks.labels[k]);
    p.x = std::max(0.0f, end - w);
    // A label centred on its tick stays centred, and below the area's top.
    const float ascent = LABEL_ASCENT * static_cast<float>(size) / CHART_TEXT_SIZE;
    if (mYStyle != TickStyle::Even) p.y += 0.5f * (LABEL_ASCENT - ascent);
    p.y = std::min(p.y, top - ascent);
    return size;
}

void AbstractChart2D::thinLabels(const ChartLayout& c) {
    std::fill(mXLabelShift, mXLabelShift + MAX_AXIS_TICKS, 0.0f);
    LabelSpan spans[MAX_AXIS_TICKS] = {};
    const int nx = static_cast<int>(mXTicks.labels.size());
    for (int k = 0; k < nx; ++k) {
        const float start = xLabelAt(c, static_cast<size_t>(k)).x;
        spans[k] = {start, start + mXLabelWidths[k]};
    }
    mXStride = labelStride(spans, mXTicks.offsets.data(), nx, LABEL_GAP);
    // A y title runs down from the middle of the left edge, one line per character; a long
    // one reaches below the frame, where it would be written over the x labels beside it.
    TextBox title{0.0f, 0.0f, -1.0f, -1.0f};
    if (!mYTitle.empty()) {
        const TextPos p = yTitlePos(c, mMetrics);
        const float widest =
            static_cast<float>(mFont->widestCharacter(mYTitle.c_str(), CHART_TEXT_SIZE));
        const float lines = static_cast<float>(codePointCount(mYTitle.c_str()) - 1);
        title = {p.x, p.y - lines * static_cast<float>(mLabelGlyphs.lineStep) - TITLE_DESCENT,
                 p.x + widest, p.y + LABEL_ASCENT};
    }
    for (int k = 0; k < nx; ++k) {
        mXLabelShift[k] = 0.0f;
        const TextPos p = xLabelAt(c, static_cast<size_t>(k));
        const TextBox label{p.x, p.y, p.x + mXLabelWidths[k], p.y + LABEL_ASCENT};
        mXLabelUnderTitle[k] = mXTicks.offsets[k] != 0 && boxesTouch(label, title, LABEL_GAP);
        if (!mXLabelUnderTitle[k]) continue;
        // The title starts a tick's length right of the frame's left edge, so the label of a
        // tick on that edge (the 0 of an axis starting there) touches it in a small area:
        // moved left clear of the title, it still reaches its tick and stays in the area.
        const float shift = title.x0 - LABEL_GAP - 0.01f - label.x1;
        const float tick = textAnchor(c, mXTicks.positions[k], -1.0f).x;
        if (label.x0 + shift >= 0.0f && label.x1 + shift >= tick) {
            mXLabelShift[k] = shift;
            mXLabelUnderTitle[k] = false;
        }
    }
    const int ny = static_cast<int>(mYTicks.labels.size());
    for (int k = 0; k < ny; ++k) {
        const float baseline = yLabelAt(c, static_cast<size_t>(k)).y;
        spans[k] = {baseline, baseline + static_cast<float>(CHART_TEXT_SIZE)};
    }
    mYStride = labelStride(spans, mYTicks.offsets.data(), ny, LABEL_GAP);

    // The notes at the axes' ends, and the labels they would cover.
    const TextBox none{0.0f, 0.0f, -1.0f, -1.0f};
    mXNoteBox = mYNoteBox = none;
    if (!mXTicks.note.empty()) {
        const float w = labelWidthAt(*mFont, CHART_TEXT_SIZE, mXTicks.note);
        const float baseline = xLabelPos(c, mMetrics, 1.0f, -1.0f, 0).y;
        const float x0 = std::max(0.0f, c.dataWidth - w);
        mXNoteBox = {x0, baseline, x0 + w, baseline + LABEL_ASCENT};
    }
    if (!mYTicks.note.empty()) {
        const float w = labelWidthAt(*mFont, CHART_TEXT_SIZE, mYTicks.note);
        const float baseline = c.dataHeight - LABEL_ASCENT;
        mYNoteBox = {0.0f, baseline, w, baseline + LABEL_ASCENT};
    }
    mXLabelBoxes.clear();
    for (int k = 0; k < nx; ++k) {
        const TextPos p = xLabelAt(c, static_cast<size_t>(k));
        mXLabelBoxes.push_back({p.x, p.y, p.x + mXLabelWidths[k], p.y + LABEL_ASCENT});
        mXLabelUnderNote[k] = mXTicks.offsets[k] != 0 &&
                              (boxesTouch(mXLabelBoxes[k], mXNoteBox, LABEL_GAP) ||
                               boxesTouch(mXLabelBoxes[k], mYNoteBox, LABEL_GAP));
    }
    mYLabelBoxes.clear();
    for (int k = 0; k < ny; ++k) {
        const TextPos p = yLabelAt(c, static_cast<size_t>(k));
        mYLabelBoxes.push_back({p.x, p.y, p.x + mYLabelWidths[k], p.y + LABEL_ASCENT});
        mYLabelUnderNote[k] = mYTicks.offsets[k] != 0 &&
                              (boxesTouch(mYLabelBoxes[k], mYNoteBox, LABEL_GAP) ||
                               boxesTouch(mYLabelBoxes[k], mXNoteBox, LABEL_GAP));
    }
    mStrideWidth = c.width;
    mStrideHeight = c.height;
}

void AbstractChart2D::setAxesLimits(float xmax, float xmin, float ymax, float ymin,
                                    const char* label) {
    const float limits[4] = {xmax, xmin, ymax, ymin};
    for (int i = 0; i < 4; ++i) {
        const bool log = i < 2 ? mXLog : mYLog;
        if (log && !(std::isfinite(limits[i]) && limits[i] > 0.0f)) {
            if (i < 2) ZV_FAIL_ARG(LogLimitsX, label, i + 1);
            ZV_FAIL_ARG(LogLimitsY, label, i + 1);
        }
    }
    mXMax = xmax;
    mXMin = xmin;
    mYMax = ymax;
    mYMin = ymin;
    rebuildTicks();
}

void AbstractChart2D::setNiceTicks(bool enabled) {
    mNiceTicks = enabled;
    rebuildTicks();
}

void AbstractChart2D::setLogAxes(bool xLog, bool yLog, const char* label) {
    if (xLog && !logLimitsValid(mXMax, mXMin)) {
        ZV_FAIL(LogAxisXLimits, label);
    }
    if (yLog && !logLimitsValid(mYMax, mYMin)) {
        ZV_FAIL(LogAxisYLimits, label);
    }
    mXLog = xLog;
    mYLog = yLog;
    rebuildTicks();
}

// Null means no title, as every other text argument of the library takes it.
void AbstractChart2D::setXAxisTitle(const char* title) { mXTitle = title ? title : ""; }
void AbstractChart2D::setYAxisTitle(const char* title) {
    mYTitle = title ? title : "";
    mStrideWidth = mStrideHeight = -1;  // the labels it may cover are decided again
}

void AbstractChart2D::bindResources(int windowId) {
    mVAOs.bind(windowId, [&] {
        glEnableVertexAttribArray(CHART_POINT_LOCATION);
        glBindBuffer(GL_ARRAY_BUFFER, mRectangle.get());
        glVertexAttribPointer(CHART_POINT_LOCATION, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    });
}

DrawnFrame AbstractChart2D::render(const DrawContext& draw) {
    if (mAutoFit && !mSeries.empty()) {
        // Every series' reduction is started each draw; the limits move once all of them
        // have one two draws old, so a series added late does not make them jump twice.
        SeriesBounds b;
        bool ready = true;
        for (SeriesSlot& s : mSeries) {
            if (s.series->seriesData().count == 0) continue;  // no data
            DataBounds d;
            if (!rangeOf(s).follow(draw.windowId, d, windowOf(*s.series))) ready = false;
            else s.series->addBounds(b, d);
        }
        if (ready) applyFit(b);
    }
    const FrameDraw f = frameDraw(draw);
    if (beginDataClip(f)) {
        // One data transform for every series: the chart's limits, not the series' own.
        ChartAxes axes;
        axes.x = xMap();
        axes.y = yMap();
        axes.data = dataTransform(f.layout, axes.x, axes.y);
        axes.ymax = ymax();
        for (SeriesSlot& s : mSeries) s.series->drawSeries(f, axes);
    }
    endDataClip();
    renderChart(f);
    if (f.layout.hasDataArea) drawOverlays(f);
    // Where the frame landed, for the mouse.
    DrawnFrame drawn;
    if (f.layout.hasDataArea) {
        drawn.frame = frameInWindow(f.layout, f.viewport);
        drawn.chart = drawn.frame.width > 0.0 && drawn.frame.height > 0.0;
    }
    return drawn;
}

DataRange& AbstractChart2D::rangeOf(SeriesSlot& slot) {
    if (!slot.range) {
        const SeriesData d = slot.series->seriesData();
        slot.range.reset(d.components == 2 ? new DataRange(d.points)
                                           : new DataRange(d.buffer, d.type, 1, d.count));
    }
    return *slot.range;
}

PointWindow AbstractChart2D::windowOf(const ChartSeries& series) {
    const SeriesData d = series.seriesData();
    if (d.components == 2) return d.window;
    PointWindow all;
    all.count = d.count;
    return all;
}

void AbstractChart2D::applyFit(const SeriesBounds& b) {
    FittedLimits f;
    if (!fitSeries(b, {xmin(), xmax(), ymin(), ymax()}, f, xLog(), yLog())) return;
    if (!settleFit(f.xmax, f.xmin, f.ymax, f.ymin)) return;
    setAxesLimits(f.xmax, f.xmin, f.ymax, f.ymin, fitLabel());
}

void AbstractChart2D::fitAxesToData() {
    ContextScope scope(group());
    if (!scope.ok()) {
        ZV_FAIL(FitWithoutWindow, fitLabel());
    }
    const int id = currentWindowId();
    SeriesBounds b;
    for (SeriesSlot& s : mSeries)
        s.series->addBounds(b, rangeOf(s).compute(id, windowOf(*s.series)));
    applyFit(b);
}

void AbstractChart2D::setAutoFit(bool on) {
    if (on && !mAutoFit) {
        for (SeriesSlot& s : mSeries)
            if (s.range) s.range->resetFollow();
    }
    mAutoFit = on;
    setFollowPausedByMouse(false);
}

FrameDraw AbstractChart2D::frameDraw(const DrawContext& draw) const {
    FrameDraw f;
    f.draw = draw;
    f.layout = layout(draw.area.width, draw.area.height);
    const PixelArea& v = draw.viewport;
    const int viewport[4] = {v.x, v.y, v.width, v.height};
    std::copy(viewport, viewport + 4, f.viewport);
    if (f.layout.hasDataArea) {
        const PixelBox box = frameScissor(f.layout, viewport);
        const int clip[4] = {box.x, box.y, box.width, box.height};
        std::copy(clip, clip + 4, f.clip);
    }
    return f;
}

bool AbstractChart2D::beginDataClip(const FrameDraw& frame) {
    if (!frame.layout.hasDataArea) return false;
    glScissor(frame.clip[0], frame.clip[1], frame.clip[2], frame.clip[3]);
    glEnable(GL_SCISSOR_TEST);
    return true;
}

void AbstractChart2D::renderChart(const FrameDraw& frame) {
    const ChartLayout& c = frame.layout;
    const int windowId = frame.draw.windowId;
    const int w = c.width, h = c.height;
    // Too small an area for a data area: a frame of no size and a text space of no size
    // have nothing to show.
    if (!c.hasDataArea) return;
    if (mTickPointsMoved) uploadTickPoints();
    if (w != mStrideWidth || h != mStrideHeight) thinLabels(c);

    bindResources(windowId);
    drawBorder(windowId, c);
    drawTicks(windowId, c);
    // The text run uses its own program and vertex array and leaves program 0 and vertex
    // array 0, as the frame must; without a font they are unbound here.
    if (!drawLabels(windowId, c, frame.viewport[2])) {
        glUseProgram(0);
        unbindResources();
    }
}

void AbstractChart2D::drawBorder(int windowId, const ChartLayout& c) {
    UniformCache& u = mBorderProgram->uniforms;
    u.use(windowId);
    u.setMatrix4(ChartBorderUniforms::TRANSFORM, &c.transform[0][0]);
    u.setVec4(ChartBorderUniforms::COLOR, WHITE);
    glDrawArrays(GL_LINE_LOOP, 0, 4);
}

void AbstractChart2D::drawTicks(int windowId, const ChartLayout& c) {
    glPointSize(static_cast<float>(mMetrics.tickSize));
    UniformCache& u = mSpriteProgram->uniforms;
    u.use(windowId);
    u.setMatrix4(ChartSpriteUniforms::TRANSFORM, &c.transform[0][0]);
    // The two axes' ticks never overlap, so a frame starts with the axis whose flag the
    // program still holds from the frame before, and changes it once.
    GLint axis = 1;
    u.heldInt(ChartSpriteUniforms::IS_Y_AXIS, &axis);
    for (int pass = 0; pass < 2; ++pass) {
        u.setInt(ChartSpriteUniforms::IS_Y_AXIS, axis);
        if (axis)
            glDrawArrays(GL_POINTS, 4, static_cast<GLsizei>(mYTicks.positions.size()));
        else
            glDrawArrays(GL_POINTS, 4 + MAX_AXIS_TICKS,
                         static_cast<GLsizei>(mXTicks.positions.size()));
        axis = 1 - axis;
    }
    glPointSize(1.0f);
}

bool AbstractChart2D::drawLabels(int windowId, const ChartLayout& c, int viewportWidth) {
    if (!mFont->begin(windowId, static_cast<int>(c.dataWidth), static_cast<int>(c.dataHeight)))
        return false;
    // y labels end a gap before the tick dashes, which reach half a tick (in the viewport's
    // pixels) left of the frame.
    const float unitsPerPixel =
        viewportWidth > 0 ? c.dataWidth / static_cast<float>(viewportWidth) : 1.0f;
    const float yLabelsEnd = textAnchor(c, -1.0f, 0.0f).x -
                             0.5f * static_cast<float>(mMetrics.tickSize) * unitsPerPixel -
                             LABEL_GAP;
    // Labels that would touch their neighbours are left out (see thinLabels); their ticks
    // stay.
    for (size_t k = 0; k < mYTicks.labels.size(); ++k) {
        if (!yLabelShown(k)) continue;
        const std::string& text = mYTicks.labels[k];
        TextPos p = yLabelAt(c, k);
        const int size = fitBeforeDashes(k, yLabelsEnd, c.dataHeight, p);
        const float pos[2] = {p.x, p.y};
        mFont->drawString(pos, WHITE, text.c_str(), size, false);
    }
    for (size_t k = 0; k < mXTicks.labels.size(); ++k) {
        if (!xLabelShown(k)) continue;
        const std::string& text = mXTicks.labels[k];
        const TextPos p = xLabelAt(c, k);
        const float pos[2] = {p.x, p.y};
        mFont->drawString(pos, WHITE, text.c_str(), CHART_TEXT_SIZE, false);
    }
    for (const auto* n : {&mXNoteBox, &mYNoteBox}) {
        const std::string& note = n == &mXNoteBox ? mXTicks.note : mYTicks.note;
        if (note.empty()) continue;
        const float pos[2] = {n->x0, n->y0};
        mFont->drawString(pos, WHITE, note.c_str(), CHART_TEXT_SIZE, false);
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
    return true;
}

}  // namespace internal
