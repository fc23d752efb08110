#include "zarvo/scatter.h"

#include "scatter/scatter.hpp"

namespace zv {

Scatter::Scatter(unsigned numPoints, ZVType dataType, ZVMarkerType markerType, bool pointSizes)
    : mValue(std::make_shared<internal::_Scatter>(numPoints, dataType,
                                                  static_cast<int>(markerType), pointSizes)) {}

std::shared_ptr<internal::AbstractChart2D> Scatter::chartObject() const { return mValue->impl(); }

void Scatter::setValueRange(float min, float max) { mValue->impl()->setValueRange(min, max); }
float Scatter::valueMin() const { return mValue->impl()->valueMin(); }
float Scatter::valueMax() const { return mValue->impl()->valueMax(); }
void Scatter::setMarkerSize(float pixels) { mValue->impl()->setMarkerSize(pixels); }
float Scatter::markerSize() const { return mValue->impl()->markerSize(); }
void Scatter::setColorBar(bool on) { mValue->impl()->setColorBar(on); }
bool Scatter::colorBar() const { return mValue->impl()->colorBar(); }
void Scatter::setColorBarTitle(const char* title) { mValue->impl()->setColorBarTitle(title); }
void Scatter::setSwatchColor(float red, float green, float blue) {
    mValue->impl()->setSwatchColor(red, green, blue);
}
void Scatter::setAxesLimits(float xmax, float xmin, float ymax, float ymin) {
    mValue->impl()->setAxesLimits(xmax, xmin, ymax, ymin, "Scatter::setAxesLimits");
}
void Scatter::setNiceTicks(bool enabled) { mValue->impl()->setNiceTicks(enabled); }
void Scatter::setLogAxes(bool xLog, bool yLog) {
    mValue->impl()->setLogAxes(xLog, yLog, "Scatter::setLogAxes");
}
bool Scatter::niceTicks() const { return mValue->impl()->niceTicks(); }
bool Scatter::xLog() const { return mValue->impl()->xLog(); }
bool Scatter::yLog() const { return mValue->impl()->yLog(); }
void Scatter::setXAxisTitle(const char* title) { mValue->impl()->setXAxisTitle(title); }
void Scatter::setYAxisTitle(const char* title) { mValue->impl()->setYAxisTitle(title); }
float Scatter::xmax() const { return mValue->impl()->xmax(); }
float Scatter::xmin() const { return mValue->impl()->xmin(); }
float Scatter::ymax() const { return mValue->impl()->ymax(); }
float Scatter::ymin() const { return mValue->impl()->ymin(); }
void Scatter::fitAxesToData() { mValue->impl()->fitAxesToData(); }
void Scatter::setAutoFit(bool on) { mValue->impl()->setAutoFit(on); }
bool Scatter::autoFit() const { return mValue->impl()->autoFit(); }
unsigned Scatter::vbo() const { return mValue->impl()->vbo(); }
size_t Scatter::size() const { return mValue->impl()->size(); }
unsigned Scatter::valueVbo() const { return mValue->impl()->valueVbo(); }
size_t Scatter::valueSize() const { return mValue->impl()->valueSize(); }
unsigned Scatter::sizeVbo() const { return mValue->impl()->sizeVbo(); }
size_t Scatter::sizeSize() const { return mValue->impl()->sizeSize(); }

}  // namespace zv
