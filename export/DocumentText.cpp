#include "export/DocumentText.h"

#include "io/Cp1252.h"
#include "model/Cp1252.h"

namespace exporting {

QString qtText(std::string_view cp1252)
{
    QString out(static_cast<qsizetype>(cp1252.size()), Qt::Uninitialized);
    QChar* p = out.data();
    for (unsigned char b : cp1252)
        *p++ = QChar(model::cp1252ToUnicode(b));
    return out;
}

void appendUtf8(std::string& out, std::string_view cp1252, Escaper escape)
{
    // Runs without anything to escape go over in one piece.
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < cp1252.size(); ++i) {
        const std::string_view replacement = escape(cp1252[i]);
        if (replacement.empty())
            continue;
        io::appendCp1252AsUtf8(out, cp1252.substr(runStart, i - runStart));
        out.append(replacement);
        runStart = i + 1;
    }
    io::appendCp1252AsUtf8(out, cp1252.substr(runStart));
}

} // namespace exporting
