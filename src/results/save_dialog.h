// The save dialog (Form5, "Save Search Results").
#pragma once

class QWidget;

namespace tally {

// Shows Form5 modally, owned by `owner`; it saves appState().PendingSaveText.
void showSaveDialog(QWidget* owner);

} // namespace tally
