// The Options dialog (Form2): engine query prefixes, profile thresholds and data options.
#pragma once

class QWidget;

namespace tally {

// Opens the dialog modally, owned by `owner` ("View Options"). When the dialog is already open
// (modeless), brings that one forward instead.
void showOptionsModal(QWidget* owner);
// Opens the dialog without blocking and without an owner (the "Options" button), or brings the
// open one forward.
void showOptionsModeless();
// Closes the dialog if it is open (the main window's shut-down).
void unloadOptionsDialog();

} // namespace tally
