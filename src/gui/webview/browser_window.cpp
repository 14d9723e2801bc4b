#include "gui/webview/browser_window.h"

#include "gui/kit/accessibility.h"
#include "gui/kit/skin.h"
#include "gui/kit/windows.h"
#include "gui/webview/lazy_web_view.h"
#include "gui/webview/navigation_bar.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QStatusBar>

namespace tally {

namespace {

// Designed sizes in pixels (15 twips each).
constexpr int ClientWidth = 703;  // 10545
constexpr int ClientHeight = 572; // 8580
constexpr int FrameRightGap = 20; // frmBrowser Width = window Width - 300
constexpr int FrameLeft = 8;      // label and WebBrowser1 Left: 120
constexpr int BrowserRight = 7;   // WebBrowser1 Width = frmBrowser Width - Left - 100
constexpr int BrowserBottom = 8;  // below the browser, inside the frame
constexpr int RowGap = 4;

// The navigation bar's controls: the address box starts at 540 twips, Go ends 200 before the
// frame's right edge, the buttons are 1000 wide and 80 apart.
constexpr NavigationBar::Design BarDesign{"Command3",        "Command4", "Command5",
                                          "Command6",        "Command7", 36 - FrameLeft,
                                          13 - BrowserRight, 67,         5};

// A status panel reads as its text; its role is its description.
QLabel* makePanel(QWidget* parent, const char* name, const QString& role) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setAccessibleDescription(role);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    // Long texts are cut, so that the two panels keep half the width each.
    panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    panel->setMinimumWidth(1);
    return panel;
}

} // namespace

BrowserWindow::BrowserWindow(const QString& caption, const QString& startAddress)
    : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("frmWebsite"));
    // A window of its own for assistive technology too, not a plain container.
    accessibility::setRole(this, QAccessible::Window);
    setAttribute(Qt::WA_DeleteOnClose);

    frame_ = new QGroupBox(tr("Browser"), this);
    frame_->setObjectName(QStringLiteral("frmBrowser"));
    frame_->setAccessibleName(frame_->title());
    browser_ = new LazyWebView(QStringLiteral("WebBrowser1"), frame_);
    navigation_ = new NavigationBar(browser_, BarDesign, this, Qt::WindowShortcut, frame_);

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setAccessibleName(tr("Status"));
    statusBar_->setSizeGripEnabled(false);
    statusPanel_ = makePanel(statusBar_, "StatusPanel1", tr("Status"));
    statusBar_->addWidget(statusPanel_, 1);

    // The navigation bar above the browser, both filling the frame; the frame fills the window
    // less a strip on the right and the status bar at the bottom.
    auto* frameColumn = new QVBoxLayout(frame_);
    frameColumn->setContentsMargins(FrameLeft, 2, BrowserRight, BrowserBottom);
    frameColumn->setSpacing(RowGap);
    frameColumn->addWidget(navigation_);
    frameColumn->addWidget(browser_, 1);

    auto* windowColumn = new QVBoxLayout(this);
    windowColumn->setContentsMargins(0, 0, 0, 0);
    windowColumn->setSpacing(0);
    auto* frameRow = new QHBoxLayout;
    frameRow->setContentsMargins(0, 0, FrameRightGap, 0);
    frameRow->addWidget(frame_);
    windowColumn->addLayout(frameRow, 1);
    windowColumn->addWidget(statusBar_);

    connect(browser_, &LazyWebView::statusTextChanged, statusPanel_, &QLabel::setText);
    connect(browser_, &LazyWebView::loadFinished, this,
            [this] { setWindowTitle(browser_->currentTitle()); });
    // The page's title can arrive after its load has ended.
    connect(browser_, &LazyWebView::titleChanged, this, [this](const QString& title) {
        if (!title.isEmpty())
            setWindowTitle(title);
    });

    // The designed size, centred on the screen: the size the window returns to from maximised.
    resize(ClientWidth, ClientHeight);
    centreOnScreen(this);

    load(caption, startAddress);
}

BrowserWindow::~BrowserWindow() = default;

void BrowserWindow::load(const QString& caption, const QString& startAddress) {
    secondPanel_ = makePanel(statusBar_, "StatusPanel2", tr("Status 2"));
    statusBar_->addWidget(secondPanel_, 1);
    setWindowTitle(caption);
    setAlwaysOnTop(this, true);
    skin::skinWindow(this);
    browser_->open(startAddress);
    setWindowState(windowState() | Qt::WindowMaximized);
    setAlwaysOnTop(this, false);
}

void BrowserWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    // The main window was closed while this one stayed open: this window now ends the program.
    if (endsProgramOnClose_) {
        skin::stop();
        QCoreApplication::quit();
    }
}

} // namespace tally
