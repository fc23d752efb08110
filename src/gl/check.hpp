#pragma once
// OpenGL check points. The drawing code marks the start and end of its GL work with
// glErrorCheck, which does nothing, so drawing never pays for a glGetError round trip;
// glForceErrorCheck raises one pending error as a zv::Error (ZV_ERR_GL).

namespace internal {

void glErrorCheck(const char* message, const char* file, int line);
void glForceErrorCheck(const char* message, const char* file, int line);
void commonErrorCheck(const char* message, const char* file, int line);

}  // namespace internal

#define ZV_CHECK_POINT(label) ::internal::glErrorCheck((label), __FILE__, __LINE__)
