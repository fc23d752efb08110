#include "window/window_impl.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "chart/chart_impl.hpp"
#include "colormap/colormap_impl.hpp"
#include "common/style.hpp"
#include "exception/raise.hpp"
#include "gl/check.hpp"
#include "gl/state_guard.hpp"
#include "font/font_impl.hpp"
#include "glfw/window.hpp"
#include "window/snapshot.hpp"

namespace internal {

namespace {
const float RED[4] = {1.0f, 0.0f, 0.0f, 1.0f};

// Starts a frame over the whole w x h framebuffer in the style's background. The clear
// colour is set each time: the application shares the context and may have left its own
// (it stays black afterwards, as the window documents).
void clearFrame(int w, int h, const zv::Style& style) {
    glViewport(0, 0, w, h);
    if (style.background == zv::Style().background) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(FRAME_CLEAR_BITS);
        return;
    }
    float c[4];
    colorToFloats(style.background, c);
    glClearColor(c[0], c[1], c[2], 1.0f);
    glClear(FRAME_CLEAR_BITS);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

// The band a caption takes above a cell's drawing area when titles go outside: its line and
// three pixels each side (see the chart's title bands); -1 for the grid's own insets.
int captionBand(const zv::Style& style, const char* title) {
    if (style.titles != zv::ZV_TITLES_OUTSIDE || !title) return -1;
    return static_cast<int>(std::ceil(1.2f * static_cast<float>(style.captionSize))) + 6;
}


// The window system's windows ask for 4 samples a pixel (wtk::Widget); a headless window's
// framebuffer object gets as many.
constexpr GLsizei FRAME_SAMPLES = 4;
// GL_MESA_framebuffer_flip_y (not in the loader's header): a framebuffer object that stores
// its rows top first, as Mesa's window-system framebuffers do. Mesa rasterises edges that
// fall exactly between pixels by its top-left rule in the framebuffer's own row order, so
// only a flipped framebuffer object gets the X window's pixels on such edges (image rows,
// tick marks, horizontal lines).
constexpr GLenum FRAMEBUFFER_FLIP_Y_MESA = 0x8BBB;

bool hasExtension(const char* name) {
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const GLubyte* e = glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i));
        if (e && std::strcmp(reinterpret_cast<const char*>(e), name) == 0) return true;
    }
    return false;
}

const void* currentWidget() { return wtk::Widget::current(); }
const void* currentAnyContext() { return wtk::Widget::currentAny(); }
void makeAnyContextCurrent(const void* handle) { wtk::Widget::makeAnyCurrent(handle); }
}  // namespace

// Entry-point records are never released: a group's record outlives its windows, and the
// current-context record may still name it. They are kept here, so they stay reachable.
GLEWContext* newEntryPointRecord() {
    static auto* records = new std::vector<std::unique_ptr<GLEWContext>>();
    records->emplace_back(new GLEWContext);
    std::memset(records->back().get(), 0, sizeof(GLEWContext));
    return records->back().get();
}

void installWindowSystem() {
    static const bool installed =
        (installContextSystem({currentWidget, wtk::Widget::makeNoneCurrent, currentAnyContext,
                               makeAnyContextCurrent}),
         true);
    (void)installed;
}


