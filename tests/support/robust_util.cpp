#include "support/robust_util.hpp"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "glfw/window.hpp"
#include "support/gl_test.hpp"
#include "gl/context.hpp"

namespace zvtest {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/zarvo-test-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed for " + tmpl);
    mPath = buf.data();
}

TempDir::~TempDir() {
    // Only plain files are ever written here.
    if (DIR* d = opendir(mPath.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..") unlink((mPath + "/" + n).c_str());
        }
        closedir(d);
    }
    rmdir(mPath.c_str());
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
    std::string p = mPath + "/" + name;
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f) throw std::runtime_error("cannot write " + p);
    return p;
}

const char* dejaVuPath() { return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"; }

std::string readFileBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void writeBuffer(GLuint buffer, const void* data, size_t bytes) {
    GLint previous = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previous);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), data);
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(previous));
}

size_t residentBytes() {
    std::ifstream f("/proc/self/statm");
    size_t pages = 0, resident = 0;
    f >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

CurrentContext currentContext() {
    return {wtk::Widget::current(), internal::currentWindow(), glewGetContext()};
}

bool isGreen(const RGBA& c) { return c.g > 150 && c.r < 80 && c.b < 80; }

}  // namespace zvtest
