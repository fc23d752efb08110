// The example programs' pictures, read back from their PNG files: each must show what its
// example names, with the expected colours in the expected places.
//
// With ZV_DEMO_PICTURES=<dir> the pictures are those scripts/demo.sh wrote there (any frame
// count). Otherwise each test runs its example from this build's examples directory for a
// fixed number of frames, writing into the test output directory; when the examples are not
// built the tests are skipped.
#include <gtest/gtest.h>

#include <glob.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "colormap/cmap_tables.hpp"

#if __has_include(<stb/stb_image.h>)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb/stb_image.h>
#pragma GCC diagnostic pop
#define ZV_HAVE_STB_IMAGE 1
#endif

namespace {

struct RGB {
    int r, g, b;
};

std::ostream& operator<<(std::ostream& os, const RGB& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

bool near(const RGB& a, const RGB& b, int tol) {
    return std::abs(a.r - b.r) <= tol && std::abs(a.g - b.g) <= tol && std::abs(a.b - b.b) <= tol;
}

// Rectangle [x0, x1) x [y0, y1) in picture pixels, origin at the TOP left as in the PNG file.
struct Rect {
    int x0, y0, x1, y1;
};

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // rows top-down

    RGB at(int x, int y) const {
        const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
    int count(const Rect& r, const std::function<bool(const RGB&)>& pred) const {
        int n = 0;
        for (int y = std::max(r.y0, 0); y < std::min(r.y1, height); ++y)
            for (int x = std::max(r.x0, 0); x < std::min(r.x1, width); ++x)
                if (pred(at(x, y))) ++n;
        return n;
    }
    int distinct(const Rect& r) const {
        std::set<int> colours;
        for (int y = r.y0; y < r.y1; ++y)
            for (int x = r.x0; x < r.x1; ++x) {
                RGB c = at(x, y);
                colours.insert((c.r << 16) | (c.g << 8) | c.b);
            }
        return static_cast<int>(colours.size());
    }
};

bool isBlack(const RGB& c) { return c.r <= 3 && c.g <= 3 && c.b <= 3; }
bool notBlack(const RGB& c) { return !isBlack(c); }
bool isWhite(const RGB& c) { return c.r >= 200 && c.g >= 200 && c.b >= 200; }
bool isRed(const RGB& c) { return c.r >= 150 && c.g <= 60 && c.b <= 60; }

// A pixel of colour `ref` drawn over black, possibly only partly covered (multisampled lines
// and marker edges): k * ref for some coverage k of at least a third.
std::function<bool(const RGB&)> shadeOf(RGB ref) {
    return [ref](const RGB& c) {
        double dot = c.r * ref.r + c.g * ref.g + c.b * ref.b;
        double len2 = ref.r * ref.r + ref.g * ref.g + ref.b * ref.b;
        double k = dot / len2;
        if (k < 0.33 || k > 1.05) return false;
        return std::abs(c.r - k * ref.r) <= 12 && std::abs(c.g - k * ref.g) <= 12 &&
               std::abs(c.b - k * ref.b) <= 12;
    };
}

// Colours the examples give their charts, as 8-bit values.
const RGB AMBER{255, 192, 32};  // line_plot: 0xFFC020FF
const RGB GALLERY_AMBER{255, 191, 26};
const RGB SKY{51, 204, 255};      // (0.2, 0.8, 1.0)
const RGB GREEN{89, 217, 89};     // (0.35, 0.85, 0.35)
const RGB ORANGE{255, 128, 51};   // (1.0, 0.5, 0.2)
const RGB VIOLET{140, 115, 255};  // (0.55, 0.45, 1.0)
const RGB CORAL{255, 115, 77};    // (1.0, 0.45, 0.3)

struct MapTable {
    const char* name;
    const float (*rows)[4];
    int length;
    RGB row(int i) const {
        auto q = [](float v) { return static_cast<int>(std::lround(v * 255.0f)); };
        return {q(rows[i][0]), q(rows[i][1]), q(rows[i][2])};
    }
};
const MapTable MAPS[7] = {
    {"DEFAULT", internal::cmap_default, internal::CMAP_DEFAULT_ROWS},
    {"SPECTRUM", internal::cmap_spectrum, internal::CMAP_SPECTRUM_ROWS},
    {"COLORS", internal::cmap_colors, internal::CMAP_COLORS_ROWS},
    {"RED", internal::cmap_red, internal::CMAP_RED_ROWS},
    {"MOOD", internal::cmap_mood, internal::CMAP_MOOD_ROWS},
    {"HEAT", internal::cmap_heat, internal::CMAP_HEAT_ROWS},
    {"BLUE", internal::cmap_blue, internal::CMAP_BLUE_ROWS},
};

// Fraction of the pixels of r (every third one each way) that are a row of the map.
double mapFraction(const Picture& p, const Rect& r, const MapTable& map) {
    int hits = 0, total = 0;
    for (int y = r.y0; y < r.y1; y += 3)
        for (int x = r.x0; x < r.x1; x += 3) {
            RGB c = p.at(x, y);
            ++total;
            for (int i = 0; i < map.length; ++i)
                if (near(c, map.row(i), 3)) {
                    ++hits;
                    break;
                }
        }
    return total ? static_cast<double>(hits) / total : 0.0;
}

// The map that explains most of r, and how much of it.
std::pair<int, double> bestMap(const Picture& p, const Rect& r) {
    std::pair<int, double> best{-1, 0.0};
    for (int m = 0; m < 7; ++m) {
        double f = mapFraction(p, r, MAPS[m]);
        if (f > best.second) best = {m, f};
    }
    return best;
}

std::string outputDir() {
    const char* d = std::getenv("ZV_TEST_OUTPUT_DIR");
    std::string dir = std::string(d ? d : "test-output");
    mkdir(dir.c_str(), 0755);
    dir += "/demo";
    mkdir(dir.c_str(), 0755);
    // A directory per test: tests run side by side, and two of them may run the same example
    // (the gallery writes its themed pictures too) or remove an example's earlier pictures.
    if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info()) {
        dir += std::string("/") + test->name();
        mkdir(dir.c_str(), 0755);
    }
    return dir;
}

std::string examplesDir() {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "";
    self[n] = '\0';
    std::string path(self);
    path = path.substr(0, path.rfind('/'));                // <build>/tests
    return path.substr(0, path.rfind('/')) + "/examples";  // <build>/examples
}

std::string sourceDir() { return ZV_SOURCE_DIR; }

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool isExecutable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

class DemoPictures : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef ZV_HAVE_STB_IMAGE
        GTEST_SKIP() << "stb_image (libstb-dev) is not installed";
#endif
        const char* dir = std::getenv("ZV_DEMO_PICTURES");
        if (dir && *dir) {
            mPictures = dir;
        } else if (!isExecutable(examplesDir() + "/colormaps")) {
            GTEST_SKIP() << "examples not built (configure with -DZV_BUILD_EXAMPLES=ON)";
        }
    }

    bool fromDemo() const { return !mPictures.empty(); }

    // Runs an example of this build: `example frames picture extra`, output to a log.
    // Returns the exit status.
    int runExample(const std::string& name, int frames, const std::string& picture,
                   const std::string& extra = "") {
        std::string log = picture.empty() ? outputDir() + "/" + name + ".log"
                                          : picture.substr(0, picture.rfind('.')) + ".log";
        std::string cmd = "'" + examplesDir() + "/" + name + "' " + std::to_string(frames) + " '" +
                          picture + "' " + extra + " > '" + log + "' 2>&1";
        int status = std::system(cmd.c_str());
        int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        EXPECT_EQ(code, 0) << cmd << " failed; see " << log;
        return code;
    }

    // The picture `name`.png of `example`: the demo's, or made by running the example for
    // `frames` frames.
    Picture picture(const std::string& example, int frames, const std::string& name = "") {
        std::string file = (name.empty() ? example : name) + ".png";
        std::string path;
        if (fromDemo()) {
            path = mPictures + "/" + file;
        } else {
            // One run writes all of an example's pictures.
            path = outputDir() + "/" + file;
            if (!mRan.count(example)) {
                removePictures(example);
                runExample(example, frames, outputDir() + "/" + example + ".png");
                mRan.insert(example);
            }
        }
        return load(path);
    }

    // Pictures of an earlier run must not stand in for ones this run failed to write.
    static void removePictures(const std::string& example) {
        glob_t found;
        std::string pattern = outputDir() + "/" + example + "*.png";
        if (glob(pattern.c_str(), 0, nullptr, &found) == 0)
            for (size_t i = 0; i < found.gl_pathc; ++i) std::remove(found.gl_pathv[i]);
        globfree(&found);
    }

    static Picture load(const std::string& path) {
        Picture p;
#ifdef ZV_HAVE_STB_IMAGE
        int channels = 0;
        unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &channels, 3);
        if (!data) {
            ADD_FAILURE() << "cannot read " << path;
            return p;
        }
        p.rgb.assign(data, data + static_cast<size_t>(p.width) * p.height * 3);
        stbi_image_free(data);
