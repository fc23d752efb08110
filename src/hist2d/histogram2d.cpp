#include "zarvo/histogram2d.h"

#include "hist2d/hist2d.hpp"

namespace zv {

Histogram2D::Histogram2D(unsigned npoints, unsigned nx, unsigned ny, ZVType dataType)
    : mValue(std::make_shared<internal::_Histogram2D>(npoints, nx, ny, dataType)) {}

std::shared_ptr<internal::AbstractChart2D> Histogram2D::chartObject() const {
    return mValue->impl();
}

void Histogram2D::setBinRange(float xmin, float xmax, float ymin, float ymax) {
    mValue->impl()->setBinRange(xmin, xmax, ymin, ymax);
}
float Histogram2D::binXMin() const { return mValue->impl()->binRange()[0]; }
float Histogram2D::binXMax() const { return mValue->impl()->binRange()[1]; }
float Histogram2D::binYMin() const { return mValue->impl()->binRange()[2]; }
float Histogram2D::binYMax() const { return mValue->impl()->binRange()[3]; }
void Histogram2D::setLogScale(bool on) { mValue->impl()->setLogScale(on); }
bool Histogram2D::logScale() const { return mValue->impl()->logScale(); }
void Histogram2D::setSwatchColor(float red, float green, float blue) {
    mValue->impl()->setSwatchColor(red, green, blue);
}
void Histogram2D::setAxesLimits(float xmax, float xmin, float ymax, float ymin) {
    mValue->impl()->setAxesLimits(xmax, xmin, ymax, ymin, "Histogram2D::setAxesLimits");
}
void Histogram2D::setNiceTicks(bool enabled) { mValue->impl()->setNiceTicks(enabled); }
void Histogram2D::setXAxisTitle(const char* title) { mValue->impl()->setXAxisTitle(title); }
void Histogram2D::setYAxisTitle(const char* title) { mValue->impl()->setYAxisTitle(title); }
float Histogram2D::xmax() const { return mValue->impl()->xmax(); }
float Histogram2D::xmin() const { return mValue->impl()->xmin(); }
float Histogram2D::ymax() const { return mValue->impl()->ymax(); }
float Histogram2D::ymin() const { return mValue->impl()->ymin(); }
void Histogram2D::fitAxesToData() { mValue->impl()->fitAxesToData(); }
void Histogram2D::setAutoFit(bool on) { mValue->impl()->setAutoFit(on); }
bool Histogram2D::autoFit() const { return mValue->impl()->autoFit(); }
unsigned Histogram2D::points() const { return mValue->impl()->points(); }
unsigned Histogram2D::binsX() const { return mValue->impl()->binsX(); }
unsigned Histogram2D::binsY() const { return mValue->impl()->binsY(); }
unsigned Histogram2D::vbo() const { return mValue->impl()->vbo(); }
size_t Histogram2D::size() const { return mValue->impl()->size(); }
unsigned Histogram2D::countTexture() const { return mValue->impl()->countTexture(); }

}  // namespace zv
