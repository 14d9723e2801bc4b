#include "gui/kit/file_export.h"

#include "core/files/safe_file.h"
#include "gui/kit/prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(FileExport)
};

} // namespace

bool exportToFile(QWidget* parent, const QString& caption, const QString& suggestedName,
                  const QByteArray& bytes) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QString file = Prompts::instance().saveFileName(
        parent, caption, QDir(folder).filePath(suggestedName),
        Text::tr("CSV Files (*.csv);;All Files (*)"), QStringLiteral("csv"));
    if (file.isEmpty())
        return false;
    if (const FileOutcome written = writeFileAtomically(file, bytes); !written) {
        Prompts::fileProblem(parent, Text::tr("The export could not be saved to"), file,
                             written.reason(), Text::tr("Warning"));
        return false;
    }
    return true;
}

} // namespace tally
