// The JPEG decoder of the about dialog. Property: any input decodes to a
// picture or to an error message, never both, never neither; progress never
// reports more rows than the picture has. Hangs and memory beyond the run's
// limit are reported by libFuzzer itself (-timeout, -rss_limit_mb).
#include "FuzzSupport.h"

#include "ui/JpegDecoder.h"

namespace {

// The box the about dialog decodes its picture for; inputs of odd length use
// it, so that the scaled decoding is covered as well.
constexpr QSize kAboutBox(273, 209);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    int mostRows = 0;
    int imageHeight = 0;
    const ui::JpegDecoder::Result result = ui::JpegDecoder::decode(
        bytes, size % 2 ? kAboutBox : QSize(), [&](const QImage& image, int rowsDone) {
            mostRows = std::max(mostRows, rowsDone);
            imageHeight = image.height();
        });
    fuzzing::check(result.image.isNull() != result.error.isEmpty(), "a picture or an error, not both");
    fuzzing::check(mostRows <= imageHeight, "progress stays within the picture");
    if (!result.image.isNull())
        fuzzing::check(result.image.format() == QImage::Format_RGB888 && mostRows == result.image.height(),
                       "a picture is RGB and every row of it was reported");
    return 0;
}
