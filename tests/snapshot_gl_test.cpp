// Snapshots: what a window shows, read back through a resolving blit, compared with the
// picture the X server holds for the window, and written as PNG.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include "glfw/window.hpp"
#include "support/gl_test.hpp"
#include "support/glfw_util.hpp"
#include "support/robust_util.hpp"
#include "window/window.hpp"
#include "zarvo.h"

// GLFW's native-access header would also pull in the RandR headers; these two are all the
// test needs from it.
extern "C" {
Display* glfwGetX11Display(void);
::Window glfwGetX11Window(GLFWwindow* window);
}

namespace {

const char* DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

std::string outputPath(const std::string& name) {
    const char* dir = std::getenv("ZV_TEST_OUTPUT_DIR");
    std::string d = dir ? dir : ".";
    std::string mk = "mkdir -p '" + d + "'";
    if (std::system(mk.c_str()) != 0) return name;
    return d + "/" + name;
}

// A scatter plot of circles over a diagonal: round markers and a sloped line have edges
// that only a resolved multisampled picture shows with intermediate levels.
void fillDiagonal(zv::Window& window, zv::Plot& plot, unsigned n) {
    window.makeCurrent();
    std::vector<float> xy(2 * n);
    for (unsigned i = 0; i < n; ++i) {
        xy[2 * i] = static_cast<float>(i) / static_cast<float>(n - 1);
        xy[2 * i + 1] = 0.8f * xy[2 * i] + 0.1f * std::sin(9.0f * xy[2 * i]);
    }
    glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(xy.size() * sizeof(float)),
                    xy.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    plot.setAxesLimits(1.0f, 0.0f, 1.0f, 0.0f);
}

// The X server's picture of a window, as RGBA rows top to bottom.
zv::Snapshot serverPicture(GLFWwindow* native, int width, int height) {
    Display* display = glfwGetX11Display();
    XSync(display, False);
    zv::Snapshot s;
    XImage* image = XGetImage(display, glfwGetX11Window(native), 0, 0,
                              static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) return s;
    s.width = width;
    s.height = height;
    s.rgba.resize(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned long p = XGetPixel(image, x, y);
            unsigned char* d = &s.rgba[(static_cast<size_t>(y) * width + x) * 4];
            d[0] = static_cast<unsigned char>((p & image->red_mask) >> 16);
            d[1] = static_cast<unsigned char>((p & image->green_mask) >> 8);
            d[2] = static_cast<unsigned char>(p & image->blue_mask);
            d[3] = 255;
        }
    XDestroyImage(image);
    return s;
}

// Largest difference of any colour channel, and the number of pixels whose colour differs.
struct Difference {
    int largest = 0;
    int pixels = 0;
};
Difference compareRGB(const zv::Snapshot& a, const zv::Snapshot& b) {
    Difference d;
    for (size_t i = 0; i + 3 < a.rgba.size() && i + 3 < b.rgba.size(); i += 4) {
        int worst = 0;
        for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(a.rgba[i + c] - b.rgba[i + c]));
        d.largest = std::max(d.largest, worst);
        if (worst) ++d.pixels;
    }
    return d;
}

void savePPM(const zv::Snapshot& s, const std::string& name) {
    std::ofstream f(outputPath(name + ".ppm"), std::ios::binary);
    f << "P6\n" << s.width << " " << s.height << "\n255\n";
    for (size_t i = 0; i < s.rgba.size(); i += 4) f.write(reinterpret_cast<const char*>(&s.rgba[i]), 3);
}

