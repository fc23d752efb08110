#pragma once
// The 2-D chart frame shared by plots and histograms: a white border around the data area,
// nine ticks on the left and bottom edges, a numeric label beside every tick and optional
// axis titles. Data is placed in chart coordinates, the square [-1, 1]^2, which the frame
// maps onto its data area (see chart_layout.hpp).
//
// Every chart draws the same way (render): its series clipped to the frame, in order, then
// the frame and all text on top, then its overlays (a legend). What differs between kinds
// of series is theirs (see chart_series.hpp).

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "chart/axis_link.hpp"
#include "chart/axis_ticks.hpp"
#include "chart/chart_layout.hpp"
#include "chart/chart_series.hpp"
#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "common/renderable.hpp"
#include "gl/shared_program.hpp"
#include "gl/uniforms.hpp"
#include "gl/vertex_arrays.hpp"
#include "font/chart_font.hpp"
#include "font/text_layout.hpp"
#include "zarvo/defines.h"
#include "zarvo/style.h"

namespace internal {

class font_impl;


// The OpenGL type of a chart's data, or zv::TypeError (argument 1, recorded as `label`)
// for a ZVType charts do not take: only unsigned bytes, 16- and 32-bit integers and floats.
GLenum chartDataType(zv::ZVType type, const char* label);

// Raises zv::DimensionError (argument 1, recorded as `label`) when `count` elements (plot
// points, histogram bins) are more than one draw call can take (2^31 - 1): the buffer would
// be allocated and the draw silently refused. Called before anything is made.
void checkDrawCount(unsigned count, const char* label, const char* what);

class AbstractChart2D : public AbstractRenderable {
public:
    // Loads the group's chart font when needed, builds the border and sprite programs and
    // the vertex buffer of border corners and tick points. A window of the share group the
    // chart will be drawn in must be current. Raises what getChartFont() and the shader
    // building raise; nothing is left behind then.
    AbstractChart2D();
    virtual ~AbstractChart2D();
    AbstractChart2D(const AbstractChart2D&) = delete;
    AbstractChart2D& operator=(const AbstractChart2D&) = delete;

    // The caller's data buffer of the derived class and its size in bytes.
    virtual GLuint vbo() const = 0;
    virtual size_t size() const = 0;

    // Maximum before minimum. Equal limits give equal labels, reversed limits labels that
    // decrease along the axis. Raises zv::ArgumentError (argument 1 to 4, recorded as
    // `label`) for a limit of a logarithmic axis that is not finite and above zero, before
    // anything changes.
    void setAxesLimits(float xmax, float xmin, float ymax, float ymin,
                       const char* label = "setAxesLimits");
    // Joins this chart's x (LINK_AXIS_X) or y limits to those of `other`, and of every chart
    // linked to either: all of them take other's limits on that axis (see axis_link.hpp).
    // A chart whose axis is logarithmic keeps its own limits whenever the link's are not
    // above zero. Linking a chart to itself or to a member of its link changes nothing.
    void linkAxis(LinkAxis axis, AbstractChart2D& other);
    // Leaves the link of that axis; the others stay linked together.
    void unlinkAxis(LinkAxis axis);
    // Whether `other` is this chart or shares its link on that axis.
    bool linkedTo(LinkAxis axis, const AbstractChart2D& other) const;
    // Calls f on this chart, then once on every other chart linked to it on either axis.
    template <class F>
    void forEachLinked(F&& f) {
        f(*this);
        for (int axis = 0; axis < 2; ++axis) {
            if (!mLinks[axis]) continue;
            for (AbstractChart2D* m : mLinks[axis]->members) {
                const bool seen = m == this || (axis == 1 && linkedTo(LINK_AXIS_X, *m));
                if (!seen) f(*m);
            }
        }
    }
    // Ticks at round values on both axes (1, 2 or 5 times a power of ten), or the frame's
    // nine evenly spaced ticks (the default).
    void setNiceTicks(bool enabled);
    // Base-10 logarithmic x and y axes. Raises zv::ArgumentError (argument 1 for x, 2 for y,
    // recorded as `label`) when an axis made logarithmic has limits that are not both finite
    // and above zero, or (argument 1 when x is made logarithmic, else 2) when a series the
    // chart holds refuses logarithmic axes (see ChartSeries::logAxesRefusal), before
    // anything changes.
    void setLogAxes(bool xLog, bool yLog, const char* label = "setLogAxes");
    // Draws the series clipped to the frame, in order, then the frame, then the overlays,
    // then what a series draws beside the frame (see ChartSeries::besideWidth). The scissor
    // test is off afterwards, and so is GL_CLIP_DISTANCE0 unless it was on.
    DrawnFrame render(const DrawContext& draw) final;

