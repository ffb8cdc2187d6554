#pragma once
// Refuses typed or pasted characters that Windows-1252 cannot hold, so
// nothing the user types is silently changed on its way to the file.

#include "ui/Cp1252.h"

#include <QValidator>

namespace ui {

class Cp1252Validator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        return encodeCp1252(input) ? Acceptable : Invalid;
    }
};

} // namespace ui
