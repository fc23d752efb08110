#pragma once
// Linked axes: charts that show one x (or y) range. A link joins the members of one axis;
// whatever sets the limits of a member (the application, the mouse, a fit, following the
// data) sets those of every other member in the same call, so a window drawn right after
// another shows the limits the other just took: no frame of lag, across windows and share
// groups alike (limits and their labels are plain numbers; nothing of OpenGL is touched).
//
// Members are held as plain pointers: a chart leaves its links in its destructor, so a link
// never holds one that is gone.

#include <memory>
#include <vector>

namespace internal {

class AbstractChart2D;

enum LinkAxis : int { LINK_AXIS_X = 0, LINK_AXIS_Y = 1 };

struct AxisLink {
    std::vector<AbstractChart2D*> members;
};

}  // namespace internal