#endif
        return p;
    }

    std::string mPictures;
    std::set<std::string> mRan;
};

// A pixel of a one-pixel white line in a resolved picture: a line that lies across a pixel
// boundary shares its coverage between two pixels, and the brighter one keeps at least half
// of it (the chart's vertical borders come out as 191 and 64).
bool isLinePixel(const RGB& c) { return c.r >= 120 && c.g >= 120 && c.b >= 120; }

// Rows of `r` holding a white line's pixel, as a fraction: a white border line crossing r.
double whiteRows(const Picture& p, const Rect& r) {
    int rows = 0;
    for (int y = r.y0; y < r.y1; ++y)
        if (p.count({r.x0, y, r.x1, y + 1}, isLinePixel) > 0) ++rows;
    return static_cast<double>(rows) / (r.y1 - r.y0);
}
double whiteColumns(const Picture& p, const Rect& r) {
    int cols = 0;
    for (int x = r.x0; x < r.x1; ++x)
        if (p.count({x, r.y0, x + 1, r.y1}, isLinePixel) > 0) ++cols;
    return static_cast<double>(cols) / (r.x1 - r.x0);
}

// The chart frame of a chart over a whole 800 x 600 window: the border runs along pixel
// columns 74 and 788 and rows 9 and 559 from the top, tick labels lie outside it.
void expectChartFrame800x600(const Picture& p) {
    EXPECT_GT(whiteRows(p, {72, 20, 77, 540}), 0.95) << "left border";
    EXPECT_GT(whiteRows(p, {786, 20, 791, 540}), 0.95) << "right border";
    EXPECT_GT(whiteColumns(p, {90, 7, 780, 12}), 0.95) << "top border";
    EXPECT_GT(whiteColumns(p, {90, 557, 780, 562}), 0.95) << "bottom border";
    EXPECT_GT(p.count({0, 0, 68, 600}, isWhite), 200) << "y tick labels";
    EXPECT_GT(p.count({74, 566, 800, 600}, isWhite), 200) << "x tick labels";
}