// The X server's picture is what a person sees; the snapshot must equal it, for a whole
// window draw and for a grid frame presented by draw(). Reading the multisampled back buffer
// without resolving it does not (one sample per pixel on this renderer), which shows the
// comparison can tell the two apart.
TEST(SnapshotGLTest, EqualsWhatTheXServerShows) {
    const int W = 320, H = 240;
    zv::Window window(W, H, "snapshot");
    GLFWwindow* native = window.get()->impl()->get()->getNativeHandle();
    ASSERT_TRUE(zvtest::isVisible(native));
    zv::Font font;
    font.loadFont(DEJAVU, 16);
    window.setFont(&font);
    const unsigned n = 24;
    zv::Plot plot(n, zv::ZV_FLOAT32, zv::ZV_PLOT_SCATTER, zv::ZV_MARKER_CIRCLE);
    fillDiagonal(window, plot, n);

    for (bool grid : {false, true}) {
        SCOPED_TRACE(grid ? "grid frame" : "whole window");
        if (grid) {
            window.grid(1, 2);
            window.draw(0, 0, plot, "left");
            window.draw(1, 0, plot, "right");
            window.draw();
        } else {
            window.draw(plot);
        }
        // Let the server catch up with the presented frame.
        glfwPollEvents();
        zv::Snapshot snap = window.snapshot();
        zv::Snapshot server = serverPicture(native, W, H);
        ASSERT_EQ(W, snap.width);
        ASSERT_EQ(H, snap.height);
        ASSERT_EQ(snap.rgba.size(), server.rgba.size()) << "XGetImage failed";
        Difference d = compareRGB(snap, server);
        EXPECT_LE(d.largest, 1) << d.pixels << " pixels differ";
        // The picture is not empty: markers, border and labels are there.
        int lit = 0;
        for (size_t i = 0; i < snap.rgba.size(); i += 4) lit += snap.rgba[i] > 60;
        EXPECT_GT(lit, 500);
        for (size_t i = 3; i < snap.rgba.size(); i += 4) ASSERT_EQ(255, snap.rgba[i]);

        // The back buffer read sample by sample, turned top to bottom like the snapshot.
        window.makeCurrent();
        zvtest::Snapshot raw = zvtest::readBack(0, 0, W, H);
        zv::Snapshot unresolved{W, H, std::vector<unsigned char>(raw.rgba.size())};
        const size_t row = static_cast<size_t>(W) * 4;
        for (int y = 0; y < H; ++y)
            std::copy(&raw.rgba[row * y], &raw.rgba[row * y] + row,
                      &unresolved.rgba[row * (H - 1 - y)]);
        EXPECT_GT(compareRGB(unresolved, server).largest, 8)
            << "the unresolved read already equals the screen: the check above proves nothing";
        if (::testing::Test::HasFailure()) {
            savePPM(snap, grid ? "snapshot_grid" : "snapshot_whole");
            savePPM(server, grid ? "server_grid" : "server_whole");
        }
    }
    zvtest::expectNoGLError("snapshots");
}

// Rows run top to bottom, the size follows the framebuffer, a hidden window works, and the
// read-back leaves the application's framebuffer, pack and scissor state alone.
TEST(SnapshotGLTest, OrientationSizeAndStateOfAHiddenWindow) {
    zv::Window window(200, 100, "hidden", nullptr, true);
    window.makeCurrent();
    // Red top half, blue bottom half, through a plot-free frame: a histogram of zeros
    // draws only the chart, so the colours come from a scissored clear before presenting.
    zv::Histogram histogram(4, zv::ZV_FLOAT32);
    window.grid(1, 1);
    window.draw(0, 0, histogram);
    window.makeCurrent();
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 50, 200, 50);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(0, 0, 200, 50);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(3, 4, 5, 6);  // left on, as an application might
    glClearColor(0, 0, 0, 1);
    window.draw();

    GLuint appBuffer = 0;
    glGenBuffers(1, &appBuffer);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, appBuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 8);
    glPixelStorei(GL_PACK_ROW_LENGTH, 17);
    zv::Snapshot s = window.snapshot();
    GLint v = 0;
    glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &v);
    EXPECT_EQ(static_cast<GLint>(appBuffer), v);
    glGetIntegerv(GL_PACK_ALIGNMENT, &v);
    EXPECT_EQ(8, v);
    glGetIntegerv(GL_PACK_ROW_LENGTH, &v);
    EXPECT_EQ(17, v);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &v);
    EXPECT_EQ(0, v);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &v);
    EXPECT_EQ(0, v);
    glGetIntegerv(GL_READ_BUFFER, &v);
    EXPECT_EQ(GL_BACK, v);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    glDisable(GL_SCISSOR_TEST);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glDeleteBuffers(1, &appBuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    zvtest::expectNoGLError("snapshot");

    ASSERT_EQ(200, s.width);
    ASSERT_EQ(100, s.height);
    auto at = [&](int x, int y) { return &s.rgba[(static_cast<size_t>(y) * s.width + x) * 4]; };
    EXPECT_EQ(255, at(100, 0)[0]);   // top row: red
    EXPECT_EQ(0, at(100, 0)[2]);
    EXPECT_EQ(255, at(100, 99)[2]);  // bottom row: blue
    EXPECT_EQ(0, at(100, 99)[0]);

    // The size follows a resize of the window.
    window.setSize(160, 120);
    for (int i = 0; i < 100; ++i) {
        int w = 0, h = 0;
        glfwGetFramebufferSize(window.get()->impl()->get()->getNativeHandle(), &w, &h);
        if (w == 160 && h == 120) break;
        glfwWaitEventsTimeout(0.01);
    }
    window.draw(histogram);
    s = window.snapshot();
    EXPECT_EQ(160, s.width);
    EXPECT_EQ(120, s.height);
    EXPECT_EQ(s.rgba.size(), static_cast<size_t>(160 * 120 * 4));
}

