#pragma once
// Window ids, share groups and the record of the context made current last.
//
// Windows whose contexts share objects form a share group. The group owns the entry-point
// record of the multi-context GLEW (one per group, never released) and a few per-group
// resources. Every GL name the library creates remembers the group that was current when
// it was made, so it can be deleted later with a context of that group current, or skipped
// when the whole group is gone (its names went with its last context).

#include <map>
#include <memory>
#include <vector>

#include "common/gl.hpp"

namespace internal {

class window_impl;

struct ShareGroup {
    GLEWContext* glew = nullptr;              // entry points of the group; lives to process exit
    std::vector<const window_impl*> windows;  // live windows, oldest first
    // Objects shared by the group's windows (the chart font, ...), keyed by a small int
    // chosen by their owner. Released with a context of the group current before the last
    // window of the group goes.
    std::map<int, std::shared_ptr<void>> resources;
};

// Keys of ShareGroup::resources.
enum GroupResource : int { GROUP_CHART_FONT = 1, GROUP_IMAGE_QUAD = 2 };

// The next window id: 0, 1, 2, ... in creation order across the process, never reused.
int getNextUniqueId();

// Makes the window's context current on this thread and publishes its entry-point record
// through glewGetContext(). A null window changes nothing.
void MakeContextCurrent(const window_impl* window);

// The window made current last by the library (null before the first one or after it died),
// and its share group.
const window_impl* currentWindow();
std::shared_ptr<ShareGroup> currentGroup();

// The live window with this id, or null.
const window_impl* windowById(int id);
bool isLive(const window_impl* window);

// Registration of live windows, done by the window core.
void registerWindow(const window_impl* window, int id);
void unregisterWindow(const window_impl* window, int id);
void setCurrentRecord(const window_impl* window, GLEWContext* record);

// Makes a context of a share group (or of one window) current for the scope when the one
// current is not suitable, and restores the previous one afterwards. ok() is false when no
// live window can serve, in which case there is nothing to delete: the objects went with
// the contexts.
class ContextScope {
public:
    explicit ContextScope(const std::shared_ptr<ShareGroup>& group);
    explicit ContextScope(int windowId);
    ~ContextScope();
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;
    bool ok() const { return mOk; }

private:
    void enter(const window_impl* target);
    bool mOk = false;
    bool mSwitchedContext = false;
    bool mPreviousWasNone = false;
    GLEWContext* mPreviousRecord = nullptr;
    const window_impl* mPreviousWindow = nullptr;
    const window_impl* mPreviousActual = nullptr;
};

}  // namespace internal
