#pragma once
// How deep the views may expand a design: rows below this level stay
// collapsed, and the window says so. It is taken from the stack, as when the
// views laid out expanded rows recursively; their layout is iterative now,
// and the bound is kept so that deep designs behave as they always have.

namespace ui {

// The deepest level that may be expanded, from the size of the calling
// thread's stack (the window's thread), between a floor and a ceiling that
// no real design reaches.
int safeExpansionDepth();

} // namespace ui
