#include "window/snapshot.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "gl/gl.hpp"
#include "gl/raise.hpp"
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
    ResolveTarget(int width, int height) {
        glGenRenderbuffers(1, &mColour);
        glBindRenderbuffer(GL_RENDERBUFFER, mColour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glGenFramebuffers(1, &mFramebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, mFramebuffer);
        glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  mColour);
    }
    ~ResolveTarget() {
        glDeleteFramebuffers(1, &mFramebuffer);
        glDeleteRenderbuffers(1, &mColour);
    }
    ResolveTarget(const ResolveTarget&) = delete;
    ResolveTarget& operator=(const ResolveTarget&) = delete;
    GLuint framebuffer() const { return mFramebuffer; }

private:
    GLuint mColour = 0;
    GLuint mFramebuffer = 0;
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
struct PNGSink {
    std::FILE* file;
    int error;  // errno of the first failed write, 0 while all went well
};
void writeToFile(void* context, void* data, int size) {
    auto* sink = static_cast<PNGSink*>(context);
    if (sink->error || size <= 0) return;
    if (std::fwrite(data, 1, static_cast<size_t>(size), sink->file) != static_cast<size_t>(size))
        sink->error = errno ? errno : EIO;
}
[[noreturn]] void cannotWrite(const std::string& path, const char* reason) {
    ZV_RAISE_AT("Window::saveSnapshot", __LINE__,
                "cannot write the snapshot to \"" + path + "\": " + reason +
                    "; pass a path in an existing directory that this process may write to",
                zv::ZV_ERR_GL);
}
}  // namespace

void writePNG(const zv::Snapshot& picture, const std::string& path) {
    if (picture.width < 1 || picture.height < 1)
        cannotWrite(path, "the window has no pixels to save");
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) cannotWrite(path, std::strerror(errno ? errno : EIO));
    // Only a regular file is removed after a failed write: the path may name a device.
    struct stat info;
    const bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
    PNGSink sink{file, 0};
    const int encoded = stbi_write_png_to_func(writeToFile, &sink, picture.width, picture.height,
                                               4, picture.rgba.data(), picture.width * 4);
    errno = 0;
    if (std::fclose(file) != 0 && !sink.error) sink.error = errno ? errno : EIO;
    if (!encoded || sink.error) {
        if (regular) std::remove(path.c_str());  // no truncated picture stays behind
        cannotWrite(path, encoded ? std::strerror(sink.error) : "the PNG encoder failed");
    }
}

}  // namespace internal
