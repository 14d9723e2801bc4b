#include "gui/main/splash_window.h"

#include "core/product/app_state.h"
#include "gui/main/main_window.h"
#include "gui/kit/pictures.h"
#include "gui/kit/skin.h"
#include "core/product/version_info.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace tally {

namespace {
// Designed client area: 7170 by 4770 twips.
constexpr QSize kDesignedSize(478, 318);
} // namespace

SplashWindow::SplashWindow(int delayMs, bool skinning, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(kDesignedSize);
    setWindowIcon(pictures::programIcon());

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    modSkin::SetControlKind(Image1, QStringLiteral("Image"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Image1);

    // One single-shot delay: a 2 ms timer does not tick evenly enough to count on.
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setSingleShot(true);
    Timer2->setInterval(delayMs);
    connect(Timer2, &QTimer::timeout, this, &SplashWindow::Timer2_Timer);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Form_Load(skinning);
}

SplashWindow::~SplashWindow() {
    delete form1_.data();
}

void SplashWindow::Form_Load(bool skinning) {
    AppState& state = appState();
    state.ExitPending = false;
    setDisplayStrings(programVersion());
    state.SkinningOn = skinning;

    const DisplayStrings& strings = displayStrings();
    setWindowTitle(strings.productName);
    Image1->setPixmap(pictures::splashPicture(kDesignedSize, devicePixelRatioF()));
    Image1->setAccessibleName(strings.productName + QStringLiteral(" ") + strings.versionText);

    if (state.SkinningOn) {
        modSkin::StartSkin();
        modSkin::ApplySkin(this);
    }
    Timer2->start();
}

void SplashWindow::Timer2_Timer() {
    Timer2->stop();
    if (opened_)
        return;
    opened_ = true;
    form1_ = new MainWindow();
    // The main window's shut-down ends the program: the skin stops first.
    connect(form1_, &MainWindow::programEnding, this, [] {
        if (appState().SkinningOn)
            modSkin::StopSkin();
    });
    form1_->show();
    hide();
}

MainWindow* SplashWindow::mainWindow() const {
    return form1_;
}

} // namespace tally