const Rect DATA_800x600{78, 13, 785, 556};  // inside the border

TEST_F(DemoPictures, AnimatedImageIsASquareFieldThroughOneColourMap) {
    // The first map the example shows is SPECTRUM.
    Picture p = picture("animated_image", 10);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    // A square image keeps its aspect ratio: it spans the height, centred, black beside it.
    EXPECT_EQ(p.count({0, 0, 98, 600}, notBlack), 0);
    EXPECT_EQ(p.count({702, 0, 800, 600}, notBlack), 0);
    Rect field{102, 2, 698, 598};
    EXPECT_GT(p.distinct(field), 40) << "a field, not a flat colour";
    auto best = bestMap(p, field);
    ASSERT_GE(best.first, 0);
    EXPECT_GT(best.second, 0.97) << "best map " << MAPS[best.first].name;
    if (!fromDemo()) {
        EXPECT_STREQ(MAPS[best.first].name, "SPECTRUM");
    }
}

TEST_F(DemoPictures, LinePlotIsAFramedTravellingWave) {
    Picture p = picture("line_plot", 10);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    expectChartFrame800x600(p);
    auto amber = shadeOf(AMBER);
    EXPECT_GT(p.count(DATA_800x600, amber), 1000);
    // The wave spans the data area's width and swings through both halves.
    int strip = (DATA_800x600.x1 - DATA_800x600.x0) / 10;
    for (int s = 0; s < 10; ++s) {
        int x0 = DATA_800x600.x0 + s * strip;
        EXPECT_GT(p.count({x0, DATA_800x600.y0, x0 + strip, DATA_800x600.y1}, amber), 20)
            << "strip " << s;
    }
    EXPECT_GT(p.count({DATA_800x600.x0, 13, DATA_800x600.x1, 280}, amber), 200);
    EXPECT_GT(p.count({DATA_800x600.x0, 290, DATA_800x600.x1, 556}, amber), 200);
    // Clipped to the data area: nothing amber among the labels.
    EXPECT_EQ(p.count({0, 0, 70, 600}, amber), 0);
    EXPECT_EQ(p.count({0, 566, 800, 600}, amber), 0);
    // Axis titles: "amplitude" stacked inside the left border, "phase" above the bottom.
    EXPECT_GT(p.count({78, 250, 110, 450}, isWhite), 30);
    EXPECT_GT(p.count({380, 520, 500, 556}, isWhite), 30);
}

TEST_F(DemoPictures, ScatterPlotShowsCloudsOfMarkers) {
    Picture p = picture("scatter_plot", 10);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    expectChartFrame800x600(p);
    auto sky = shadeOf(SKY);
    int total = p.count(DATA_800x600, sky);
    EXPECT_GT(total, 2000);
    int cx = (DATA_800x600.x0 + DATA_800x600.x1) / 2, cy = (DATA_800x600.y0 + DATA_800x600.y1) / 2;
    int quadrants = 0;
    for (Rect q : {Rect{DATA_800x600.x0, DATA_800x600.y0, cx, cy},
                   Rect{cx, DATA_800x600.y0, DATA_800x600.x1, cy},
                   Rect{DATA_800x600.x0, cy, cx, DATA_800x600.y1},
                   Rect{cx, cy, DATA_800x600.x1, DATA_800x600.y1}})
        if (p.count(q, sky) > 200) ++quadrants;
    EXPECT_GE(quadrants, 2) << "three clouds around the origin";
    // Markers only: no line joins the clouds across the middle ground, where only a few
    // strays fall.
    EXPECT_LT(p.count({cx - 40, cy - 40, cx + 40, cy + 40}, sky), total / 50);
    EXPECT_EQ(p.count({0, 0, 70, 600}, sky), 0);
}

TEST_F(DemoPictures, HistogramBarsStandOnTheFrameBottom) {
    Picture p = picture("histogram", 10);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    expectChartFrame800x600(p);
    auto green = shadeOf(GREEN);
    EXPECT_GT(p.count(DATA_800x600, green), 50000);
    // Just above the bottom border the bars cover most of the width; near the top, where the
    // counts never reach, none do.
    EXPECT_GT(p.count({78, 554, 785, 555}, green), (785 - 78) / 2);
    EXPECT_EQ(p.count({78, 14, 785, 40}, green), 0);
}

// Two clouds of a million points counted into bins: coloured where points fell, the densest
// bins in the map's top rows (near white), empty bins the black background.
TEST_F(DemoPictures, DensityShowsTwoCloudsThroughTheSpectrumMap) {
    Picture p = picture("density", 3);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    expectChartFrame800x600(p);
    auto coloured = [](const RGB& c) {
        return std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}) > 60;
    };
    EXPECT_GT(p.count(DATA_800x600, coloured), 150000);
    // Far from both clouds (wherever they have turned to) no bin holds a point.
    auto black = [](const RGB& c) { return c.r < 8 && c.g < 8 && c.b < 8; };
    EXPECT_GT(p.count(DATA_800x600, black), (785 - 78) * (556 - 13) / 4);
    // The densest bins, in the larger cloud, reach the map's light end.
    auto light = [](const RGB& c) { return c.r > 180 && c.g > 180 && c.b > 180; };
    EXPECT_GT(p.count(DATA_800x600, light), 10);
}

