#include "gui/main/splash_window.h"

#include "core/product/product.h"
#include "core/settings/user_settings.h"
#include "gui/kit/accessibility.h"
#include "gui/kit/pictures.h"
#include "gui/kit/skin.h"
#include "gui/kit/windows.h"
#include "gui/main/main_window.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace tally {

namespace {
// Designed client area: 7170 by 4770 twips.
constexpr QSize DesignedSize(478, 318);
} // namespace

SplashWindow::SplashWindow(int delayMs, bool skinning, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    accessibility::setRole(this, QAccessible::Window);
    setFixedSize(DesignedSize);
    setWindowIcon(pictures::programIcon());

    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("Image1"));
    picture_->setAlignment(Qt::AlignCenter);
    skin::setControlKind(picture_, QStringLiteral("Image"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture_);

    // One single-shot delay: a 2 ms timer does not tick evenly enough to count on.
    delay_ = new QTimer(this);
    delay_->setObjectName(QStringLiteral("Timer2"));
    delay_->setSingleShot(true);
    delay_->setInterval(delayMs);
    connect(delay_, &QTimer::timeout, this, &SplashWindow::openMainWindow);

    centreOnScreen(this);
    load(skinning);
}

SplashWindow::~SplashWindow() {
    delete mainWindow_.data();
}

void SplashWindow::load(bool skinning) {
    skin::setEnabled(skinning);
    skin::setDesktopLook(UserSettings::useDesktopLook());
    const ProductInfo& info = product();
    setWindowTitle(info.name);
    picture_->setPixmap(pictures::splashPicture(DesignedSize, devicePixelRatioF()));
    picture_->setAccessibleName(info.name + QStringLiteral(" ") + info.versionText());

    if (skin::enabled()) {
        skin::start();
        skin::applyTo(this);
    }
    delay_->start();
}

void SplashWindow::openMainWindow() {
    delay_->stop();
    if (opened_)
        return;
    opened_ = true;
    mainWindow_ = new MainWindow();
    mainWindow_->show();
    hide();
    if (!historyToShow_.isEmpty())
        mainWindow_->showSavedSearchHistory(historyToShow_);
}

MainWindow* SplashWindow::mainWindow() const {
    return mainWindow_;
}

} // namespace tally
