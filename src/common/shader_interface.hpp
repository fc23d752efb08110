#pragma once
// The one definition of every vertex attribute location of the library's programs, read by
// both sides: the C++ points its vertex arrays at the AttributeLocation constants, and every
// GLSL source starts with ZV_GLSL_HEADER, whose #define lines give the same names the same
// numbers. So a location can be changed only here, and for both at once.
//
// Every source is written the same way:
//     inline constexpr const char* gNameShaderSrc = ZV_GLSL_HEADER R"glsl(
//     layout(location = CHART_POINT_LOCATION) in vec2 point;
//     ...
//     )glsl";

// (name, location): the programs that read one vertex array share its locations.
#define ZV_ATTRIBUTES(X)    \
    X(CHART_POINT, 0)       \
    X(HIST_FREQ, 1)         \
    X(IMAGE_POSITION, 0)    \
    X(IMAGE_TEXCOORD, 1)    \
    X(TEXT_POSITION, 0)     \
    X(TEXT_TEXCOORD, 1)

namespace internal {

enum AttributeLocation : unsigned {
#define ZV_ATTRIBUTE_CONSTANT(name, location) name##_LOCATION = location,
    ZV_ATTRIBUTES(ZV_ATTRIBUTE_CONSTANT)
#undef ZV_ATTRIBUTE_CONSTANT
};

}  // namespace internal

#define ZV_ATTRIBUTE_DEFINE(name, location) "#define " #name "_LOCATION " #location "\n"
// The first lines of every GLSL source: the version, then the attribute locations.
#define ZV_GLSL_HEADER "#version 330\n" ZV_ATTRIBUTES(ZV_ATTRIBUTE_DEFINE)
