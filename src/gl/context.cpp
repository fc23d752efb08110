#include "gl/context.hpp"

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

#include "gl/check.hpp"
#include "exception/raise.hpp"

namespace {
// The entry-point record of the window made current last. Never cleared: it may name the
// record of a group whose windows are all gone, which stays valid.
GLEWContext* current = nullptr;
const internal::Context* gCurrentWindow = nullptr;
// Never destroyed, so windows held in static storage can still unregister at process exit.
std::map<int, const internal::Context*>& liveWindows() {
    static auto* windows = new std::map<int, const internal::Context*>();
    return *windows;
}
internal::ContextSystem gSystem;
// Empty until the first window's construction claims it.
std::atomic<std::thread::id> gDrawingThread{};

[[noreturn]] void raiseOtherThread(const char* what) {
    ZV_FAIL(OtherThread, what, what);
}
}  // namespace

extern "C" __attribute__((visibility("default"))) GLEWContext* glewGetContext() { return current; }

namespace internal {

void installContextSystem(const ContextSystem& system) { gSystem = system; }

void claimDrawingThread(const char* what) {
    std::thread::id owner;
    const std::thread::id me = std::this_thread::get_id();
    if (gDrawingThread.compare_exchange_strong(owner, me) || owner == me) return;
    raiseOtherThread(what);
}

void requireDrawingThread(const char* what) {
    const std::thread::id owner = gDrawingThread.load(std::memory_order_acquire);
    if (owner != std::thread::id() && owner != std::this_thread::get_id()) raiseOtherThread(what);
}

void requireLibraryContext(const char* what, const char* object) {
    requireDrawingThread(what);
    const Context* actual = actuallyCurrentWindow();
    if (!actual) {
        const bool foreign = gSystem.currentAny && gSystem.currentAny();
        if (foreign) ZV_FAIL(ForeignContextCurrent, what, object);
        ZV_FAIL(NoLibraryContext, what, object);
    }
    if (actual != gCurrentWindow || current != actual->glewContext())
        setCurrentRecord(actual, actual->glewContext());
}

int getNextUniqueId() {
    // Ids are taken before the drawing-thread check of a window's constructor, so a window
    // refused on another thread still takes one without a race.
    static std::atomic<int> next{0};
    return next.fetch_add(1);
}

void setCurrentRecord(const Context* window, GLEWContext* record) {
    gCurrentWindow = window;
    current = record;
}

void MakeContextCurrent(const Context* window) {
    if (window) {
        window->makeCurrent();
        setCurrentRecord(window, window->glewContext());
    }
}

const Context* currentWindow() { return gCurrentWindow; }

std::shared_ptr<ShareGroup> currentGroup() {
    return gCurrentWindow ? gCurrentWindow->group() : nullptr;
}

const Context* windowById(int id) {
    auto it = liveWindows().find(id);
    return it == liveWindows().end() ? nullptr : it->second;
}

int currentWindowId() {
    for (const auto& entry : liveWindows())
        if (entry.second == gCurrentWindow) return entry.first;
    return -1;
}

void registerWindow(const Context* window, int id) { liveWindows()[id] = window; }

void unregisterWindow(const Context* window, int id) {
    liveWindows().erase(id);
    if (gCurrentWindow == window) gCurrentWindow = nullptr;
}

const Context* actuallyCurrentWindow() {
    if (!gSystem.currentNative) return nullptr;
    const void* w = gSystem.currentNative();
    // Not one of the library's windows: perhaps the application's own context that a
    // target of the library draws into (see Context::native).
    if (!w && gSystem.currentAny) w = gSystem.currentAny();
    if (!w) return nullptr;
    for (const auto& entry : liveWindows())
        if (entry.second->native() == w) return entry.second;
    return nullptr;
}

bool isLive(const Context* window) {
    if (!window) return false;
    for (const auto& entry : liveWindows())
        if (entry.second == window) return true;
    return false;
}

SavedCurrent::SavedCurrent()
    : mAny(gSystem.currentAny ? gSystem.currentAny() : nullptr),
      mActual(actuallyCurrentWindow()),
      mRecord(current),
      mWindow(gCurrentWindow) {}

void SavedCurrent::restore(bool context) const {
    if (!context) {
        // Still current; only the record is put back.
    } else if (mActual) {
        // A window of ours that died meanwhile took its context along: nothing is current.
        if (isLive(mActual)) {
            mActual->makeCurrent();
        } else if (gSystem.makeNoneCurrent) {
            gSystem.makeNoneCurrent();
        }
    } else if (mAny) {
        // The application's own context: it cannot have gone while the library was working.
        gSystem.makeAnyCurrent(mAny);
    } else if (gSystem.makeNoneCurrent) {
        gSystem.makeNoneCurrent();
    }
    current = mRecord;
    gCurrentWindow = isLive(mWindow) ? mWindow : nullptr;
}

ContextScope::ContextScope(const std::shared_ptr<ShareGroup>& group) {
    if (!group || group->windows.empty()) return;
    const Context* now = actuallyCurrentWindow();
    enter(now && now->group() == group ? now : group->windows.front());
}

ContextScope::ContextScope(int windowId) {
    if (const Context* target = windowById(windowId)) enter(target);
}

void ContextScope::enter(const Context* target) {
    if (!mPrevious.was(target)) {
        mSwitchedContext = true;
        target->makeCurrent();
    }
    setCurrentRecord(target, target->glewContext());
    mOk = true;
}

ContextScope::~ContextScope() {
    if (!mOk) return;
    // Anything may have been destroyed in between; only live windows are made current.
    mPrevious.restore(mSwitchedContext);
}

}  // namespace internal
