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
    X(PLOT_Y, 1)            \
    X(BAND_UPPER, 1)        \
    X(SCATTER_VALUE, 1)     \
    X(SCATTER_SIZE, 2)      \
    X(ERROR_Y, 1)           \
    X(ERROR_X, 2)           \
    X(BARS_BASE, 1)         \
    X(IMAGE_POSITION, 0)    \
    X(IMAGE_TEXCOORD, 1)    \
    X(TEXT_POSITION, 0)     \
    X(TEXT_TEXCOORD, 1)

#include <array>
#include <cstddef>

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

namespace internal {

// Joins string literals (and constexpr char arrays) into one at compile time, for sources
// that share a block of GLSL:
//     inline constexpr auto gNameText = glslJoin(ZV_GLSL_HEADER, gSharedGlsl, R"glsl(...)glsl");
//     inline constexpr const char* gNameShaderSrc = gNameText.data();
template <size_t... N>
constexpr std::array<char, (N + ...) - sizeof...(N) + 1> glslJoin(const char (&... parts)[N]) {
    std::array<char, (N + ...) - sizeof...(N) + 1> joined{};
    size_t k = 0;
    const auto append = [&](const char* part, size_t size) {
        for (size_t i = 0; i + 1 < size; ++i) joined[k++] = part[i];
    };
    (append(parts, N), ...);
    return joined;
}

}  // namespace internal
