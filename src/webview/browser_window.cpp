#include "webview/browser_window.h"

namespace tally {

void showBrowserWindow() {}
bool browserWindowVisible() { return false; }
void SetAlwaysOnTop(QWidget*, bool) {}

} // namespace tally