// A PNG written by saveSnapshot reads back as the snapshot itself; unwritable paths raise
// with the path and the reason, and leave no file.
TEST(SnapshotGLTest, SavedPNGReadsBackAndBadPathsRaise) {
    zv::Window window(240, 160, "png", nullptr, true);
    const unsigned n = 16;
    zv::Plot plot(n, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_CROSS);
    fillDiagonal(window, plot, n);
    window.draw(plot);
    zv::Snapshot s = window.snapshot();
    const std::string path = outputPath("saved_snapshot.png");
    window.saveSnapshot(path);
    int w = 0, h = 0, channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &w, &h, &channels, 4);
    ASSERT_NE(nullptr, data) << path;
    EXPECT_EQ(4, channels);
    ASSERT_EQ(240, w);
    ASSERT_EQ(160, h);
    std::vector<unsigned char> png(data, data + static_cast<size_t>(w) * h * 4);
    stbi_image_free(data);
    EXPECT_TRUE(png == s.rgba) << "the PNG differs from the snapshot";

    struct Case {
        std::string path;
        const char* reason;
    } cases[] = {
        {outputPath("no-such-directory/picture.png"), "No such file or directory"},
        {"/proc/zarvo-cannot-write-here.png", ""},   // the reason depends on the kernel
        {outputPath(""), "Is a directory"},
        // A device is no place for a picture (and is never replaced): see
        // RefusesWhatIsNotARegularFile.
        {"/dev/full", "not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        try {
            window.saveSnapshot(c.path);
            ADD_FAILURE() << "no error";
        } catch (const zv::Error& e) {
            std::string what = e.what();
            EXPECT_EQ(zv::ZV_ERR_GL, e.err());
            EXPECT_NE(std::string::npos, what.find("\"" + c.path + "\"")) << what;
            EXPECT_NE(std::string::npos, what.find(c.reason)) << what;
            EXPECT_NE(std::string::npos, what.find("pass a path")) << what;
        }
    }
    std::ifstream missing(outputPath("no-such-directory/picture.png"));
    EXPECT_FALSE(missing.good());
}

// The names in a directory.
std::set<std::string> entries(const std::string& dir) {
    std::set<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) names.insert(e->d_name);
        closedir(d);
    }
    return names;
}

bool isLink(const std::string& path, const std::string& target) {
    char buf[PATH_MAX];
    const ssize_t n = readlink(path.c_str(), buf, sizeof buf);
    return n >= 0 && std::string(buf, static_cast<size_t>(n)) == target;
}

// Whether `path` holds a PNG that decodes to the snapshot.
bool holdsSnapshot(const std::string& path, const zv::Snapshot& s) {
    int w = 0, h = 0, channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &w, &h, &channels, 4);
    if (!data) return false;
    const bool same = w == s.width && h == s.height &&
                      std::equal(s.rgba.begin(), s.rgba.end(), data);
    stbi_image_free(data);
    return same;
}

// A window showing a plot, and its snapshot.
struct Saver {
    zv::Window window{240, 160, "save", nullptr, true};
    zv::Plot plot{16, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_CROSS};
    zv::Snapshot shown;
    Saver() {
        fillDiagonal(window, plot, 16);
        window.draw(plot);
        shown = window.snapshot();
    }
    // The message of the error saving to `path` raises; empty when it raises none.
    std::string failure(const std::string& path) {
        try {
            window.saveSnapshot(path);
        } catch (const zv::Error& e) {
            EXPECT_EQ(zv::ZV_ERR_GL, e.err());
            return e.what();
        }
        return std::string();
    }
};

