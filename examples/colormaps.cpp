// The seven colour maps side by side: one image holding a ramp from 0 to 255, drawn into seven
// cells, each through another map. The colour map is the window's, and a cell draw uses the
// map selected when it is made, so one window can show all seven in one frame.
//
// docs/colormaps.png is this program's picture:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/examples/colormaps 1 docs/colormaps.png
#include <zarvo.h>

#include <cstdio>
#include <vector>

#include "example_util.hpp"

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    try {
        zv::Window window(1000, 800, "libzarvo: colour maps");
        zv::Font font;
        font.loadSystemFont("Vera", 24);
        window.setFont(&font);

        // One row of 256 pixels, lowest value on the left.
        zv::Image ramp(256, 1, zv::ZV_GRAYSCALE, zv::ZV_UINT8);
        std::vector<unsigned char> values(256);
        for (int i = 0; i < 256; ++i) values[i] = static_cast<unsigned char>(i);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, ramp.pbo());
        glBufferSubData(GL_PIXEL_UNPACK_BUFFER, 0, ramp.size(), values.data());
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);

        // Captions name the enumerators without their ZV_CMAP_ prefix.
        const struct {
            zv::ColorMap map;
            const char* name;
        } maps[] = {{zv::ZV_CMAP_DEFAULT, "DEFAULT"}, {zv::ZV_CMAP_SPECTRUM, "SPECTRUM"},
                    {zv::ZV_CMAP_COLORS, "COLORS"},   {zv::ZV_CMAP_RED, "RED"},
                    {zv::ZV_CMAP_MOOD, "MOOD"},       {zv::ZV_CMAP_HEAT, "HEAT"},
                    {zv::ZV_CMAP_BLUE, "BLUE"}};

        window.grid(4, 2);
        for (int frame = 0; run.running(window, frame); ++frame) {
            for (int k = 0; k < 7; ++k) {
                window.setColorMap(maps[k].map);
                // Stretched over the cell: the aspect ratio of a 256 x 1 ramp is not wanted.
                window.draw(k % 2, k / 2, ramp, maps[k].name, false);
            }
            run.capture(window, frame);
            window.draw();
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
