#pragma once
// What both fuzzers share: a hidden window with its context current, a scratch directory,
// and the check that a fuzzed call left no OpenGL error behind.

#include <string>

#include "zarvo.h"

namespace zvfuzz {

constexpr int W = 320;
constexpr int H = 240;

// The hidden W x H window every input draws into; made on first use.
zv::Window& window();
// Its id (the window core's), for drawing through the font engine directly.
int windowId();
// A scratch file path of this process, number n; removed at exit.
std::string scratchPath(int n);
void writeFile(const std::string& path, const unsigned char* data, size_t size);
// Aborts, naming `what`, when an OpenGL error is pending in the window's context: the
// library made a call OpenGL rejected.
void requireNoGLError(const char* what);

}  // namespace zvfuzz
