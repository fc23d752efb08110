// Draws arbitrary byte strings, read as UTF-8 (malformed sequences included), at arbitrary
// sizes and positions into areas of arbitrary size: through the font engine directly,
// horizontal and turned, as a grid cell's caption, as chart axis titles, and measures
// them. Glyphs beyond ASCII load on first use, from fallback faces too,
// until the glyph cache is full. Nothing may crash, overflow, read past the terminating NUL
// or leave an OpenGL error.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "font/font.hpp"
#include "fuzz_support.hpp"

namespace {

struct Scene {
    zv::Font font;
    zv::Image image{8, 8, zv::ZV_GRAYSCALE, zv::ZV_UINT8};
    zv::Plot plot{4, zv::ZV_FLOAT32};
    Scene() {
        font.loadFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 24);
        zvfuzz::window().setFont(&font);
    }
};

Scene& scene() {
    zvfuzz::window();  // the objects are made in its group
    static Scene* s = new Scene();
    return *s;
}

// Any float: mostly finite values over the whole range, sometimes NaN or an infinity.
float position(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
        case 0: return std::numeric_limits<float>::quiet_NaN();
        case 1: return std::numeric_limits<float>::infinity();
        case 2: return -std::numeric_limits<float>::infinity();
        default: return in.ConsumeFloatingPoint<float>();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    scene();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Scene& s = scene();
    FuzzedDataProvider in(data, size);
    const int fontSize = in.ConsumeIntegral<int>();
    float pos[2] = {position(in), position(in)};
    const int areaWidth = in.ConsumeIntegralInRange<int>(-16, 8192);
    const int areaHeight = in.ConsumeIntegralInRange<int>(-16, 8192);
    const bool vertical = in.ConsumeBool();
    const float color[4] = {in.ConsumeProbability<float>(), 1.0f, 0.0f, 1.0f};
    const std::string text = in.ConsumeRemainingBytesAsString();

    zv::Window& w = zvfuzz::window();
    w.makeCurrent();
    internal::font_impl& font = *s.font.get()->impl();
    font.render(zvfuzz::windowId(), areaWidth, areaHeight, pos, color, text.c_str(), fontSize,
                vertical);
    zvfuzz::requireNoGLError("font render");
    // The decoder alone, over the exact bytes (the string's copy ends in its NUL).
    int codePoints = 0;
    for (const char* p = text.c_str(); *p; ++codePoints) internal::decodeUtf8(p);
    if (codePoints > static_cast<int>(text.size())) __builtin_trap();
    font.textWidth(text.c_str(), fontSize);
    if (font.begin(zvfuzz::windowId(), areaWidth, areaHeight)) {
        font.drawStringRotated(pos, color, text.c_str(), fontSize);
        font.end();
    }
    zvfuzz::requireNoGLError("turned text");

    w.grid(1, 2);
    w.draw(0, 0, s.image, text.c_str());
    s.plot.setXAxisTitle(text.c_str());
    s.plot.setYAxisTitle(text.c_str());
    w.draw(1, 0, s.plot, text.c_str());
    w.draw();
    zvfuzz::requireNoGLError("caption and axis titles");
    return 0;
}
