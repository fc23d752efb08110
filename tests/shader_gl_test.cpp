// Shader building and the OpenGL check points, on a real context.
#include <gtest/gtest.h>

#include "gl/shaders.hpp"
#include "gl/gl_objects.hpp"
#include "gl/check.hpp"
#include "zarvo/exception.h"
#include "support/gl_test.hpp"

namespace {

const char* VS = R"(#version 330
in vec2 point;
out vec2 v;
void main() { v = point; gl_Position = vec4(point, 0.0, 1.0); })";
const char* FS = R"(#version 330
in vec2 v;
out vec4 outputColor;
void main() { outputColor = vec4(v, 0.0, 1.0); })";
const char* VS_SYNTAX_ERROR = R"(#version 330
void main() { gl_Position = vec4(0.0) })";
const char* FS_SYNTAX_ERROR = R"(#version 330
out vec4 c;
void main() { c = vec4(1.0) + ; })";
// Compiles, but reads "v" with another type than the vertex shader writes: the link fails.
const char* FS_MISMATCH = R"(#version 330
in vec3 v;
out vec4 outputColor;
void main() { outputColor = vec4(v, 1.0); })";

class ShaderGLTest : public zvtest::GLTest {};

TEST_F(ShaderGLTest, BuildsAWorkingProgram) {
    long before = internal::liveGLObjects();
    {
        internal::GLProgram program = internal::makeProgram(VS, FS);
        ASSERT_NE(0u, program.get());
        GLint linked = GL_FALSE;
        glGetProgramiv(program.get(), GL_LINK_STATUS, &linked);
        EXPECT_EQ(GL_TRUE, linked);
        EXPECT_EQ(before + 1, internal::liveGLObjects());
    }
    EXPECT_EQ(before, internal::liveGLObjects());
}

TEST_F(ShaderGLTest, VertexSyntaxErrorPrintsLogAndRaisesBeforeFragmentCompiles) {
    testing::internal::CaptureStderr();
    try {
        internal::buildProgram(VS_SYNTAX_ERROR, FS_SYNTAX_ERROR);
        FAIL() << "no raise";
    } catch (const zv::Error& e) {
        EXPECT_STREQ("OpenGL Shader compilation failed", e.what());
        EXPECT_STREQ("printShaderInfoLog", e.functionName());
        EXPECT_EQ(106, e.line());
        EXPECT_EQ(zv::ZV_ERR_GL, e.err());
    }
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(0u, err.find("Vertex shader not compiled.\nInfoLog:\n")) << err;
    EXPECT_EQ(std::string::npos, err.find("Fragment shader not compiled.")) << err;
}

TEST_F(ShaderGLTest, FragmentSyntaxError) {
    testing::internal::CaptureStderr();
    EXPECT_THROW(internal::buildProgram(VS, FS_SYNTAX_ERROR), zv::Error);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(0u, err.find("Fragment shader not compiled.\nInfoLog:\n")) << err;
}

TEST_F(ShaderGLTest, LinkFailurePrintsAndRaises) {
    const long before = internal::liveGLObjects();
    testing::internal::CaptureStderr();
    try {
        internal::buildProgram(VS, FS_MISMATCH);
        FAIL() << "no raise";
    } catch (const zv::Error& e) {
        EXPECT_STREQ("OpenGL program linking failed", e.what());
        EXPECT_STREQ("attachAndLinkProgram", e.functionName());
        EXPECT_EQ(140, e.line());
        EXPECT_EQ(zv::ZV_ERR_GL, e.err());
    }
    EXPECT_EQ("Program did not link.\n", testing::internal::GetCapturedStderr());
    EXPECT_EQ(before, internal::liveGLObjects()) << "the program and its stages are deleted";
}

TEST_F(ShaderGLTest, CheckPoints) {
    // With nothing pending the forced check neither raises nor consumes anything.
    EXPECT_NO_THROW(internal::glForceErrorCheck("m", "src/window", 92));
    glEnable(0xFFFF);  // GL_INVALID_ENUM
    // The forced check reports the pending error and consumes exactly that one. (Mesa
    // records only the first of several errors, so two cannot be pending at once here.)
    try {
        internal::glForceErrorCheck("Begin drawImage", "src/window", 92);
        FAIL() << "no raise";
    } catch (const zv::Error& e) {
        EXPECT_STREQ("GL Error at: src/window:92 Message: Begin drawImage Error Code: 1280\n",
                     e.what());
        EXPECT_STREQ("src/window", e.functionName());
        EXPECT_EQ(92, e.line());
        EXPECT_EQ(zv::ZV_ERR_GL, e.err());
    }
    EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());
    glBindBuffer(GL_ARRAY_BUFFER, 987654);  // not a buffer name: GL_INVALID_OPERATION
    EXPECT_THROW(internal::glForceErrorCheck("again", "f", 1), zv::Error);
    EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());
}

}  // namespace
