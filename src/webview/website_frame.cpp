#include "webview/website_frame.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace tally {

WebsiteFrame::WebsiteFrame(QWidget* parent)
    : QGroupBox(QStringLiteral("Results - Website View"), parent) {
    setObjectName(QStringLiteral("Frame4"));
    auto* grid = new QGridLayout(this);
    listView2_ = new QTreeWidget(this);
    listView2_->setObjectName(QStringLiteral("ListView2"));
    listView2_->setRootIsDecorated(false);
    listView2_->setHeaderLabels({QStringLiteral("Webpage Type"), QStringLiteral("URL")});
    listView2_->setFixedHeight(125);
    auto* label = new QLabel(QStringLiteral("URL:"), this);
    auto* address = new QLineEdit(this);
    address->setObjectName(QStringLiteral("Text1"));
    address->setAccessibleName(QStringLiteral("URL"));
    auto* go = new QPushButton(QStringLiteral("Go"), this);
    go->setObjectName(QStringLiteral("Command10"));
    auto* browser = new QWidget(this);
    browser->setObjectName(QStringLiteral("WebBrowser1"));
    grid->addWidget(listView2_, 0, 0, 1, 3);
    grid->addWidget(label, 1, 0);
    grid->addWidget(address, 1, 1);
    grid->addWidget(go, 1, 2);
    auto* buttons = new QHBoxLayout;
    const char* names[][2] = {{"Command8", "Back"}, {"Command9", "Forward"},
                              {"Command11", "Stop"}, {"Command70", "Refresh"}};
    for (auto& n : names) {
        auto* b = new QPushButton(QString::fromLatin1(n[1]), this);
        b->setObjectName(QString::fromLatin1(n[0]));
        buttons->addWidget(b);
    }
    buttons->addStretch();
    grid->addLayout(buttons, 2, 1, 1, 2);
    grid->addWidget(browser, 3, 0, 1, 3);
    grid->setRowStretch(3, 1);
}

void WebsiteFrame::addWebResult(const QString& rowText, const QString& url) {
    new QTreeWidgetItem(listView2_, {rowText, url});
}

void WebsiteFrame::clearWebResults() { listView2_->clear(); }
void WebsiteFrame::ShowWebResults(QTreeWidgetItem*) {}
void WebsiteFrame::navigateBlank() {}

} // namespace tally
