#include "chart/chart_impl.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "chart/chart_shaders.hpp"
#include "common/common.hpp"
#include "common/style.hpp"
#include "gl/uniforms.hpp"
#include "exception/raise.hpp"
#include "gl/state_guard.hpp"
#include "gl/check.hpp"
#include "font/chart_font.hpp"
#include "font/font_impl.hpp"
#include "gl/context.hpp"

namespace internal {

namespace {

// Vertices of the frame's buffer: the border's corners and the ticks, then the grid lines'
// ends, then the minor ticks.
constexpr int GRID_VERTEX = 4 + 2 * MAX_AXIS_TICKS;
constexpr int MINOR_VERTEX = GRID_VERTEX + 4 * MAX_AXIS_TICKS;
constexpr int CHART_VERTICES = MINOR_VERTEX + 2 * MAX_AXIS_TICKS;

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
        [] { return makeProgram(gChartVertexShaderSrc, gChartSpriteFragmentShaderSrc); });
    scaleTitleGlyphs(CHART_TEXT_SIZE);
    setTickCount(mMetrics.tickCount);
}

// Label widths decide which labels fit side by side; they are measured with the font that
// writes them. The stacked y title steps its lines by the font's line height at its size.
void AbstractChart2D::scaleTitleGlyphs(int size) {
    int advance[font_impl::NUM_CHARS], bearing[font_impl::NUM_CHARS];
    for (int k = 0; k < font_impl::NUM_CHARS; ++k) {
        advance[k] = mFont->advance(k);
        bearing[k] = mFont->bearingX(k);
    }
    const GlyphMetrics metrics{advance, bearing, mFont->lineHeight(),
                               std::max(1, mFont->loadedSize())};
    scaleGlyphs(metrics, size, mLabelGlyphs);
}

void AbstractChart2D::setStyle(const zv::Style& style, const char* label) {
    checkStyle(style, label);
    mStyle = style;
    mOwnStyle = true;
}

void AbstractChart2D::setTitle(const char* title) {
    mTitle = title ? title : "";
    mStrideWidth = mStrideHeight = -1;
}

void AbstractChart2D::applyStyle(const zv::Style& style) {
    if (sameStyle(style, mApplied)) return;
    const bool resized = style.titleSize != mApplied.titleSize;
    mApplied = style;
    colorToFloats(style.foreground, mForeground);
    colorToFloats(style.grid, mGridColor);
    mMetrics.textSize = style.tickLabelSize;
    mMetrics.pixelText =
        style.titles == zv::ZV_TITLES_OUTSIDE || style.legend == zv::ZV_LEGEND_OUTSIDE_RIGHT;
    mLabelAscent = LABEL_ASCENT * static_cast<float>(style.tickLabelSize) / CHART_TEXT_SIZE;
    if (resized) scaleTitleGlyphs(style.titleSize);
    rebuildTicks();
}

bool AbstractChart2D::titlesOutside() const { return mApplied.titles == zv::ZV_TITLES_OUTSIDE; }

int AbstractChart2D::titleBand() const {
    // A line of text stands about 0.95 of its size above the baseline (accents, brackets)
    // and 0.25 below; three pixels of gap each side.
    return static_cast<int>(std::ceil(1.2f * static_cast<float>(mApplied.titleSize))) + 6;
}

ChartMetrics AbstractChart2D::metricsFor(int w, int h) const {
    ChartMetrics m = mMetrics;
    if (titlesOutside()) {
        // The margins for the tick labels grow with their size from the frame's own 68 and
        // 32 pixels at 15, and each title outside takes a band.
        const int size = m.textSize;
        m.left = (m.left * size + CHART_TEXT_SIZE - 1) / CHART_TEXT_SIZE;
        m.bottom = (m.bottom * size + CHART_TEXT_SIZE - 1) / CHART_TEXT_SIZE;
        // Right of the frame, room for half of the last x label, centred on its tick.
        m.right = std::max(m.right, (6 * size + 4) / 5);
        const int band = titleBand();
        if (!mYTitle.empty()) m.left += band;
        if (!mXTitle.empty()) m.bottom += band;
        if (!mTitle.empty()) m.top += band;
    }
    (void)h;
    m.right += outsideRight(w - m.left - m.right - m.tickSize);
    return m;
}

