// The About window (frmAbout).
#pragma once

class QWidget;

namespace tally {

// Loads the About window and shows it without blocking.
void showAboutWindow(QWidget* owner);
// Closes the About window if it is loaded.
void unloadAboutWindow();

} // namespace tally
