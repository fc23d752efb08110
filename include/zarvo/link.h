#pragma once
/// @file zarvo/link.h
/// Linked axes: charts (in one window, in grid cells, in several windows) that share their x
/// limits, their y limits or both.

#include <memory>

#include "zarvo/defines.h"

namespace internal {
class AbstractChart2D;
}

namespace zv {

class Series;
class Chart;

/// Which limits zv::linkAxes joins.
enum LinkedAxes {
    ZV_LINK_X = 1,  ///< the x limits
    ZV_LINK_Y = 2,  ///< the y limits
    ZV_LINK_XY = 3  ///< both
};

/// Anything drawn with axes: a series drawn on its own (zv::Plot, zv::Histogram, ...) or a
/// zv::Chart of several. Made implicitly from either, so that zv::linkAxes takes any two.
class ZV_API AxesOf {
public:
    AxesOf(const Series& series);  ///< the series' own axes, as it is drawn alone
    AxesOf(const Chart& chart);    ///< the chart's axes
    /// The object, for the library's own use.
    const std::shared_ptr<internal::AbstractChart2D>& object() const { return mObject; }

private:
    std::shared_ptr<internal::AbstractChart2D> mObject;
};

/// Links the x and/or y limits of `a` and `b`: from then on, whatever sets the limits of one
/// of them (setAxesLimits, fitAxesToData, following the data with setAutoFit, the mouse's
/// pan, zoom, box zoom and fit) sets those of the other, at once, so the next draw of either
/// shows them: two windows drawn one after the other in a frame show the same limits. Links
/// join groups: linking b to c after a to b links all three. `b` (and every chart already
/// linked to it) takes a's limits on the linked axes now. Charts may belong to different
/// windows and share groups; a link holds no chart alive, and a chart destroyed leaves its
/// links (the others stay linked).
///
/// A chart whose axis is logarithmic keeps its own limits on that axis while the link's are
/// not all above zero. A fit fits the data of the chart it is asked of; let one chart of a
/// link follow its data (setAutoFit), or the charts that follow take turns. The mouse pauses
/// the following of every chart linked to the one it moves, and a fit (double click, R)
/// resumes it. Needs no current context. Use linked charts from one thread: setting the
/// limits of one writes those of the others.
ZV_API void linkAxes(const AxesOf& a, const AxesOf& b, LinkedAxes axes = ZV_LINK_XY);
/// Takes `chart` out of its links on those axes; the other members stay linked together,
/// and every chart keeps the limits it has. Nothing for an axis not linked.
ZV_API void unlinkAxes(const AxesOf& chart, LinkedAxes axes = ZV_LINK_XY);
/// Whether a and b share their limits on every axis of `axes` (a chart is linked to itself).
ZV_API bool axesLinked(const AxesOf& a, const AxesOf& b, LinkedAxes axes = ZV_LINK_XY);

}  // namespace zv
