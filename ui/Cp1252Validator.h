#pragma once
// Refuses typed or pasted characters that Windows-1252 cannot hold, so
// nothing the user types is silently changed on its way to the file.

#include "model/Limits.h"
#include "ui/Cp1252.h"

#include <QValidator>
#include <functional>

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

// The label editor's: a label longer than model::kLongestLabel (pasted, or
// read from a design file that holds one) is cut, and `cut` is told so. The
// editor takes one character more than that, or this would never see it.
class LabelValidator : public Cp1252Validator {
public:
    static constexpr int kEditorLength = static_cast<int>(model::kLongestLabel) + 1;

    LabelValidator(std::function<void()> cut, QObject* parent) : Cp1252Validator(parent), m_cut(std::move(cut)) {}
    State validate(QString& input, int& pos) const override
    {
        constexpr auto longest = static_cast<qsizetype>(model::kLongestLabel);
        if (input.size() > longest) {
            input.truncate(longest); // one byte a character in the design: any cut is a character boundary
            pos = std::min(pos, static_cast<int>(longest));
            if (m_cut)
                m_cut();
        }
        return Cp1252Validator::validate(input, pos);
    }

private:
    std::function<void()> m_cut;
};

} // namespace ui