    // Sets the limits to cover every series' data (see applyFit), computed on the GPU from
    // their buffers, a few numbers read back per series. Makes a window of the chart's
    // group current for the moment when needed; raises zv::ArgumentError when the group
    // has no window left. The window's mouse handling calls these too.
    void fitAxesToData();
    // Every draw fits from reductions started two draws earlier, once every series with data
    // has one ready, so no frame waits for the GPU.
    void setAutoFit(bool on);
    bool autoFit() const { return mAutoFit; }
    // The chart as one series of a chart of several, or null for a chart that is none (a
    // chart of several series): how zv::Chart reaches any kind without knowing it.
    virtual ChartSeries* asSeries() { return nullptr; }
    // What the chart shows that decides how the mouse may move it (see interaction.hpp):
    // whether its data fill the frame's width whatever the x limits (a histogram's bins),
    // and whether it stands on the bottom edge and scales with ymax alone (a histogram's
    // bars on a linear y axis).
    virtual bool fillsWidth() const { return false; }
    virtual bool standsOnBottom() const { return false; }
    // True while following the data is off because the mouse moved the limits; a double
    // click fits and turns following back on. Setting auto-fit clears it.
    bool followPausedByMouse() const { return mFollowPausedByMouse; }
    void setFollowPausedByMouse(bool paused) { mFollowPausedByMouse = paused; }
    bool niceTicks() const { return mNiceTicks; }
    bool xLog() const { return mXLog; }
    bool yLog() const { return mYLog; }
    // How each axis maps data onto the frame, for the derived classes' transforms.
    AxisMap xMap() const { return axisMap(mXMax, mXMin, mXLog); }
    AxisMap yMap() const { return axisMap(mYMax, mYMin, mYLog); }
    // Copies the text; a null or empty title is not drawn.
    void setXAxisTitle(const char* title);
    void setYAxisTitle(const char* title);
    // The chart's title, drawn above the frame when titles go outside it.
    void setTitle(const char* title);
    const std::string& title() const { return mTitle; }
    // A style of the chart's own, which its draws take instead of the window's. Raises
    // zv::ArgumentError (argument 1, recorded as `label`) as checkStyle does, before
    // anything changes.
    void setStyle(const zv::Style& style, const char* label);
    // The style the last draw (or, before any, the constructor) laid the chart out with.
    const zv::Style& appliedStyle() const { return mApplied; }
    // Where the last draw put the titles outside the frame, in pixels of its layout's area
    // (origin bottom left): empty boxes (x1 < x0) for titles not drawn, and for titles
    // inside the frame. The y title's box is that of the rotated text.
    const TextBox& xTitleBox() const { return mXTitleBox; }
    const TextBox& yTitleBox() const { return mYTitleBox; }
    const TextBox& titleBox() const { return mTitleBox; }
    // The last draw's frame: its layout, viewport and clip (draw.style is not kept).
    const FrameDraw& lastFrame() const { return mLastFrame; }

    float xmax() const { return mXMax; }
    float xmin() const { return mXMin; }
    float ymax() const { return mYMax; }
    float ymin() const { return mYMin; }
    const ChartMetrics& metrics() const { return mMetrics; }
    int tickSize() const { return mMetrics.tickSize; }
    int leftMargin() const { return mMetrics.left; }
    int rightMargin() const { return mMetrics.right; }
    int topMargin() const { return mMetrics.top; }
    int bottomMargin() const { return mMetrics.bottom; }
    GLuint rectangleVBO() const { return mRectangle.get(); }

