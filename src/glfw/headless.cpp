#include "glfw/headless.hpp"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "exception/raise.hpp"

namespace wtk {

namespace {
const char* const WHERE = "Window constructor";

template <typename F>
F entryPoint(const char* name) {
    return reinterpret_cast<F>(eglGetProcAddress(name));
}

std::string eglErrorText(EGLint error) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(error));
    return std::string("EGL error ") + hex;
}

[[noreturn]] void fail(const std::string& reason) {
    ZV_FAIL(HeadlessContextFailed, WHERE, reason);
}

bool hasExtension(const char* list, const char* name) {
    if (!list) return false;
    const std::string all = std::string(" ") + list + " ";
    return all.find(std::string(" ") + name + " ") != std::string::npos;
}
}  // namespace

// An initialised EGL display, shared by the contexts made on it. Keyed by the device index
// (-1: surfaceless), so that contexts of one device can share objects. It stays initialised
// until the process ends, as the window system's connection does: terminating it when its
// last context goes makes Mesa's software rasteriser drop the memory of its compiled
// shaders with allocations still in it (leaks the driver cannot free), and the next window
// would pay for initialising it again. Each window's context goes with the window.
struct HeadlessContext::Display {
    EGLDisplay display = EGL_NO_DISPLAY;
    int device = -1;
    bool noConfig = false;  // EGL_KHR_no_config_context
};

namespace {
std::map<int, std::shared_ptr<HeadlessContext::Display>>& displays();
}

HeadlessContext::HeadlessContext(int device, bool deviceFromEnvironment,
                                 const HeadlessContext* share) {
    if (share && share->mDisplay->device != device) {
        ZV_FAIL(HeadlessParentDevice, WHERE, share->mDisplay->device);
    }
    mDisplay = share ? share->mDisplay : displays()[device];
    if (!mDisplay) {
        auto display = std::make_shared<Display>();
        display->device = device;
        const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
        auto getPlatformDisplay =
            entryPoint<PFNEGLGETPLATFORMDISPLAYEXTPROC>("eglGetPlatformDisplayEXT");
        if (!getPlatformDisplay || !hasExtension(client, "EGL_EXT_platform_base"))
            fail("EGL has no platform displays (EGL_EXT_platform_base)");
        if (device < 0) {
            if (!hasExtension(client, "EGL_MESA_platform_surfaceless"))
                fail("EGL has no surfaceless platform (EGL_MESA_platform_surfaceless); choose "
                     "an EGL device with ZV_EGL_DEVICE");
            display->display =
                getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        } else {
            auto queryDevices = entryPoint<PFNEGLQUERYDEVICESEXTPROC>("eglQueryDevicesEXT");
            EGLint count = 0;
            std::vector<EGLDeviceEXT> devices;
            if (queryDevices && hasExtension(client, "EGL_EXT_device_enumeration") &&
                queryDevices(0, nullptr, &count) && count > 0) {
                devices.resize(static_cast<size_t>(count));
                if (!queryDevices(count, devices.data(), &count)) count = 0;
            }
            if (device >= count) {
                const std::string range =
                    count > 0 ? "0 to " + std::to_string(count - 1) : std::string("none");
                if (deviceFromEnvironment)
                    ZV_FAIL(NoSuchEglDeviceVariable, WHERE, device, count, range);
                ZV_FAIL(NoSuchEglDevice, WHERE, device, count, range);
            }
            display->display = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT,
                                                  devices[static_cast<size_t>(device)], nullptr);
        }
        if (display->display == EGL_NO_DISPLAY) fail("EGL gave no display");
        EGLint major = 0, minor = 0;
        if (!eglInitialize(display->display, &major, &minor)) {
            fail("eglInitialize failed (" + eglErrorText(eglGetError()) + ")");
        }
        const char* ext = eglQueryString(display->display, EGL_EXTENSIONS);
        if (!hasExtension(ext, "EGL_KHR_surfaceless_context"))
            fail("the EGL display cannot make a context current without a surface "
                 "(EGL_KHR_surfaceless_context)");
        if (!hasExtension(ext, "EGL_KHR_create_context") && (major < 1 || (major == 1 && minor < 5)))
            fail("the EGL display cannot ask for a core profile (EGL_KHR_create_context)");
        display->noConfig = hasExtension(ext, "EGL_KHR_no_config_context");
        mDisplay = display;
        displays()[device] = mDisplay;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) fail("EGL has no desktop OpenGL (eglBindAPI)");
    EGLConfig config = EGL_NO_CONFIG_KHR;
    if (!mDisplay->noConfig) {
        const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
        EGLint found = 0;
        if (!eglChooseConfig(mDisplay->display, wanted, &config, 1, &found) || found < 1)
            fail("EGL has no configuration for desktop OpenGL");
    }
    // What the window system's windows ask for: 3.3 core, forward compatible.
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3,
                                 EGL_CONTEXT_MINOR_VERSION, 3,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                 EGL_CONTEXT_OPENGL_FORWARD_COMPATIBLE, EGL_TRUE,
                                 EGL_NONE};
    mContext = eglCreateContext(mDisplay->display, config,
                                share ? static_cast<EGLContext>(share->mContext) : EGL_NO_CONTEXT,
                                attributes);
    if (mContext == EGL_NO_CONTEXT) {
        mContext = nullptr;
        fail("eglCreateContext failed (" + eglErrorText(eglGetError()) + ")");
    }
}

HeadlessContext::~HeadlessContext() {
    if (!mContext) return;
    if (isCurrent()) eglMakeCurrent(mDisplay->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(mDisplay->display, static_cast<EGLContext>(mContext));
}

void HeadlessContext::makeCurrent() const {
    eglMakeCurrent(mDisplay->display, EGL_NO_SURFACE, EGL_NO_SURFACE,
                   static_cast<EGLContext>(mContext));
}

bool HeadlessContext::isCurrent() const {
    return mContext && eglGetCurrentContext() == static_cast<EGLContext>(mContext);
}

void HeadlessContext::releaseCurrent() {
    const EGLDisplay display = eglGetCurrentDisplay();
    if (display != EGL_NO_DISPLAY)
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

bool HeadlessContext::anyCurrent() { return eglGetCurrentContext() != EGL_NO_CONTEXT; }

namespace {
// Never destroyed, so contexts in static storage can still go at exit.
std::map<int, std::shared_ptr<HeadlessContext::Display>>& displays() {
    static auto* map = new std::map<int, std::shared_ptr<HeadlessContext::Display>>();
    return *map;
}
}  // namespace

}  // namespace wtk
