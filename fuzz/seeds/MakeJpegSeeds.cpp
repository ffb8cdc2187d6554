// Writes the seed pictures of the JPEG fuzz target: tiny files of every kind
// the decoder has a path for (baseline, progressive, grey, CMYK, subsampled,
// restart markers, arithmetic coding). Pixels are a fixed function of their
// place, so every run writes the same files.
//
// Usage: make_jpeg_seeds FOLDER

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h> // needs size_t and FILE declared first

namespace {

struct Seed {
    const char* name;
    int width;
    int height;
    J_COLOR_SPACE space;
    int components;
    bool progressive;
    int restartRows;    // 0: none
    bool arithmetic;
    bool fullColour;    // 4:4:4 rather than the default 4:2:0
};

const Seed kSeeds[] = {
    {"baseline-16x16.jpg", 16, 16, JCS_RGB, 3, false, 0, false, false},
    {"baseline-444-9x7.jpg", 9, 7, JCS_RGB, 3, false, 0, false, true},
    {"progressive-24x16.jpg", 24, 16, JCS_RGB, 3, true, 0, false, false},
    {"grey-8x8.jpg", 8, 8, JCS_GRAYSCALE, 1, false, 0, false, false},
    {"cmyk-8x8.jpg", 8, 8, JCS_CMYK, 4, false, 0, false, false},
    {"restarts-16x32.jpg", 16, 32, JCS_RGB, 3, false, 1, false, false},
    {"arithmetic-16x8.jpg", 16, 8, JCS_RGB, 3, false, 0, true, false},
    {"progressive-grey-17x5.jpg", 17, 5, JCS_GRAYSCALE, 1, true, 0, false, false},
};

JSAMPLE sample(int x, int y, int c) { return static_cast<JSAMPLE>((x * 37 + y * 91 + c * 53 + x * y * 7) & 0xFF); }

bool write(const Seed& s, const std::string& path)
{
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(s.width);
    info.image_height = static_cast<JDIMENSION>(s.height);
    info.input_components = s.components;
    info.in_color_space = s.space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 75, TRUE);
    if (s.progressive)
        jpeg_simple_progression(&info);
    info.restart_in_rows = s.restartRows;
    info.arith_code = s.arithmetic ? TRUE : FALSE;
    if (s.fullColour)
        for (int c = 0; c < info.num_components; ++c)
            info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(s.width * s.components));
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < s.width; ++x)
            for (int c = 0; c < s.components; ++c)
                row[static_cast<std::size_t>(x * s.components + c)] = sample(x, y, c);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(out) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: make_jpeg_seeds FOLDER\n");
        return 1;
    }
    for (const Seed& s : kSeeds) {
        if (!write(s, std::string(argv[1]) + "/" + s.name)) {
            std::fprintf(stderr, "cannot write %s\n", s.name);
            return 1;
        }
    }
    return 0;
}
