// Program-wide state shared by the windows for the whole run.
#pragma once

#include <QString>

namespace tally {

struct AppState {
    // Set when the main window closes while the browser window is open; the browser window then
    // ends the program when it closes.
    bool ExitPending = false;
    // What the browser window opens: "Website" for the product's site.
    QString BrowserTarget;
    // The product's web site as a bare host name (taken from the version information).
    QString SiteAddress;
    // Whether windows are skinned when they load.
    bool SkinningOn = false;
    // The selected results row on its way to the save dialog: "caption:cell\n" per engine.
    QString PendingSaveText;
    // The file name (name + ".vqz") of the saved search chosen in the load dialog.
    QString CurrentSavedSearch;
};

// The one instance.
AppState& appState();

} // namespace tally
