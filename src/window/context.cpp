#include "window/context.hpp"

#include <algorithm>
#include <mutex>

#include "glfw/window.hpp"
#include "window/window_impl.hpp"
#include "err_common/err_common.hpp"

namespace {
// The entry-point record of the window made current last. Never cleared: it may name the
// record of a group whose windows are all gone, which stays valid.
GLEWContext* current = nullptr;
const internal::window_impl* gCurrentWindow = nullptr;
// Never destroyed, so windows held in static storage can still unregister at process exit.
std::map<int, const internal::window_impl*>& liveWindows() {
    static auto* windows = new std::map<int, const internal::window_impl*>();
    return *windows;
}
}  // namespace

extern "C" __attribute__((visibility("default"))) GLEWContext* glewGetContext() { return current; }

namespace internal {

int getNextUniqueId() {
    static int wndUnqIdTracker = 0;
    static std::mutex wndUnqIdMutex;
    std::lock_guard<std::mutex> lock(wndUnqIdMutex);
    return wndUnqIdTracker++;
}

void setCurrentRecord(const window_impl* window, GLEWContext* record) {
    gCurrentWindow = window;
    current = record;
}

void MakeContextCurrent(const window_impl* window) {
    if (window) {
        window->get()->makeContextCurrent();
        setCurrentRecord(window, window->glewContext());
    }
    glErrorCheck("End MakeContextCurrent", __FILE__, __LINE__);
}

const window_impl* currentWindow() { return gCurrentWindow; }

std::shared_ptr<ShareGroup> currentGroup() {
    return gCurrentWindow ? gCurrentWindow->group() : nullptr;
}

const window_impl* windowById(int id) {
    auto it = liveWindows().find(id);
    return it == liveWindows().end() ? nullptr : it->second;
}

void registerWindow(const window_impl* window, int id) { liveWindows()[id] = window; }

void unregisterWindow(const window_impl* window, int id) {
    liveWindows().erase(id);
    if (gCurrentWindow == window) gCurrentWindow = nullptr;
}

namespace {
// The library's window whose context is really current on this thread, or null.
const window_impl* actuallyCurrent() {
    const wtk::Widget* w = wtk::Widget::current();
    if (!w) return nullptr;
    for (const auto& entry : liveWindows())
        if (entry.second->get() == w) return entry.second;
    return nullptr;
}
}  // namespace

bool isLive(const window_impl* window) {
    if (!window) return false;
    for (const auto& entry : liveWindows())
        if (entry.second == window) return true;
    return false;
}

ContextScope::ContextScope(const std::shared_ptr<ShareGroup>& group) {
    if (!group || group->windows.empty()) return;
    const window_impl* now = actuallyCurrent();
    enter(now && now->group() == group ? now : group->windows.front());
}

ContextScope::ContextScope(int windowId) {
    if (const window_impl* target = windowById(windowId)) enter(target);
}

void ContextScope::enter(const window_impl* target) {
    mPreviousRecord = current;
    mPreviousWindow = gCurrentWindow;
    mPreviousActual = actuallyCurrent();
    mPreviousWasNone = wtk::Widget::current() == nullptr;
    if (mPreviousActual != target) {
        mSwitchedContext = true;
        target->get()->makeContextCurrent();
    }
    setCurrentRecord(target, target->glewContext());
    mOk = true;
}

ContextScope::~ContextScope() {
    if (!mOk) return;
    // Anything may have been destroyed in between; only live windows are restored.
    if (mSwitchedContext) {
        if (isLive(mPreviousActual)) {
            mPreviousActual->get()->makeContextCurrent();
        } else if (mPreviousWasNone) {
            wtk::Widget::makeNoneCurrent();
        }
    }
    current = mPreviousRecord;
    gCurrentWindow = isLive(mPreviousWindow) ? mPreviousWindow : nullptr;
}

}  // namespace internal
