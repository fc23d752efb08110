#include "zarvo/chart.h"

#include "multichart/chart.hpp"

namespace zv {

Chart::Chart() : mValue(std::make_shared<internal::_Chart>()) {}
void Chart::add(const Series& series, const char* label) {
    mValue->impl()->add(series.chartObject(), label);
}
void Chart::remove(const Series& series) {
    mValue->impl()->remove(series.chartObject().get());
}
unsigned Chart::count() const { return static_cast<unsigned>(mValue->impl()->count()); }
void Chart::setLegendCorner(LegendCorner corner) { mValue->impl()->setLegendCorner(corner); }
LegendCorner Chart::legendCorner() const { return mValue->impl()->legendCorner(); }
void Chart::setAxesLimits(float xmax, float xmin, float ymax, float ymin) {
    mValue->impl()->setAxesLimits(xmax, xmin, ymax, ymin, "Chart::setAxesLimits");
}
void Chart::setNiceTicks(bool enabled) { mValue->impl()->setNiceTicks(enabled); }
void Chart::setLogAxes(bool xLog, bool yLog) {
    mValue->impl()->setLogAxes(xLog, yLog, "Chart::setLogAxes");
}
bool Chart::niceTicks() const { return mValue->impl()->niceTicks(); }
bool Chart::xLog() const { return mValue->impl()->xLog(); }
bool Chart::yLog() const { return mValue->impl()->yLog(); }
void Chart::setXAxisTitle(const char* title) { mValue->impl()->setXAxisTitle(title); }
void Chart::setYAxisTitle(const char* title) { mValue->impl()->setYAxisTitle(title); }
void Chart::setTitle(const char* title) { mValue->impl()->setTitle(title); }
void Chart::setStyle(const Style& style) { mValue->impl()->setStyle(style, "Chart::setStyle"); }
float Chart::xmax() const { return mValue->impl()->xmax(); }
float Chart::xmin() const { return mValue->impl()->xmin(); }
float Chart::ymax() const { return mValue->impl()->ymax(); }
float Chart::ymin() const { return mValue->impl()->ymin(); }
void Chart::fitAxesToData() { mValue->impl()->fitAxesToData(); }
void Chart::setAutoFit(bool on) { mValue->impl()->setAutoFit(on); }
bool Chart::autoFit() const { return mValue->impl()->autoFit(); }

}  // namespace zv
