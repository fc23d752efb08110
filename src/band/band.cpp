#include "zarvo/band.h"

#include "band/band.hpp"

namespace zv {

Band::Band(unsigned numPoints, ZVType dataType, BandEdges edges)
    : mValue(std::make_shared<internal::_Band>(numPoints, dataType, static_cast<int>(edges))) {}

std::shared_ptr<internal::AbstractChart2D> Band::chartObject() const { return mValue->impl(); }

void Band::setColor(Color color) { mValue->impl()->setColor(color); }
void Band::setColor(float red, float green, float blue, float opacity) {
    mValue->impl()->setColor(red, green, blue, opacity);
}
void Band::setBaseline(float y) { mValue->impl()->setBaseline(y); }
float Band::baseline() const { return mValue->impl()->baseline(); }
void Band::fitAxesToData() { mValue->impl()->fitAxesToData(); }
void Band::setAutoFit(bool on) { mValue->impl()->setAutoFit(on); }
bool Band::autoFit() const { return mValue->impl()->autoFit(); }
void Band::setAxesLimits(float xmax, float xmin, float ymax, float ymin) {
    mValue->impl()->setAxesLimits(xmax, xmin, ymax, ymin, "Band::setAxesLimits");
}
void Band::setNiceTicks(bool enabled) { mValue->impl()->setNiceTicks(enabled); }
void Band::setLogAxes(bool xLog, bool yLog) {
    mValue->impl()->setLogAxes(xLog, yLog, "Band::setLogAxes");
}
bool Band::niceTicks() const { return mValue->impl()->niceTicks(); }
bool Band::xLog() const { return mValue->impl()->xLog(); }
bool Band::yLog() const { return mValue->impl()->yLog(); }
void Band::setXAxisTitle(const char* title) { mValue->impl()->setXAxisTitle(title); }
void Band::setYAxisTitle(const char* title) { mValue->impl()->setYAxisTitle(title); }
float Band::xmax() const { return mValue->impl()->xmax(); }
float Band::xmin() const { return mValue->impl()->xmin(); }
float Band::ymax() const { return mValue->impl()->ymax(); }
float Band::ymin() const { return mValue->impl()->ymin(); }
unsigned Band::vbo() const { return mValue->impl()->vbo(); }
size_t Band::size() const { return mValue->impl()->size(); }

}  // namespace zv
