#include "gui/webview/navigation_bar.h"

#include "gui/kit/icons.h"
#include "gui/webview/lazy_web_view.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>

#include <algorithm>

namespace tally {

namespace {

constexpr int GoGap = 7;    // Go starts 100 twips right of the box
constexpr int GoWidth = 53; // 795 twips
constexpr int RowGap = 3;

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, IconKind picture,
                        const QString& tip) {
    auto* button = new QPushButton(icon(picture), caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(caption);
    button->setToolTip(tip);
    return button;
}

} // namespace

NavigationBar::NavigationBar(LazyWebView* view, const Design& design, QWidget* shortcutScope,
                             Qt::ShortcutContext shortcutContext, QWidget* parent)
    : QWidget(parent), view_(view) {
    auto* label = new QLabel(tr("URL:"), this);
    addressBox_ = new QLineEdit(this);
    addressBox_->setObjectName(QStringLiteral("Text1"));
    addressBox_->setAccessibleName(tr("URL"));
    label->setBuddy(addressBox_);
    auto* go =
        makeButton(this, design.goName, tr("Go"), IconKind::Go, tr("Open the address (Enter)"));
    go_ = go;
    fitGo();
    auto* back = makeButton(this, design.backName, tr("Back"), IconKind::Back,
                            tr("Previous page (Alt+Left)"));
    auto* forward = makeButton(this, design.forwardName, tr("Forward"), IconKind::Forward,
                               tr("Next page (Alt+Right)"));
    auto* stop = makeButton(this, design.stopName, tr("Stop"), IconKind::StopLoading,
                            tr("Stop loading (Esc)"));
    auto* refresh = makeButton(this, design.refreshName, tr("Refresh"), IconKind::Reload,
                               tr("Reload the page (F5)"));

    // The address box takes the extra width; the buttons keep theirs.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(RowGap);
    auto* addressRow = new QHBoxLayout;
    addressRow->setContentsMargins(0, 0, design.goRightMargin, 0);
    addressRow->setSpacing(GoGap);
    label->setMinimumWidth(design.addressLeft - GoGap);
    addressRow->addWidget(label);
    addressRow->addWidget(addressBox_, 1);
    addressRow->addWidget(go);
    column->addLayout(addressRow);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(design.addressLeft, 0, 0, 0);
    buttonRow->setSpacing(design.buttonGap);
    for (QPushButton* b : {back, forward, stop, refresh}) {
        b->setMinimumWidth(design.buttonWidth);
        buttonRow->addWidget(b);
    }
    buttonRow->addStretch(1);
    column->addLayout(buttonRow);

    connect(go, &QPushButton::clicked, this, &NavigationBar::openTypedAddress);
    connect(addressBox_, &QLineEdit::returnPressed, this, &NavigationBar::openTypedAddress);
    connect(back, &QPushButton::clicked, view_, &LazyWebView::back);
    connect(forward, &QPushButton::clicked, view_, &LazyWebView::forward);
    connect(stop, &QPushButton::clicked, view_, &LazyWebView::stop);
    connect(refresh, &QPushButton::clicked, view_, &LazyWebView::reload);
    // After every load the box shows where the browser really is.
    connect(view_, &LazyWebView::loadFinished, this,
            [this] { addressBox_->setText(view_->currentAddress()); });

    const auto addShortcut = [&](const QKeySequence& keys, auto slot) {
        auto* shortcut = new QShortcut(keys, shortcutScope);
        shortcut->setContext(shortcutContext);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    addShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), [this] { view_->back(); });
    addShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), [this] { view_->forward(); });
    addShortcut(QKeySequence(Qt::Key_Escape), [this] { view_->stop(); });
    addShortcut(QKeySequence(Qt::Key_F5), [this] { view_->reload(); });
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), [this] {
        addressBox_->setFocus(Qt::ShortcutFocusReason);
        addressBox_->selectAll();
    });
}

void NavigationBar::openTypedAddress() {
    view_->open(addressBox_->text());
}

void NavigationBar::fitGo() {
    const QStyle* style = go_->style();
    const int needed = go_->fontMetrics().horizontalAdvance(go_->text()) + go_->iconSize().width() +
                       4 + style->pixelMetric(QStyle::PM_ButtonMargin) +
                       2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    go_->setFixedWidth(std::max(GoWidth, needed));
}

void NavigationBar::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange && go_)
        fitGo();
}

} // namespace tally
