#include "gui/results/backfill_dialog.h"

#include "core/history/backfill.h"
#include "core/net/network_page_fetcher.h"
#include "core/net/web_address.h"
#include "core/results/provenance.h"
#include "core/results/saved_search.h"
#include "gui/kit/skin.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>

namespace tally {

BackfillDialog::BackfillDialog(const QString& file, QWidget* parent)
    : QDialog(parent), file_(file), engines_(programEngines()),
      columns_(planBackfill(engines_, {}, QDate(), historyToday())) {
    setObjectName(QStringLiteral("frmBackfill"));
    setWindowTitle(tr("Fill In the Past of %1").arg(savedSearchTitle(QFileInfo(file).fileName())));
    setModal(true);
    for (int f = 0; f < BackfillRequestsAtOnce; ++f)
        fetchers_ << new NetworkPageFetcher(this);

    url_ = new QLineEdit(Provenance::read(file).anyUrl(), this);
    url_->setObjectName(QStringLiteral("txtBackfillUrl"));
    url_->setPlaceholderText(QStringLiteral("https://www.example.com/"));
    months_ = new QSpinBox(this);
    months_->setObjectName(QStringLiteral("spnBackfillMonths"));
    months_->setRange(1, MaxBackfillMonths);
    months_->setValue(DefaultBackfillMonths);
    months_->setSuffix(tr(" months"));
    auto* form = new QFormLayout;
    form->addRow(tr("&Site:"), url_);
    form->addRow(tr("&Look back:"), months_);

    plan_ = new QLabel(this);
    plan_->setObjectName(QStringLiteral("lblBackfillPlan"));
    plan_->setWordWrap(true);
    plan_->setTextFormat(Qt::PlainText);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("prgBackfill"));
    progress_->setAccessibleName(tr("Progress of the fill-in"));
    progress_->setValue(0);
    log_ = new QListWidget(this);
    log_->setObjectName(QStringLiteral("lstBackfillLog"));
    log_->setAccessibleName(tr("What each column gave"));
    log_->setMinimumHeight(120);

    start_ = new QPushButton(tr("&Start"), this);
    start_->setObjectName(QStringLiteral("cmdBackfillStart"));
    start_->setDefault(true);
    stop_ = new QPushButton(tr("S&top"), this);
    stop_->setObjectName(QStringLiteral("cmdBackfillStop"));
    stop_->setEnabled(false);
    close_ = new QPushButton(tr("Close"), this);
    close_->setObjectName(QStringLiteral("cmdBackfillClose"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(start_, QDialogButtonBox::ActionRole);
    buttons->addButton(stop_, QDialogButtonBox::ActionRole);
    buttons->addButton(close_, QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(plan_);
    layout->addWidget(progress_);
    layout->addWidget(log_);
    layout->addWidget(buttons);

    connect(url_, &QLineEdit::textChanged, this, &BackfillDialog::describePlan);
    connect(months_, &QSpinBox::valueChanged, this, &BackfillDialog::describePlan);
    connect(start_, &QPushButton::clicked, this, &BackfillDialog::start);
    connect(stop_, &QPushButton::clicked, this, &BackfillDialog::stop);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    describePlan();
    skin::skinWindow(this);
    plan_->setMinimumWidth(plan_->fontMetrics().averageCharWidth() * 60);
}

BackfillDialog::~BackfillDialog() {
    if (backfill_) {
        backfill_->disconnect(this);
        backfill_->stop();
    }
}

BackfillPlan BackfillDialog::plan() const {
    // The columns and releases once per dialog; the site and the months as they are now.
    BackfillPlan plan = columns_;
    plan.sites = {{url_->text().trimmed(), file_}};
    plan.since = backfillSince(plan.today, months_->value());
    return plan;
}

void BackfillDialog::describePlan() {
    const BackfillPlan plan = this->plan();
    QStringList lines;
    if (plan.columns.isEmpty())
        lines << tr("No column can look back.");
    else
        lines << tr("Asks, since %1:").arg(QLocale().toString(plan.since, QLocale::ShortFormat))
              << plan.describe();
    for (const QString& line : plan.cannot)
        lines << tr("Not asked: %1").arg(line);
    if (plan.requests() > 0)
        lines << (plan.requests() == 1
                      ? tr("1 request in all; the provider bills it as its plan says.")
                      : tr("%1 requests in all; the providers bill them as their plans say.")
                            .arg(plan.requests()));
    if (!isWebAddress(url_->text()))
        lines << tr("Type the site's address (http:// or https://) the saved search is for.");
    plan_->setText(lines.join(QLatin1Char('\n')));
    start_->setEnabled(!backfill_ && !plan.columns.isEmpty() && isWebAddress(url_->text()));
}

void BackfillDialog::start() {
    if (backfill_ || !start_->isEnabled())
        return;
    const BackfillPlan plan = this->plan();
    added_ = 0;
    failed_ = 0;
    log_->clear();
    backfill_ = std::make_unique<Backfill>(plan, engines_, fetchers_);
    connect(backfill_.get(), &Backfill::progressed, this, [this](int done, int total) {
        progress_->setRange(0, std::max(1, total));
        progress_->setValue(done);
    });
    connect(backfill_.get(), &Backfill::resultReady, this, [this](const BackfillResult& r) {
        added_ += r.added;
        failed_ += r.failure ? 1 : 0;
        log_->addItem(r.failure
                          ? tr("%1: %2").arg(r.caption, r.failure->reason)
                          : tr("%1: %2 given, %3 new").arg(r.caption).arg(r.received).arg(r.added));
    });
    connect(backfill_.get(), &Backfill::finished, this, &BackfillDialog::finished);
    start_->setEnabled(false);
    stop_->setEnabled(true);
    url_->setEnabled(false);
    months_->setEnabled(false);
    stop_->setFocus();
    backfill_->start();
}

void BackfillDialog::stop() {
    if (backfill_)
        backfill_->stop();
}

void BackfillDialog::finished() {
    const bool stopped = backfill_->stopped();
    // Let go of it once its signal has returned.
    backfill_.release()->deleteLater();
    log_->addItem(
        (stopped ? tr("Stopped. New points saved: %1.") : tr("Done. New points saved: %1."))
            .arg(added_));
    stop_->setEnabled(false);
    url_->setEnabled(true);
    months_->setEnabled(true);
    describePlan();
    close_->setFocus();
    emit done();
}

} // namespace tally