// A save replaces the file only with a complete picture, and through symbolic links writes
// the file they name: the links stay links, chains and dangling links included.
TEST(SnapshotGLTest, SavesThroughLinksToTheFileTheyName) {
    zvtest::TempDir dir;
    const std::string d = dir.path() + "/";
    dir.write("kept.png", "the previous picture");
    ASSERT_EQ(0, symlink("kept.png", (d + "link.png").c_str()));
    ASSERT_EQ(0, symlink((d + "link.png").c_str(), (d + "chain.png").c_str()));
    ASSERT_EQ(0, symlink("new.png", (d + "dangling.png").c_str()));
    ASSERT_EQ(0, symlink("loop-b.png", (d + "loop-a.png").c_str()));
    ASSERT_EQ(0, symlink("loop-a.png", (d + "loop-b.png").c_str()));
    Saver saver;

    saver.window.saveSnapshot(d + "chain.png");
    EXPECT_TRUE(holdsSnapshot(d + "kept.png", saver.shown));
    EXPECT_TRUE(isLink(d + "link.png", "kept.png"));
    EXPECT_TRUE(isLink(d + "chain.png", d + "link.png"));
    saver.window.saveSnapshot(d + "dangling.png");
    EXPECT_TRUE(holdsSnapshot(d + "new.png", saver.shown));
    EXPECT_TRUE(isLink(d + "dangling.png", "new.png"));

    const std::string loop = saver.failure(d + "loop-a.png");
    EXPECT_NE(std::string::npos, loop.find("Too many levels of symbolic links")) << loop;
    EXPECT_TRUE(isLink(d + "loop-a.png", "loop-b.png"));
    // Nothing else was left in the directory.
    EXPECT_EQ((std::set<std::string>{".", "..", "kept.png", "link.png", "chain.png",
                                     "dangling.png", "new.png", "loop-a.png", "loop-b.png"}),
              entries(dir.path()));
}

