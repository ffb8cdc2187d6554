#pragma once
// Copied rows as plain text, both ways: what a text editor or an outliner
// gets from a copy, and the rows that text from elsewhere pastes as.

#include "model/CopiedRows.h"

#include <QStringView>
#include <string>

namespace io {

// The rows of one tree as lines of labels without their outline numbers,
// each indented by one tab a level and ended by LF, in UTF-8: a full label
// that stands (see model/RowTexts.h) instead of its question form.
std::string plainTextOf(const model::CopiedRows& rows, model::TreeId tree);

// The rows a text pastes as into tree `into`; the partners in the other two
// trees are new nodes ("__________"). One row per line that holds more than
// blanks:
// - its level from its leading tabs or, in a text indented by spaces only,
//   from 4 or 2 spaces a level, whichever every line keeps to (otherwise the
//   smallest indentation counts one level); the first line is the top, a
//   line less indented than the first is a top too, and a line more than
//   one level deeper than the line before is put one level below it;
// - a leading "-", "*" or "•" bullet and the blanks behind it dropped, then
//   an outline number in front of the label ("1.2 ", "3. ", "2) "); a bare
//   whole number ("3 layer mesh") only when every line begins with a number,
//   so that a label beginning with a count survives a copy into an editor
//   and back;
// - tabs inside the label become blanks, blanks at its end are dropped.
// The texts of `into` carry outline numbers counted within the rows, which
// the paste's renumbering replaces, so a label beginning with a digit stays
// whole. A label with a character Windows-1252 cannot hold keeps its
// question form in the tree and the whole label in CopiedRows::fullLabels,
// as the label editor would keep it.
// The rows are to be pasted at level `placeLevel`: a text whose rows would lie
// deeper than model::kDeepestLevel is refused before any row is made, and
// labels longer than model::kLongestLabel are cut (counted in `labelsCut`).
model::CopiedRows rowsFromPlainText(QStringView text, model::TreeId into, std::uint32_t placeLevel = 0);

} // namespace io
