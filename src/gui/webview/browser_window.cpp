#include "gui/webview/browser_window.h"

#include "core/product/app_state.h"
#include "gui/kit/skin.h"
#include "tally_version.h"
#include "gui/webview/lazy_web_view.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QWindow>

namespace tally {

namespace {

// Designed sizes in pixels (15 twips each).
constexpr int clientWidth = 703;   // 10545
constexpr int clientHeight = 572;  // 8580
constexpr int frameRightGap = 20;  // frmBrowser Width = window Width - 300
constexpr int frameLeft = 8;       // label and WebBrowser1 Left: 120
constexpr int addressLeft = 36;    // Text1 Left: 540
constexpr int goGap = 7;           // Go starts 100 right of the box ...
constexpr int goRightMargin = 13;  // ... and ends 200 before the frame's right edge
constexpr int goWidth = 53;        // Command3: 795
constexpr int browserRight = 7;    // WebBrowser1 Width = frmBrowser Width - Left - 100
constexpr int browserBottom = 8;   // below the browser, inside the frame
constexpr int navButtonWidth = 67; // Command4 .. Command7: 1000
constexpr int navButtonGap = 5;    // 1620 - 540 - 1000 = 80
constexpr int rowGap = 4;

QPointer<BrowserWindow>& instance() {
    static QPointer<BrowserWindow> window;
    return window;
}

QString& siteUrlOverride() {
    static QString url;
    return url;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        QStyle::StandardPixmap icon, const QString& tip) {
    auto* button = new QPushButton(parent->style()->standardIcon(icon), caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(caption);
    button->setToolTip(tip);
    return button;
}

QLabel* makePanel(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setAccessibleName(accessibleName);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    // Long texts are cut, so that the two panels keep half the width each.
    panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    panel->setMinimumWidth(1);
    return panel;
}

} // namespace

QString siteUrl() {
    return siteUrlOverride().isEmpty() ? QString::fromUtf8(version::SiteUrl) : siteUrlOverride();
}

void setSiteUrl(const QString& url) {
    siteUrlOverride() = url;
}

void SetAlwaysOnTop(QWidget* window, bool on) {
    if (!window)
        return;
    QWidget* w = window->window();
    const Qt::WindowFlags current = w->windowFlags();
    const Qt::WindowFlags wanted =
        on ? current | Qt::WindowStaysOnTopHint : current & ~Qt::WindowStaysOnTopHint;
    if (wanted != current) {
        if (QWindow* handle = w->windowHandle()) {
            // The native window exists: change its hint in place, so that it is neither hidden
            // nor re-created, moved or resized (the window manager is told through its state).
            w->overrideWindowFlags(wanted);
            handle->setFlags(wanted);
        } else {
            // Not created yet: there is nothing to move.
            w->setWindowFlags(wanted);
        }
    }
    if (on && w->isVisible())
        w->raise();
}

BrowserWindow::BrowserWindow() : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("frmWebsite"));
    setAttribute(Qt::WA_DeleteOnClose);

    frmBrowser_ = new QGroupBox(QStringLiteral("Browser"), this);
    frmBrowser_->setObjectName(QStringLiteral("frmBrowser"));
    frmBrowser_->setAccessibleName(frmBrowser_->title());
    auto* label = new QLabel(QStringLiteral("URL:"), frmBrowser_);
    text1_ = new QLineEdit(frmBrowser_);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setAccessibleName(QStringLiteral("URL"));
    label->setBuddy(text1_);
    auto* go = makeButton(frmBrowser_, "Command3", QStringLiteral("Go"), QStyle::SP_ArrowRight,
                          QStringLiteral("Open the address (Enter)"));
    go->setFixedWidth(goWidth);
    auto* back = makeButton(frmBrowser_, "Command4", QStringLiteral("Back"), QStyle::SP_ArrowBack,
                            QStringLiteral("Previous page (Alt+Left)"));
    auto* forward = makeButton(frmBrowser_, "Command5", QStringLiteral("Forward"),
                               QStyle::SP_ArrowForward, QStringLiteral("Next page (Alt+Right)"));
    auto* stop = makeButton(frmBrowser_, "Command6", QStringLiteral("Stop"), QStyle::SP_BrowserStop,
                            QStringLiteral("Stop loading (Esc)"));
    auto* refresh = makeButton(frmBrowser_, "Command7", QStringLiteral("Refresh"),
                               QStyle::SP_BrowserReload, QStringLiteral("Reload the page (F5)"));
    webBrowser1_ = new LazyWebView(QStringLiteral("WebBrowser1"), frmBrowser_);

    statusBar1_ = new QStatusBar(this);
    statusBar1_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar1_->setAccessibleName(QStringLiteral("Status"));
    statusBar1_->setSizeGripEnabled(false);
    panel1_ = makePanel(statusBar1_, "StatusPanel1", QStringLiteral("Status"));
    statusBar1_->addWidget(panel1_, 1);