window_impl::window_impl(int width, int height, const char* title,
                         std::weak_ptr<window_impl> parent, bool invisible,
                         wtk::System system, int eglDevice)
    : mID(getNextUniqueId()), mWidth(width), mHeight(height) {
    installWindowSystem();
    std::shared_ptr<window_impl> p = parent.lock();
    mWidget = std::make_unique<wtk::Widget>(width, height, title, p ? p->get() : nullptr,
                                            invisible, system, eglDevice);
    if (p) {
        mGroup = p->mGroup;
    } else {
        mGroup = std::make_shared<ShareGroup>();
        mGroup->glew = newEntryPointRecord();
    }
    const SavedCurrent previous;
    MakeContextCurrent(this);
    try {
        glewExperimental = GL_TRUE;
        GLenum result = glewContextInit(mGroup->glew);
        if (result != GLEW_OK) {
            ZV_FAIL_AT(GlewNotStarted, "window_impl constructor", 84,
                       reinterpret_cast<const char*>(glewGetErrorString(result)));
        }
        // The loader asks for the extension string the old way, which a core context
        // answers with GL_INVALID_ENUM; that one is expected and consumed here.
        GLenum e = glGetError();
        if (e != GL_NO_ERROR && e != GL_INVALID_ENUM) {
            ZV_CHECK_GL("GLEW initilization failed");
            ZV_FAIL_AT(GlewErrorPending, "window_impl constructor", 93);
        }
    } catch (...) {
        // No half-made window stays behind; what was current before is current again.
        mWidget.reset();
        previous.restore();
        throw;
    }
    mWidget->setListener(this);
    registerWindow(this, mID);
    mGroup->windows.push_back(this);
    setCurrentRecord(this, mGroup->glew);
    if (mWidget->headless()) {
        // Made once the window is registered: the framebuffer's owner deletes it with this
        // window's context. The context is new, so there is no application state to keep.
        mFrameColour = GLRenderbuffer::create();
        mFrameDepth = GLRenderbuffer::create();
        mFrame = GLFramebuffer::create();
        mWidget->getFrameBufferSize(&mDrawableWidth, &mDrawableHeight);
        sizeFrame(mDrawableWidth, mDrawableHeight);
        glBindFramebuffer(GL_FRAMEBUFFER, mFrame.get());
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  mFrameColour.get());
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                  mFrameDepth.get());
        if (hasExtension("GL_MESA_framebuffer_flip_y"))
            glFramebufferParameteri(GL_FRAMEBUFFER, FRAMEBUFFER_FLIP_Y_MESA, GL_TRUE);
        const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        if (status != GL_FRAMEBUFFER_COMPLETE) {
            mFrame.reset();
            mFrameDepth.reset();
            mFrameColour.reset();
            mGroup->windows.pop_back();
            unregisterWindow(this, mID);
            mWidget.reset();
            previous.restore();
            ZV_FAIL(HeadlessFramebuffer, "window_impl constructor");
        }
        mFrameBuffer = mFrame.get();
    }
    if (p) {
        mColorMaps = p->mColorMaps;
    } else {
        mColorMaps = std::make_shared<colormap_impl>();
    }
    mColorMaps->select(zv::ZV_CMAP_DEFAULT, mColorMapUBO, mColorMapLen);
    glEnable(GL_MULTISAMPLE);
    // The driver took up the window's size when the context was first made current.
    mWidget->getFrameBufferSize(&mDrawableWidth, &mDrawableHeight);
}

bool window_impl::sizeFrame(int w, int h) {
    GLint bound = 0;
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &bound);
    bool allocated = true;
    const auto storage = [&](GLuint renderbuffer, GLenum format) {
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, FRAME_SAMPLES, format, w, h);
        GLint gotW = 0, gotH = 0;
        glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &gotW);
        glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &gotH);
        if (gotW != w || gotH != h) allocated = false;
    };
    storage(mFrameColour.get(), GL_SRGB8_ALPHA8);
    storage(mFrameDepth.get(), GL_DEPTH24_STENCIL8);
    // The out-of-memory error of a failed allocation is the library's, not the application's.
    if (!allocated) glGetError();
    glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(bound));
    return allocated;
}

void window_impl::makeCurrent() const { mWidget->makeContextCurrent(); }

