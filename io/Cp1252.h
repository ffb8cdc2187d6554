#pragma once
// Windows-1252 as Qt strings, for the display, the clipboard and the
// documents Qt draws: node texts and titles stay bytes in the model and in
// files, and become Unicode only to be shown or typed. The table is model's;
// header only, so the display uses it without linking the file layer.

#include "model/Cp1252.h"

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace io {

// Every byte decodes; the five bytes Windows-1252 leaves undefined become the
// C1 controls of the same value, so every byte round-trips.
inline QString decodeCp1252(std::string_view bytes)
{
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* p = out.data();
    for (unsigned char b : bytes)
        *p++ = QChar(model::cp1252ToUnicode(b));
    return out;
}

// The bytes of `text`, or nothing when a character has no Windows-1252 byte.
inline std::optional<std::string> encodeCp1252(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        const auto b = model::unicodeToCp1252(c.unicode());
        if (!b)
            return std::nullopt;
        out.push_back(static_cast<char>(*b));
    }
    return out;
}

} // namespace io
