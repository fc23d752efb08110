// A 2 x 2 grid of cells, each under a red caption: the smallest program that opens a window.
#include <zarvo.h>

#include "example_util.hpp"

int main() {
    try {
        zv::Window window(800, 600, "libzarvo: captions");
        zv::Font font;
        font.loadSystemFont("Vera", 24);
        window.setFont(&font);
        zv::Image blank(1, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
        window.grid(2, 2);
        for (int frame = 0; example::running(window, frame); ++frame) {
            window.draw(0, 0, blank, "top left");
            window.draw(1, 0, blank, "top right");
            window.draw(0, 1, blank, "bottom left");
            window.draw(1, 1, blank, "bottom right");
            if (example::frameLimit() == frame + 1) example::saveFrame(window);
            window.draw();
        }
    } catch (const zv::Error& e) {
        std::fprintf(stderr, "%s (%s, code %d)\n", e.what(), e.functionName(), e.err());
        return 1;
    }
    return 0;
}
