// Saving an export (a CSV file) chosen by the user: where, through the save dialog of Prompts, and
// the write, replaced atomically, with a failure reported by file and reason.
#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace tally {

// Asks for a file, suggesting `suggestedName` in the user's documents folder, and writes the
// bytes to it. True when written; false when cancelled or when the write failed (and was reported).
bool exportToFile(QWidget* parent, const QString& caption, const QString& suggestedName,
                  const QByteArray& bytes);

} // namespace tally