int AbstractChart2D::fitSize(const std::string& text, int size, float room) const {
    while (size > 1 && labelWidthAt(*mFont, size, text) > room) --size;
    return size;
}

// The owners go in reverse order of declaration: vertex arrays first, programs and buffers
// after the objects that use them.
AbstractChart2D::~AbstractChart2D() {
    unlinkAxis(LINK_AXIS_X);
    unlinkAxis(LINK_AXIS_Y);
}

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
    // from vertex 4, the x axis' from vertex 4 + MAX_AXIS_TICKS; then the grid lines' ends
    // (y axis from GRID_VERTEX, x axis 2 * MAX_AXIS_TICKS after) and the minor ticks (y axis
    // from MINOR_VERTEX, x axis MAX_AXIS_TICKS after).
    std::vector<float> vertices = chartVertices(0);
    vertices.resize(2 * CHART_VERTICES, 0.0f);
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
    const bool nice = mNiceTicks || mApplied.ticks == zv::ZV_TICKS_ROUND;
    auto style = [&](bool log) {
        return log ? TickStyle::Log : nice ? TickStyle::Nice : TickStyle::Even;
    };
    mXStyle = style(mXLog);
    mYStyle = style(mYLog);
    AxisTicks x = axisTicks(mXStyle, mXMax, mXMin, mMetrics.tickCount);
    AxisTicks y = axisTicks(mYStyle, mYMax, mYMin, mMetrics.tickCount);
    // The axis bars stand on names their categories at the centres instead.
    if (const CategoryAxis* c = categories()) {
        if (c->onY) {
            y = categoryTicks(c->names, c->count, mYMax, mYMin, mYLog);
            mYStyle = TickStyle::Category;
        } else {
            x = categoryTicks(c->names, c->count, mXMax, mXMin, mXLog);
            mXStyle = TickStyle::Category;
        }
    }
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
        mXLabelWidths.push_back(labelWidthAt(*mFont, mMetrics.textSize, label));
    mYLabelWidths.clear();
    for (const std::string& label : mYTicks.labels)
        mYLabelWidths.push_back(labelWidthAt(*mFont, mMetrics.textSize, label));
    mStrideWidth = mStrideHeight = -1;
}

const CategoryAxis* AbstractChart2D::categories() const {
    for (const SeriesSlot& s : mSeries)
        if (const CategoryAxis* c = s.series->categoryAxis()) return c;
    return nullptr;
}

