#include "gui/help/help_window.h"

#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "core/product/app_state.h"
#include "core/help/file_exists.h"
#include "gui/kit/pictures.h"
#include "gui/help/rtf_reader.h"
#include "gui/kit/skin.h"
#include "gui/webview/browser_window.h"

#include <QCheckBox>
#include <QFile>
#include <QGuiApplication>
#include <QKeySequence>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace tally {

namespace {
QPointer<HelpWindow>& loadedWindow() {
    static QPointer<HelpWindow> window;
    return window;
}

// Designed client area: 10290 by 7920 twips.
constexpr QSize kDesignedSize(686, 528);
} // namespace

HelpWindow::HelpWindow(QWidget* owner)
    // Owned by the main window as a tool window: it stays above its owner, not above every
    // other program.
    : QWidget(owner, owner ? Qt::Tool : Qt::Window) {
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Readme/Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(pictures::programIcon());
    resize(kDesignedSize);
    setMinimumSize(320, 240);

    rtf1 = new QTextBrowser(this);
    rtf1->setObjectName(QStringLiteral("rtf1"));
    rtf1->setAccessibleName(QStringLiteral("Help text"));
    rtf1->setOpenLinks(false);
    rtf1->setFrameShape(QFrame::NoFrame);
    rtf1->document()->setDocumentMargin(12);

    Check1 = new QCheckBox(QStringLiteral("Show at &Startup"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setAccessibleName(QStringLiteral("Show at Startup"));
    Check1->setToolTip(QStringLiteral("Open this window each time the program starts"));
    connect(Check1, &QCheckBox::clicked, this, &HelpWindow::Check1_Click);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->setSpacing(6);
    layout->addWidget(rtf1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(4, 0, 8, 0);
    bottom->addWidget(Check1);
    bottom->addStretch(1);
    layout->addLayout(bottom);

    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);

    Form_Load();
}

void HelpWindow::Form_Load() {
    if (appState().SkinningOn)
        modSkin::ApplySkin(this);

    const QString path = ProgramFolder::helpFile();
    if (!FileExists(path))
        return; // the window stays hidden and does not appear at all
    loaded_ = true;

    // A help file that exists but cannot be read leaves the window without text.
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray data = file.readAll();
        if (looksLikeRtf(data))
            readRtf(data, rtf1->document());
        else
            readPlainText(data, rtf1->document());
        rtf1->moveCursor(QTextCursor::Start);
    }

    // Without an owner to stay above, the window keeps itself above the others.
    if (!parentWidget())
        SetAlwaysOnTop(this, true);

    Check1->setChecked(readSetting(QLatin1String(settingkeys::ShowHelp)) == QLatin1String("1"));
    Check1_Click();
}

void HelpWindow::Check1_Click() {
    writeSetting(QLatin1String(settingkeys::ShowHelp),
                 Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void showHelpWindow(QWidget* owner) {
    QPointer<HelpWindow>& window = loadedWindow();
    if (!window) {
        auto* loaded = new HelpWindow(owner);
        if (!loaded->isLoaded()) {
            delete loaded;
            return;
        }
        window = loaded;
        // First placement: centred over the owner when it is on screen, else on the screen.
        QRect area;
        if (owner && owner->isVisible())
            area = owner->frameGeometry();
        else if (const QScreen* screen = QGuiApplication::primaryScreen())
            area = screen->availableGeometry();
        if (area.isValid())
            window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void unloadHelpWindow() {
    if (HelpWindow* window = loadedWindow())
        delete window;
}

QWidget* helpWindow() {
    return loadedWindow();
}

} // namespace tally
