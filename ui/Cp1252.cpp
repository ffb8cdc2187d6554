#include "ui/Cp1252.h"

#include "model/Cp1252.h"

namespace ui {

QString decodeCp1252(std::string_view bytes)
{
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* p = out.data();
    for (unsigned char b : bytes)
        *p++ = QChar(model::cp1252ToUnicode(b));
    return out;
}

std::optional<std::string> encodeCp1252(const QString& text)
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

} // namespace ui