bool window_impl::followResize(int& w, int& h) {
    // w x h is the size the X server gives the window now (asked synchronously, so a
    // setSize() before it is done). The driver takes up the drawable's size only when it
    // validates the framebuffer after a swap (or the context's creation): at this draw's first
    // drawing, or earlier at whatever read or drew the window's framebuffer in between (a
    // snapshot, the application's own GL), perhaps before the resize. Which of those happened
    // cannot be told, so any size other than the one the last draw filled has a swap made
    // now, of what the back buffer holds: it has the driver ask again at this draw's first
    // drawing, after the X server's answer above, and so fill w x h.
    // A headless window's framebuffer object simply takes the new size.
    bool replaced = false;
    if (w != mDrawableWidth || h != mDrawableHeight) {
        if (mWidget->headless()) {
            // A size the driver cannot allocate (4 samples of 16384 x 16384 pixels are 8 GiB)
            // keeps the size the last draw filled, and the window reports that one.
            if (!sizeFrame(w, h)) {
                sizeFrame(mDrawableWidth, mDrawableHeight);
                mWidget->setSize(static_cast<unsigned>(mDrawableWidth),
                                 static_cast<unsigned>(mDrawableHeight));
                w = mDrawableWidth;
                h = mDrawableHeight;
                return true;
            }
        } else {
            mWidget->swapBuffers();
        }
        replaced = true;
    }
    mDrawableWidth = w;
    mDrawableHeight = h;
    return replaced;
}

void window_impl::swapBuffers() { mWidget->swapBuffers(); }

void window_impl::watch(const std::weak_ptr<WindowWatcher>& watcher) {
    mWatchers.erase(std::remove_if(mWatchers.begin(), mWatchers.end(),
                                   [](const std::weak_ptr<WindowWatcher>& w) { return w.expired(); }),
                    mWatchers.end());
    mWatchers.push_back(watcher);
}

window_impl::~window_impl() {
    // Whatever ends with the window ends first, while all of it is still there.
    for (const std::weak_ptr<WindowWatcher>& w : std::vector<std::weak_ptr<WindowWatcher>>(mWatchers))
        if (const std::shared_ptr<WindowWatcher> watcher = w.lock()) watcher->windowGone();
    // What was current before, the application's own context included, is current again
    // afterwards; nothing is when this window's context was.
    const SavedCurrent previous;
    // Everything released below may delete GL names of this group, so one of its contexts,
    // this window's own, is current while it happens.
    MakeContextCurrent(this);
    mFont.reset();
    mColorMaps.reset();
    mFrame.reset();
    mFrameDepth.reset();
    mFrameColour.reset();
    releaseResources();
    auto& windows = mGroup->windows;
    if (windows.size() == 1) {
        // The last window of the group: group-wide objects go while a context of it remains.
        auto resources = std::move(mGroup->resources);
        mGroup->resources.clear();
        resources.clear();
    }
    windows.erase(std::find(windows.begin(), windows.end(), this));
    unregisterWindow(this, mID);
    mWidget.reset();
    previous.restore();
}

namespace {
// An object's names exist only in the share group it was made in; bound in another group's
// context they would name nothing or, worse, another object there that happens to have the
// same number, which the draw would then read and overwrite.
void requireSameGroup(const std::shared_ptr<ShareGroup>& objectGroup,
                      const std::shared_ptr<ShareGroup>& group, const char* label,
                      int argIndex) {
    if (objectGroup != group) {
        ZV_FAIL_ARG(ObjectInOtherGroup, label, argIndex);
    }
}
}  // namespace

void window_impl::setFont(const std::shared_ptr<font_impl>& font) {
    requireSameGroup(font->group(), mGroup, "Window::setFont", 1);
    mFont = font;
}
void window_impl::setTitle(const char* title) { mWidget->setTitle(title); }
void window_impl::setPos(int x, int y) { mWidget->setPos(x, y); }
void window_impl::setSize(unsigned width, unsigned height) { mWidget->setSize(width, height); }
void window_impl::hide() { mWidget->hide(); }
void window_impl::show() { mWidget->show(); }
bool window_impl::close() const { return mWidget->close(); }

void window_impl::setColorMap(zv::ColorMap map) {
    mColorMaps->select(map, mColorMapUBO, mColorMapLen);
}


void window_impl::setStyle(const zv::Style& style) {
    checkStyle(style, "Window::setStyle");
    mStyle = style;
}

