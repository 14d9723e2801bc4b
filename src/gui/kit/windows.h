// Small services on top-level windows that several windows share.
#pragma once

class QWidget;

namespace tally {

// Raises the window above the others (on) or returns it to the normal order (off), without
// moving, resizing, hiding or re-creating it.
void setAlwaysOnTop(QWidget* window, bool on);

// Shows the window if hidden, restores it if minimised, and raises and activates it.
void bringForward(QWidget* window);

// Moves the window so that its frame is centred on the available area of its screen.
void centreOnScreen(QWidget* window);

} // namespace tally
