#pragma once
// Bars: one value per category, written by the application into a buffer the bars create,
// drawn as one rectangle per category inside the chart frame; side by side with other bars
// of a chart, or stacked on other bars.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "chart/chart_impl.hpp"
#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shared_program.hpp"
#include "gl/uniforms.hpp"
#include "gl/vertex_arrays.hpp"
#include "range/data_range.hpp"
#include "zarvo/bars.h"
#include "zarvo/defines.h"

namespace internal {

// Bars are a chart of one series, themselves, or a series of a chart of several.
class bars_impl : public AbstractChart2D, public ChartSeries {
public:
    static constexpr float DEFAULT_GROUP_WIDTH = 0.8f;

    // numCategories values of dataType, standing as `orientation` (a zv::BarOrientation kept
    // as an int). A window of the share group they will be drawn in must be current. Raises,
    // in this order and before any OpenGL object is made, zv::TypeError (argument 2,
    // "Bars::Bars") for a type charts do not take, zv::DimensionError (argument 1) for no
    // category or more than one draw call takes, zv::ArgumentError (argument 3) for another
    // orientation.
    bars_impl(unsigned numCategories, zv::ZVType dataType, int orientation);
    ~bars_impl() override;

    void setColor(zv::Color color);
    void setColor(float red, float green, float blue, float opacity);
    const float* color() const { return mColor; }
    // Raises zv::DimensionError (argument 1) for a count that is neither 0 nor the number
    // of categories.
    void setCategoryNames(const std::vector<std::string>& names);
    const std::vector<std::string>& categoryNames() const { return mCategories.names; }
    // Raises zv::ArgumentError (argument 1) outside (0, 1].
    void setGroupWidth(float fraction);
    float groupWidth() const { return mGroupWidth; }
    // Raises as zv::Bars::stackOn says; `below` null unstacks.
    void stackOn(const std::shared_ptr<bars_impl>& below);
    const std::shared_ptr<bars_impl>& below() const { return mBelow; }
    unsigned numCategories() const { return mCount; }
    bool horizontal() const { return mHorizontal; }
    // Raises zv::ArgumentError for a logarithmic category axis, then as the frame does.
    void setBarsLogAxes(bool xLog, bool yLog);

    GLuint vbo() const override { return mVBO.get(); }
    size_t size() const override { return mVBOSize; }
    // The buffer holding the tops of these bars (the stack's, when stacked) and its type.
    GLuint topBuffer() const { return mBelow ? mTops.get() : mVBO.get(); }
    GLenum topType() const { return mBelow ? static_cast<GLenum>(GL_FLOAT) : mGLType; }
    // The bars at the bottom of the stack (these bars when not stacked).
    const bars_impl* bottom() const { return mBelow ? mBelow->bottom() : this; }

    // As a series (see chart_series.hpp).
    void drawSeries(const FrameDraw& frame, const ChartAxes& axes) override;
    SeriesData seriesData() const override {
        return {topBuffer(), topType(), 1, mCount, {}, {}};
    }
    void addBounds(SeriesBounds& bounds, const DataBounds& range) const override;
    void fillSwatch(const LegendEntry& entry, SwatchPainter& painter) const override;
    bool colorSet() const override { return mColorSet; }
    void takeCycleColor(zv::Color color) override;
    const char* seriesKind() const override { return "bars"; }
    ChartSeries* asSeries() override { return this; }
    const CategoryAxis* categoryAxis() const override { return &mCategories; }
    const void* groupKey() const override { return bottom(); }
    void setGroupPlace(int place, int places) override {
        mPlace = place;
        mPlaces = places;
    }
    int groupPlace() const override { return mPlace; }
    void prepareData(int windowId) override;

    const VertexArrayMap& vertexArrays() const { return mVAOs; }

protected:
    const char* fitLabel() const override { return "Bars::fitAxesToData"; }

private:
    struct Accepted {
        GLenum gl;
        bool horizontal;
    };
    static Accepted accept(unsigned numCategories, zv::ZVType dataType, int orientation);
    bars_impl(unsigned numCategories, Accepted type);
    void bindResources(int windowId);

    unsigned mCount;
    GLenum mGLType;
    bool mHorizontal;
    float mColor[4] = {0x1F / 255.0f, 0x77 / 255.0f, 0xB4 / 255.0f, 1.0f};
    bool mColorSet = false;
    float mGroupWidth = DEFAULT_GROUP_WIDTH;
    int mPlace = 0;
    int mPlaces = 1;
    CategoryAxis mCategories;
    std::shared_ptr<bars_impl> mBelow;
    GLBuffer mVBO;
    size_t mVBOSize = 0;
    GLBuffer mTops;  // the stack's tops, float, made by the stack pass
    ProgramRef mProgram;
    ProgramRef mStackProgram;
    VertexArrayMap mVAOs;
    VertexArrayMap mStackVAOs;
};

}  // namespace internal
