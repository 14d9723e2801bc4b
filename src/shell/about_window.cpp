#include "shell/about_window.h"

namespace tally {

void showAboutWindow(QWidget*) {}
void unloadAboutWindow() {}

} // namespace tally