// Particles on a spiral coloured by speed through the MOOD map, beside a colour bar of that
// map: the frame makes room for the bar at the right, and the markers are rows of the map,
// more than one of them.
TEST_F(DemoPictures, ScatterColoursItsPointsBesideAColourBar) {
    Picture p = picture("scatter_colors", 10);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    const MapTable& mood = MAPS[4];
    // The frame's right border lies left of the strip; nothing white at the window's edge.
    EXPECT_GT(whiteRows(p, {684, 20, 692, 540}), 0.95) << "right border";
    EXPECT_EQ(0, p.count({786, 20, 791, 540}, isWhite));
    // The bar: the map's rows, its first at the bottom and its last at the top.
    EXPECT_GT(mapFraction(p, {712, 60, 728, 560}, mood), 0.95);
    const auto nearRow = [&](const RGB& c, int row) { return near(c, mood.row(row), 12); };
    EXPECT_TRUE(nearRow(p.at(720, 578), 0)) << p.at(720, 578);
    EXPECT_TRUE(nearRow(p.at(720, 40), mood.length - 1)) << p.at(720, 40);
    // The markers: many pixels of the map's colours, in several of its rows.
    std::set<int> rows;
    int marked = 0;
    for (int y = 13; y < 556; y += 2)
        for (int x = 78; x < 680; x += 2) {
            const RGB c = p.at(x, y);
            if (isBlack(c) || isWhite(c)) continue;
            for (int i = 0; i < mood.length; ++i)
                if (near(c, mood.row(i), 2)) {
                    rows.insert(i / 16);
                    ++marked;
                    break;
                }
        }
    EXPECT_GT(marked, 2000);
    EXPECT_GE(rows.size(), 4u);
}

// Measurements with error bars and caps under markers: orange bars (the cycle's first
// colour), sky-blue markers (its second), both in the legend.
TEST_F(DemoPictures, ErrorBarsSpanTheirPointsWithCaps) {
    Picture p = picture("error_bars", 10);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    expectChartFrame800x600(p);
    auto orange = shadeOf({230, 159, 0});
    auto sky = shadeOf({86, 180, 233});
    EXPECT_GT(p.count(DATA_800x600, orange), 12 * 50);
    EXPECT_GT(p.count(DATA_800x600, sky), 12 * 15);
    // Bars are vertical runs of orange of at least 20 pixels, one for each of the twelve
    // points; a cap is a horizontal run of 8.
    int bars = 0, caps = 0;
    for (int x = DATA_800x600.x0; x < 640; ++x) {
        int run = 0, longest = 0;
        for (int y = DATA_800x600.y0; y < DATA_800x600.y1; ++y) {
            run = orange(p.at(x, y)) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        if (longest >= 20) ++bars;
    }
    for (int y = DATA_800x600.y0 + 60; y < DATA_800x600.y1; ++y) {
        int run = 0;
        for (int x = DATA_800x600.x0; x < DATA_800x600.x1; ++x) {
            run = orange(p.at(x, y)) ? run + 1 : 0;
            if (run == 8) ++caps;
        }
    }
    EXPECT_GE(bars, 10);
    EXPECT_GE(caps, 30);  // two caps a y bar, and the x bars themselves
}

TEST_F(DemoPictures, ChartLegendOverlaysTwoSeriesInTheCyclesColours) {
    Picture p = picture("chart_legend", 10);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    expectChartFrame800x600(p);
    // The cycle's first two colours: orange for the wave, sky blue for the probes.
    auto orange = shadeOf({230, 159, 0});
    auto sky = shadeOf({86, 180, 233});
    EXPECT_GT(p.count(DATA_800x600, orange), 1000);
    EXPECT_GT(p.count(DATA_800x600, sky), 300);
    EXPECT_EQ(p.count({0, 0, 70, 600}, orange), 0);
    // The legend's dark box in the frame's top-right corner, with both swatches and white
    // labels in it.
    const Rect legend{600, 13, 785, 70};
    EXPECT_GT(p.count(legend, [](const RGB& c) {
                  return c.r >= 8 && c.r <= 40 && std::abs(c.r - c.g) <= 3 &&
                         std::abs(c.r - c.b) <= 3;
              }),
              1000);
    EXPECT_GT(p.count(legend, isWhite), 40);
    EXPECT_GT(p.count(legend, orange), 20);
    EXPECT_GT(p.count(legend, sky), 20);
}

// Held samples as steps over the smooth signal: the steps are long level runs joined by
// vertical risers, which a straight line through the samples would not make.
TEST_F(DemoPictures, StepsHoldEachSampleUntilTheNext) {
    Picture p = picture("steps", 10);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    expectChartFrame800x600(p);
    auto orange = shadeOf({230, 159, 0});
    auto sky = shadeOf({86, 180, 233});
    EXPECT_GT(p.count(DATA_800x600, orange), 500);
    // The longest run of sky-blue pixels along each row and each column of the data area
    // (the legend's swatch, in its top-right corner, left out).
    const Rect area{DATA_800x600.x0, 80, DATA_800x600.x1, DATA_800x600.y1};
    int levels = 0, risers = 0;
    for (int y = area.y0; y < area.y1; ++y) {
        int run = 0, longest = 0;
        for (int x = area.x0; x < area.x1; ++x) {
            run = sky(p.at(x, y)) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        if (longest >= 30) ++levels;
    }
    for (int x = area.x0; x < area.x1; ++x) {
        int run = 0, longest = 0;
        for (int y = area.y0; y < area.y1; ++y) {
            run = sky(p.at(x, y)) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        if (longest >= 15) ++risers;
    }
    // Sixteen holds of about 40 pixels, 2 pixels thick, and as many risers; rows and columns
    // that hold two count once.
    EXPECT_GE(levels, 16);
    EXPECT_GE(risers, 16);
}

// A mean line inside a band of one standard deviation inside a lighter envelope: sky blue
// at opacity 0.25 over black, and at 0.63 over that.
TEST_F(DemoPictures, BandsNestAroundTheMean) {
    Picture p = picture("bands", 10);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    expectChartFrame800x600(p);
    // The two blues are one hue at two strengths: told apart by value, not by shade.
    const auto within = [](RGB ref) {
        return [ref](const RGB& c) {
            return std::abs(c.r - ref.r) <= 10 && std::abs(c.g - ref.g) <= 10 &&
                   std::abs(c.b - ref.b) <= 10;
        };
    };
    auto envelope = within({22, 45, 58});
    auto spread = within({62, 130, 168});
    auto orange = shadeOf({230, 159, 0});
    EXPECT_GT(p.count(DATA_800x600, envelope), 20000);
    EXPECT_GT(p.count(DATA_800x600, spread), 20000);
    EXPECT_GT(p.count(DATA_800x600, orange), 300);
    // Down a column left of the legend: black, the envelope, the spread, the mean, the
    // spread, the envelope, black.
    const int x = 290;
    std::vector<int> order;  // 0 black, 1 envelope, 2 spread, 3 mean, each run once
    for (int y = DATA_800x600.y0; y < DATA_800x600.y1; ++y) {
        const RGB c = p.at(x, y);
        const int kind = orange(c)     ? 3
                         : spread(c)   ? 2
                         : envelope(c) ? 1
                         : c.r + c.g + c.b < 30 ? 0
                                                : -1;  // an edge's blend: skipped
        if (kind >= 0 && (order.empty() || order.back() != kind)) order.push_back(kind);
    }
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 2, 1, 0}), order);
}