DrawContext window_impl::drawContext(const PixelArea& area, const PixelArea& viewport) const {
    DrawContext d;
    d.style = &mStyle;
    d.windowId = mID;
    d.area = area;
    d.viewport = viewport;
    d.colorMap = mColorMapUBO;
    d.colorMapRows = mColorMapLen;
    return d;
}

void window_impl::draw(const std::shared_ptr<AbstractRenderable>& r) {
    requireSameGroup(r->group(), mGroup, "Window::draw", 1);
    // The size is asked first: the query reaches the X server and so finds a window another
    // client destroyed before anything is drawn into it. Such a window stays closed; events
    // are still polled, as a closed window's draw does.
    int w = 0, h = 0;
    mWidget->getFrameBufferSize(&w, &h);
    if (mWidget->gone()) {
        pollEvents();
        return;
    }
    MakeContextCurrent(this);
    mWidget->resetCloseFlag();
    followResize(w, h);
    // Draws into this window whatever the application left bound or enabled, and puts its
    // state back afterwards; depth testing is off, so draw order decides what is on top.
    // The state goes back before the polling: a callback may make another context current.
    std::optional<GLStateGuard> guard(std::in_place);
    clearFrame(w, h, mStyle);
    mClearPending = false;
    const PixelArea whole{0, 0, w, h};
    const DrawnFrame drawn = r->render(drawContext(whole, whole));
    mInteraction.drewWhole(r, drawn, w, h);
    if (mInteraction.zoomBoxIn(-1, -1)) drawZoomBox();
    if (mInteraction.readout()) {
        const int viewport[4] = {0, 0, w, h};
        drawReadout(-1, -1, viewport, w, h);
    }
    swapBuffers();
    guard.reset();
    if (!pollEvents()) return;  // a callback destroyed the window
}

