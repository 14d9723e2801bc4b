#include "gui/main/scan_failures_dialog.h"

#include "gui/kit/skin.h"
#include "gui/kit/twips.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tally {

ScanFailuresDialog::ScanFailuresDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmFailures"));
    setWindowTitle(tr("Requests Without A Count"));
    auto* label =
        new QLabel(tr("These requests of the last scan gave no count, and count nothing in the "
                      "totals:"),
                   this);
    label->setWordWrap(true);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("lstFailures"));
    list_->setAccessibleName(tr("Failed requests"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setHeaderLabels({tr("URL"), tr("Engine"), tr("Reason")});
    list_->setColumnWidth(0, px(3000));
    list_->setColumnWidth(1, px(1200));
    list_->header()->setStretchLastSection(true);
    label->setBuddy(list_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    QPushButton* sources = buttons->addButton(tr("&Sources..."), QDialogButtonBox::ActionRole);
    sources->setObjectName(QStringLiteral("cmdSources"));
    sources->setToolTip(tr("Check the keys, plans and sources of the columns"));
    connect(sources, &QPushButton::clicked, this, [this] {
        accept();
        Q_EMIT sourcesRequested();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(px(11000), px(4500));
    skin::skinWindow(this);
}

void ScanFailuresDialog::setFailures(const QList<ScanFailure>& failures) {
    list_->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(failures.size());
    for (const ScanFailure& f : failures) {
        auto* row = new QTreeWidgetItem({f.url, f.engine, f.reason});
        row->setToolTip(2, f.reason);
        rows.append(row);
    }
    list_->addTopLevelItems(rows);
    if (!rows.isEmpty())
        list_->setCurrentItem(rows.first());
}

} // namespace tally
