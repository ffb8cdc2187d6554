#pragma once
// How deep the views may expand a design. Qt's tree view lays out expanded
// rows recursively, some hundreds of bytes of stack per expanded level: a
// design tens of thousands of levels deep, fully expanded, would overflow the
// stack and crash. So the views never expand a node deeper than this; rows
// below it stay collapsed, and the window says so.

namespace ui {

// The deepest level that may be expanded, from the size of the calling
// thread's stack (the window's thread), between a floor and a ceiling that
// no real design reaches.
int safeExpansionDepth();

} // namespace ui