void AbstractChart2D::arrangeSeries() {
    int places = 0;
    for (size_t i = 0; i < mSeries.size(); ++i) {
        ChartSeries* s = mSeries[i].series;
        const void* key = s->groupKey();
        if (!key) continue;
        int place = -1;
        for (size_t j = 0; j < i && place < 0; ++j)
            if (mSeries[j].series->groupKey() == key) place = mSeries[j].series->groupPlace();
        s->setGroupPlace(place < 0 ? places++ : place, 0);
    }
    for (SeriesSlot& slot : mSeries)
        if (slot.series->groupKey()) slot.series->setGroupPlace(slot.series->groupPlace(), places);
    const CategoryAxis* c = categories();
    const unsigned version = c ? c->version : 0;
    if (c != mCategorySeen || version != mCategoryVersion) {
        mCategorySeen = c;
        mCategoryVersion = version;
        rebuildTicks();
    }
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
    // Grid lines across the frame, and minor ticks halfway between neighbouring major ticks.
    float grid[8 * MAX_AXIS_TICKS] = {};
    for (size_t k = 0; k < mYTicks.positions.size(); ++k) {
        const float y = mYTicks.positions[k];
        const float line[4] = {-1.0f, y, 1.0f, y};
        std::copy(line, line + 4, grid + 4 * k);
    }
    for (size_t k = 0; k < mXTicks.positions.size(); ++k) {
        const float x = mXTicks.positions[k];
        const float line[4] = {x, -1.0f, x, 1.0f};
        std::copy(line, line + 4, grid + 4 * MAX_AXIS_TICKS + 4 * k);
    }
    float minor[4 * MAX_AXIS_TICKS] = {};
    auto halfway = [](const std::vector<float>& major, float* out, bool yAxis) {
        // At most MAX_AXIS_TICKS of them, in order of value (insertion: a dozen at most).
        float sorted[MAX_AXIS_TICKS] = {};
        const size_t n = std::min<size_t>(major.size(), MAX_AXIS_TICKS);
        for (size_t k = 0; k < n; ++k) {
            size_t j = k;
            for (; j > 0 && sorted[j - 1] > major[k]; --j) sorted[j] = sorted[j - 1];
            sorted[j] = major[k];
        }
        int count = 0;
        for (size_t k = 0; k + 1 < n && count < MAX_AXIS_TICKS; ++k) {
            const float m = 0.5f * (sorted[k] + sorted[k + 1]);
            out[2 * count] = yAxis ? -1.0f : m;
            out[2 * count + 1] = yAxis ? m : -1.0f;
            ++count;
        }
        return count;
    };
    mMinorY = halfway(mYTicks.positions, minor, true);
    mMinorX = halfway(mXTicks.positions, minor + 2 * MAX_AXIS_TICKS, false);
    glBindBuffer(GL_ARRAY_BUFFER, mRectangle.get());
    glBufferSubData(GL_ARRAY_BUFFER, 8 * sizeof(float), sizeof points, points);
    glBufferSubData(GL_ARRAY_BUFFER, 2 * GRID_VERTEX * sizeof(float), sizeof grid, grid);
    glBufferSubData(GL_ARRAY_BUFFER, 2 * MINOR_VERTEX * sizeof(float), sizeof minor, minor);
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
    p.x = keepInside(p.x, mXLabelWidths[k], c.textWidth) + mXLabelShift[k];
    return p;
}

TextPos AbstractChart2D::yLabelAt(const ChartLayout& c, size_t k) const {
    TextPos p = mYStyle == TickStyle::Even
                    ? yLabelPos(c, mMetrics, -1.0f, mYTicks.positions[k],
                                static_cast<size_t>(codePointCount(mYTicks.labels[k].c_str())))
                    : yLabelPosCentred(c, mMetrics, mYTicks.positions[k], mYLabelWidths[k],
                                       mLabelAscent);
    // A label too long for the margin starts at the area's edge (or a y title's band) rather
    // than off it, and one at the top of the axis stays below the area's top (or the chart
    // title's band).
    p.x = std::max(p.x, mLabelMinX);
    p.y = std::min(p.y, textTop(c) - mLabelAscent);
    return p;
}

int AbstractChart2D::fitBeforeDashes(size_t k, float end, float top, TextPos& p) const {
    const float width = mYLabelWidths[k];
    const int labelSize = mMetrics.textSize;
    if (p.x + width <= end) return labelSize;
    if (width <= end - mLabelMinX) {
        p.x = end - width;
        return labelSize;
    }
    // Wider than the whole margin: written smaller, from the area's edge, rather than over
    // the frame or cut short (a label missing its first digits would name another value).
    int size = labelSize;
    float w = width;
    while (w > end - mLabelMinX && size > 1) w = labelWidthAt(*mFont, --size, mYTicks.labels[k]);
    p.x = std::max(mLabelMinX, end - w);
    // A label centred on its tick stays centred, and below the area's top.
    const float ascent = mLabelAscent * static_cast<float>(size) / static_cast<float>(labelSize);
    if (mYStyle != TickStyle::Even) p.y += 0.5f * (mLabelAscent - ascent);
    p.y = std::min(p.y, top - ascent);
    return size;
}

