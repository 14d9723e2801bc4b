#include "gui/webview/website_frame.h"

#include "core/settings/program_folder.h"
#include "gui/kit/prompts.h"
#include "tally_version.h"
#include "gui/webview/lazy_web_view.h"
#include "core/webview/web_results.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTreeWidget>

namespace tally {

namespace {

// Designed sizes in pixels (15 twips each).
constexpr int listHeight = 125;    // ListView2: 1875
constexpr int sideMargin = 4;      // ListView2 Left: 60
constexpr int addressLeft = 40;    // Text1 Left: 600
constexpr int goGap = 7;           // Go starts 100 right of the box ...
constexpr int goRightMargin = 13;  // ... and ends 200 before the frame's right edge
constexpr int goWidth = 53;        // Command10: 795
constexpr int navButtonWidth = 61; // Command8 .. Command70: 915
constexpr int navButtonGap = 3;    // 1560 - 600 - 915 = 45
constexpr int browserBottom = 7;   // WebBrowser1 Height = Frame4 Height - Top - 100
constexpr int rowGap = 3;

const QString noSelectionMessage = QStringLiteral(
    "You must first select the item in the results list you wish to view web results for.");

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        QStyle::StandardPixmap icon, const QString& tip) {
    auto* button = new QPushButton(parent->style()->standardIcon(icon), caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(caption);
    button->setToolTip(tip);
    return button;
}

} // namespace

WebsiteFrame::WebsiteFrame(QWidget* parent)
    : QGroupBox(QStringLiteral("Results - Website View"), parent) {
    setObjectName(QStringLiteral("Frame4"));
    setAccessibleName(title());

    listView2_ = new QTreeWidget(this);
    listView2_->setObjectName(QStringLiteral("ListView2"));
    listView2_->setAccessibleName(QStringLiteral("Web results"));
    listView2_->setRootIsDecorated(false);
    listView2_->setUniformRowHeights(true);
    listView2_->setAllColumnsShowFocus(true);
    listView2_->setSelectionMode(QAbstractItemView::SingleSelection);
    listView2_->setHeaderLabels({QStringLiteral("Webpage Type"), QStringLiteral("URL")});
    listView2_->setFixedHeight(listHeight);
    listView2_->installEventFilter(this);

    auto* label = new QLabel(QStringLiteral("URL:"), this);
    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setAccessibleName(QStringLiteral("URL"));
    label->setBuddy(text1_);
    auto* go = makeButton(this, "Command10", QStringLiteral("Go"), QStyle::SP_ArrowRight,
                          QStringLiteral("Open the address (Enter)"));
    go->setFixedWidth(goWidth);
    auto* back = makeButton(this, "Command8", QStringLiteral("Back"), QStyle::SP_ArrowBack,
                            QStringLiteral("Previous page (Alt+Left)"));
    auto* forward = makeButton(this, "Command9", QStringLiteral("Forward"), QStyle::SP_ArrowForward,
                               QStringLiteral("Next page (Alt+Right)"));
    auto* stop = makeButton(this, "Command11", QStringLiteral("Stop"), QStyle::SP_BrowserStop,
                            QStringLiteral("Stop loading (Esc)"));
    auto* refresh = makeButton(this, "Command70", QStringLiteral("Refresh"),
                               QStyle::SP_BrowserReload, QStringLiteral("Reload the page (F5)"));
    webBrowser1_ = new LazyWebView(QStringLiteral("WebBrowser1"), this);

    // The list keeps its height; the address box and the browser take the extra width, the
    // browser the extra height.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(sideMargin, 2, sideMargin, browserBottom);
    column->setSpacing(rowGap);
    column->addWidget(listView2_);
    auto* addressRow = new QHBoxLayout;
    // The label starts at the designed 120 twips, the box at about 600.
    addressRow->setContentsMargins(sideMargin, 0, goRightMargin - sideMargin, 0);
    addressRow->setSpacing(goGap);
    label->setMinimumWidth(addressLeft - 2 * sideMargin - goGap);
    addressRow->addWidget(label);
    addressRow->addWidget(text1_, 1);
    addressRow->addWidget(go);
    column->addLayout(addressRow);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(addressLeft - sideMargin, 0, 0, 0);
    buttonRow->setSpacing(navButtonGap);
    for (QPushButton* b : {back, forward, stop, refresh}) {
        b->setMinimumWidth(navButtonWidth);
        buttonRow->addWidget(b);
    }
    buttonRow->addStretch(1);
    column->addLayout(buttonRow);
    column->addWidget(webBrowser1_, 1);

    connect(listView2_, &QTreeWidget::itemClicked, this, &WebsiteFrame::ListView2_Click);
    connect(go, &QPushButton::clicked, this, &WebsiteFrame::Command10_Click);
    connect(text1_, &QLineEdit::returnPressed, this, &WebsiteFrame::Command10_Click);
    connect(back, &QPushButton::clicked, this, &WebsiteFrame::Command8_Click);
    connect(forward, &QPushButton::clicked, this, &WebsiteFrame::Command9_Click);
    connect(stop, &QPushButton::clicked, this, &WebsiteFrame::Command11_Click);
    connect(refresh, &QPushButton::clicked, this, &WebsiteFrame::Command70_Click);
    connect(webBrowser1_, &LazyWebView::StatusTextChange, this,
            &WebsiteFrame::WebBrowser1_StatusTextChange);
    connect(webBrowser1_, &LazyWebView::DownloadBegin, this,
            &WebsiteFrame::WebBrowser1_DownloadBegin);
    connect(webBrowser1_, &LazyWebView::DownloadComplete, this,
            &WebsiteFrame::WebBrowser1_DownloadComplete);

    // Browser keys, while the focus is inside the frame.
    const auto addShortcut = [this](const QKeySequence& keys, void (WebsiteFrame::*slot)()) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    addShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), &WebsiteFrame::Command8_Click);
    addShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), &WebsiteFrame::Command9_Click);
    addShortcut(QKeySequence(Qt::Key_Escape), &WebsiteFrame::Command11_Click);
    addShortcut(QKeySequence(Qt::Key_F5), &WebsiteFrame::Command70_Click);
    auto* focusAddress = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    focusAddress->setContext(Qt::WidgetWithChildrenShortcut);
    connect(focusAddress, &QShortcut::activated, this, [this] {
        text1_->setFocus(Qt::ShortcutFocusReason);
        text1_->selectAll();
    });
}

