#pragma once
// An OpenGL context with no window system: EGL on Mesa's surfaceless platform, or on one of
// the EGL devices the driver lists. Nothing is shown and no event arrives; the window core
// gives such a context a framebuffer object of its own to draw into.

#include <memory>

namespace wtk {

class HeadlessContext {
public:
    // An OpenGL 3.3 core context (what the window system's windows get) sharing objects
    // with `share` when not null. device < 0: the surfaceless platform; otherwise the EGL
    // device of that index. `deviceFromEnvironment` says the index came from ZV_EGL_DEVICE
    // (it changes the advice of an out-of-range index). Raises zv::Error (ZV_ERR_GL) when EGL
    // cannot give such a context, zv::ArgumentError for an index the driver does not list
    // or a share context on another device.
    HeadlessContext(int device, bool deviceFromEnvironment, const HeadlessContext* share);
    // Destroys the context; not current anywhere afterwards. Its EGL display stays
    // initialised for the next context (see headless.cpp).
    ~HeadlessContext();
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    void makeCurrent() const;
    // Whether this context is current on the calling thread.
    bool isCurrent() const;
    // Detaches a context of this kind (EGL) that is current on the calling thread.
    static void releaseCurrent();
    // Whether any EGL context is current on the calling thread.
    static bool anyCurrent();

    // An initialised EGL display and what it offers (see headless.cpp).
    struct Display;

private:
    std::shared_ptr<Display> mDisplay;
    void* mContext = nullptr;
};

}  // namespace wtk
