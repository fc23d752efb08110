#pragma once
// Helpers for the bad-input, lifetime and soak tests: scratch files, writing into the
// caller-filled buffers the library hands out, resident memory, and the state that tells
// which context is current.

#include <cstddef>
#include <string>
#include <vector>

#include "gl/gl.hpp"
#include "support/gl_test.hpp"

namespace zvtest {

// A scratch directory removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return mPath; }
    // Writes `bytes` into a file `name` inside the directory and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string mPath;
};

// The DejaVu Sans file installed with fonts-dejavu-core, and its bytes.
const char* dejaVuPath();
std::string readFileBytes(const std::string& path);

// Replaces the first data.size() bytes of a buffer the library created (any target), in the
// current context, leaving GL_ARRAY_BUFFER bound as it was.
void writeBuffer(GLuint buffer, const void* data, size_t bytes);
template <class T>
void writeBuffer(GLuint buffer, const std::vector<T>& data) {
    writeBuffer(buffer, data.data(), data.size() * sizeof(T));
}

// Resident set size of this process, in bytes (from /proc/self/statm).
size_t residentBytes();

// What identifies the context current on this thread: the native context (GLFW's current
// window), the library's record of the current window and the published entry points.
struct CurrentContext {
    const void* native;
    const void* window;
    const void* entryPoints;
    bool operator==(const CurrentContext& o) const {
        return native == o.native && window == o.window && entryPoints == o.entryPoints;
    }
};
CurrentContext currentContext();

// Pixel predicates for the colours the tests draw with.
bool isGreen(const RGBA& c);

}  // namespace zvtest
