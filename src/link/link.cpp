#include "zarvo/link.h"

#include "chart/chart_impl.hpp"
#include "exception/raise.hpp"
#include "multichart/chart.hpp"
#include "zarvo/chart.h"
#include "zarvo/series.h"

namespace zv {

AxesOf::AxesOf(const Series& series) : mObject(series.chartObject()) {}
AxesOf::AxesOf(const Chart& chart) : mObject(chart.get()->impl()) {}

namespace {
void checkAxes(LinkedAxes axes, const char* label, int argument) {
    if (axes != ZV_LINK_X && axes != ZV_LINK_Y && axes != ZV_LINK_XY) {
        ZV_FAIL_ARG(LinkAxes, label, argument);
    }
}
}  // namespace

void linkAxes(const AxesOf& a, const AxesOf& b, LinkedAxes axes) {
    checkAxes(axes, "zv::linkAxes", 3);
    if (axes & ZV_LINK_X) b.object()->linkAxis(internal::LINK_AXIS_X, *a.object());
    if (axes & ZV_LINK_Y) b.object()->linkAxis(internal::LINK_AXIS_Y, *a.object());
}

void unlinkAxes(const AxesOf& chart, LinkedAxes axes) {
    checkAxes(axes, "zv::unlinkAxes", 2);
    if (axes & ZV_LINK_X) chart.object()->unlinkAxis(internal::LINK_AXIS_X);
    if (axes & ZV_LINK_Y) chart.object()->unlinkAxis(internal::LINK_AXIS_Y);
}

bool axesLinked(const AxesOf& a, const AxesOf& b, LinkedAxes axes) {
    checkAxes(axes, "zv::axesLinked", 3);
    bool linked = true;
    if (axes & ZV_LINK_X) linked = linked && a.object()->linkedTo(internal::LINK_AXIS_X, *b.object());
    if (axes & ZV_LINK_Y) linked = linked && a.object()->linkedTo(internal::LINK_AXIS_Y, *b.object());
    return linked;
}

}  // namespace zv
