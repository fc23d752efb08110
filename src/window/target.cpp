#include "zarvo/target.h"

#include "zarvo/chart.h"
#include "zarvo/image.h"
#include "zarvo/series.h"

#include "chart/chart_impl.hpp"
#include "image/image.hpp"
#include "multichart/chart.hpp"
#include "window/target_impl.hpp"

namespace zv {

Target::Target() : mValue(new internal::target_impl()) {}
Target::~Target() { delete mValue; }

// The aspect and colour-bar flags are kept by the image, as a window's draw keeps them.
void Target::draw(const Image& image, unsigned framebuffer, int x, int y, int width,
                  int height, bool keepAspectRatio, bool colorBar) {
    const std::shared_ptr<internal::image_impl>& img = image.get()->impl();
    img->keepAspectRatio(keepAspectRatio);
    img->showColorBar(colorBar);
    mValue->draw(img, framebuffer, x, y, width, height);
}
void Target::draw(const Series& series, unsigned framebuffer, int x, int y, int width,
                  int height) {
    mValue->draw(series.chartObject(), framebuffer, x, y, width, height);
}
void Target::draw(const Chart& chart, unsigned framebuffer, int x, int y, int width,
                  int height) {
    mValue->draw(chart.get()->impl(), framebuffer, x, y, width, height);
}
void Target::setColorMap(ColorMap map) { mValue->setColorMap(map); }
void Target::mouseButton(int button, int action, double x, double y, int mods) {
    mValue->mouseButton(button, action, x, y, mods);
}
void Target::cursor(double x, double y) { mValue->cursor(x, y); }
void Target::scroll(double dy, int mods, double x, double y) { mValue->scroll(dy, mods, x, y); }
void Target::setInteractive(bool on) { mValue->setInteractive(on); }
bool Target::interactive() const { return mValue->interactive(); }

}  // namespace zv
