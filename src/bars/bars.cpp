#include "zarvo/bars.h"

#include "bars/bars.hpp"

namespace zv {

Bars::Bars(unsigned numCategories, ZVType dataType, BarOrientation orientation)
    : mValue(std::make_shared<internal::_Bars>(numCategories, dataType,
                                               static_cast<int>(orientation))) {}

std::shared_ptr<internal::AbstractChart2D> Bars::chartObject() const { return mValue->impl(); }

void Bars::setColor(Color color) { mValue->impl()->setColor(color); }
void Bars::setColor(float red, float green, float blue, float opacity) {
    mValue->impl()->setColor(red, green, blue, opacity);
}
void Bars::setCategoryNames(const std::vector<std::string>& names) {
    mValue->impl()->setCategoryNames(names);
}
const std::vector<std::string>& Bars::categoryNames() const {
    return mValue->impl()->categoryNames();
}
void Bars::setGroupWidth(float fraction) { mValue->impl()->setGroupWidth(fraction); }
float Bars::groupWidth() const { return mValue->impl()->groupWidth(); }
void Bars::stackOn(const Bars& below) { mValue->impl()->stackOn(below.mValue->impl()); }
void Bars::unstack() { mValue->impl()->stackOn(nullptr); }
bool Bars::stacked() const { return mValue->impl()->below() != nullptr; }
unsigned Bars::numCategories() const { return mValue->impl()->numCategories(); }
BarOrientation Bars::orientation() const {
    return mValue->impl()->horizontal() ? ZV_BARS_HORIZONTAL : ZV_BARS_VERTICAL;
}
void Bars::fitAxesToData() { mValue->impl()->fitAxesToData(); }
void Bars::setAutoFit(bool on) { mValue->impl()->setAutoFit(on); }
bool Bars::autoFit() const { return mValue->impl()->autoFit(); }
void Bars::setAxesLimits(float xmax, float xmin, float ymax, float ymin) {
    mValue->impl()->setAxesLimits(xmax, xmin, ymax, ymin, "Bars::setAxesLimits");
}
void Bars::setNiceTicks(bool enabled) { mValue->impl()->setNiceTicks(enabled); }
void Bars::setLogAxes(bool xLog, bool yLog) { mValue->impl()->setBarsLogAxes(xLog, yLog); }
bool Bars::niceTicks() const { return mValue->impl()->niceTicks(); }
bool Bars::xLog() const { return mValue->impl()->xLog(); }
bool Bars::yLog() const { return mValue->impl()->yLog(); }
void Bars::setXAxisTitle(const char* title) { mValue->impl()->setXAxisTitle(title); }
void Bars::setYAxisTitle(const char* title) { mValue->impl()->setYAxisTitle(title); }
float Bars::xmax() const { return mValue->impl()->xmax(); }
float Bars::xmin() const { return mValue->impl()->xmin(); }
float Bars::ymax() const { return mValue->impl()->ymax(); }
float Bars::ymin() const { return mValue->impl()->ymin(); }
unsigned Bars::vbo() const { return mValue->impl()->vbo(); }
size_t Bars::size() const { return mValue->impl()->size(); }

}  // namespace zv
