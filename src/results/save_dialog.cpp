#include "results/save_dialog.h"

namespace tally {

void showSaveDialog(QWidget*) {}

} // namespace tally