TEST_F(DemoPictures, ExploreStreamFollowsTheStreamAcrossTheFrame) {
    Picture p = picture("explore_stream", 10);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    expectChartFrame800x600(p);
    // The signal (orange, the cycle's first) and its running mean (sky blue) span the frame
    // from side to side and top to bottom: the limits follow the data.
    auto orange = shadeOf({230, 159, 0});
    auto sky = shadeOf({86, 180, 233});
    EXPECT_GT(p.count(DATA_800x600, orange), 5000);
    EXPECT_GT(p.count(DATA_800x600, sky), 700);
    EXPECT_GT(p.count({78, 13, 120, 556}, orange), 50) << "oldest samples at the left edge";
    EXPECT_GT(p.count({700, 80, 785, 556}, orange), 50) << "newest samples at the right edge";
    // Its highest and lowest values lie near the frame's top and bottom (5% margins), the
    // legend's box left out.
    int top = 600, bottom = -1;
    for (int y = 13; y < 556; ++y) {
        const bool legend = y < 75;
        if (p.count({78, y, legend ? 630 : 785, y + 1}, orange) == 0) continue;
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    EXPECT_LT(top, 13 + 80);
    EXPECT_GT(bottom, 556 - 80);
    EXPECT_EQ(p.count({0, 0, 70, 600}, orange), 0);
}

TEST_F(DemoPictures, TemperatureFieldHasAHeatColourBarBesideTheImage) {
    Picture p = picture("temperature_field", 10);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    const MapTable& heat = MAPS[5];
    // The image fills the area left of the strip (700 pixels) through the heat map.
    EXPECT_GT(mapFraction(p, {20, 120, 680, 480}, heat), 0.9);
    EXPECT_EQ(p.count({702, 0, 710, 600}, notBlack), 0);
    // The bar, 20 pixels wide from x = 712: the last row (white) at the top, the first
    // (black) at the bottom, the map's middle half way.
    EXPECT_TRUE(near(heat.row(63), p.at(722, 20), 3)) << p.at(722, 20);
    EXPECT_TRUE(near(heat.row(0), p.at(722, 580), 3)) << p.at(722, 580);
    EXPECT_GT(mapFraction(p, {714, 20, 730, 580}, heat), 0.95);
    // Five labels right of the bar, "250.00" to "320.00".
    for (int k = 0; k < 5; ++k) {
        const int y = 584 - k * 142;
        EXPECT_GT(p.count({741, y - 9, 800, y + 9}, isWhite), 15) << "label " << k;
    }
}

TEST_F(DemoPictures, HeatmapAxesShowsAFieldUnderATrajectoryWithAColourBar) {
    Picture p = picture("heatmap_axes", 10);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    const MapTable& heat = MAPS[5];
    // The frame, laid out left of the bar's strip: its right border 100 pixels further left
    // than over the whole window, the field filling it through the heat map.
    EXPECT_GT(whiteRows(p, {72, 20, 77, 540}), 0.95) << "left border";
    EXPECT_GT(whiteRows(p, {686, 20, 691, 540}), 0.95) << "right border";
    EXPECT_GT(p.count({0, 0, 68, 600}, isWhite), 200) << "y tick labels";
    EXPECT_GT(mapFraction(p, {80, 15, 684, 554}, heat), 0.8);
    // The trajectory in sky blue over it, a colour the heat map has not.
    const auto sky = [](const RGB& c) { return c.b > 200 && c.g > 120 && c.r < 140; };
    EXPECT_GT(p.count({80, 15, 684, 554}, sky), 400);
    // The bar from x = 712, black at the bottom to white at the top, under its title.
    EXPECT_TRUE(near(heat.row(0), p.at(722, 580), 3)) << p.at(722, 580);
    EXPECT_TRUE(near(heat.row(63), p.at(722, 40), 3)) << p.at(722, 40);
    EXPECT_GT(mapFraction(p, {714, 40, 730, 580}, heat), 0.95);
    EXPECT_GT(p.count({702, 0, 800, 30}, isWhite), 20) << "the bar's title";
}

// Cell (column, row) of a grid of rows x columns cells in a w x h window: the inset drawing
// area and the caption band above it, top-left origin. The insets are 2% of the cell at the
// sides and below and 6% of the cell height above and below the drawing area's height.
struct Cell {
    Rect area, caption;
};
Cell cell(int w, int h, int rows, int columns, int column, int row) {
    int cw = w / columns, ch = h / rows;
    int mx = static_cast<int>(cw * 0.02f), my = static_cast<int>(ch * 0.02f);
    int mt = static_cast<int>(ch * 0.06f);
    int left = column * cw, top = row * ch;
    int areaTop = top + ch - my - (ch - 2 * mt);
    return {{left + mx, areaTop, left + cw - mx, top + ch - my}, {left, top, left + cw, areaTop}};
}
Rect shrink(const Rect& r, int by) { return {r.x0 + by, r.y0 + by, r.x1 - by, r.y1 - by}; }

TEST_F(DemoPictures, GalleryShowsFourObjectsUnderCaptions) {
    Picture p = picture("gallery", 10);
    ASSERT_EQ(p.width, 1000);
    ASSERT_EQ(p.height, 800);
    Cell image = cell(1000, 800, 2, 2, 0, 0), line = cell(1000, 800, 2, 2, 1, 0);
    Cell scatter = cell(1000, 800, 2, 2, 0, 1), hist = cell(1000, 800, 2, 2, 1, 1);
    for (const Cell& c : {image, line, scatter, hist})
        EXPECT_GT(p.count(c.caption, isRed), 20) << "caption above cell at x " << c.area.x0;
    // The image fills its cell's drawing area (no aspect ratio kept), through HEAT.
    EXPECT_GT(mapFraction(p, shrink(image.area, 2), MAPS[5]), 0.97);
    EXPECT_GT(p.distinct(image.area), 30);
    EXPECT_GT(p.count(line.area, shadeOf(GALLERY_AMBER)), 300);
    EXPECT_GT(p.count(scatter.area, shadeOf(SKY)), 300);
    EXPECT_GT(p.count(hist.area, shadeOf(GREEN)), 5000);
    // Each object stays in its own cell.
    EXPECT_EQ(p.count(image.area, shadeOf(SKY)), 0);
    EXPECT_EQ(p.count(hist.area, shadeOf(SKY)), 0);
    EXPECT_EQ(p.count(scatter.area, shadeOf(GREEN)), 0);
}

// The gallery's last frame again in the two ready themes: the theme's background around the
// objects (not the library's black), captions in the theme's caption colour in a band of
// their own above each cell (none red), the image still through HEAT and the series in
// their own colours; the dark theme's ink is light, the light theme's dark.
TEST_F(DemoPictures, GalleryInTheLightAndDarkThemes) {
    struct Theme {
        const char* name;
        RGB background, caption;
    } themes[] = {{"gallery_light", {255, 255, 255}, {38, 38, 38}},
                  {"gallery_dark", {18, 18, 18}, {232, 232, 232}}};
    for (const Theme& t : themes) {
        Picture p = picture("gallery", 10, t.name);
        ASSERT_EQ(p.width, 1000) << t.name;
        ASSERT_EQ(p.height, 800) << t.name;
        const Rect whole{0, 0, 1000, 800};
        EXPECT_GT(p.count(whole, [&](const RGB& c) { return near(c, t.background, 2); }),
                  1000 * 800 / 3)
            << t.name;
        const int cw = 500, ch = 400;
        for (int column = 0; column < 2; ++column)
            for (int row = 0; row < 2; ++row) {
                // The caption band: its top 26 pixels (16-pixel captions), caption-coloured ink.
                const Rect band{column * cw, row * ch, column * cw + cw, row * ch + 26};
                EXPECT_GT(p.count(band, [&](const RGB& c) { return near(c, t.caption, 40); }), 20)
                    << t.name << " cell " << column << ", " << row;
                EXPECT_EQ(p.count(band, isRed), 0) << t.name << " cell " << column << ", " << row;
            }
        const Rect image{10, 40, 490, 390};
        EXPECT_GT(mapFraction(p, image, MAPS[5]), 0.9) << t.name;
        EXPECT_GT(p.count({500, 0, 1000, 400}, shadeOf(GALLERY_AMBER)), 100) << t.name;
        EXPECT_GT(p.count({0, 400, 500, 800}, [](const RGB& c) {
                      return near(c, SKY, 60);
                  }),
                  100)
            << t.name;
    }
}

// Three plots side by side: each draws across its whole frame, the microsecond one too
// (ranges that narrow once collapsed onto the frame's edge), and the power law on log-log
// axes spreads its markers evenly from left to right.
TEST_F(DemoPictures, AxesShowTinyLogAndRoundTickPlotsAcrossTheirFrames) {
    Picture p = picture("axes", 10);
    ASSERT_EQ(p.width, 1200);
    ASSERT_EQ(p.height, 400);
    const RGB colours[3] = {AMBER, SKY, GREEN};
    for (int c = 0; c < 3; ++c) {
        SCOPED_TRACE(c);
        const Cell cl = cell(1200, 400, 1, 3, c, 0);
        EXPECT_GT(p.count(cl.caption, isRed), 20);
        // The frame inside the drawing area: 78 pixels from its left, 8 from its right.
        const int x0 = cl.area.x0 + 80, x1 = cl.area.x1 - 10;
        const int strip = (x1 - x0) / 8;
        for (int s = 0; s < 8; ++s)
            EXPECT_GT(p.count({x0 + s * strip, cl.area.y0, x0 + (s + 1) * strip, cl.area.y1},
                              shadeOf(colours[c])),
                      10)
                << "strip " << s;
        for (int o = 0; o < 3; ++o)
            if (o != c) {
                EXPECT_EQ(p.count(cl.area, shadeOf(colours[o])), 0) << "colour of plot " << o;
            }
    }
}

TEST_F(DemoPictures, SharedWindowsDrawTheSameImageThroughTheirOwnMaps) {
    Picture main = picture("shared_windows", 10);
    Picture second = picture("shared_windows", 10, "shared_windows_second");
    ASSERT_EQ(main.width, 800);
    ASSERT_EQ(main.height, 400);
    ASSERT_EQ(second.width, 400);
    ASSERT_EQ(second.height, 400);
    Cell image = cell(800, 400, 1, 2, 0, 0), plot = cell(800, 400, 1, 2, 1, 0);
    // The square image keeps its aspect ratio in the cell's drawing area: a square as high as
    // the area, centred across it, with the area black on either side.
    const Rect& a = image.area;
    const int side = a.y1 - a.y0;
    const int sx0 = (a.x0 + a.x1 - side) / 2;
    const Rect square = {sx0, a.y0, sx0 + side, a.y1};
    EXPECT_GT(mapFraction(main, shrink(square, 2), MAPS[6]), 0.97) << "BLUE in the main window";
    EXPECT_EQ(main.count({a.x0, a.y0, sx0 - 1, a.y1}, notBlack), 0) << "left of the square";
    EXPECT_EQ(main.count({sx0 + side + 1, a.y0, a.x1, a.y1}, notBlack), 0) << "right of it";
    EXPECT_GT(main.count(plot.area, shadeOf(ORANGE)), 300);
    // The hidden window drew the image, made in the main window's context, through MOOD.
    EXPECT_GT(mapFraction(second, {0, 0, 400, 400}, MAPS[4]), 0.97);
    EXPECT_GT(second.distinct({0, 0, 400, 400}), 30);
}

TEST_F(DemoPictures, GpuComputeFillsPlotAndHistogram) {
    Picture p = picture("gpu_compute", 10);
    ASSERT_EQ(p.width, 1000);
    ASSERT_EQ(p.height, 500);
    Cell ring = cell(1000, 500, 1, 2, 0, 0), bars = cell(1000, 500, 1, 2, 1, 0);
    auto violet = shadeOf(VIOLET);
    auto coral = shadeOf(CORAL);
    EXPECT_GT(p.count(ring.area, violet), 3000);
    EXPECT_GT(p.count(bars.area, coral), 5000);
    // A ring around the origin: the middle, where the points' centroid lies, is empty.
    long sx = 0, sy = 0, n = 0;
    int x0 = ring.area.x1, x1 = 0;
    for (int y = ring.area.y0; y < ring.area.y1; ++y)
        for (int x = ring.area.x0; x < ring.area.x1; ++x)
            if (violet(p.at(x, y))) {
                sx += x, sy += y, ++n;
                x0 = std::min(x0, x), x1 = std::max(x1, x);
            }
    ASSERT_GT(n, 0);
    int cx = static_cast<int>(sx / n), cy = static_cast<int>(sy / n), r = (x1 - x0) / 10;
    EXPECT_EQ(p.count({cx - r, cy - r, cx + r, cy + r}, violet), 0);
    // The radii 0 to 0.5 (the histogram's first quarter) never occur.
    int quarter = (bars.area.x1 - bars.area.x0) / 4;
    EXPECT_EQ(
        p.count({bars.area.x0 + 12, bars.area.y0, bars.area.x0 + quarter, bars.area.y1}, coral), 0);
}

TEST_F(DemoPictures, GpuComputeAndItsMappedFallbackDrawTheSame) {
    if (fromDemo()) GTEST_SKIP() << "needs to run the example twice";
    std::string gpu = outputDir() + "/compute_path_gpu.png",
                cpu = outputDir() + "/compute_path_map.png";
    ASSERT_EQ(runExample("gpu_compute", 12, gpu), 0);
    ASSERT_EQ(runExample("gpu_compute", 12, cpu, "map"), 0);
    Picture a = load(gpu), b = load(cpu);
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    int differ = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (!near(a.at(x, y), b.at(x, y), 24)) ++differ;
    EXPECT_LT(differ, a.width * a.height / 200) << "pixels that differ";
}

// The colormaps example's picture: seven ramps under their captions, in enumeration order
// from left to right and top to bottom, the eighth cell empty.
void expectColourMapRamps(const Picture& p) {
    ASSERT_EQ(p.width, 1000);
    ASSERT_EQ(p.height, 800);
    for (int k = 0; k < 7; ++k) {
        SCOPED_TRACE(MAPS[k].name);
        Cell c = cell(1000, 800, 4, 2, k % 2, k / 2);
        EXPECT_GT(p.count(c.caption, isRed), 15);
        // The ramp's 256 texels stretched over the drawing area, lowest on the left. Texel i
        // of value i picks row trunc((length - 1) * i / 255); float rounding may land one
        // row lower.
        int y = (c.area.y0 + c.area.y1) / 2;
        float texel = (c.area.x1 - c.area.x0) / 256.0f;
        int wrong = 0;
        for (int i = 0; i < 256; i += 5) {
            int x = c.area.x0 + static_cast<int>((i + 0.5f) * texel);
            int row = static_cast<int>((MAPS[k].length - 1) * i / 255.0);
            RGB got = p.at(x, y);
            bool ok = false;
            for (int r = std::max(row - 1, 0); r <= std::min(row + 1, MAPS[k].length - 1); ++r)
                ok = ok || near(got, MAPS[k].row(r), 3);
            if (!ok && ++wrong <= 3)
                ADD_FAILURE() << "texel " << i << " at (" << x << ", " << y << "): " << got
                              << ", expected row " << row << " " << MAPS[k].row(row);
        }
        EXPECT_EQ(wrong, 0);
    }
    Cell empty = cell(1000, 800, 4, 2, 1, 3);
    EXPECT_EQ(p.count({empty.caption.x0, empty.caption.y0, empty.area.x1, empty.area.y1}, notBlack),
              0);
}

TEST_F(DemoPictures, ColourMapsShowSevenRampsInTableOrder) {
    expectColourMapRamps(picture("colormaps", 2));
}

// The README shows docs/colormaps.png: it must be what the example draws.
TEST(CommittedPictures, ColourMapsPictureShowsTheSevenMaps) {
#ifndef ZV_HAVE_STB_IMAGE
    GTEST_SKIP() << "stb_image (libstb-dev) is not installed";
#else
    Picture p;
    int channels = 0;
    std::string path = sourceDir() + "/docs/colormaps.png";
    unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &channels, 3);
    ASSERT_NE(data, nullptr) << path;
    p.rgb.assign(data, data + static_cast<size_t>(p.width) * p.height * 3);
    stbi_image_free(data);
    expectColourMapRamps(p);
#endif
}

