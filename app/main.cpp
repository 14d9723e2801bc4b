#include "core/cli/command_line.h"
#include "core/product/product.h"
#include "core/settings/program_folder.h"
#include "core/translations/translations.h"
#include "gui/kit/pictures.h"
#include "gui/kit/prompts.h"
#include "gui/main/splash_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <unistd.h>

namespace {

// A command of the command line: no window, no display, the core alone on a QCoreApplication.
int runCommand(int argc, char* argv[], const QStringList& arguments) {
    QFile out;
    QFile err;
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    // The application object comes first, for the translated messages of --help and of bad
    // arguments too; it needs no display.
    QCoreApplication app(argc, argv);
    tally::installTranslations();
    const tally::cli::Options options = tally::cli::parseArguments(arguments);
    if (!options.error.isEmpty() || options.command == tally::cli::Command::Help ||
        options.command == tally::cli::Command::Version)
        return tally::cli::run(options, &out, &err);

    QCoreApplication::setApplicationName(tally::product().name);
    QCoreApplication::setOrganizationName(tally::product().name);
    if (const tally::FileOutcome prepared = tally::ProgramFolder::prepare(); !prepared) {
        err.write(("tallyscope: " + prepared.reason() + "\n").toLocal8Bit());
        return tally::cli::ExitNotWritten;
    }
    return tally::cli::run(options, &out, &err);
}

int runWindow(int argc, char* argv[]) {
    // The web engine and the 3D charts share OpenGL contexts: the shared context is made when one
    // of them first appears (gui/kit/opengl_ready.h), not here, so that a start that shows neither
    // does not load the OpenGL driver.
    // Chromium's sandbox cannot run as root.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

    QApplication app(argc, argv);
    tally::installTranslations();
    // What is left after the toolkit took its own options is the window's own, or nobody's.
    QStringList left;
    for (int i = 1; i < argc; ++i)
        left << QString::fromLocal8Bit(argv[i]);
    const tally::cli::WindowOptions options = tally::cli::parseWindowArguments(left);
    if (!options.error.isEmpty()) {
        QFile err;
        err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
        err.write(
            ("tallyscope: " + options.error + "\n\n" + tally::cli::usageText()).toLocal8Bit());
        return tally::cli::ExitBadInput;
    }
    QApplication::setApplicationName(tally::product().name);
    QApplication::setOrganizationName(tally::product().name);
    QApplication::setDesktopFileName(QStringLiteral(TALLY_APP_ID));
    QApplication::setWindowIcon(tally::pictures::programIcon());
    // The program ends when its main window says so, not when the last window happens to close.
    QApplication::setQuitOnLastWindowClosed(false);

    if (const tally::FileOutcome prepared = tally::ProgramFolder::prepare(); !prepared)
        tally::Prompts::message(
            nullptr,
            QCoreApplication::translate("main", "The folder for your settings and saved searches "
                                                "could not be prepared:\n%1\n\n%2.\n\nChanges "
                                                "cannot be kept until this is resolved.")
                .arg(QDir::toNativeSeparators(tally::ProgramFolder::path()), prepared.reason()),
            tally::product().name, QMessageBox::Warning);

    // The splash window comes first: it switches the skin on, then opens the main window and
    // stays loaded, hidden, for the rest of the run.
    tally::SplashWindow splash;
    splash.setHistoryToShow(options.history);
    splash.show();
    return app.exec();
}

} // namespace

int main(int argc, char* argv[]) {
    // The command line is read before any toolkit object exists: --help, --version and the
    // commands that run without a window need no display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (tally::cli::isCommandLineRun(arguments))
        return runCommand(argc, argv, arguments);
    return runWindow(argc, argv);
}
