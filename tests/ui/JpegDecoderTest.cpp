// The JPEG decoder on pictures made here with libjpeg: sizes, pixels,
// progressive files, scaling, row reports, and broken input.
#include "ui/JpegDecoder.h"
#include "ui/TAboutDlg.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

#include <gtest/gtest.h>
#include <vector>

namespace {

using ui::JpegDecoder;

// Blocks of flat colour, 8 x 8 pixels each, so the JPEG keeps them closely.
QColor blockColour(int x, int y)
{
    const int bx = x / 8, by = y / 8;
    return QColor((bx * 53) % 256, (by * 91) % 256, ((bx + by) * 37) % 256);
}

QByteArray encodeBlocks(int width, int height, bool progressive)
{
    std::vector<unsigned char> rgb(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QColor c = blockColour(x, y);
            unsigned char* p = &rgb[(std::size_t(y) * width + x) * 3];
            p[0] = c.red(), p[1] = c.green(), p[2] = c.blue();
        }
    }
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = &rgb[std::size_t(info.next_scanline) * width * 3];
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

void expectBlockCentres(const QImage& image)
{
    for (int y = 4; y < image.height(); y += 8) {
        for (int x = 4; x < image.width(); x += 8) {
            const QColor got = image.pixelColor(x, y), want = blockColour(x, y);
            ASSERT_NEAR(got.red(), want.red(), 4) << x << "," << y;
            ASSERT_NEAR(got.green(), want.green(), 4) << x << "," << y;
            ASSERT_NEAR(got.blue(), want.blue(), 4) << x << "," << y;
        }
    }
}

class JpegKinds : public testing::TestWithParam<bool> {};

TEST_P(JpegKinds, DecodeToTheRightSizeAndPixels)
{
    const QByteArray jpeg = encodeBlocks(72, 40, GetParam());
    const JpegDecoder::Result result = JpegDecoder::decode(jpeg);
    ASSERT_FALSE(result.image.isNull()) << result.error.toStdString();
    EXPECT_EQ(result.image.size(), QSize(72, 40));
    EXPECT_EQ(result.warnings, 0);
    expectBlockCentres(result.image);
    const QImage qts = QImage::fromData(jpeg, "JPEG");
    if (!qts.isNull()) {   // Qt's own reader, where its plugin is installed
        EXPECT_EQ(result.image, qts.convertToFormat(QImage::Format_RGB888));
    }
}

TEST_P(JpegKinds, ReportRowsInOrderEndingWithTheWholePicture)
{
    std::vector<int> reports;
    int passes = 0;
    JpegDecoder::decode(encodeBlocks(40, 100, GetParam()), {}, [&](const QImage& image, int rows) {
        EXPECT_EQ(image.size(), QSize(40, 100));
        if (!reports.empty() && rows < reports.back())
            ++passes;   // a new pass starts at the top again
        reports.push_back(rows);
    });
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), 100);
    EXPECT_GE(reports.size(), 100u / JpegDecoder::kRowsPerReport);
    if (GetParam())
        EXPECT_GT(passes, 0);
    else
        EXPECT_EQ(passes, 0);
}

INSTANTIATE_TEST_SUITE_P(BaselineAndProgressive, JpegKinds, testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Progressive" : "Baseline"); });

TEST(JpegDecoder, ScalesDownOnlyAsFarAsTheBoxAllows)
{
    EXPECT_EQ(JpegDecoder::scaleDenominatorFor({1302, 937}, {273, 209}), 4);
    EXPECT_EQ(JpegDecoder::scaleDenominatorFor({1302, 937}, {}), 1);
    EXPECT_EQ(JpegDecoder::scaleDenominatorFor({200, 200}, {273, 209}), 1);
    EXPECT_EQ(JpegDecoder::scaleDenominatorFor({8000, 8000}, {10, 10}), 8);
    const JpegDecoder::Result half = JpegDecoder::decode(encodeBlocks(64, 64, false), {30, 30});
    EXPECT_EQ(half.image.size(), QSize(32, 32));
}

TEST(JpegDecoder, GarbageGivesANullPictureAndTheLibrarysMessage)
{
    const JpegDecoder::Result garbage = JpegDecoder::decode(QByteArray("this is no picture at all"));
    EXPECT_TRUE(garbage.image.isNull());
    EXPECT_TRUE(garbage.error.startsWith("Not a JPEG file")) << garbage.error.toStdString();
    EXPECT_TRUE(JpegDecoder::decode(QByteArray()).image.isNull());
}

TEST(JpegDecoder, BrokenDataAfterTheHeaderNeverCrashes)
{
    QByteArray jpeg = encodeBlocks(64, 48, true);
    for (qsizetype i = jpeg.size() / 3; i < jpeg.size(); i += 7)
        jpeg[i] = char(jpeg[i] ^ 0x5A);
    const JpegDecoder::Result result = JpegDecoder::decode(jpeg);
    EXPECT_TRUE(result.image.isNull() || result.image.size() == QSize(64, 48));
    EXPECT_TRUE(!result.image.isNull() || !result.error.isEmpty());
}

// The same file claiming another size in its frame header (SOF0 to SOF2).
QByteArray withDeclaredSize(QByteArray jpeg, int width, int height)
{
    for (qsizetype i = 2; i + 8 < jpeg.size();) {
        const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
        if (marker >= 0xC0 && marker <= 0xC2) {
            jpeg[i + 5] = char(height >> 8), jpeg[i + 6] = char(height & 0xFF);
            jpeg[i + 7] = char(width >> 8), jpeg[i + 8] = char(width & 0xFF);
            return jpeg;
        }
        i += 2 + ((static_cast<unsigned char>(jpeg[i + 2]) << 8) | static_cast<unsigned char>(jpeg[i + 3]));
    }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

// libjpeg keeps every coefficient of a picture of several scans at its full
// size, whatever the scale of the output: a small file claiming a huge
// progressive picture is refused before anything is allocated for it.
TEST(JpegDecoder, AProgressivePictureTooLargeIsRefusedEvenWhenScaledDown)
{
    const QByteArray huge = withDeclaredSize(encodeBlocks(64, 48, true), 16384, 16384);
    const JpegDecoder::Result result = JpegDecoder::decode(huge, {273, 209});
    EXPECT_TRUE(result.image.isNull());
    EXPECT_EQ(result.error.toStdString(), "JPEG picture too large or of an unsupported kind");
    const QByteArray large = withDeclaredSize(encodeBlocks(64, 48, false), 16384, 16384);
    EXPECT_EQ(JpegDecoder::decode(large, {273, 209}).image.size(), QSize(2048, 2048)); // one scan: decoded in strips
}

TEST(JpegDecoder, AFileCutShortDecodesWithWarnings)
{
    const QByteArray jpeg = encodeBlocks(64, 64, false);
    const JpegDecoder::Result result = JpegDecoder::decode(jpeg.left(jpeg.size() / 2));
    EXPECT_EQ(result.image.size(), QSize(64, 64));
    EXPECT_GT(result.warnings, 0);
}

TEST(JpegDecoder, ThePhotographIsAProgressive1302By937Picture)
{
    const QByteArray photograph = ui::TAboutDlg::photograph();
    ASSERT_FALSE(photograph.isEmpty());
    int fullPasses = 0;
    const JpegDecoder::Result result = JpegDecoder::decode(photograph, {}, [&](const QImage&, int rows) {
        fullPasses += rows == 937;
    });
    EXPECT_EQ(result.image.size(), QSize(1302, 937));
    EXPECT_EQ(result.warnings, 0);
    EXPECT_GT(fullPasses, 1);
}

} // namespace
