#include "gui/main/about_window.h"

#include "core/settings/program_folder.h"
#include "gui/kit/pictures.h"
#include "gui/kit/skin.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tally {

namespace {
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}
} // namespace

AboutWindow::AboutWindow(const ProductInfo& info, QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowIcon(pictures::programIcon());

    logo_ = new QLabel(this);
    logo_->setObjectName(QStringLiteral("Picture1"));
    logo_->setPixmap(pictures::aboutLogo(96, devicePixelRatioF()));
    logo_->setFixedSize(112, 112);
    logo_->setAlignment(Qt::AlignCenter);
    logo_->setAccessibleName(tr("Logo"));
    skin::setControlKind(logo_, QStringLiteral("PictureBox"));

    nameLabel_ = makeLabel(this, "Label1", QString());
    QFont nameFont = nameLabel_->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.8);
    nameFont.setBold(true);
    nameLabel_->setFont(nameFont);

    versionCaption_ = makeLabel(this, "Label2", tr("Version:"));
    ownerCaption_ = makeLabel(this, "Label3", tr("Owned By:"));
    websiteCaption_ = makeLabel(this, "Label4", tr("Website:"));
    versionLabel_ = makeLabel(this, "lblVersion", QString());
    companyLabel_ = makeLabel(this, "lblCompany", QString());
    websiteLink_ = makeLabel(this, "lblWebsite", QString());
    dataCaption_ = makeLabel(this, "Label5", tr("Data:"));
    dataFolder_ = makeLabel(this, "lblDataFolder", QString());
    dataFolder_->setTextFormat(Qt::PlainText);
    dataFolder_->setToolTip(
        tr("Where your settings.ini, saved searches (Saved) and URL lists (Lists) are kept"));
    websiteLink_->setTextFormat(Qt::RichText);
    websiteLink_->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                          Qt::LinksAccessibleByKeyboard);
    websiteLink_->setOpenExternalLinks(false);
    websiteLink_->setCursor(Qt::PointingHandCursor);
    websiteLink_->setToolTip(tr("Open the web site in the browser window"));
    connect(websiteLink_, &QLabel::linkActivated, this, &AboutWindow::websiteRequested);
    for (QLabel* field : {versionLabel_, companyLabel_, dataFolder_})
        field->setTextInteractionFlags(Qt::TextSelectableByMouse);

    okButton_ = new QPushButton(tr("OK"), this);
    okButton_->setObjectName(QStringLiteral("cmdOK"));
    okButton_->setAccessibleName(tr("OK"));
    okButton_->setDefault(true);
    okButton_->setAutoDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::close);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->setVerticalSpacing(6);
    fields->addWidget(versionCaption_, 0, 0);
    fields->addWidget(versionLabel_, 0, 1);
    fields->addWidget(ownerCaption_, 1, 0);
    fields->addWidget(companyLabel_, 1, 1);
    fields->addWidget(websiteCaption_, 2, 0);
    fields->addWidget(websiteLink_, 2, 1);
    fields->addWidget(dataCaption_, 3, 0);
    fields->addWidget(dataFolder_, 3, 1);
    fields->setColumnStretch(1, 1);

    auto* text = new QVBoxLayout;
    text->setSpacing(10);
    text->addWidget(nameLabel_);
    text->addLayout(fields);
    text->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setSpacing(18);
    top->addWidget(logo_, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(14);
    layout->addLayout(top);
    layout->addLayout(buttons);
    // A fixed single border: the window keeps the size its content needs.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    nameLabel_->setMinimumWidth(260);

    load(info);
}

void AboutWindow::load(const ProductInfo& info) {
    setWindowTitle(tr("About %1").arg(info.name));
    nameLabel_->setText(info.name);
    companyLabel_->setText(info.company);
    versionLabel_->setText(info.versionText());
    dataFolder_->setText(QDir::toNativeSeparators(ProgramFolder::path()));
    const QString site = info.siteAddress;
    websiteLink_->setText(QStringLiteral("<a href=\"website\">%1</a>").arg(site.toHtmlEscaped()));

    for (QLabel* label : {nameLabel_, versionCaption_, ownerCaption_, websiteCaption_,
                          versionLabel_, companyLabel_, dataCaption_, dataFolder_})
        label->setAccessibleName(label->text());
    websiteLink_->setAccessibleName(site);
    websiteCaption_->setAccessibleDescription(site);

    // Labels need no twins: the skin styles them directly.
    skin::skinWindow(this);
}

} // namespace tally