void WebsiteFrame::addWebResult(const QString& rowText, const QString& url) {
    new QTreeWidgetItem(listView2_, {rowText, url});
}

void WebsiteFrame::clearWebResults() {
    listView2_->clear();
}

void WebsiteFrame::ShowWebResults(QTreeWidgetItem* resultsRow) {
    if (!resultsRow) {
        Prompts::message(window(), noSelectionMessage, QString::fromUtf8(version::ProductName));
        return;
    }
    const QString strSearch = resultsRow->text(0);
    QTreeWidgetItem* match = nullptr;
    for (int i = 0; i < listView2_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = listView2_->topLevelItem(i);
        if (row->text(1) == strSearch) {
            match = row;
            break;
        }
    }
    if (!match)
        return;
    listView2_->clearSelection();
    listView2_->setCurrentItem(match);
    match->setSelected(true);
    listView2_->scrollToItem(match);
    ListView2_Click();
    Q_EMIT websiteTabRequested();
}

void WebsiteFrame::navigateBlank() {
    webBrowser1_->Navigate(QStringLiteral("about:blank"));
}

void WebsiteFrame::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    if (shownBefore_)
        return;
    shownBefore_ = true;
    // The columns were made at start-up, while the frame lay hidden and had no size of its own:
    // now that it is laid out, "Webpage Type" takes a quarter of the list's width and "URL" the
    // other three quarters.
    const int width = listView2_->viewport()->width();
    if (listView2_->columnCount() == 2 && width > 0) {
        listView2_->setColumnWidth(0, width / 4);
        listView2_->setColumnWidth(1, width - width / 4);
    }
}

void WebsiteFrame::ListView2_Click() {
    const QList<QTreeWidgetItem*> selected = listView2_->selectedItems();
    if (selected.isEmpty())
        return;
    const QTreeWidgetItem* row = selected.first();
    const std::optional<QString> address =
        webResultAddress(row->text(0), row->text(1), ProgramFolder::settingsIni());
    if (address)
        webBrowser1_->Navigate(*address);
}

void WebsiteFrame::Command10_Click() {
    webBrowser1_->Navigate(text1_->text());
}
void WebsiteFrame::Command8_Click() {
    webBrowser1_->GoBack();
}
void WebsiteFrame::Command9_Click() {
    webBrowser1_->GoForward();
}
void WebsiteFrame::Command11_Click() {
    webBrowser1_->Stop();
}
void WebsiteFrame::Command70_Click() {
    webBrowser1_->Refresh();
}

void WebsiteFrame::WebBrowser1_StatusTextChange(const QString& text) {
    Q_EMIT statusText(text);
}

void WebsiteFrame::WebBrowser1_DownloadBegin(const QString& address) {
    Q_EMIT openingText(QStringLiteral("Opening ") + address);
}

void WebsiteFrame::WebBrowser1_DownloadComplete() {
    text1_->setText(webBrowser1_->LocationURL());
}

bool WebsiteFrame::eventFilter(QObject* watched, QEvent* event) {
    // Enter on a row of the list opens it, as a click does.
    if (watched == listView2_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ListView2_Click();
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace tally
