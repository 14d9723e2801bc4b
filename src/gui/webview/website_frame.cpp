#include "gui/webview/website_frame.h"

#include "core/product/product.h"
#include "core/settings/program_folder.h"
#include "core/webview/web_results.h"
#include "core/webview/web_results_model.h"
#include "gui/kit/prompts.h"
#include "gui/results/results_table.h"
#include "gui/webview/lazy_web_view.h"
#include "gui/webview/navigation_bar.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeView>

#include <algorithm>

namespace tally {

namespace {

// Designed sizes in pixels (15 twips each).
constexpr int ListHeight = 125;  // ListView2: 1875
constexpr int SideMargin = 4;    // ListView2 Left: 60
constexpr int BrowserBottom = 7; // WebBrowser1 Height = Frame4 Height - Top - 100
constexpr int RowGap = 3;

// The navigation bar's controls: the address box starts at 600 twips, Go ends 200 before the
// frame's right edge, the buttons are 915 wide and 45 apart.
constexpr NavigationBar::Design BarDesign{"Command10",     "Command8",  "Command9",
                                          "Command11",     "Command70", 40 - SideMargin,
                                          13 - SideMargin, 61,          3};

} // namespace

WebsiteFrame::WebsiteFrame(QWidget* parent) : QGroupBox(tr("Results - Website View"), parent) {
    setObjectName(QStringLiteral("Frame4"));
    setAccessibleName(title());

    webResults_ = new QTreeView(this);
    webResults_->setObjectName(QStringLiteral("ListView2"));
    webResults_->setAccessibleName(tr("Web results"));
    webResults_->setHeader(new SortArrowHeader(webResults_));
    webResults_->setRootIsDecorated(false);
    webResults_->setItemsExpandable(false);
    webResults_->setUniformRowHeights(true);
    webResults_->setAllColumnsShowFocus(true);
    webResults_->setSelectionMode(QAbstractItemView::SingleSelection);
    webResults_->setSelectionBehavior(QAbstractItemView::SelectRows);
    webResults_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    webResults_->setFixedHeight(ListHeight);
    webResults_->installEventFilter(this);

    browser_ = new LazyWebView(QStringLiteral("WebBrowser1"), this);
    navigation_ =
        new NavigationBar(browser_, BarDesign, this, Qt::WidgetWithChildrenShortcut, this);

    // The list keeps its height; the address box and the browser take the extra width, the
    // browser the extra height.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(SideMargin, 2, SideMargin, BrowserBottom);
    column->setSpacing(RowGap);
    column->addWidget(webResults_);
    column->addWidget(navigation_);
    column->addWidget(browser_, 1);

    connect(webResults_, &QAbstractItemView::clicked, this, &WebsiteFrame::openSelectedWebResult);
    connect(browser_, &LazyWebView::statusTextChanged, this, &WebsiteFrame::statusText);
    connect(browser_, &LazyWebView::loadStarted, this,
            [this](const QString& address) { Q_EMIT openingText(tr("Opening %1").arg(address)); });
}

void WebsiteFrame::setWebResultsModel(WebResultsModel* model) {
    model_ = model;
    webResults_->setModel(model);
    refreshWebResults();
}

void WebsiteFrame::refreshWebResults() {
    if (model_)
        model_->refresh();
}

void WebsiteFrame::showWebResultsFor(const QString& url) {
    // The URL's "Home Page" row, wherever a sort of the list has put it; the first row of the URL
    // when it has none.
    if (!model_)
        return;
    model_->refresh();
    const int row = model_->rowForUrl(url);
    if (row < 0)
        return;
    const QModelIndex match = model_->index(row, 0);
    webResults_->clearSelection();
    webResults_->setCurrentIndex(match);
    webResults_->scrollTo(match);
    openSelectedWebResult();
    Q_EMIT websiteTabRequested();
}

bool WebsiteFrame::sortWebResults(int column, bool showErrors) {
    if (!model_)
        return false;
    model_->refresh();
    if (model_->rowCount() == 0)
        return true;
    if (!model_->toggleTextSort(column)) {
        if (showErrors)
            Prompts::message(window(),
                             QStringLiteral("Error") + QString::number(380) + QLatin1Char('\t') +
                                 QStringLiteral("Invalid property value"),
                             QStringLiteral("Error in Function : EnhListView_SortColumns"),
                             QMessageBox::Information);
        return false;
    }
    QHeaderView* header = webResults_->header();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column - 1,
                             model_->sortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    return true;
}

void WebsiteFrame::openBlankPage() {
    browser_->open(QStringLiteral("about:blank"));
    // The address box says where the browser is, though no web engine has been started for it.
    navigation_->addressBox()->setText(browser_->currentAddress());
}

void WebsiteFrame::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    // The list is derived from the results when it comes into view.
    refreshWebResults();
    if (shownBefore_)
        return;
    shownBefore_ = true;
    // The columns were made at start-up, while the frame lay hidden and had no size of its own:
    // now that it is laid out, "Webpage Type" takes a quarter of the list's width and "URL" the
    // other three quarters; never less than its caption needs (a large font).
    const int width = webResults_->viewport()->width();
    if (webResults_->model() && webResults_->model()->columnCount() == 2 && width > 0) {
        const int first = std::max(width / 4, webResults_->header()->sectionSizeHint(0));
        webResults_->setColumnWidth(0, first);
        webResults_->setColumnWidth(
            1, std::max(width - first, webResults_->header()->sectionSizeHint(1)));
    }
}

void WebsiteFrame::openSelectedWebResult() {
    if (!model_ || !webResults_->selectionModel())
        return;
    const QModelIndexList selected = webResults_->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    const int row = selected.first().row();
    const std::optional<QString> address =
        webResultAddress(model_->rowText(row), model_->url(row), ProgramFolder::settingsIni());
    if (!address)
        return;
    // The list's URLs and the engines' prefixes come from files: only web addresses open.
    if (const std::optional<QUrl> url = webAddressFor(*address))
        browser_->openUrl(*url);
    else
        Prompts::message(window(), refusedAddressMessage(*address), product().name,
                         QMessageBox::Warning);
}

bool WebsiteFrame::eventFilter(QObject* watched, QEvent* event) {
    // Enter on a row of the list opens it, as a click does.
    if (watched == webResults_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openSelectedWebResult();
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace tally
