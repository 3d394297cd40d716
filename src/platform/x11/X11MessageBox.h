#pragma once

// A message box drawn by the project (MessageBoxView) in a dialog window transient for
// the host's window, centred over the editor. Modal for its caller: runs until a
// button, Return, Escape or the window manager's close button answers.
#include <string>

class X11View;

namespace X11MessageBox {
// Answers 1 OK, 2 Cancel, 6 Yes, 7 No; 0 when the box could not be shown or the
// connection was lost.
int Run(X11View* view, const std::string& text, const std::string& caption, int type);
}  // namespace X11MessageBox
