#include "zarvo/error_bars.h"

#include "error_bars/error_bars.hpp"

namespace zv {

ErrorBars::ErrorBars(unsigned numPoints, ZVType dataType, ErrorKind yErrors, ErrorKind xErrors)
    : mValue(std::make_shared<internal::_ErrorBars>(numPoints, dataType,
                                                    static_cast<int>(yErrors),
                                                    static_cast<int>(xErrors))) {}

std::shared_ptr<internal::AbstractChart2D> ErrorBars::chartObject() const {
    return mValue->impl();
}

void ErrorBars::setColor(Color color) { mValue->impl()->setColor(color); }
void ErrorBars::setColor(float red, float green, float blue) {
    mValue->impl()->setColor(red, green, blue);
}
void ErrorBars::setCapSize(float pixels) { mValue->impl()->setCapSize(pixels); }
float ErrorBars::capSize() const { return mValue->impl()->capSize(); }
void ErrorBars::setLineWidth(float pixels) { mValue->impl()->setLineWidth(pixels); }
float ErrorBars::lineWidth() const { return mValue->impl()->lineWidth(); }
void ErrorBars::setAxesLimits(float xmax, float xmin, float ymax, float ymin) {
    mValue->impl()->setAxesLimits(xmax, xmin, ymax, ymin, "ErrorBars::setAxesLimits");
}
void ErrorBars::setNiceTicks(bool enabled) { mValue->impl()->setNiceTicks(enabled); }
void ErrorBars::setLogAxes(bool xLog, bool yLog) {
    mValue->impl()->setLogAxes(xLog, yLog, "ErrorBars::setLogAxes");
}
bool ErrorBars::niceTicks() const { return mValue->impl()->niceTicks(); }
bool ErrorBars::xLog() const { return mValue->impl()->xLog(); }
bool ErrorBars::yLog() const { return mValue->impl()->yLog(); }
void ErrorBars::setXAxisTitle(const char* title) { mValue->impl()->setXAxisTitle(title); }
void ErrorBars::setYAxisTitle(const char* title) { mValue->impl()->setYAxisTitle(title); }
float ErrorBars::xmax() const { return mValue->impl()->xmax(); }
float ErrorBars::xmin() const { return mValue->impl()->xmin(); }
float ErrorBars::ymax() const { return mValue->impl()->ymax(); }
float ErrorBars::ymin() const { return mValue->impl()->ymin(); }
void ErrorBars::fitAxesToData() { mValue->impl()->fitAxesToData(); }
void ErrorBars::setAutoFit(bool on) { mValue->impl()->setAutoFit(on); }
bool ErrorBars::autoFit() const { return mValue->impl()->autoFit(); }
unsigned ErrorBars::vbo() const { return mValue->impl()->vbo(); }
size_t ErrorBars::size() const { return mValue->impl()->size(); }
unsigned ErrorBars::yErrorVbo() const { return mValue->impl()->yErrorVbo(); }
size_t ErrorBars::yErrorSize() const { return mValue->impl()->yErrorSize(); }
unsigned ErrorBars::xErrorVbo() const { return mValue->impl()->xErrorVbo(); }
size_t ErrorBars::xErrorSize() const { return mValue->impl()->xErrorSize(); }

}  // namespace zv
