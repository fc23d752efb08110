#include "window/snapshot.hpp"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "exception/raise.hpp"
#include "gl/state_guard.hpp"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace internal {

namespace {

// A single-sample colour target of one snapshot's size. Framebuffer objects are not shared
// between contexts, so the target lives for one read-back in the context that made it.
class ResolveTarget {
public:
    ResolveTarget(int width, int height)
        : mColour(GLRenderbuffer::create()), mFramebuffer(GLFramebuffer::create()) {
        glBindRenderbuffer(GL_RENDERBUFFER, mColour.get());
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, mFramebuffer.get());
        glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  mColour.get());
    }
    GLuint framebuffer() const { return mFramebuffer.get(); }

private:
    GLRenderbuffer mColour;
    GLFramebuffer mFramebuffer;  // goes first: it holds the colour
};

}  // namespace

zv::Snapshot readWindowPixels(int width, int height) {
    zv::Snapshot picture;
    if (width < 1 || height < 1) return picture;
    // The application's state stays out of the read: the guard reads from the default
    // framebuffer's back buffer, with no scissor test or sRGB conversion (both act on the
    // blit below), no pixel-pack buffer and tightly packed rows (alignment 4 suits rows of
    // RGBA bytes), and puts back all of it, including the bindings made here.
    GLStateGuard guard;
    // Reading a multisampled back buffer directly gives one sample per pixel on some
    // drivers, not the averaged picture the screen gets: a blit into a single-sample target
    // resolves it the way presenting does. Deleting the target unbinds it.
    ResolveTarget target(width, height);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer());
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    const size_t row = static_cast<size_t>(width) * 4;
    std::vector<unsigned char> bottomUp(row * static_cast<size_t>(height));
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    // OpenGL counts rows from the bottom; pictures and files count them from the top. The
    // window is shown opaque whatever alpha blending left in the buffer (text leaves
    // coverage there), so the picture is opaque too.
    picture.width = width;
    picture.height = height;
    picture.rgba.resize(bottomUp.size());
    for (int y = 0; y < height; ++y) {
        unsigned char* out = &picture.rgba[row * static_cast<size_t>(height - 1 - y)];
        std::memcpy(out, &bottomUp[row * static_cast<size_t>(y)], row);
        for (size_t a = 3; a < row; a += 4) out[a] = 255;
    }
    return picture;
}

namespace {

// The encoder's output, collected whole before any file is touched.
void appendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<unsigned char>*>(context);
    if (size <= 0) return;
    const auto* first = static_cast<const unsigned char*>(data);
    bytes->insert(bytes->end(), first, first + size);
}

const char* const WHERE = "Window::saveSnapshot";

[[noreturn]] void cannotWrite(const std::string& path, int error) {
    ZV_FAIL(SnapshotUnwritable, WHERE, path, std::strerror(error ? error : EIO));
}

// The directory part of a path, with its trailing slash ("" for a bare name).
std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The name a write to `path` lands on: symbolic links in the last component are followed,
// as opening the path would follow them, so that the file they name is replaced and the
// links stay. A link's relative target is relative to the link's directory. Returns an errno
// value, or 0.
int followLinks(std::string& path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return 0;
        std::vector<char> target(PATH_MAX);
        const ssize_t n = readlink(path.c_str(), target.data(), target.size());
        if (n < 0) return errno;
        if (static_cast<size_t>(n) >= target.size()) return ENAMETOOLONG;
        std::string next(target.data(), static_cast<size_t>(n));
        path = next.empty() || next[0] == '/' ? next : directoryOf(path) + next;
    }
    return ELOOP;
}

// A new file beside `target` that no other name can be: created exclusively and never
// through a link, with the permissions a new file of this process gets.
int createTemporary(const std::string& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = directoryOf(target) + ".zarvo-snapshot-" + std::to_string(getpid()) + "-" +
               std::to_string(counter.fetch_add(1)) + ".tmp";
        const int fd =
            open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

int writeAll(int fd, const std::vector<unsigned char>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        done += static_cast<size_t>(n);
    }
    return 0;
}

}  // namespace

void writePNG(const zv::Snapshot& picture, const std::string& path) {
    if (picture.width < 1 || picture.height < 1)
        ZV_FAIL(SnapshotNoPixels, WHERE, path);
    if (path.empty()) cannotWrite(path, ENOENT);
    std::vector<unsigned char> png;
    if (!stbi_write_png_to_func(appendBytes, &png, picture.width, picture.height, 4,
                                picture.rgba.data(), picture.width * 4))
        ZV_FAIL(SnapshotNotEncoded, WHERE, path);

    std::string target = path;
    if (const int error = followLinks(target)) cannotWrite(path, error);
    if (target.empty() || target.back() == '/') cannotWrite(path, EISDIR);
    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) cannotWrite(path, errno);
    if (exists && S_ISDIR(existing.st_mode)) cannotWrite(path, EISDIR);
    // Opening a FIFO for writing waits for a reader, and writing to one whose reader has gone
    // raises SIGPIPE; a device or socket is no place for a picture either.
    if (exists && !S_ISREG(existing.st_mode))
        ZV_FAIL(SnapshotNotRegular, WHERE, path);
    // A file the process may not write stays, as opening it would have kept it.
    if (exists && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        cannotWrite(path, errno);

    // The picture goes into a file of its own beside the target, which replaces the target
    // in one step only once it is whole and on disk: a full disk or any other failure leaves
    // the file that was there as it was, and no partial file.
    std::string temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0) cannotWrite(path, errno);
    if (exists) {
        // The replacement keeps the replaced file's owner where this process may give it
        // (changing the owner clears set-id bits, so the mode comes after) and its mode.
        const bool owned = fchown(fd, existing.st_uid, existing.st_gid) == 0;
        const bool moded = fchmod(fd, existing.st_mode & 07777) == 0;
        static_cast<void>(owned);
        static_cast<void>(moded);
    }
    int error = writeAll(fd, png);
    if (!error && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && !error) error = errno;
    if (!error && std::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error) {
        unlink(temporary.c_str());
        cannotWrite(path, error);
    }
}

}  // namespace internal
