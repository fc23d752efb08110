#include "zarvo/plot.h"

#include "plot/plot.hpp"

namespace zv {

std::shared_ptr<internal::AbstractChart2D> Plot::chartObject() const {
    return mValue->impl();
}

Plot::Plot(unsigned numPoints, ZVType dataType, ZVPlotType plotType, ZVMarkerType markerType,
           const DataLayout& layout)
    : mValue(std::make_shared<internal::_Plot>(numPoints, dataType, plotType, markerType,
                                               layout)) {}

void Plot::setColor(Color color) { mValue->impl()->setColor(color); }
void Plot::setColor(float red, float green, float blue) {
    mValue->impl()->setColor(red, green, blue);
}
void Plot::setLineWidth(float pixels) { mValue->impl()->setLineWidth(pixels); }
float Plot::lineWidth() const { return mValue->impl()->lineWidth(); }
void Plot::setStepMode(StepMode mode) { mValue->impl()->setStepMode(static_cast<int>(mode)); }
StepMode Plot::stepMode() const { return static_cast<StepMode>(mValue->impl()->stepMode()); }
void Plot::fitAxesToData() { mValue->impl()->fitAxesToData(); }
void Plot::setAutoFit(bool on) { mValue->impl()->setAutoFit(on); }
bool Plot::autoFit() const { return mValue->impl()->autoFit(); }
void Plot::setAxesLimits(float xmax, float xmin, float ymax, float ymin) {
    mValue->impl()->setAxesLimits(xmax, xmin, ymax, ymin, "Plot::setAxesLimits");
}
void Plot::setNiceTicks(bool enabled) { mValue->impl()->setNiceTicks(enabled); }
void Plot::setLogAxes(bool xLog, bool yLog) {
    mValue->impl()->setLogAxes(xLog, yLog, "Plot::setLogAxes");
}
bool Plot::niceTicks() const { return mValue->impl()->niceTicks(); }
bool Plot::xLog() const { return mValue->impl()->xLog(); }
bool Plot::yLog() const { return mValue->impl()->yLog(); }
void Plot::setXAxisTitle(const char* title) { mValue->impl()->setXAxisTitle(title); }
void Plot::setYAxisTitle(const char* title) { mValue->impl()->setYAxisTitle(title); }
float Plot::xmax() const { return mValue->impl()->xmax(); }
float Plot::xmin() const { return mValue->impl()->xmin(); }
float Plot::ymax() const { return mValue->impl()->ymax(); }
float Plot::ymin() const { return mValue->impl()->ymin(); }
unsigned Plot::vbo() const { return mValue->impl()->vbo(); }
size_t Plot::size() const { return mValue->impl()->size(); }
unsigned Plot::xVbo() const { return mValue->impl()->xVbo(); }
size_t Plot::xSize() const { return mValue->impl()->xSize(); }
DataLayout Plot::layout() const { return mValue->impl()->layout(); }
unsigned Plot::capacity() const { return mValue->impl()->numPoints(); }
void Plot::setCount(unsigned count) { mValue->impl()->setCount(count); }
unsigned Plot::count() const { return mValue->impl()->count(); }
void Plot::setRing(unsigned start, unsigned count) { mValue->impl()->setRing(start, count); }
void Plot::advanceRing(unsigned newPoints) { mValue->impl()->advanceRing(newPoints); }
unsigned Plot::start() const { return mValue->impl()->start(); }

}  // namespace zv