    const std::vector<std::string>& xLabels() const { return mXTicks.labels; }
    const std::vector<std::string>& yLabels() const { return mYTicks.labels; }
    const AxisTicks& xTicks() const { return mXTicks; }
    const AxisTicks& yTicks() const { return mYTicks; }
    // Whether the last draw wrote label k of each axis: every label whose offset is a
    // multiple of the stride (1: all of them), less x labels a long y title covers (a label
    // on the frame's left edge, the 0 of an axis starting there, moves left clear of the
    // title instead, where it still reaches its tick).
    int xLabelStride() const { return mXStride; }
    int yLabelStride() const { return mYStride; }
    bool xLabelShown(size_t k) const {
        return mXTicks.offsets[k] % mXStride == 0 && !mXLabelUnderTitle[k] && !mXLabelUnderNote[k];
    }
    bool yLabelShown(size_t k) const {
        return mYTicks.offsets[k] % mYStride == 0 && !mYLabelUnderNote[k];
    }
    // Each axis' note (a shared factor or offset, see readerNotation), written at the axis'
    // end: the x note right-aligned with the area on the x labels' baseline, the y note at
    // the top of the left margin. Labels it would touch are left out (the middle one stays).
    // Boxes in the text space of the last draw's layout, empty (x1 < x0) without a note;
    // label boxes (whether shown or not) in tick order.
    const std::string& xNote() const { return mXTicks.note; }
    const std::string& yNote() const { return mYTicks.note; }
    const TextBox& xNoteBox() const { return mXNoteBox; }
    const TextBox& yNoteBox() const { return mYNoteBox; }
    const std::vector<TextBox>& xLabelBoxes() const { return mXLabelBoxes; }
    const std::vector<TextBox>& yLabelBoxes() const { return mYLabelBoxes; }
    const std::string& xTitle() const { return mXTitle; }
    const std::string& yTitle() const { return mYTitle; }
    const std::shared_ptr<font_impl>& font() const { return mFont; }
    const VertexArrayMap& chartVertexArrays() const { return mVAOs; }

    // Binds this window's vertex array of the border and tick points, making it on the
    // first draw in the window.
    void bindResources(int windowId);
    void unbindResources() const { VertexArrayMap::unbind(); }

