// Loads arbitrary bytes as a font file at a size taken from the input's length, then draws
// every printable character with whatever was loaded. A load may only fail with zv::Error
// (ZV_ERR_FONT); nothing may crash, leak or leave an OpenGL error.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "font/font.hpp"
#include "fuzz_support.hpp"

namespace {

const char ALL_PRINTABLE[] =
    " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstu"
    "vwxyz{|}~\nline two";
const float WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};

zv::Font& font() {
    static zv::Font* f = new zv::Font();
    return *f;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zvfuzz::window();
    font();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Loading the file already loaded does nothing, so inputs alternate between two paths.
    static int next = 0;
    const std::string path = zvfuzz::scratchPath(next++ & 1);
    zvfuzz::writeFile(path, data, size);
    // The size comes from the length, so that the font's own bytes stay as they are.
    const int pixelSize = 4 + static_cast<int>(size % 61);
    zvfuzz::window().makeCurrent();
    try {
        font().loadFont(path.c_str(), pixelSize);
    } catch (const zv::Error& e) {
        if (e.err() != zv::ZV_ERR_FONT) {
            std::fprintf(stderr, "unexpected error %d: %s\n", static_cast<int>(e.err()), e.what());
            std::abort();
        }
    }
    zvfuzz::requireNoGLError("loadFont");
    internal::font_impl& impl = *font().get()->impl();
    if (impl.loaded()) {
        const float pos[2] = {4.0f, 200.0f};
        impl.render(zvfuzz::windowId(), zvfuzz::W, zvfuzz::H, pos, WHITE, ALL_PRINTABLE, -1,
                    false);
        impl.render(zvfuzz::windowId(), zvfuzz::W, zvfuzz::H, pos, WHITE, "Vq", 3 * pixelSize,
                    true);
        zvfuzz::requireNoGLError("drawing with the loaded font");
    }
    return 0;
}