TEST_F(DemoPictures, ReadmeProgramRuns) {
    if (fromDemo()) GTEST_SKIP() << "the README program writes no picture";
    EXPECT_EQ(runExample("readme_plot", 5, ""), 0);
}

// The README's first program is examples/readme_plot.cpp, which the build compiles: the two
// must not drift apart.
TEST(Readme, ListsTheCompiledReadmeProgramVerbatim) {
    std::string program = readFile(sourceDir() + "/examples/readme_plot.cpp");
    std::string readme = readFile(sourceDir() + "/README.md");
    ASSERT_FALSE(program.empty());
    EXPECT_NE(readme.find("```cpp\n" + program + "```\n"), std::string::npos)
        << "README.md does not show examples/readme_plot.cpp as it is";
}

}  // namespace

// Two stacked series beside a third over six named months: orange under sky blue in the
// left place of each month, bluish green in the right one, the names under the centres.
TEST_F(DemoPictures, BarsStackAndGroupOverNamedMonths) {
    Picture p = picture("bars", 10);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    expectChartFrame800x600(p);
    auto orange = shadeOf({230, 159, 0});
    auto sky = shadeOf({86, 180, 233});
    auto green = shadeOf({0, 158, 115});
    for (int i = 0; i < 6; ++i) {
        // Limits -0.5 to 5.5 across the frame's 714 pixels from column 74.
        const int centre = static_cast<int>(74.24 + (i + 0.5) / 6.0 * 714.0);
        const int left = centre - 24, right = centre + 24;  // the middles of the two places
        // Up the left place: orange from the bottom, then sky blue, then black.
        std::vector<int> runs;
        for (int y = 554; y > 13; --y) {
            const RGB c = p.at(left, y);
            const int kind = orange(c) ? 1 : sky(c) ? 2 : isBlack(c) ? 0 : -1;
            if (kind >= 0 && (runs.empty() || runs.back() != kind)) runs.push_back(kind);
        }
        EXPECT_EQ((std::vector<int>{1, 2, 0}), runs) << "month " << i;
        EXPECT_GT(p.count({right - 2, 450, right + 3, 556}, green), 400) << "month " << i;
        // Its name under its centre, none halfway to the next.
        EXPECT_GT(p.count({centre - 15, 566, centre + 15, 600}, isWhite), 10) << "month " << i;
        EXPECT_EQ(0, p.count({centre + 55, 566, centre + 65, 600}, isWhite)) << "month " << i;
    }
}