// The zoom box the mouse is dragging, as a one-pixel outline: four scissored clears, which
// need no program and leave nothing bound. Leaves the scissor test on, the clear colour black.
void window_impl::drawZoomBox() {
    PixelArea b;
    if (!mInteraction.zoomBox(b)) return;
    glEnable(GL_SCISSOR_TEST);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    const PixelArea edges[4] = {{b.x, b.y, b.width, 1},
                                {b.x, b.y + b.height - 1, b.width, 1},
                                {b.x, b.y, 1, b.height},
                                {b.x + b.width - 1, b.y, 1, b.height}};
    for (const PixelArea& e : edges) {
        glScissor(e.x, e.y, e.width, e.height);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

void window_impl::drawReadout(int column, int row, const int viewport[4], int fbW, int fbH) {
    Interaction::Readout r;
    if (!mInteraction.readoutIn(column, row, r)) return;
    const PixelFrame& f = r.frame;
    const int left = static_cast<int>(std::lround(f.left));
    const int bottom = static_cast<int>(std::lround(f.bottom));
    const int width = static_cast<int>(std::lround(f.width));
    const int height = static_cast<int>(std::lround(f.height));
    const int px = static_cast<int>(std::floor(r.at.x)), py = static_cast<int>(std::floor(r.at.y));
    glEnable(GL_SCISSOR_TEST);
    // The crosshair, grey so that it reads over the white frame's inside and the data alike.
    glClearColor(0.6f, 0.6f, 0.6f, 1.0f);
    glScissor(px, bottom, 1, height);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(left, py, width, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // The text on a black box in the frame's top-left corner, clipped to the frame.
    font_impl& font = *r.chart->font();
    const int size = CHART_TEXT_SIZE;
    const int pad = 4;
    const int textWidth = static_cast<int>(font.textWidth(r.text, size));
    const int boxW = std::min(textWidth + 2 * pad, width - 2);
    const int boxH = std::min(size + 2 * pad, height - 2);
    const int top = bottom + height;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glScissor(left + 1, top - 1 - boxH, std::max(boxW, 0), std::max(boxH, 0));
    glClear(GL_COLOR_BUFFER_BIT);
    // The window's pixels as text units; the text clipped to the box.
    glViewport(0, 0, fbW, fbH);
    static const float WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const float pos[2] = {static_cast<float>(left + 1 + pad),
                          static_cast<float>(top - 1 - pad - size + size / 4)};
    font.render(mID, fbW, fbH, pos, WHITE, r.text, size, false);
    glDisable(GL_SCISSOR_TEST);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

void window_impl::grid(int rows, int columns) {
    if (rows < 1) ZV_FAIL(GridRows, "Window::grid");
    if (columns < 1) ZV_FAIL(GridColumns, "Window::grid");
    mRows = rows;
    mCols = columns;
    int w = 0, h = 0;
    mWidget->getFrameBufferSize(&w, &h);  // first: it finds a destroyed window (see draw)
    if (mWidget->gone()) return;
    // Acts on this window even when another window's context is current.
    MakeContextCurrent(this);
    followResize(w, h);
    GLStateGuard guard;
    clearFrame(w, h, mStyle);
    mClearPending = false;
    mCellWidth = w / columns;
    mCellHeight = h / rows;
    mInteraction.laidGrid(rows, columns);
}

void window_impl::draw(int column, int row, const std::shared_ptr<AbstractRenderable>& r,
                       const char* title) {
    if (mRows < 1 || mCols < 1) {
        ZV_FAIL(CellWithoutGrid, "Window::draw(column, row)");
    }
    requireSameGroup(r->group(), mGroup, "Window::draw(column, row)", 3);
    if (title && !mFont) {
        ZV_FAIL(CaptionWithoutFont, "Window::draw(column, row)");
    }
    int w = 0, h = 0;
    mWidget->getFrameBufferSize(&w, &h);  // first: it finds a destroyed window (see draw)
    if (mWidget->gone()) return;
    MakeContextCurrent(this);
    mWidget->resetCloseFlag();
    if (followResize(w, h)) mClearPending = true;
    GLStateGuard guard;
    if (mClearPending) {
        // The first cell of a new frame: what draw() presented goes now.
        clearFrame(w, h, mStyle);
        mClearPending = false;
        mInteraction.newGridFrame();
    }
    CellLayout c = cellLayout(w, h, mRows, mCols, column, row, captionBand(mStyle, title));
    mCellWidth = c.width;
    mCellHeight = c.height;
    glViewport(c.vx, c.vy, c.vwidth, c.vheight);
    glScissor(c.vx, c.vy, c.vwidth, c.vheight);
    glEnable(GL_SCISSOR_TEST);
    // Every draw leaves the clear colour black, as the window documents.
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    const DrawnFrame drawn =
        r->render(drawContext({c.x, c.y, c.width, c.height}, {c.vx, c.vy, c.vwidth, c.vheight}));
    mInteraction.drewCell(column, row, r, drawn, w, h);
    if (mInteraction.zoomBoxIn(column, row)) drawZoomBox();
    if (mInteraction.readout()) {
        const int viewport[4] = {c.vx, c.vy, c.vwidth, c.vheight};
        drawReadout(column, row, viewport, w, h);
    }
    glDisable(GL_SCISSOR_TEST);
    glViewport(c.x, c.y, c.width, c.height);
    if (title && captionBand(mStyle, title) < 0) {
        // The caption's text units are the cell's pixels.
        float pos[2] = {c.captionX, c.captionY};
        float colour[4];
        colorToFloats(mStyle.caption, colour);
        mFont->render(mID, c.width, c.height, pos,
                      mStyle.caption == zv::Style().caption ? RED : colour, title,
                      mStyle.captionSize, false);
    } else if (title) {
        // Centred in its band, written smaller when wider than the cell's drawing area.
        const float room = static_cast<float>(c.vwidth);
        int size = mStyle.captionSize;
        while (size > 1 && static_cast<float>(mFont->textWidth(title, size)) > room) --size;
        const float width = static_cast<float>(mFont->textWidth(title, size));
        const float nominal = static_cast<float>(mStyle.captionSize);
        float pos[2] = {0.5f * (static_cast<float>(c.width) - width),
                        static_cast<float>(c.height) - 3.0f - 0.95f * nominal};
        float colour[4];
        colorToFloats(mStyle.caption, colour);
        mFont->render(mID, c.width, c.height, pos, colour, title, size, false);
    }
}

void window_impl::draw() {
    if (mWidget->gone()) {
        pollEvents();
        return;
    }
    MakeContextCurrent(this);
    swapBuffers();
    if (!pollEvents()) return;  // a callback destroyed the window
    // The back buffer keeps the presented frame after the swap (the drivers this runs on keep
    // it), for snapshot(); the next frame's first cell draw clears it.
    mClearPending = true;
}

zv::Size window_impl::framebufferSize() const {
    zv::Size size;
    mWidget->getFrameBufferSize(&size.width, &size.height);
    return size;
}

namespace {
// What a callback threw after destroying its window: thrown by the draw that polled, as
// the window's own next draw cannot.
std::exception_ptr gOrphanedCallbackError;

// Takes the error out of `slot` and throws it, when there is one.
void rethrowPending(std::exception_ptr& slot) {
    if (!slot) return;
    std::exception_ptr error = slot;
    slot = nullptr;
    std::rethrow_exception(error);
}
}  // namespace

bool window_impl::pollEvents() {
    if (wtk::Widget::dispatching()) return true;
    const std::weak_ptr<const char> alive = mLife;
    // A callback may draw another window or take its snapshot, which makes that one current.
    const SavedCurrent previous;
    const void* context = currentAnyContext();
    const Context* window = currentWindow();
    wtk::Widget::pollEvents();
    if (alive.expired()) {
        // The window, and the context that was current with it, are gone; what was current
        // before it is current again (see ~window_impl).
        rethrowPending(gOrphanedCallbackError);
        return false;
    }
    if (currentAnyContext() != context || currentWindow() != window) previous.restore();
    rethrowPending(mCallbackError);
    rethrowPending(gOrphanedCallbackError);
    return true;
}

template <typename F>
void window_impl::guarded(const F& f) {
    const std::weak_ptr<const char> alive = mLife;
    try {
        f();
    } catch (...) {
        std::exception_ptr& slot = alive.expired() ? gOrphanedCallbackError : mCallbackError;
        if (!slot) slot = std::current_exception();
    }
}

// An exception must not unwind through the window system's C code: it is kept and thrown
// again once polling is over, and the remaining events still reach their callbacks. The
// callback is held for its call, so that it outlives its own replacement or removal.
template <typename F, typename... A>
void window_impl::call(const WindowCallbacks::Shared<F>& callback, A... args) {
    if (!callback) return;
    const WindowCallbacks::Shared<F> running = callback;
    guarded([&] { (*running)(args...); });
}

// The mouse moves limits first, so the application's callbacks already see the new ones.
void window_impl::keyEvent(int key, int scancode, int action, int mods) {
    guarded([&] { mInteraction.key(key, action); });
    call(mCallbacks.key, key, scancode, action, mods);
}
void window_impl::mouseButtonEvent(int button, int action, int mods, double x, double y) {
    guarded([&] { mInteraction.button(button, action, mods, x, y); });
    call(mCallbacks.mouseButton, button, action, mods, x, y);
}
void window_impl::cursorEvent(double x, double y) {
    guarded([&] { mInteraction.cursor(x, y); });
    call(mCallbacks.cursor, x, y);
}
void window_impl::scrollEvent(double dx, double dy, int mods, double x, double y) {
    guarded([&] { mInteraction.scroll(dy, mods, x, y); });
    call(mCallbacks.scroll, dx, dy);
}
void window_impl::framebufferSizeEvent(int width, int height) {
    call(mCallbacks.resize, width, height);
}

zv::Snapshot window_impl::snapshot() {
    int w = 0, h = 0;
    mWidget->getFrameBufferSize(&w, &h);
    if (mWidget->gone()) return zv::Snapshot();  // nothing left to read
    MakeContextCurrent(this);
    return readWindowPixels(w, h);
}

}  // namespace internal
