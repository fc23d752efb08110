#pragma once
// Reading back what a window shows, and writing it as PNG.

#include <string>

#include "zarvo/window.h"

namespace internal {

// The colour buffer of the current context's default framebuffer, width x height from its
// bottom-left corner, resolved to one sample per pixel and returned with rows top to bottom.
// Leaves every piece of OpenGL state it touches as it found it.
zv::Snapshot readWindowPixels(int width, int height);

// Writes `picture` as an RGBA PNG file, replacing the file at `path` (or the file a symbolic
// link there names) in one rename once the new one is complete; refuses anything but a
// regular file or a new path. Raises zv::Error (ZV_ERR_GL) naming the path and the reason
// when the file cannot be written, leaving the old file as it was (see Window::saveSnapshot).
void writePNG(const zv::Snapshot& picture, const std::string& path);

}  // namespace internal
