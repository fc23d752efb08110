// The colour-map tables: anchor rows, the shape each map must keep, and that the
// committed tables are what scripts/gen_colormaps.py produces.

#include "colormap/cmap_tables.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <string>

namespace {

using Table = const float (*)[4];

struct TableInfo {
    const char* name;
    Table rows;
    int count;
    bool eightBit;  // components are k / 255; otherwise four-decimal fractions
};

const TableInfo TABLES[] = {
    {"cmap_default", internal::cmap_default, internal::CMAP_DEFAULT_ROWS, false},
    {"cmap_spectrum", internal::cmap_spectrum, internal::CMAP_SPECTRUM_ROWS, true},
    {"cmap_colors", internal::cmap_colors, internal::CMAP_COLORS_ROWS, true},
    {"cmap_red", internal::cmap_red, internal::CMAP_RED_ROWS, true},
    {"cmap_mood", internal::cmap_mood, internal::CMAP_MOOD_ROWS, false},
    {"cmap_heat", internal::cmap_heat, internal::CMAP_HEAT_ROWS, false},
    {"cmap_blue", internal::cmap_blue, internal::CMAP_BLUE_ROWS, true},
};

int byte(float v) { return static_cast<int>(std::lround(v * 255.0)); }

// Rec.601 luma, the brightness measure the maps are built to.
double luma(const float* row) { return 0.299 * row[0] + 0.587 * row[1] + 0.114 * row[2]; }

struct Anchor {
    Table table;
    const char* name;
    int row;
    double r, g, b;  // 8-bit units for 8-bit tables, else fractions
};

const Anchor EIGHT_BIT_ANCHORS[] = {
    {internal::cmap_red, "red", 0, 255, 255, 255},
    {internal::cmap_red, "red", 50, 252, 236, 159},
    {internal::cmap_red, "red", 51, 252, 235, 155},
    {internal::cmap_red, "red", 100, 254, 179, 56},
    {internal::cmap_red, "red", 101, 254, 176, 50},
    {internal::cmap_red, "red", 151, 245, 109, 41},
    {internal::cmap_red, "red", 152, 245, 106, 41},
    {internal::cmap_red, "red", 201, 213, 35, 40},
    {internal::cmap_red, "red", 202, 211, 31, 40},
    {internal::cmap_red, "red", 252, 149, 21, 26},
    {internal::cmap_red, "red", 253, 146, 21, 25},
    {internal::cmap_blue, "blue", 0, 255, 255, 255},
    {internal::cmap_blue, "blue", 50, 217, 240, 249},
    {internal::cmap_blue, "blue", 51, 215, 239, 249},
    {internal::cmap_blue, "blue", 100, 160, 219, 247},
    {internal::cmap_blue, "blue", 101, 157, 218, 247},
    {internal::cmap_blue, "blue", 151, 90, 166, 217},
    {internal::cmap_blue, "blue", 152, 87, 164, 216},
    {internal::cmap_blue, "blue", 201, 39, 93, 170},
    {internal::cmap_blue, "blue", 202, 36, 89, 167},
    {internal::cmap_blue, "blue", 252, 27, 46, 101},
    {internal::cmap_blue, "blue", 253, 27, 44, 98},
    {internal::cmap_spectrum, "spectrum", 0, 1, 0, 1},
    {internal::cmap_spectrum, "spectrum", 24, 133, 0, 150},
    {internal::cmap_spectrum, "spectrum", 40, 1, 0, 175},
    {internal::cmap_spectrum, "spectrum", 50, 0, 0, 216},
    {internal::cmap_spectrum, "spectrum", 64, 0, 115, 221},
    {internal::cmap_spectrum, "spectrum", 75, 0, 146, 221},
    {internal::cmap_spectrum, "spectrum", 95, 0, 170, 155},
    {internal::cmap_spectrum, "spectrum", 116, 0, 156, 1},
    {internal::cmap_spectrum, "spectrum", 128, 0, 187, 0},
    {internal::cmap_spectrum, "spectrum", 155, 32, 255, 0},
    {internal::cmap_spectrum, "spectrum", 180, 240, 232, 0},
    {internal::cmap_spectrum, "spectrum", 192, 254, 201, 0},
    {internal::cmap_spectrum, "spectrum", 200, 255, 169, 0},
    {internal::cmap_spectrum, "spectrum", 217, 253, 0, 0},
    {internal::cmap_spectrum, "spectrum", 239, 208, 0, 0},
    {internal::cmap_spectrum, "spectrum", 255, 203, 200, 200},
    {internal::cmap_spectrum, "spectrum", 256, 222, 222, 222},
    {internal::cmap_colors, "colors", 0, 255, 0, 42},
    {internal::cmap_colors, "colors", 12, 255, 15, 0},
    {internal::cmap_colors, "colors", 57, 253, 250, 0},
    {internal::cmap_colors, "colors", 64, 215, 255, 0},
    {internal::cmap_colors, "colors", 105, 1, 255, 3},
    {internal::cmap_colors, "colors", 129, 0, 255, 130},
    {internal::cmap_colors, "colors", 153, 0, 251, 251},
    {internal::cmap_colors, "colors", 194, 0, 32, 255},
    {internal::cmap_colors, "colors", 200, 1, 1, 255},
    {internal::cmap_colors, "colors", 248, 251, 0, 251},
    {internal::cmap_colors, "colors", 257, 255, 0, 205},
    {internal::cmap_colors, "colors", 258, 255, 177, 240},
};

const Anchor FOUR_PLACE_ANCHORS[] = {
    {internal::cmap_mood, "mood", 0, 0.5151, 0.0482, 0.6697},
    {internal::cmap_mood, "mood", 51, 0.4297, 0.3855, 0.9921},
    {internal::cmap_mood, "mood", 64, 0.3994, 0.4577, 0.9829},
    {internal::cmap_mood, "mood", 119, 0.2210, 0.7123, 0.7258},
    {internal::cmap_mood, "mood", 128, 0.2310, 0.7391, 0.6732},
    {internal::cmap_mood, "mood", 187, 0.3602, 0.8896, 0.2919},
    {internal::cmap_mood, "mood", 192, 0.3816, 0.8980, 0.2931},
    {internal::cmap_mood, "mood", 221, 0.6033, 0.9255, 0.3295},
    {internal::cmap_mood, "mood", 255, 0.8000, 0.9255, 0.3529},
    {internal::cmap_heat, "heat", 0, 0, 0, 0},
    {internal::cmap_heat, "heat", 3, 0, 0, 0.3081},
    {internal::cmap_heat, "heat", 8, 0.1967, 0, 0.6516},
    {internal::cmap_heat, "heat", 14, 0.4863, 0, 0.8823},
    {internal::cmap_heat, "heat", 16, 0.5785, 0, 0.8115},
    {internal::cmap_heat, "heat", 23, 0.7458, 0, 0.4028},
    {internal::cmap_heat, "heat", 31, 0.9253, 0.2801, 0.0039},
    {internal::cmap_heat, "heat", 32, 0.9492, 0.3238, 0},
    {internal::cmap_heat, "heat", 36, 1, 0.4723, 0},
    {internal::cmap_heat, "heat", 48, 1, 0.8179, 0},
    {internal::cmap_heat, "heat", 51, 1, 0.9053, 0},
    {internal::cmap_heat, "heat", 56, 1, 1, 0.4640},
    {internal::cmap_heat, "heat", 62, 1, 1, 1},
    {internal::cmap_heat, "heat", 63, 1, 1, 1},
};

TEST(ColormapTables, EightBitAnchorRowsAreExact) {
    for (const Anchor& a : EIGHT_BIT_ANCHORS) {
        SCOPED_TRACE(std::string(a.name) + " row " + std::to_string(a.row));
        const float* row = a.table[a.row];
        EXPECT_EQ(byte(row[0]), a.r);
        EXPECT_EQ(byte(row[1]), a.g);
        EXPECT_EQ(byte(row[2]), a.b);
    }
}

TEST(ColormapTables, FourPlaceAnchorRowsAreExact) {
    for (const Anchor& a : FOUR_PLACE_ANCHORS) {
        SCOPED_TRACE(std::string(a.name) + " row " + std::to_string(a.row));
        const float* row = a.table[a.row];
        EXPECT_NEAR(row[0], a.r, 5e-5);
        EXPECT_NEAR(row[1], a.g, 5e-5);
        EXPECT_NEAR(row[2], a.b, 5e-5);
    }
}

TEST(ColormapTables, DefaultIsAGreyRampRoundedToFourPlaces) {
    for (int i = 0; i < internal::CMAP_DEFAULT_ROWS; ++i) {
        SCOPED_TRACE(i);
        const float* row = internal::cmap_default[i];
        EXPECT_NEAR(row[0], std::round(i / 255.0 * 1e4) / 1e4, 1e-6);
        EXPECT_EQ(row[1], row[0]);
        EXPECT_EQ(row[2], row[0]);
    }
    struct { int row; float grey; } const exact[] = {
        {1, 0.0039f}, {2, 0.0078f}, {3, 0.0118f}, {128, 0.502f}, {254, 0.9961f}, {255, 1.0f}};
    for (const auto& e : exact) EXPECT_EQ(internal::cmap_default[e.row][0], e.grey) << e.row;
}

// Alpha is 1, colours lie in [0, 1], and each component is what its table's precision
// allows: exactly the float nearest k / 255, or a four-place decimal.
TEST(ColormapTables, EveryRowIsOpaqueInRangeAndAtTheTablesPrecision) {
    for (const TableInfo& t : TABLES) {
        SCOPED_TRACE(t.name);
        for (int i = 0; i < t.count; ++i) {
            EXPECT_EQ(t.rows[i][3], 1.0f) << "row " << i;
            for (int c = 0; c < 3; ++c) {
                const float v = t.rows[i][c];
                ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << "row " << i << " channel " << c;
                if (t.eightBit) {
                    EXPECT_EQ(v, static_cast<float>(byte(v)) / 255.0f) << "row " << i;
                } else {
                    EXPECT_NEAR(v * 1e4, std::round(v * 1e4), 1e-2) << "row " << i;
                }
            }
        }
    }
}

// Between consecutive key rows every component stays within one 8-bit step of the
// straight line joining them.
TEST(ColormapTables, RedAndBlueFollowTheLinesBetweenKeyRows) {
    const int keys[] = {0, 50, 51, 100, 101, 151, 152, 201, 202, 252, 253};
    for (Table table : {internal::cmap_red, internal::cmap_blue}) {
        SCOPED_TRACE(table == internal::cmap_red ? "red" : "blue");
        for (size_t k = 0; k + 1 < std::size(keys); ++k) {
            const int lo = keys[k], hi = keys[k + 1];
            for (int i = lo; i <= hi; ++i) {
                for (int c = 0; c < 3; ++c) {
                    const double t = double(i - lo) / (hi - lo);
                    const double line = byte(table[lo][c]) + t * (byte(table[hi][c]) - byte(table[lo][c]));
                    EXPECT_LE(std::abs(byte(table[i][c]) - line), 1.0) << "row " << i << " channel " << c;
                }
            }
        }
    }
}

TEST(ColormapTables, BlueNeverRisesAndDarkensEveryRow) {
    for (int i = 1; i < internal::CMAP_BLUE_ROWS; ++i) {
        const float* prev = internal::cmap_blue[i - 1];
        const float* row = internal::cmap_blue[i];
        for (int c = 0; c < 3; ++c) EXPECT_LE(row[c], prev[c]) << "row " << i << " channel " << c;
        EXPECT_LT(luma(row), luma(prev)) << "row " << i;
    }
}

TEST(ColormapTables, RedRisesOnlyInRedAtRows64And90AndDarkensEveryRow) {
    for (int i = 1; i < internal::CMAP_RED_ROWS; ++i) {
        const float* prev = internal::cmap_red[i - 1];
        const float* row = internal::cmap_red[i];
        const int redStep = byte(row[0]) - byte(prev[0]);
        if (i == 64 || i == 90) {
            EXPECT_EQ(redStep, 1) << "row " << i;
        } else {
            EXPECT_LE(redStep, 0) << "row " << i;
        }
        EXPECT_LE(row[1], prev[1]) << "row " << i;
        EXPECT_LE(row[2], prev[2]) << "row " << i;
        EXPECT_LT(luma(row), luma(prev)) << "row " << i;
    }
    EXPECT_EQ(byte(internal::cmap_red[63][0]), 252);
    EXPECT_EQ(byte(internal::cmap_red[64][0]), 253);
    EXPECT_EQ(byte(internal::cmap_red[89][0]), 253);
    EXPECT_EQ(byte(internal::cmap_red[90][0]), 254);
}

// Rows 0..257 go once round the saturated hue circle: one channel near full, one near
// zero, and the hue only ever advancing (from just below red round to magenta-red).
TEST(ColormapTables, ColorsStaySaturatedAndTheHueOnlyAdvances) {
    const double degrees = 180.0 / std::acos(-1.0);
    double prevHue = -1e9, unwrap = 0.0;
    for (int i = 0; i < internal::CMAP_COLORS_ROWS - 1; ++i) {
        SCOPED_TRACE(i);
        const float* row = internal::cmap_colors[i];
        const int r = byte(row[0]), g = byte(row[1]), b = byte(row[2]);
        EXPECT_GE(std::max({r, g, b}), 250);
        EXPECT_LE(std::min({r, g, b}), 10);
        double hue = std::atan2(std::sqrt(3.0) * (g - b), 2.0 * r - g - b) * degrees + unwrap;
        if (hue < prevHue - 180.0) {  // atan2 wraps from +180 to -180 between cyan and blue
            unwrap += 360.0;
            hue += 360.0;
        }
        EXPECT_GE(hue, prevHue);
        prevHue = hue;
    }
}

TEST(ColormapTables, MoodGreenNeverFallsAndBrightnessRisesEveryRow) {
    int bluest = 0;
    for (int i = 1; i < internal::CMAP_MOOD_ROWS; ++i) {
        const float* prev = internal::cmap_mood[i - 1];
        const float* row = internal::cmap_mood[i];
        EXPECT_GE(row[1], prev[1]) << "row " << i;
        EXPECT_GT(luma(row), luma(prev)) << "row " << i;
        if (row[2] > internal::cmap_mood[bluest][2]) bluest = i;
    }
    EXPECT_EQ(bluest, 51);
    for (int i = 221; i < internal::CMAP_MOOD_ROWS; ++i) EXPECT_EQ(internal::cmap_mood[i][1], 0.9255f) << i;
}

TEST(ColormapTables, HeatRedAndGreenNeverFallAndBlueRisesFallsAndRisesAgain) {
    const auto& heat = internal::cmap_heat;
    for (int i = 1; i < internal::CMAP_HEAT_ROWS; ++i) {
        EXPECT_GE(heat[i][0], heat[i - 1][0]) << "row " << i;
        EXPECT_GE(heat[i][1], heat[i - 1][1]) << "row " << i;
        const float blueStep = heat[i][2] - heat[i - 1][2];
        if (i <= 14 || i > 32) {
            EXPECT_GE(blueStep, 0.0f) << "row " << i;
        } else {
            EXPECT_LE(blueStep, 0.0f) << "row " << i;
        }
    }
    EXPECT_GT(heat[14][2], heat[13][2]);
    EXPECT_GT(heat[14][2], heat[15][2]);
    for (int i = 32; i <= 51; ++i) EXPECT_EQ(heat[i][2], 0.0f) << "row " << i;
    EXPECT_GT(heat[31][2], 0.0f);
    EXPECT_GT(heat[52][2], 0.0f);
}

// The committed tables must be what the generator writes today; without python3 the check
// is skipped rather than failed.
TEST(ColormapTables, CommittedTablesMatchTheGenerator) {
    const std::string script = std::string(ZV_SOURCE_DIR) + "/scripts/gen_colormaps.py";
    if (std::system("command -v python3 >/dev/null") != 0) GTEST_SKIP() << "python3 not found";
    EXPECT_EQ(std::system(("python3 '" + script + "' --check").c_str()), 0)
        << "src/colormap/cmap_tables.cpp is stale: run scripts/gen_colormaps.py";
}

}  // namespace
