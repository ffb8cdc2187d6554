#include "ui/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace ui {
namespace {

// Pictures larger than this many pixels are refused rather than allocated. A
// picture of several scans is refused when its full size is larger, whatever
// the scale of the output: libjpeg keeps every coefficient of it.
constexpr qint64 kMaxPixels = qint64(64) * 1024 * 1024;
// libjpeg's own allocations for one picture stop here (with an error), so
// that nothing a file declares can make it allocate without bound.
constexpr long kMaxLibraryBytes = 512L * 1024 * 1024;
// Scans after this many are decoded but shown only with the last one, so a
// file of thousands of tiny scans cannot make thousands of output passes.
constexpr int kMaxShownScans = 32;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int warnings;
    char message[JMSG_LENGTH_MAX];
};

// libjpeg's default ends the process; this returns to the setjmp instead.
[[noreturn]] void errorExit(j_common_ptr info)
{
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

void emitMessage(j_common_ptr info, int level)
{
    if (level < 0)
        ++reinterpret_cast<ErrorManager*>(info->err)->warnings;
}

// Everything one decoding touches, kept in memory the longjmp leaves alone.
struct Session {
    jpeg_decompress_struct info;
    ErrorManager errors;
    const QByteArray* data;
    QSize atLeast;
    const JpegDecoder::Progress* progress;
    QImage image;
};

void report(Session& s, int rows)
{
    if (*s.progress)
        (*s.progress)(s.image, rows);
}

void readPass(Session& s)
{
    jpeg_decompress_struct& info = s.info;
    int sinceReport = 0;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = s.image.scanLine(int(info.output_scanline));
        sinceReport += int(jpeg_read_scanlines(&info, &row, 1));
        if (sinceReport >= JpegDecoder::kRowsPerReport) {
            report(s, int(info.output_scanline));
            sinceReport = 0;
        }
    }
    report(s, int(info.output_height));
}

// One output pass per completed scan, the last one after the final scan.
void readBuffered(Session& s)
{
    jpeg_decompress_struct& info = s.info;
    bool finalPass = false;
    while (!finalPass) {
        int status;
        do {
            status = jpeg_consume_input(&info);
        } while (status != JPEG_SUSPENDED && status != JPEG_REACHED_EOI
                 && status != JPEG_SCAN_COMPLETED);
        finalPass = jpeg_input_complete(&info);
        if (!finalPass && info.input_scan_number > kMaxShownScans)
            continue;
        jpeg_start_output(&info, info.input_scan_number);
        readPass(s);
        jpeg_finish_output(&info);
    }
}

bool fits(const jpeg_decompress_struct& info)
{
    const qint64 source = qint64(info.image_width) * info.image_height;
    const qint64 output = qint64(info.output_width) * info.output_height;
    return output <= kMaxPixels && (!info.buffered_image || source <= kMaxPixels) && info.output_components == 3;
}

// Contains no object with a destructor: a fatal error longjmps out of it.
bool readAll(Session& s)
{
    jpeg_decompress_struct& info = s.info;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(s.data->constData()),
                 static_cast<unsigned long>(s.data->size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    info.scale_num = 1;
    info.scale_denom = unsigned(JpegDecoder::scaleDenominatorFor(
        QSize(int(info.image_width), int(info.image_height)), s.atLeast));
    info.buffered_image = jpeg_has_multiple_scans(&info);
    // The sizes are known before libjpeg allocates anything for the picture.
    jpeg_calc_output_dimensions(&info);
    if (!fits(info))
        return false;
    info.mem->max_memory_to_use = kMaxLibraryBytes;
    jpeg_start_decompress(&info);
    s.image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (s.image.isNull())
        return false;
    s.image.fill(Qt::gray);
    if (info.buffered_image)
        readBuffered(s);
    else
        readPass(s);
    jpeg_finish_decompress(&info);
    return true;
}

bool run(Session& s)
{
    s.info.err = jpeg_std_error(&s.errors.pub);
    s.errors.pub.error_exit = errorExit;
    s.errors.pub.emit_message = emitMessage;
    if (setjmp(s.errors.jump)) {
        jpeg_destroy_decompress(&s.info);
        return false;
    }
    jpeg_create_decompress(&s.info);
    const bool complete = readAll(s);
    jpeg_destroy_decompress(&s.info);
    return complete;
}

} // namespace

JpegDecoder::Result JpegDecoder::decode(const QByteArray& data, QSize atLeast, const Progress& progress)
{
    Session session{};
    session.data = &data;
    session.atLeast = atLeast;
    session.progress = &progress;
    Result result;
    if (data.isEmpty()) {
        result.error = QStringLiteral("Empty JPEG data");
        return result;
    }
    if (run(session)) {
        result.image = session.image;
    } else {
        result.error = QString::fromLocal8Bit(session.errors.message);
        if (result.error.isEmpty())
            result.error = QStringLiteral("JPEG picture too large or of an unsupported kind");
    }
    result.warnings = session.errors.warnings;
    return result;
}

int JpegDecoder::scaleDenominatorFor(QSize size, QSize atLeast)
{
    if (atLeast.isEmpty())
        return 1;
    int denominator = 1;
    while (denominator < 8 && size.width() / (denominator * 2) >= atLeast.width()
           && size.height() / (denominator * 2) >= atLeast.height())
        denominator *= 2;
    return denominator;
}

} // namespace ui