    // The frame's geometry for this draw, laid out with the style the chart takes for it
    // (its own, otherwise the draw's); the style becomes the chart's applied style, and
    // frame.draw.style points at it.
    FrameDraw frameDraw(const DrawContext& draw);
    // Draws border, ticks, labels and titles. Draws nothing when the area leaves no data
    // area. Leaves program 0, vertex array 0 and point size 1.
    void renderChart(const FrameDraw& frame);

protected:
    // One series as the chart keeps it. `owner` keeps a series of another object alive
    // (empty for a plot or histogram that is its own series); `key` tells series apart.
    struct SeriesSlot {
        ChartSeries* series = nullptr;
        const void* key = nullptr;
        std::shared_ptr<AbstractChart2D> owner;
        std::string label;
        float labelWidth = 0.0f;  // pixels at the legend's text size
        // The chart's own reductions of the series' data, made on the first fit: a series
        // drawn elsewhere too keeps its own ring of reductions in step with its own draws.
        std::unique_ptr<DataRange> range;
        // The buffer and type the reduction reads: a series whose data moves to another
        // buffer (bars stacked or unstacked) gets a new one.
        GLuint rangeBuffer = 0;
        GLenum rangeType = 0;
    };
    std::vector<SeriesSlot>& series() { return mSeries; }
    const std::vector<SeriesSlot>& series() const { return mSeries; }
    // How the public class names its fit in error messages ("Plot::fitAxesToData").
    virtual const char* fitLabel() const = 0;
    // Sets the limits from the series' ranges: by default x and y cover them with a margin
    // (see fitSeries), a logarithmic axis keeping its limits where the fit reaches zero.
    virtual void applyFit(const SeriesBounds& bounds);
    // Drawn over the frame when the area has a data area (a legend).
    virtual void drawOverlays(const FrameDraw& frame) { (void)frame; }
    // The border program's uniforms (see ChartBorderUniforms), which a derived class's line
    // pass writes too: one cache, so that either writer sees what the other left.
    UniformCache& borderUniforms() { return mBorderProgram->uniforms; }
    // The frame's layout for a drawing area of w x h pixels.
    ChartLayout layout(int w, int h) const { return chartLayout(w, h, metricsFor(w, h)); }
    // Pixels a derived class wants right of the frame, outside it (a legend placed there),
    // when the frame would otherwise be frameWidth pixels wide.
    virtual int outsideRight(int frameWidth) const {
        (void)frameWidth;
        return 0;
    }
    // Clips to the frame's rectangle and enables the scissor test; false, with the scissor
    // test untouched, when the area leaves no data area.
    static bool beginDataClip(const FrameDraw& frame);
    static void endDataClip() { glDisable(GL_SCISSOR_TEST); }
    // The chart's reduction of a series' data, made on first use.
    static DataRange& rangeOf(SeriesSlot& slot);
    // The elements of a series its fit takes: the points drawn, or every value.
    static PointWindow windowOf(const ChartSeries& series);
    // Limits fitted to the data, as the chart takes them: a logarithmic axis keeps its own
    // when the fit reaches zero or below. False when they are the limits in force, so that a
    // steady stream makes no new labels each frame.
    bool settleFit(float& xMax, float& xMin, float& yMax, float& yMin) const;

private:
    // render() within the viewport the frame takes.
    DrawnFrame renderFrame(const DrawContext& draw);
    // renderChart's parts, in drawing order, with this window's vertex array bound: the
    // border, the ticks, then the labels and titles in one text run (false, with nothing
    // drawn, without a loaded font).
    void drawBorder(int windowId, const ChartLayout& c);
    void drawTicks(int windowId, const ChartLayout& c);
    bool drawLabels(int windowId, const ChartLayout& c, int viewportWidth);
    // Builds the vertex buffer of border corners and room for the ticks; used once, by the
    // constructor.
    void setTickCount(int count);
    // Takes `style` for the draws from now on: sizes, colours and tick rule; rebuilds the
    // ticks when any of that changed.
    void applyStyle(const zv::Style& style);
    // The metrics of a drawing area of w x h pixels under the applied style: the frame's own
    // metrics, grown by the bands of titles outside the frame and the room a derived class
    // wants right of it.
    ChartMetrics metricsFor(int w, int h) const;
    // Height in pixels of a title's band (outside placement): its line and a gap each side.
    int titleBand() const;
    // Draws the grid lines and minor ticks the style asks for, under the data.
    void drawGrid(int windowId, const ChartLayout& c);
    // Places the titles outside the frame (their boxes and sizes) for this layout, and
    // writes them as part of drawLabels' text run.
    void placeOutsideTitles(const ChartLayout& c);
    void drawOutsideTitles();
    void scaleTitleGlyphs(int size);
    bool titlesOutside() const;
    // The text space's height labels stay below: the area's top, less a chart title's band.
    float textTop(const ChartLayout& c) const { return mTextTop >= 0.0f ? mTextTop : c.textHeight; }
    // The size at which `text` fits in `room` pixels, from `size` down.
    int fitSize(const std::string& text, int size, float room) const;
    // Ticks and labels of both axes for the current limits and styles; the tick points are
    // uploaded by the next draw when they moved.
    void rebuildTicks();
    // The categories of the first series that has some, or null.
    const CategoryAxis* categories() const;
    // Tells the series that sit side by side their places; rebuilds the labels when the
    // categories the axis names changed. Allocates nothing when nothing changed.
    void arrangeSeries();
    // Writes the tick points into the vertex buffer.
    void uploadTickPoints();
    // Decides which labels of each axis a drawing area of this layout shows.
    void thinLabels(const ChartLayout& layout);
    // Where label k of each axis starts in the text space of this layout, kept inside it.
    TextPos xLabelAt(const ChartLayout& layout, size_t k) const;
    TextPos yLabelAt(const ChartLayout& layout, size_t k) const;
    // Moves y label k, placed at p, left so that it ends by `end` (text units) when it
    // reaches past; a label wider than `end` itself is written smaller, from the area's
    // edge, still below `top` (the text space's height). Returns the size to write it at.
    int fitBeforeDashes(size_t k, float end, float top, TextPos& p) const;

