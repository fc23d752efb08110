#include "zarvo/histogram.h"

#include "histogram/histogram.hpp"

namespace zv {

std::shared_ptr<internal::AbstractChart2D> Histogram::chartObject() const {
    return mValue->impl();
}

Histogram::Histogram(unsigned nbins, ZVType dataType)
    : mValue(std::make_shared<internal::_Histogram>(nbins, dataType)) {}

void Histogram::setBarColor(float red, float green, float blue) {
    mValue->impl()->setBarColor(red, green, blue);
}
void Histogram::fitAxesToData() { mValue->impl()->fitAxesToData(); }
void Histogram::setAutoFit(bool on) { mValue->impl()->setAutoFit(on); }
bool Histogram::autoFit() const { return mValue->impl()->autoFit(); }
void Histogram::setAxesLimits(float xmax, float xmin, float ymax, float ymin) {
    mValue->impl()->setAxesLimits(xmax, xmin, ymax, ymin, "Histogram::setAxesLimits");
}
void Histogram::setNiceTicks(bool enabled) { mValue->impl()->setNiceTicks(enabled); }
void Histogram::setLogAxes(bool xLog, bool yLog) {
    mValue->impl()->setLogAxes(xLog, yLog, "Histogram::setLogAxes");
}
bool Histogram::niceTicks() const { return mValue->impl()->niceTicks(); }
bool Histogram::xLog() const { return mValue->impl()->xLog(); }
bool Histogram::yLog() const { return mValue->impl()->yLog(); }
void Histogram::setXAxisTitle(const char* title) { mValue->impl()->setXAxisTitle(title); }
void Histogram::setYAxisTitle(const char* title) { mValue->impl()->setYAxisTitle(title); }
float Histogram::xmax() const { return mValue->impl()->xmax(); }
float Histogram::xmin() const { return mValue->impl()->xmin(); }
float Histogram::ymax() const { return mValue->impl()->ymax(); }
float Histogram::ymin() const { return mValue->impl()->ymin(); }
unsigned Histogram::vbo() const { return mValue->impl()->vbo(); }
size_t Histogram::size() const { return mValue->impl()->size(); }

}  // namespace zv
