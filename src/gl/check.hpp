#pragma once
// OpenGL check points. The drawing code marks the start and end of its GL work with
// ZV_CHECK_POINT, which does nothing, so drawing never pays for a glGetError round trip;
// ZV_CHECK_GL raises one pending error as a zv::Error (ZV_ERR_GL) naming the file and line.
// The functions behind them are for the macros (and the tests that call them directly).

namespace internal {

void glErrorCheck(const char* message, const char* file, int line);
void glForceErrorCheck(const char* message, const char* file, int line);

}  // namespace internal

#define ZV_CHECK_POINT(label) ::internal::glErrorCheck((label), __FILE__, __LINE__)
#define ZV_CHECK_GL(label) ::internal::glForceErrorCheck((label), __FILE__, __LINE__)