// A directory where writing fails as on a full disk: a 64 KiB tmpfs mounted on it and filled
// up where this process may mount one, elsewhere a limit on the size of the files this
// process writes. Made full by fill(), after the files the test needs are in place.
class FullDirectory {
public:
    explicit FullDirectory(const std::string& path) : mPath(path) {
        mMounted = mount("tmpfs", path.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~FullDirectory() {
        if (mMounted) {
            umount2(mPath.c_str(), MNT_DETACH);
        } else if (mLimited) {
            setrlimit(RLIMIT_FSIZE, &mLimit);
            std::signal(SIGXFSZ, mSignal);
        }
    }
    FullDirectory(const FullDirectory&) = delete;
    FullDirectory& operator=(const FullDirectory&) = delete;

    void fill() {
        if (mMounted) {
            const int fd = open((mPath + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
            ASSERT_GE(fd, 0);
            const std::vector<char> block(4096, 'x');
            while (write(fd, block.data(), block.size()) > 0) {
            }
            close(fd);
            return;
        }
        // Past the limit a write fails with EFBIG, once SIGXFSZ no longer ends the process.
        ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &mLimit));
        mSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = mLimit;
        small.rlim_cur = 64;
        ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
        mLimited = true;
    }
    const char* reason() const { return mMounted ? "No space left on device" : "File too large"; }

private:
    std::string mPath;
    bool mMounted = false;
    bool mLimited = false;
    rlimit mLimit{};
    void (*mSignal)(int) = SIG_DFL;
};

// A save that fails part way (here on a full disk) leaves the file it would have replaced as
// it was, and a link to it a link, with no partial file beside them.
TEST(SnapshotGLTest, FailedSaveKeepsTheFileItWouldReplace) {
    zvtest::TempDir dir;
    Saver saver;
    FullDirectory full(dir.path());
    const std::string kept = dir.write("kept.png", "the previous picture");
    const std::string link = dir.path() + "/link.png";
    ASSERT_EQ(0, symlink("kept.png", link.c_str()));
    ASSERT_NO_FATAL_FAILURE(full.fill());
    const std::set<std::string> before = entries(dir.path());
    for (const std::string& path : {kept, link}) {
        SCOPED_TRACE(path);
        const std::string what = saver.failure(path);
        EXPECT_NE(std::string::npos, what.find("\"" + path + "\"")) << what;
        EXPECT_NE(std::string::npos, what.find(full.reason())) << what;
        EXPECT_EQ("the previous picture", zvtest::readFileBytes(kept));
        EXPECT_TRUE(isLink(link, "kept.png"));
        EXPECT_EQ(before, entries(dir.path()));
    }
}

// Only a regular file, or a path where there is none, is written: opening a FIFO would wait
// for a reader (and writing one whose reader left raise SIGPIPE), and a device must not be
// replaced. Here the FIFO has a reader, so a write would not even block: it must still be
// refused, and the reader must get nothing.
TEST(SnapshotGLTest, RefusesWhatIsNotARegularFile) {
    alarm(60);  // a save that blocks ends the test instead of hanging it
    zvtest::TempDir dir;
    const std::string fifo = dir.path() + "/pipe.png", link = dir.path() + "/to-pipe.png";
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    ASSERT_EQ(0, symlink("pipe.png", link.c_str()));
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    Saver saver;
    for (const std::string& path : {fifo, link, std::string("/dev/null")}) {
        SCOPED_TRACE(path);
        const std::string what = saver.failure(path);
        EXPECT_NE(std::string::npos, what.find("\"" + path + "\"")) << what;
        EXPECT_NE(std::string::npos, what.find("not a regular file")) << what;
        EXPECT_NE(std::string::npos, what.find("pass a path")) << what;
    }
    char byte = 0;
    EXPECT_LE(read(reader, &byte, 1), 0) << "the FIFO's reader received data";
    close(reader);
    struct stat info {};
    ASSERT_EQ(0, lstat(fifo.c_str(), &info));
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ASSERT_EQ(0, stat("/dev/null", &info));
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    alarm(0);
}

}  // namespace

namespace {

// Pixels of the server's picture whose green channel is at least `level`.
int litPixels(const zv::Snapshot& s, int level) {
    int n = 0;
    for (size_t i = 1; i < s.rgba.size(); i += 4) n += s.rgba[i] >= level;
    return n;
}

// A program that resizes its window and then draws once must see the new size filled on
// screen, not the old size or nothing: the driver gives a window its new buffers only at a
// later swap unless the draw waits for the resize. Growing and shrinking, whole window and
// grid, each checked against the X server's picture.
TEST(SnapshotGLTest, FirstDrawAfterSetSizeFillsTheNewSizeOnScreen) {
    zv::Window window(200, 150, "resized");
    GLFWwindow* native = window.get()->impl()->get()->getNativeHandle();
    ASSERT_TRUE(zvtest::isVisible(native));
    zv::Image image(8, 8, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
    window.makeCurrent();
    std::vector<unsigned char> white(64, 255);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, image.pbo());
    glBufferSubData(GL_PIXEL_UNPACK_BUFFER, 0, 64, white.data());
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    // The first case resizes before the window's first frame: nothing has been swapped yet.
    // The last lays the grid out before the resize, the cells after it.
    struct Case {
        int width, height;
        bool grid, gridBeforeResize;
    };
    const Case cases[] = {{400, 300, false, false},
                          {160, 120, false, false},
                          {360, 240, true, false},
                          {300, 260, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) +
                     (c.grid ? " grid" : " whole window"));
        if (c.gridBeforeResize) window.grid(1, 1);
        window.setSize(static_cast<unsigned>(c.width), static_cast<unsigned>(c.height));
        if (c.grid) {
            if (!c.gridBeforeResize) window.grid(1, 1);
            window.draw(0, 0, image, nullptr, false);
            window.draw();
        } else {
            window.draw(image, false);
        }
        const zv::Size size = window.framebufferSize();
        EXPECT_EQ(c.width, size.width);
        EXPECT_EQ(c.height, size.height);
        zv::Snapshot server = serverPicture(native, c.width, c.height);
        ASSERT_EQ(static_cast<size_t>(c.width) * c.height * 4, server.rgba.size());
        // The whole window is the image, white; a cell keeps its margins and caption band
        // (2% at the sides and below, about 10% above) black.
        const int expected = c.grid ? (c.width - 2 * int(c.width * 0.02f)) *
                                          (c.height - 2 * int(c.height * 0.06f))
                                    : c.width * c.height;
        const int lit = litPixels(server, 250);
        // Edges of the image may fall half a pixel either way: a row and a column.
        EXPECT_NEAR(expected, lit, c.width + c.height);
        if (std::abs(expected - lit) > c.width + c.height)
            savePPM(server, "first_draw_after_resize_" + std::to_string(c.width));
    }
}

}  // namespace
