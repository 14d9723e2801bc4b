#include "core/product/product.h"
#include "core/settings/program_folder.h"
#include "gui/kit/pictures.h"
#include "gui/main/splash_window.h"

#include <QApplication>

#include <unistd.h>

int main(int argc, char* argv[]) {
    // The web engine and the 3D charts share OpenGL contexts: the shared context is made when one
    // of them first appears (gui/kit/opengl_ready.h), not here, so that a start that shows neither
    // does not load the OpenGL driver.
    // Chromium's sandbox cannot run as root.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

    QApplication app(argc, argv);
    QApplication::setApplicationName(tally::product().name);
    QApplication::setOrganizationName(tally::product().name);
    QApplication::setWindowIcon(tally::pictures::programIcon());
    // The program ends when its main window says so, not when the last window happens to close.
    QApplication::setQuitOnLastWindowClosed(false);

    tally::ProgramFolder::ensureFolders();

    // The splash window comes first: it switches the skin on, then opens the main window and
    // stays loaded, hidden, for the rest of the run.
    tally::SplashWindow splash;
    splash.show();
    return app.exec();
}
