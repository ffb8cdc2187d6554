#pragma once
// The texts of a design as every export shows them, in UTF-8: a node's full
// label where it has one that still stands for its label (see
// model/RowTexts.h), its Windows-1252 text otherwise; a title's full form
// where the design keeps one; and the notes. Every document built here holds
// UTF-8 only, so each writer has one encoding to escape.
//
// Most texts are ASCII, which is UTF-8 as it stands: those are viewed where
// the design holds them, and only the others are converted, into a TextKeeper
// that lives with the document.

#include <deque>
#include <string>
#include <string_view>

namespace model { class Node; }

namespace exporting {

struct ExportSource;

// Texts a document made for itself. Views of them stay valid while the
// keeper lives, also when it moves with its document.
class TextKeeper {
public:
    std::string_view keep(std::string text) { return m_texts.emplace_back(std::move(text)); }
    // `cp1252` as UTF-8: the text itself when it is ASCII, else a kept conversion.
    std::string_view utf8(std::string_view cp1252);

private:
    std::deque<std::string> m_texts; // a deque: its strings never move
};

bool isAscii(std::string_view text);

// The row's full label in tree `tree` (UTF-8, without the number); nullptr
// when it has none that stands. `frNode` is the row's node in the FR tree.
const std::string* standingFullLabel(const ExportSource& source, int tree, const model::Node* frNode,
                                     const model::Node* node);

// The node's whole text, outline number included.
std::string_view fullNodeText(const ExportSource& source, int tree, const model::Node* frNode,
                              const model::Node* node, TextKeeper& keeper);
// The node's label without its outline number.
std::string_view fullLabelText(const ExportSource& source, int tree, const model::Node* frNode,
                               const model::Node* node, TextKeeper& keeper);
// The column title of a tree.
std::string_view fullTitleText(const ExportSource& source, int tree, TextKeeper& keeper);

// Whether the design holds any note, and the note of the row's node in
// `tree` (UTF-8; empty when it has none).
bool hasNotes(const ExportSource& source);
std::string_view noteOf(const ExportSource& source, int tree, const model::Node* frNode);

} // namespace exporting
