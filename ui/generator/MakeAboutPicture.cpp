// Renders the about dialog's photograph: three coloured columns (one for each
// of the design's trees) standing in an evening landscape. The pixels are a
// pure function of their place, so every build makes the same file.
//
// Usage: make_about_picture OUTPUT.jpg

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>   // needs size_t and FILE declared first

namespace {

constexpr int kWidth = 1302;
constexpr int kHeight = 937;
constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb c, double k) { return {c.r * k, c.g * k, c.b * k}; }

// A small, fixed pseudo-random value in [-1, 1] for a pixel.
double grain(int x, int y)
{
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double((h ^ (h >> 16)) & 0xFFFF) / 32767.5 - 1.0;
}

double farHills(int x) { return 540 + 38 * std::sin(x * 0.0061) + 22 * std::sin(x * 0.017 + 1.3); }
double nearHills(int x) { return 618 + 26 * std::sin(x * 0.0043 + 2.1) + 12 * std::sin(x * 0.021); }

struct Column {
    double centre;
    Rgb colour;
};

const Column kColumns[] = {
    {350, {196, 64, 52}},    // FR
    {651, {64, 156, 84}},    // DP
    {952, {62, 96, 196}},    // PV
};
constexpr double kShaftHalf = 72;
constexpr double kShaftTop = 186;
constexpr double kShaftBottom = 760;

Rgb sky(int x, int y)
{
    const Rgb top{34, 74, 150}, horizon{250, 208, 156};
    Rgb c = mix(top, horizon, std::pow(y / 600.0, 1.4));
    const double dx = x - 1040.0, dy = y - 440.0;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d < 58)
        return {255, 244, 214};
    return mix(c, {255, 236, 190}, 0.55 * std::exp(-(d - 58) / 110.0));
}

Rgb land(int x, int y)
{
    if (y < farHills(x))
        return sky(x, y);
    if (y < nearHills(x))
        return mix({132, 140, 176}, {104, 124, 150}, (y - farHills(x)) / 90.0);
    const double depth = (y - nearHills(x)) / double(kHeight - 600);
    Rgb ground = mix({118, 146, 78}, {150, 128, 70}, depth);
    ground = scale(ground, 1.0 + 0.05 * grain(x, y));
    // Each column's shadow falls to the left of its base, away from the low
    // sun, fading with distance and soft at its edges.
    for (const Column& column : kColumns) {
        const double from = column.centre - kShaftHalf - 26;
        const double along = (from - x) / 240.0;
        const double across = std::abs(y - (kShaftBottom + 30.0)) / 9.0;
        if (along > -0.1 && along < 1 && across < 1)
            ground = scale(ground, 1 - 0.32 * (1 - along) * (1 - across * across));
    }
    return ground;
}

// Light from the right: a lit side, a shaded side and sixteen flutes.
Rgb shaft(const Column& column, int x, int y)
{
    const double t = (x - column.centre) / kShaftHalf;
    const double nz = std::sqrt(std::max(0.0, 1 - t * t));
    double light = 0.32 + 0.68 * std::max(0.0, 0.55 * t + 0.83 * nz);
    light -= 0.07 * (0.5 + 0.5 * std::cos(std::asin(std::clamp(t, -1.0, 1.0)) * 16));
    light *= 1.0 - 0.12 * (y - kShaftTop) / (kShaftBottom - kShaftTop);
    return scale(column.colour, light * (1.0 + 0.025 * grain(x, y)));
}

Rgb slab(const Column& column, int x, int y, double top)
{
    const double t = (x - column.centre) / (kShaftHalf + 22);
    const double light = 0.55 + 0.4 * (t + 1) / 2 - (y - top) * 0.004;
    return scale(mix(column.colour, {235, 228, 214}, 0.55), light);
}

Rgb pixel(int x, int y)
{
    for (const Column& column : kColumns) {
        const double dx = std::abs(x - column.centre);
        if (y >= kShaftTop - 34 && y < kShaftTop && dx < kShaftHalf + 22)
            return slab(column, x, y, kShaftTop - 34);
        if (y >= kShaftBottom && y < kShaftBottom + 38 && dx < kShaftHalf + 26)
            return slab(column, x, y, kShaftBottom);
        if (y >= kShaftTop && y < kShaftBottom && dx < kShaftHalf)
            return shaft(column, x, y);
    }
    return land(x, y);
}

std::uint8_t byte(double v) { return std::uint8_t(std::clamp(std::lround(v), 0L, 255L)); }

std::vector<std::uint8_t> render()
{
    std::vector<std::uint8_t> rgb(std::size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double ex = (x - kWidth / 2.0) / kWidth, ey = (y - kHeight / 2.0) / kHeight;
            const Rgb c = scale(pixel(x, y), 1.0 - 0.35 * (ex * ex + ey * ey));
            std::uint8_t* out = &rgb[(std::size_t(y) * kWidth + x) * 3];
            out[0] = byte(c.r);
            out[1] = byte(c.g);
            out[2] = byte(c.b);
        }
    }
    return rgb;
}

bool encode(const std::vector<std::uint8_t>& rgb, std::FILE* file)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);   // a fatal error here ends the build step
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = kWidth;
    info.image_height = kHeight;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 82, TRUE);
    jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(&rgb[std::size_t(info.next_scanline) * kWidth * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    encode(render(), file);
    if (std::fclose(file) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