void AbstractChart2D::thinLabels(const ChartLayout& c) {
    std::fill(mXLabelShift, mXLabelShift + MAX_AXIS_TICKS, 0.0f);
    // Titles outside the frame take bands at the area's edges, which the labels keep clear of.
    const bool outside = titlesOutside();
    const float band = static_cast<float>(titleBand());
    mLabelMinX = outside && !mYTitle.empty() ? band * c.ux : 0.0f;
    mTextTop = outside && !mTitle.empty() ? c.textHeight - band * c.uy : -1.0f;
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
    if (!mYTitle.empty() && !outside) {
        const TextPos p = yTitlePos(c, mMetrics);
        const float widest =
            static_cast<float>(mFont->widestCharacter(mYTitle.c_str(), mApplied.titleSize));
        const float lines = static_cast<float>(codePointCount(mYTitle.c_str()) - 1);
        title = {p.x, p.y - lines * static_cast<float>(mLabelGlyphs.lineStep) - TITLE_DESCENT,
                 p.x + widest, p.y + LABEL_ASCENT};
    }
    for (int k = 0; k < nx; ++k) {
        mXLabelShift[k] = 0.0f;
        const TextPos p = xLabelAt(c, static_cast<size_t>(k));
        const TextBox label{p.x, p.y, p.x + mXLabelWidths[k], p.y + mLabelAscent};
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
        spans[k] = {baseline, baseline + static_cast<float>(mMetrics.textSize)};
    }
    mYStride = labelStride(spans, mYTicks.offsets.data(), ny, LABEL_GAP);

    // The notes at the axes' ends, and the labels they would cover.
    const TextBox none{0.0f, 0.0f, -1.0f, -1.0f};
    mXNoteBox = mYNoteBox = none;
    if (!mXTicks.note.empty()) {
        const float w = labelWidthAt(*mFont, mMetrics.textSize, mXTicks.note);
        const float baseline = xLabelPos(c, mMetrics, 1.0f, -1.0f, 0).y;
        const float x0 = std::max(0.0f, c.textWidth - w);
        mXNoteBox = {x0, baseline, x0 + w, baseline + mLabelAscent};
    }
    if (!mYTicks.note.empty()) {
        const float w = labelWidthAt(*mFont, mMetrics.textSize, mYTicks.note);
        const float baseline = textTop(c) - mLabelAscent;
        mYNoteBox = {mLabelMinX, baseline, mLabelMinX + w, baseline + mLabelAscent};
    }
    mXLabelBoxes.clear();
    for (int k = 0; k < nx; ++k) {
        const TextPos p = xLabelAt(c, static_cast<size_t>(k));
        mXLabelBoxes.push_back({p.x, p.y, p.x + mXLabelWidths[k], p.y + mLabelAscent});
        mXLabelUnderNote[k] = mXTicks.offsets[k] != 0 &&
                              (boxesTouch(mXLabelBoxes[k], mXNoteBox, LABEL_GAP) ||
                               boxesTouch(mXLabelBoxes[k], mYNoteBox, LABEL_GAP));
    }
    mYLabelBoxes.clear();
    for (int k = 0; k < ny; ++k) {
        const TextPos p = yLabelAt(c, static_cast<size_t>(k));
        mYLabelBoxes.push_back({p.x, p.y, p.x + mYLabelWidths[k], p.y + mLabelAscent});
        mYLabelUnderNote[k] = mYTicks.offsets[k] != 0 &&
                              (boxesTouch(mYLabelBoxes[k], mYNoteBox, LABEL_GAP) ||
                               boxesTouch(mYLabelBoxes[k], mXNoteBox, LABEL_GAP));
    }
    mStrideWidth = c.width;
    mStrideHeight = c.height;
    mStrideDataWidth = static_cast<int>(c.dataWidth);
    mStrideDataHeight = static_cast<int>(c.dataHeight);
    placeOutsideTitles(c);
}

namespace {
// A line of text reaches about 0.95 of its size above the baseline (accents, brackets) and
// 0.25 below; a title's band keeps this gap each side.
constexpr float TITLE_ASCENT = 0.95f;
constexpr float TITLE_DEPTH = 0.25f;
constexpr float TITLE_PAD = 3.0f;
}  // namespace

