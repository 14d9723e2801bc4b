// The help window (Form8, "Readme/Help").
#pragma once

class QWidget;

namespace tally {

// Loads the help window (owned by `owner`) and shows it without blocking; nothing appears when
// Help.rtf is missing.
void showHelpWindow(QWidget* owner);
// Closes the help window if it is loaded.
void unloadHelpWindow();

} // namespace tally