// A signal under marks: a translucent sky-blue span over x 1 to 2.5, a vermilion line at
// y 1.5, a light grey line at x 6 and text near each.
TEST_F(DemoPictures, AnnotationsMarkTheSignal) {
    Picture p = picture("annotations", 10);
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 600);
    expectChartFrame800x600(p);
    // Limits x 0 to 10 over columns 74 to 788, y -2.5 to 2.5 over rows 559 to 9 from the top.
    const auto column = [](double x) { return static_cast<int>(74.24 + x / 10.0 * 714.0); };
    const auto row = [](double y) { return static_cast<int>(9.42 + (2.5 - y) / 5.0 * 550.0); };
    const RGB spanColour{26, 56, 72};  // 0x56B4E9 at 0x50 / 255 over black
    const auto isSpan = [&](const RGB& c) { return near(c, spanColour, 6); };
    EXPECT_GT(p.count({column(1.1), row(1.0), column(2.4), row(-0.5)}, isSpan), 15000);
    EXPECT_EQ(0, p.count({column(2.6), row(1.0), column(5.5), row(-0.5)}, isSpan));
    auto vermilion = shadeOf({213, 94, 0});
    EXPECT_GT(p.count({column(3), row(1.5) - 2, column(5), row(1.5) + 3}, vermilion), 250);
    const auto grey = [](const RGB& c) { return near(c, {192, 192, 192}, 10); };
    EXPECT_GT(p.count({column(6) - 2, row(-1), column(6) + 3, row(-2)}, grey), 100);
    // "alarm threshold" above its line, in its colour.
    EXPECT_GT(p.count({column(0.2), row(1.9), column(1.8), row(1.55)}, vermilion), 40);
}