void AbstractChart2D::placeOutsideTitles(const ChartLayout& c) {
    const TextBox none{0.0f, 0.0f, -1.0f, -1.0f};
    mXTitleBox = mYTitleBox = mTitleBox = none;
    if (!titlesOutside()) return;
    const float band = static_cast<float>(titleBand());
    const float size = static_cast<float>(mApplied.titleSize);
    const float ascent = TITLE_ASCENT * size, depth = TITLE_DEPTH * size;
    const float w = c.textWidth, h = c.textHeight;
    const float midX = 0.5f * (c.frameLeft + c.frameRight);
    const float midY = 0.5f * (c.frameBottom + c.frameTop);
    const float leftBand = mYTitle.empty() ? 0.0f : band;
    const float bottomBand = mXTitle.empty() ? 0.0f : band;
    const float topBand = mTitle.empty() ? 0.0f : band;
    // Each title is centred on the frame and kept inside its band's length less a gap at
    // each end (glyphs reach a little past their advance), written smaller when longer than
    // that; the bands meet in the corners, which neither title enters.
    if (!mXTitle.empty()) {
        const float start = leftBand + TITLE_PAD, room = w - start - TITLE_PAD;
        mXTitleSize = fitSize(mXTitle, mApplied.titleSize, room);
        const float tw = labelWidthAt(*mFont, mXTitleSize, mXTitle);
        const float x0 = start + keepInside(midX - 0.5f * tw - start, tw, room);
        const float base = TITLE_PAD + depth;
        mXTitleBox = {x0, base - depth, x0 + tw, base + ascent};
    }
    if (!mYTitle.empty()) {
        const float start = bottomBand + TITLE_PAD;
        const float room = h - start - topBand - TITLE_PAD;
        mYTitleSize = fitSize(mYTitle, mApplied.titleSize, room);
        const float tw = labelWidthAt(*mFont, mYTitleSize, mYTitle);
        const float y0 = start + keepInside(midY - 0.5f * tw - start, tw, room);
        // Beside the labels it names: a gap left of the leftmost y label (or note) shown,
        // within its band.
        float labels = c.frameLeft;
        for (size_t k = 0; k < mYLabelBoxes.size(); ++k)
            if (yLabelShown(k)) labels = std::min(labels, mYLabelBoxes[k].x0);
        if (mYNoteBox.x1 >= mYNoteBox.x0) labels = std::min(labels, mYNoteBox.x0);
        const float right = std::max(TITLE_PAD + ascent + depth, labels - 2.0f * LABEL_GAP);
        mYTitleBox = {right - depth - ascent, y0, right, y0 + tw};
    }
    if (!mTitle.empty()) {
        const float room = w - 2.0f * TITLE_PAD;
        mTitleSize = fitSize(mTitle, mApplied.titleSize, room);
        const float tw = labelWidthAt(*mFont, mTitleSize, mTitle);
        const float x0 = TITLE_PAD + keepInside(midX - 0.5f * tw - TITLE_PAD, tw, room);
        const float base = h - TITLE_PAD - ascent;
        mTitleBox = {x0, base - depth, x0 + tw, base + ascent};
    }
}

void AbstractChart2D::drawOutsideTitles() {
    const float depth = TITLE_DEPTH * static_cast<float>(mApplied.titleSize);
    if (!mXTitle.empty()) {
        const float pos[2] = {mXTitleBox.x0, mXTitleBox.y0 + depth};
        mFont->drawString(pos, mForeground, mXTitle.c_str(), mXTitleSize, false);
    }
    if (!mYTitle.empty()) {
        // Reads bottom to top, the glyphs' tops to the left of the baseline.
        const float pos[2] = {mYTitleBox.x1 - depth, mYTitleBox.y0};
        mFont->drawStringRotated(pos, mForeground, mYTitle.c_str(), mYTitleSize);
    }
    if (!mTitle.empty()) {
        const float pos[2] = {mTitleBox.x0, mTitleBox.y0 + depth};
        mFont->drawString(pos, mForeground, mTitle.c_str(), mTitleSize, false);
    }
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
    const float spans[2][2] = {{xmax, xmin}, {ymax, ymin}};
    for (int axis = 0; axis < 2; ++axis) {
        if (!mLinks[axis]) continue;
        for (AbstractChart2D* m : mLinks[axis]->members)
            if (m != this) m->takeLinkedLimits(LinkAxis(axis), spans[axis][0], spans[axis][1]);
    }
}

