#include "fuzz_support.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "window/window.hpp"

namespace zvfuzz {

namespace {
// Never destroyed, so the exit handler that empties it can still name it.
const std::string& scratchDir() {
    static const std::string* dir = [] {
        std::string tmpl = "/tmp/zarvo-fuzz-XXXXXX";
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        if (!mkdtemp(buf.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        return new std::string(buf.data());
    }();
    return *dir;
}
}  // namespace

zv::Window& window() {
    // Never destroyed: the fuzzer exits without unwinding, and the driver does not like
    // contexts torn down from exit handlers.
    static zv::Window* w = new zv::Window(W, H, "fuzz", nullptr, true);
    return *w;
}

int windowId() { return window().get()->impl()->id(); }

std::string scratchPath(int n) {
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit([] {
            for (int i = 0; i < 4; ++i) unlink((scratchDir() + "/" + std::to_string(i)).c_str());
            rmdir(scratchDir().c_str());
        });
    }
    return scratchDir() + "/" + std::to_string(n);
}

void writeFile(const std::string& path, const unsigned char* data, size_t size) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!f) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
}

void requireNoGLError(const char* what) {
    window().makeCurrent();
    const GLenum e = glGetError();
    if (e != GL_NO_ERROR) {
        std::fprintf(stderr, "OpenGL error 0x%x after %s\n", e, what);
        std::abort();
    }
}

}  // namespace zvfuzz
