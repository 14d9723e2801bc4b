#include "settings/program_folder.h"
#include "shell/main_window.h"

#include <QApplication>

#include <unistd.h>

int main(int argc, char* argv[]) {
    // The web engine and the 3D charts share OpenGL contexts; this must precede the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Chromium's sandbox cannot run as root.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallyscope"));
    QApplication::setOrganizationName(QStringLiteral("Tallyscope"));
    // The program ends when its main window says so, not when the last window happens to close.
    QApplication::setQuitOnLastWindowClosed(false);

    tally::ProgramFolder::ensureFolders();

    tally::Form1 window;
    window.show();
    return app.exec();
}