void AbstractChart2D::takeLinkedLimits(LinkAxis axis, float max, float min) {
    float& myMax = axis == LINK_AXIS_X ? mXMax : mYMax;
    float& myMin = axis == LINK_AXIS_X ? mXMin : mYMin;
    const bool log = axis == LINK_AXIS_X ? mXLog : mYLog;
    if ((max == myMax && min == myMin) || (log && !logLimitsValid(max, min))) return;
    myMax = max;
    myMin = min;
    rebuildTicks();
}

void AbstractChart2D::linkAxis(LinkAxis axis, AbstractChart2D& other) {
    if (linkedTo(axis, other)) return;
    std::shared_ptr<AxisLink>& theirs = other.mLinks[axis];
    if (!theirs) {
        theirs = std::make_shared<AxisLink>();
        theirs->members.push_back(&other);
    }
    // This chart's link, if any, joins theirs whole.
    std::vector<AbstractChart2D*> joining{this};
    if (mLinks[axis]) joining = mLinks[axis]->members;
    const std::shared_ptr<AxisLink> link = theirs;
    for (AbstractChart2D* m : joining) {
        m->mLinks[axis] = link;
        link->members.push_back(m);
    }
    const float max = axis == LINK_AXIS_X ? other.mXMax : other.mYMax;
    const float min = axis == LINK_AXIS_X ? other.mXMin : other.mYMin;
    for (AbstractChart2D* m : joining) m->takeLinkedLimits(axis, max, min);
}

void AbstractChart2D::unlinkAxis(LinkAxis axis) {
    if (!mLinks[axis]) return;
    const std::shared_ptr<AxisLink> link = std::move(mLinks[axis]);
    std::vector<AbstractChart2D*>& m = link->members;
    m.erase(std::remove(m.begin(), m.end(), this), m.end());
    // A chart left alone is linked to nothing.
    if (m.size() == 1) {
        m.front()->mLinks[axis].reset();
        m.clear();
    }
}

