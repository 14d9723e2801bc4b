#include "shell/main_window.h"

#include "tally_version.h"

#include <QApplication>
#include <QCloseEvent>

namespace tally {

Form1::Form1(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(version::ProductName) + QStringLiteral(" by ") +
                   QString::fromUtf8(version::CompanyName));
    resize(878, 741);
}

void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    QCoreApplication::quit();
}

} // namespace tally