    // The address box and Go share one line; the browser fills the frame; the frame fills the
    // window less a strip on the right and the status bar at the bottom.
    auto* frameColumn = new QVBoxLayout(frmBrowser_);
    frameColumn->setContentsMargins(frameLeft, 2, browserRight, browserBottom);
    frameColumn->setSpacing(rowGap);
    auto* addressRow = new QHBoxLayout;
    addressRow->setContentsMargins(0, 0, goRightMargin - browserRight, 0);
    addressRow->setSpacing(goGap);
    label->setMinimumWidth(addressLeft - frameLeft - goGap);
    addressRow->addWidget(label);
    addressRow->addWidget(text1_, 1);
    addressRow->addWidget(go);
    frameColumn->addLayout(addressRow);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(addressLeft - frameLeft, 0, 0, 0);
    buttonRow->setSpacing(navButtonGap);
    for (QPushButton* b : {back, forward, stop, refresh}) {
        b->setMinimumWidth(navButtonWidth);
        buttonRow->addWidget(b);
    }
    buttonRow->addStretch(1);
    frameColumn->addLayout(buttonRow);
    frameColumn->addWidget(webBrowser1_, 1);

    auto* windowColumn = new QVBoxLayout(this);
    windowColumn->setContentsMargins(0, 0, 0, 0);
    windowColumn->setSpacing(0);
    auto* frameRow = new QHBoxLayout;
    frameRow->setContentsMargins(0, 0, frameRightGap, 0);
    frameRow->addWidget(frmBrowser_);
    windowColumn->addLayout(frameRow, 1);
    windowColumn->addWidget(statusBar1_);

    connect(go, &QPushButton::clicked, this, &BrowserWindow::Command3_Click);
    connect(text1_, &QLineEdit::returnPressed, this, &BrowserWindow::Command3_Click);
    connect(back, &QPushButton::clicked, this, &BrowserWindow::Command4_Click);
    connect(forward, &QPushButton::clicked, this, &BrowserWindow::Command5_Click);
    connect(stop, &QPushButton::clicked, this, &BrowserWindow::Command6_Click);
    connect(refresh, &QPushButton::clicked, this, &BrowserWindow::Command7_Click);
    connect(webBrowser1_, &LazyWebView::StatusTextChange, this,
            &BrowserWindow::WebBrowser1_StatusTextChange);
    connect(webBrowser1_, &LazyWebView::DownloadComplete, this,
            &BrowserWindow::WebBrowser1_DownloadComplete);
    // The page's title can arrive after its load has ended.
    connect(webBrowser1_, &LazyWebView::TitleChange, this, [this](const QString& title) {
        if (!title.isEmpty())
            setWindowTitle(title);
    });

    const auto addShortcut = [this](const QKeySequence& keys, void (BrowserWindow::*slot)()) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, slot);
    };
    addShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), &BrowserWindow::Command4_Click);
    addShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), &BrowserWindow::Command5_Click);
    addShortcut(QKeySequence(Qt::Key_Escape), &BrowserWindow::Command6_Click);
    addShortcut(QKeySequence(Qt::Key_F5), &BrowserWindow::Command7_Click);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this), &QShortcut::activated, this,
            [this] {
                text1_->setFocus(Qt::ShortcutFocusReason);
                text1_->selectAll();
            });

    // The designed size, centred on the screen: the size the window returns to from maximised.
    resize(clientWidth, clientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Form_Load();
}

BrowserWindow::~BrowserWindow() = default;

void BrowserWindow::Form_Load() {
    AppState& state = appState();
    panel2_ = makePanel(statusBar1_, "StatusPanel2", QStringLiteral("Status 2"));
    statusBar1_->addWidget(panel2_, 1);
    setWindowTitle(state.SiteAddress);
    SetAlwaysOnTop(this, true);
    if (state.SkinningOn)
        modSkin::ApplySkin(this);
    webBrowser1_->Navigate(state.BrowserTarget == QLatin1String("Website") ? state.SiteAddress
                                                                           : siteUrl());
    state.BrowserTarget = QStringLiteral("Website");
    setWindowState(windowState() | Qt::WindowMaximized);
    SetAlwaysOnTop(this, false);
}

void BrowserWindow::Command3_Click() {
    webBrowser1_->Navigate(text1_->text());
}
void BrowserWindow::Command4_Click() {
    webBrowser1_->GoBack();
}
void BrowserWindow::Command5_Click() {
    webBrowser1_->GoForward();
}
void BrowserWindow::Command6_Click() {
    webBrowser1_->Stop();
}
void BrowserWindow::Command7_Click() {
    webBrowser1_->Refresh();
}

void BrowserWindow::WebBrowser1_StatusTextChange(const QString& text) {
    panel1_->setText(text);
}

void BrowserWindow::WebBrowser1_DownloadComplete() {
    text1_->setText(webBrowser1_->LocationURL());
    setWindowTitle(webBrowser1_->LocationName());
}

void BrowserWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    // The main window was closed while this one stayed open: this window now ends the program.
    if (appState().ExitPending) {
        if (appState().SkinningOn)
            modSkin::StopSkin();
        QCoreApplication::quit();
    }
}

void showBrowserWindow() {
    QPointer<BrowserWindow>& window = instance();
    if (!window) {
        window = new BrowserWindow;
        // A window still open when the program ends goes before the web engine does.
        static bool deleteAtQuit = false;
        if (!deleteAtQuit) {
            deleteAtQuit = true;
            QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [] { delete instance(); });
        }
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

bool browserWindowVisible() {
    return instance() && instance()->isVisible();
}

QWidget* browserWindow() {
    return instance();
}

} // namespace tally
