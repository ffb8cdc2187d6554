#pragma once
// Refuses typed or pasted characters that Windows-1252 cannot hold, so
// nothing the user types is silently changed on its way to the file (a
// unit is kept in that code page alone).

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

// The label editor's: a label takes any character (the design keeps what
// Windows-1252 lacks beside the tree), but one longer than
// model::kLongestLabel (pasted, or read from a design file that holds one)
// is cut, and `cut` is told so. The editor takes one character more than
// that, or this would never see it.
class LabelValidator : public QValidator {
public:
    static constexpr int kEditorLength = static_cast<int>(model::kLongestLabel) + 1;

    LabelValidator(std::function<void()> cut, QObject* parent) : QValidator(parent), m_cut(std::move(cut)) {}
    State validate(QString& input, int& pos) const override
    {
        auto longest = static_cast<qsizetype>(model::kLongestLabel);
        if (input.size() > longest) {
            if (input.at(longest - 1).isHighSurrogate())
                --longest; // never half a character
            input.truncate(longest);
            pos = std::min(pos, static_cast<int>(longest));
            if (m_cut)
                m_cut();
        }
        return Acceptable;
    }

private:
    std::function<void()> m_cut;
};

} // namespace ui