bool AbstractChart2D::linkedTo(LinkAxis axis, const AbstractChart2D& other) const {
    return &other == this || (mLinks[axis] && mLinks[axis] == other.mLinks[axis]);
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
    if (xLog || yLog) {
        for (const SeriesSlot& s : mSeries) {
            // The series names its failure, so the id is known only here at run time.
            if (const auto why = s.series->logAxesRefusal()) {
                raiseFailure(*why, RaiseSite{label, __LINE__, xLog ? 1 : 2}, {});
            }
        }
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

DrawnFrame AbstractChart2D::render(const DrawContext& whole) {
    arrangeSeries();
    for (SeriesSlot& s : mSeries) s.series->prepareData(whole.windowId);
    // A series may keep a strip at the right of the viewport (an image's colour bar): the
    // frame is laid out in the rest, which keeps the same share of the area as of the
    // viewport, and the strip is drawn once the frame is.
    ChartSeries* beside = nullptr;
    DrawContext draw = whole;
    for (SeriesSlot& s : mSeries) {
        const int strip = s.series->besideWidth(whole);
        if (strip <= 0 || strip >= whole.viewport.width) continue;
        beside = s.series;
        draw.viewport.width = whole.viewport.width - strip;
        draw.area.width = static_cast<int>(static_cast<long long>(whole.area.width) *
                                           draw.viewport.width / whole.viewport.width);
        break;
    }
    if (!beside) return renderFrame(draw);
    glViewport(draw.viewport.x, draw.viewport.y, draw.viewport.width, draw.viewport.height);
    DrawnFrame drawn;
    try {
        drawn = renderFrame(draw);
    } catch (...) {
        // A refused draw leaves the viewport as the window set it.
        glViewport(whole.viewport.x, whole.viewport.y, whole.viewport.width,
                   whole.viewport.height);
        throw;
    }
    glViewport(whole.viewport.x, whole.viewport.y, whole.viewport.width, whole.viewport.height);
    beside->drawBeside(whole);
    return drawn;
}

DrawnFrame AbstractChart2D::renderFrame(const DrawContext& draw) {
    if (mAutoFit && !mSeries.empty()) {
        // Every series' reduction is started each draw; the limits move once all of them
        // have one two draws old, so a series added late does not make them jump twice.
        SeriesBounds b;
        bool ready = true;
        for (SeriesSlot& s : mSeries) {
            if (s.series->seriesData().count == 0) continue;  // no data
            s.series->prepareFit(draw.windowId, xLog(), yLog());
            DataBounds d;
            if (!rangeOf(s).follow(draw.windowId, d, windowOf(*s.series))) ready = false;
            else s.series->addBounds(b, d);
        }
        if (ready) applyFit(b);
    }
    const FrameDraw f = frameDraw(draw);
    mLastFrame = f;
    // A style of the chart's own brings its background over the drawing area, when it is not
    // what the window cleared to. The clear colour goes back to black, as the window leaves it.
    const zv::Color windowBackground = (draw.style ? *draw.style : defaultStyle()).background;
    if (mOwnStyle && mApplied.background != windowBackground) {
        float bg[4];
        colorToFloats(mApplied.background, bg);
        const PixelArea& v = draw.viewport;
        glScissor(v.x, v.y, v.width, v.height);
        glEnable(GL_SCISSOR_TEST);
        glClearColor(bg[0], bg[1], bg[2], 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glDisable(GL_SCISSOR_TEST);
    }
    mLastFrame.draw.style = nullptr;
    if (f.layout.hasDataArea && mApplied.gridLines) drawGrid(draw.windowId, f.layout);
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
    const SeriesData d = slot.series->seriesData();
    if (!slot.range || d.buffer != slot.rangeBuffer || d.type != slot.rangeType) {
        slot.rangeBuffer = d.buffer;
        slot.rangeType = d.type;
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
    for (SeriesSlot& s : mSeries) s.series->prepareData(id);
    for (SeriesSlot& s : mSeries) {
        s.series->prepareFit(id, xLog(), yLog());
        s.series->addBounds(b, rangeOf(s).compute(id, windowOf(*s.series)));
    }
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

FrameDraw AbstractChart2D::frameDraw(const DrawContext& draw) {
    applyStyle(mOwnStyle ? mStyle : draw.style ? *draw.style : defaultStyle());
    FrameDraw f;
    f.draw = draw;
    f.draw.style = &mApplied;
    // Laid out in the drawing area's own pixels when text is, so that sizes stay whole
    // pixels; otherwise for the whole area (a grid's cell), scaled onto the drawing area.
    const PixelArea& area = mMetrics.pixelText ? draw.viewport : draw.area;
    f.layout = layout(area.width, area.height);
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
    if (w != mStrideWidth || h != mStrideHeight ||
        static_cast<int>(c.dataWidth) != mStrideDataWidth ||
        static_cast<int>(c.dataHeight) != mStrideDataHeight)
        thinLabels(c);

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
    u.setVec4(ChartBorderUniforms::COLOR, mForeground);
    glDrawArrays(GL_LINE_LOOP, 0, 4);
}

void AbstractChart2D::drawGrid(int windowId, const ChartLayout& c) {
    if (mTickPointsMoved) uploadTickPoints();
    bindResources(windowId);
    UniformCache& u = mBorderProgram->uniforms;
    u.use(windowId);
    u.setMatrix4(ChartBorderUniforms::TRANSFORM, &c.transform[0][0]);
    u.setVec4(ChartBorderUniforms::COLOR, mGridColor);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDrawArrays(GL_LINES, GRID_VERTEX, 2 * static_cast<GLsizei>(mYTicks.positions.size()));
    glDrawArrays(GL_LINES, GRID_VERTEX + 2 * MAX_AXIS_TICKS,
                 2 * static_cast<GLsizei>(mXTicks.positions.size()));
    glDisable(GL_BLEND);
    glUseProgram(0);
    unbindResources();
}

void AbstractChart2D::drawTicks(int windowId, const ChartLayout& c) {
    glPointSize(static_cast<float>(mMetrics.tickSize));
    UniformCache& u = mSpriteProgram->uniforms;
    u.use(windowId);
    u.setMatrix4(ChartSpriteUniforms::TRANSFORM, &c.transform[0][0]);
    u.setVec4(ChartSpriteUniforms::TICK_COLOR, mForeground);
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
    if (mApplied.minorTicks) {
        // Half as long as the major ticks, in the same two passes.
        glPointSize(static_cast<float>(mMetrics.tickSize / 2));
        for (int pass = 0; pass < 2; ++pass) {
            u.setInt(ChartSpriteUniforms::IS_Y_AXIS, axis);
            if (axis)
                glDrawArrays(GL_POINTS, MINOR_VERTEX, mMinorY);
            else
                glDrawArrays(GL_POINTS, MINOR_VERTEX + MAX_AXIS_TICKS, mMinorX);
            axis = 1 - axis;
        }
    }
    glPointSize(1.0f);
}

bool AbstractChart2D::drawLabels(int windowId, const ChartLayout& c, int viewportWidth) {
    if (!mFont->begin(windowId, static_cast<int>(c.textWidth), static_cast<int>(c.textHeight)))
        return false;
    // y labels end a gap before the tick dashes, which reach half a tick (in the viewport's
    // pixels) left of the frame.
    const float unitsPerPixel =
        viewportWidth > 0 ? c.textWidth / static_cast<float>(viewportWidth) : 1.0f;
    const float yLabelsEnd = textAnchor(c, -1.0f, 0.0f).x -
                             0.5f * static_cast<float>(mMetrics.tickSize) * unitsPerPixel -
                             LABEL_GAP;
    // Labels that would touch their neighbours are left out (see thinLabels); their ticks
    // stay.
    for (size_t k = 0; k < mYTicks.labels.size(); ++k) {
        if (!yLabelShown(k)) continue;
        const std::string& text = mYTicks.labels[k];
        TextPos p = yLabelAt(c, k);
        const int size = fitBeforeDashes(k, yLabelsEnd, textTop(c), p);
        const float pos[2] = {p.x, p.y};
        mFont->drawString(pos, mForeground, text.c_str(), size, false);
    }
    for (size_t k = 0; k < mXTicks.labels.size(); ++k) {
        if (!xLabelShown(k)) continue;
        const std::string& text = mXTicks.labels[k];
        const TextPos p = xLabelAt(c, k);
        const float pos[2] = {p.x, p.y};
        mFont->drawString(pos, mForeground, text.c_str(), mMetrics.textSize, false);
    }
    for (const auto* n : {&mXNoteBox, &mYNoteBox}) {
        const std::string& note = n == &mXNoteBox ? mXTicks.note : mYTicks.note;
        if (note.empty()) continue;
        const float pos[2] = {n->x0, n->y0};
        mFont->drawString(pos, mForeground, note.c_str(), mMetrics.textSize, false);
    }
    if (titlesOutside()) {
        drawOutsideTitles();
        mFont->end();
        return true;
    }
    if (!mYTitle.empty()) {
        TextPos p = yTitlePos(c, mMetrics);
        const float pos[2] = {p.x, p.y};
        mFont->drawString(pos, mForeground, mYTitle.c_str(), mApplied.titleSize, true);
    }
    if (!mXTitle.empty()) {
        TextPos p = xTitlePos(c, mMetrics);
        const float pos[2] = {p.x, p.y};
        mFont->drawString(pos, mForeground, mXTitle.c_str(), mApplied.titleSize, false);
    }
    mFont->end();
    return true;
}

}  // namespace internal
