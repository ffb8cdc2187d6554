#pragma once
// Work that reads the design off the window's thread while the window keeps
// painting: a save, a table export.

#include "app/ReaderGate.h"

#include <exception>
#include <functional>

namespace app {

// Whose events the window's thread handles while it waits.
enum class WhileWaiting {
    KeepUserOut,         // the window paints; nothing the user does starts before the work ends
    UserInWhileModalUp,  // the user's events too while a modal dialog (a progress dialog) keeps them from the window
};

// Runs `work` on a thread of its own, inside `pass` (begun before it, ended
// after it however it ends, so a step waiting at the gate goes on), and
// returns when it is done with what it threw: the caller raises that on the
// window's thread, at the command's boundary.
std::exception_ptr runBesideTheWindow(ReaderGate::Pass& pass, const std::function<void()>& work,
                                      WhileWaiting waiting);

} // namespace app
