// The stand-alone browser window (frmWebsite).
#pragma once

class QWidget;

namespace tally {

// Loads the browser window if needed and shows it without blocking; it opens SiteAddress when
// appState().BrowserTarget is "Website", else SiteUrl. A window already loaded is only shown.
void showBrowserWindow();
// Whether the browser window is loaded and visible.
bool browserWindowVisible();

// Raises the window above the others (on) or returns it to the normal order (off), without
// moving or resizing it.
void SetAlwaysOnTop(QWidget* window, bool on);

} // namespace tally
