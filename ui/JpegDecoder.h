#pragma once
// Decodes a JPEG held in memory with libjpeg, scanline by scanline straight
// into the rows of a QImage, reporting rows as they arrive so that a widget
// can paint a picture while it decodes. Progressive files are decoded in
// buffered-image mode: every completed scan is shown as a whole picture.
//
// libjpeg's fatal errors end the decoding (through longjmp, never exit());
// the result is then a null image carrying the library's message.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

namespace ui {

class JpegDecoder {
public:
    // The picture so far and how many of its rows hold the current pass.
    using Progress = std::function<void(const QImage& image, int rowsDone)>;

    struct Result {
        QImage image;       // Format_RGB888; null after a fatal error
        int warnings = 0;   // e.g. a file cut short decodes with warnings
        QString error;      // the library's message after a fatal error
    };

    // Rows are reported at least every this many.
    static constexpr int kRowsPerReport = 16;

    // Decodes `data`. With `atLeast` given, the picture is scaled down by the
    // largest of 1/2, 1/4, 1/8 that still covers that size (cheap in libjpeg).
    static Result decode(const QByteArray& data, QSize atLeast = {}, const Progress& progress = {});

    // The largest denominator (1, 2, 4, 8) keeping `size` at least `atLeast`.
    static int scaleDenominatorFor(QSize size, QSize atLeast);
};

} // namespace ui