    // Takes limits of one axis from a linked chart: nothing when they are those in force or
    // when a logarithmic axis cannot show them.
    void takeLinkedLimits(LinkAxis axis, float max, float min);

    std::vector<SeriesSlot> mSeries;
    // The categories the labels were built for (compared, never read through).
    const CategoryAxis* mCategorySeen = nullptr;
    unsigned mCategoryVersion = 0;
    std::shared_ptr<AxisLink> mLinks[2];  // x, y; null while unlinked
    bool mAutoFit = false;
    AxisTicks mXTicks;
    AxisTicks mYTicks;
    std::vector<float> mXLabelWidths;  // text units, as the chart font writes them
    std::vector<float> mYLabelWidths;
    TickStyle mXStyle = TickStyle::Even;
    TickStyle mYStyle = TickStyle::Even;
    ChartMetrics mMetrics;
    ScaledGlyphs mLabelGlyphs;  // the chart font's metrics at the label size
    bool mNiceTicks = false;
    bool mXLog = false;
    bool mYLog = false;
    bool mTickPointsMoved = false;
    bool mFollowPausedByMouse = false;
    // The labels drawn: those whose offset is a multiple of the stride, for the drawing area
    // the strides were decided for.
    int mXStride = 1;
    int mYStride = 1;
    int mStrideWidth = -1;
    int mStrideHeight = -1;
    // x labels left out where a long y title, running down past the frame, would cover them.
    bool mXLabelUnderTitle[MAX_AXIS_TICKS] = {};
    // How far x label k is moved left of its place to clear the y title (text units, <= 0).
    float mXLabelShift[MAX_AXIS_TICKS] = {};
    // Labels left out where an axis' note would cover them, and where everything lies.
    bool mXLabelUnderNote[MAX_AXIS_TICKS] = {};
    bool mYLabelUnderNote[MAX_AXIS_TICKS] = {};
    TextBox mXNoteBox{0.0f, 0.0f, -1.0f, -1.0f};
    TextBox mYNoteBox{0.0f, 0.0f, -1.0f, -1.0f};
    std::vector<TextBox> mXLabelBoxes;
    std::vector<TextBox> mYLabelBoxes;
    float mXMax = 1.0f;
    float mXMin = 0.0f;
    float mYMax = 1.0f;
    float mYMin = 0.0f;
    std::string mXTitle;
    std::string mYTitle;
    std::string mTitle;
    bool mOwnStyle = false;
    zv::Style mStyle;    // the chart's own, when mOwnStyle
    zv::Style mApplied;  // what the ticks, sizes and colours were made for
    float mForeground[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float mGridColor[4] = {1.0f, 1.0f, 1.0f, 0.25f};
    float mLabelAscent = 11.0f;  // digits above the baseline at the tick labels' size
    float mLabelMinX = 0.0f;     // y labels start no further left (a y title outside)
    float mTextTop = -1.0f;      // labels stay below this (a chart title outside); < 0: the area's top
    int mStrideDataWidth = -1, mStrideDataHeight = -1;
    TextBox mXTitleBox{0.0f, 0.0f, -1.0f, -1.0f};
    TextBox mYTitleBox{0.0f, 0.0f, -1.0f, -1.0f};
    TextBox mTitleBox{0.0f, 0.0f, -1.0f, -1.0f};
    int mXTitleSize = 15, mYTitleSize = 15, mTitleSize = 15;
    // Minor ticks uploaded for each axis (halfway between neighbouring major ticks).
    int mMinorX = 0, mMinorY = 0;
    FrameDraw mLastFrame;
    std::shared_ptr<font_impl> mFont;
    GLBuffer mRectangle;
    ProgramRef mBorderProgram;  // the group's frame programs
    ProgramRef mSpriteProgram;
    VertexArrayMap mVAOs;
};

}  // namespace internal
