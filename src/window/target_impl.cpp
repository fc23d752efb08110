#include "window/target_impl.hpp"

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "colormap/colormap_impl.hpp"
#include "exception/raise.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shaders.hpp"
#include "gl/state_guard.hpp"
#include "glfw/window.hpp"
#include "window/window_impl.hpp"

namespace internal {

namespace {
// The most a framebuffer side can be drawn (as for windows).
constexpr int MAX_SIDE = 16384;

const char* const CREATE = "Target constructor";

// The viewport and clear colour, which the state guard does not keep (a window's draw
// leaves its own), put back when a target's draw ends, however it ends.
class ViewportScope {
public:
    ViewportScope() {
        glGetIntegerv(GL_VIEWPORT, mViewport);
        glGetFloatv(GL_COLOR_CLEAR_VALUE, mClear);
    }
    ~ViewportScope() {
        glViewport(mViewport[0], mViewport[1], mViewport[2], mViewport[3]);
        glClearColor(mClear[0], mClear[1], mClear[2], mClear[3]);
    }
    ViewportScope(const ViewportScope&) = delete;
    ViewportScope& operator=(const ViewportScope&) = delete;

private:
    GLint mViewport[4];
    GLfloat mClear[4];
};

// Sets the target's framebuffer for the state guard for the scope of one draw.
class FrameScope {
public:
    FrameScope(GLuint& slot, GLuint frame) : mSlot(slot) { mSlot = frame; }
    ~FrameScope() { mSlot = 0; }
    FrameScope(const FrameScope&) = delete;
    FrameScope& operator=(const FrameScope&) = delete;

private:
    GLuint& mSlot;
};
}  // namespace

target_impl::target_impl() : mID(getNextUniqueId()) {
    claimDrawingThread("Target constructor");
    installWindowSystem();
    if (const Context* ours = actuallyCurrentWindow()) {
        if (dynamic_cast<const target_impl*>(ours)) {
            ZV_FAIL(TargetContextTaken, CREATE);
        }
        ZV_FAIL(TargetInLibraryWindow, CREATE);
    }
    mHandle = wtk::Widget::currentApplication();
    if (!mHandle) {
        ZV_FAIL(TargetWithoutContext, CREATE);
    }
    mGroup = std::make_shared<ShareGroup>();
    mGroup->ledger = std::make_unique<std::set<std::pair<int, GLuint>>>();
    mGroup->glew = newEntryPointRecord();
    const SavedCurrent previous;
    setCurrentRecord(this, mGroup->glew);
    glewExperimental = GL_TRUE;
    const GLenum result = glewContextInit(mGroup->glew);
    if (result != GLEW_OK) {
        previous.restore(false);
        ZV_FAIL(TargetEntryPoints, CREATE,
                reinterpret_cast<const char*>(glewGetErrorString(result)));
    }
    // The loader asks for the extension string the old way, which a core context answers
    // with GL_INVALID_ENUM: that one is ours, and is not left for the application to find.
    const GLenum loaderError = glGetError();
    (void)loaderError;
    GLint major = 0, minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    if (major < 3 || (major == 3 && minor < 3)) {
        previous.restore(false);
        ZV_FAIL(TargetContextTooOld, CREATE);
    }
    registerWindow(this, mID);
    mGroup->windows.push_back(this);
    // The colour maps' buffer is made with whatever the application left bound.
    {
        GLStateGuard guard;
        mColorMaps = std::make_shared<colormap_impl>();
        mColorMaps->select(zv::ZV_CMAP_DEFAULT, mColorMapUBO, mColorMapLen);
    }
    // Like a new window, the target's entry points stay published: the application's own
    // OpenGL through <zarvo.h> reaches its context's.
}

void target_impl::makeCurrent() const { wtk::Widget::makeAnyCurrent(mHandle); }

target_impl::~target_impl() {
    // Names of the group are deleted with the application's context current; whatever was
    // current before is current again afterwards. The context itself stays (it is the
    // application's), so a target current before is only no longer published.
    const SavedCurrent previous;
    MakeContextCurrent(this);
    mColorMaps.reset();
    {
        auto resources = std::move(mGroup->resources);
        mGroup->resources.clear();
        resources.clear();
    }
    releaseResources();
    releaseStageReferences();
    // What objects that outlive the target still own in the context goes now: the context
    // stays with the application, and nothing of the library's may be left in it.
    deleteLedgerNames(*mGroup);
    auto& windows = mGroup->windows;
    windows.erase(std::find(windows.begin(), windows.end(), this));
    unregisterWindow(this, mID);
    previous.restore(!previous.was(this));
}

void target_impl::draw(const std::shared_ptr<AbstractRenderable>& r, unsigned framebuffer,
                       int x, int y, int width, int height) {
    requireDrawingThread("Target::draw");
    if (r->group() != mGroup) {
        ZV_FAIL(TargetObjectInOtherGroup, "Target::draw");
    }
    if (width < 1 || width > MAX_SIDE)
        ZV_FAIL(TargetWidth, "Target::draw", MAX_SIDE);
    if (height < 1 || height > MAX_SIDE)
        ZV_FAIL(TargetHeight, "Target::draw", MAX_SIDE);
    ContextScope scope(mID);
    if (framebuffer != 0 && !glIsFramebuffer(framebuffer)) {
        ZV_FAIL(TargetNotFramebuffer, "Target::draw");
    }
    ViewportScope viewport;
    FrameScope frame(mFrameBuffer, framebuffer);
    GLStateGuard guard;
    if (glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        ZV_FAIL(TargetFramebufferIncomplete, "Target::draw");
    }
    const PixelArea area{x, y, width, height};
    glViewport(x, y, width, height);
    glScissor(x, y, width, height);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    DrawContext d;
    d.windowId = mID;
    d.area = area;
    d.viewport = area;
    d.colorMap = mColorMapUBO;
    d.colorMapRows = mColorMapLen;
    const DrawnFrame drawn = r->render(d);
    glDisable(GL_SCISSOR_TEST);
    // The interaction works from the top of a framebuffer that ends at the rectangle's top.
    mInteraction.drewWhole(r, drawn, x + width, y + height);
    mDrawn = area;
}

void target_impl::setColorMap(zv::ColorMap map) {
    requireDrawingThread("Target::setColorMap");
    mColorMaps->select(map, mColorMapUBO, mColorMapLen);
}

bool target_impl::overDrawn(double x, double y) const {
    return x >= mDrawn.x && x < mDrawn.x + mDrawn.width && y >= mDrawn.y &&
           y < mDrawn.y + mDrawn.height;
}

// A press or the wheel only acts over the chart drawn last; a drag begun there follows the
// cursor anywhere, and ends with the release wherever it happens.
void target_impl::mouseButton(int button, int action, double x, double y, int mods) {
    requireDrawingThread("Target::mouseButton");
    if (mDrawn.width == 0 || (action == zv::ZV_PRESS && !overDrawn(x, y))) return;
    ContextScope scope(mID);
    mInteraction.button(button, action, mods, x, fromTop(y));
}

void target_impl::cursor(double x, double y) {
    requireDrawingThread("Target::cursor");
    if (mDrawn.width == 0) return;
    ContextScope scope(mID);
    mInteraction.cursor(x, fromTop(y));
}

void target_impl::scroll(double dy, int mods, double x, double y) {
    requireDrawingThread("Target::scroll");
    if (mDrawn.width == 0 || !overDrawn(x, y)) return;
    ContextScope scope(mID);
    mInteraction.scroll(dy, mods, x, fromTop(y));
}

}  // namespace internal
