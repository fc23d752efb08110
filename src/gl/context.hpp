#pragma once
// Contexts, share groups and the record of the context made current last.
//
// Windows whose contexts share objects form a share group. The group owns the entry-point
// record of the multi-context GLEW (one per group, never released) and a few per-group
// resources. Every GL name the library creates remembers the group that was current when
// it was made, so it can be deleted later with a context of that group current, or skipped
// when the whole group is gone (its names went with its last context).

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "gl/gl.hpp"

namespace internal {

class Context;
struct SharedProgram;

struct ShareGroup {
    GLEWContext* glew = nullptr;          // entry points of the group; lives to process exit
    std::vector<const Context*> windows;  // live windows' contexts, oldest first
    // Objects shared by the group's windows (the chart font, ...), keyed by a small int
    // chosen by their owner. Released with a context of the group current before the last
    // window of the group goes.
    std::map<int, std::shared_ptr<void>> resources;
    // The group's linked programs by kind (see gl/shared_program.hpp), held by the objects
    // that draw with them, not by the group.
    std::map<std::string, std::weak_ptr<SharedProgram>> programs;
    // For the group of a context of the application's (a target's), every name the library
    // has made in it and not yet deleted, as (GLKind, name): the target deletes what is left
    // of them when it goes, since the context itself stays. Null for a group of the
    // library's windows, whose names go with their contexts.
    std::unique_ptr<std::set<std::pair<int, GLuint>>> ledger;
};

// Keys of ShareGroup::resources.
enum GroupResource : int { GROUP_CHART_FONT = 1, GROUP_IMAGE_QUAD = 2, GROUP_COLOR_BAR = 3 };
// Keys of Context::resources().
enum ContextResource : int { CONTEXT_IMAGE_QUAD = 1 };

// A context the library made, as this layer needs to know it: how to make it current and
// which share group it belongs to. The window core's windows are the contexts; this layer
// only switches between them, so it needs nothing of the window system but these calls.
class Context {
public:
    // Makes this context current on the calling thread (the window system's call only; the
    // entry-point record is published by the callers here).
    virtual void makeCurrent() const = 0;
    // The native object this context belongs to, as the window system's currentNative()
    // names it; for an application's own context that the library draws into (a target),
    // the handle currentAny() gives for it.
    virtual const void* native() const = 0;
    const std::shared_ptr<ShareGroup>& group() const { return mGroup; }
    GLEWContext* glewContext() const { return mGroup->glew; }
    // What stands for the window's default framebuffer: 0 for a window of the window
    // system; for a context with no window system, the framebuffer object the window core
    // made for it. The state guard binds it where it would bind framebuffer 0.
    GLuint frameBuffer() const { return mFrameBuffer; }
    // Objects of this one context (vertex arrays shared by every object of a kind, ...),
    // keyed by a small int chosen by their owner (ContextResource). Released by the context's
    // owner with the context current before it goes, so nothing of a context is kept
    // anywhere once it is gone.
    std::map<int, std::shared_ptr<void>>& resources() const { return mResources; }

protected:
    Context() = default;
    ~Context() = default;
    // Releases resources() now; the context must be current.
    void releaseResources() const {
        auto resources = std::move(mResources);
        mResources.clear();
        resources.clear();
    }
    std::shared_ptr<ShareGroup> mGroup;
    GLuint mFrameBuffer = 0;

private:
    mutable std::map<int, std::shared_ptr<void>> mResources;
};

// What this layer asks of the window system about the calling thread. The window core
// installs it before it makes its first context.
struct ContextSystem {
    // The native object (see Context::native) whose context is current, or null when none
    // of the library's is.
    const void* (*currentNative)() = nullptr;
    // Detaches whatever context is current.
    void (*makeNoneCurrent)() = nullptr;
    // The window system's handle of whatever context is current, the application's own
    // included, or null when none is; and making such a handle's context current again.
    const void* (*currentAny)() = nullptr;
    void (*makeAnyCurrent)(const void* handle) = nullptr;
};
void installContextSystem(const ContextSystem& system);

// The library is used from one thread, the drawing thread: the one that made its first
// window. GLFW, the contexts and the library's own records belong to it, and nothing of the
// library is locked. claimDrawingThread, at the start of every window's construction, makes
// the calling thread the drawing thread if there is none yet; both raise zv::Error
// (ZV_ERR_GL) with advice when called from another thread. `what` names the call.
void claimDrawingThread(const char* what);
void requireDrawingThread(const char* what);

// For every constructor that makes OpenGL objects (`what` names it, `object` is what it
// makes: "a plot"): on the drawing thread, a window of the library must have its context
// really current (not the application's own context, nor none), since the objects belong
// to that window's share group. Publishes that window as the one current, when the
// application made it current itself. Raises zv::Error (ZV_ERR_GL) with advice otherwise.
void requireLibraryContext(const char* what, const char* object);

// The next window id: 0, 1, 2, ... in creation order across the process, never reused.
int getNextUniqueId();

// Makes the window's context current on this thread and publishes its entry-point record
// through glewGetContext(). A null window changes nothing.
void MakeContextCurrent(const Context* window);

// The window made current last by the library (null before the first one or after it died),
// and its share group.
const Context* currentWindow();
std::shared_ptr<ShareGroup> currentGroup();
// The library's window whose context is really current on this thread (asked of the window
// system, not the record above), or null when none of the library's is: the application may
// have made its own context current, or none, since the library last switched.
const Context* actuallyCurrentWindow();

// The live window with this id, or null.
const Context* windowById(int id);
// The id of the window made current last, or -1 when there is none.
int currentWindowId();
bool isLive(const Context* window);

// Registration of live windows, done by the window core.
void registerWindow(const Context* window, int id);
void unregisterWindow(const Context* window, int id);
void setCurrentRecord(const Context* window, GLEWContext* record);

// What is current on this thread: one of the library's windows, a context of the
// application's own, or none; and the record published through glewGetContext().
class SavedCurrent {
public:
    SavedCurrent();
    // Whether the library's window `w` was the context current when this was taken.
    bool was(const Context* w) const { return mActual == w; }
    // Makes the saved context current again when `context` (one of the library's windows
    // only while it lives; none when it died meanwhile), and publishes the saved record.
    void restore(bool context = true) const;

private:
    const void* mAny;
    const Context* mActual;
    GLEWContext* mRecord;
    const Context* mWindow;
};

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
    void enter(const Context* target);
    bool mOk = false;
    bool mSwitchedContext = false;
    SavedCurrent mPrevious;
};

}  // namespace internal
