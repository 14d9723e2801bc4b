#include "gui/main/about_window.h"

#include "core/product/app_state.h"
#include "gui/kit/pictures.h"
#include "gui/kit/skin.h"
#include "gui/webview/browser_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace tally {

namespace {
QPointer<AboutWindow>& loadedWindow() {
    static QPointer<AboutWindow> window;
    return window;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}
} // namespace

AboutWindow::AboutWindow(QWidget* owner) : AboutWindow(displayStrings(), owner) {}

AboutWindow::AboutWindow(const DisplayStrings& strings, QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowIcon(pictures::programIcon());

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(pictures::aboutLogo(96, devicePixelRatioF()));
    Picture1->setFixedSize(112, 112);
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->setAccessibleName(QStringLiteral("Logo"));
    modSkin::SetControlKind(Picture1, QStringLiteral("PictureBox"));

    Label1 = makeLabel(this, "Label1", QString());
    QFont nameFont = Label1->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.8);
    nameFont.setBold(true);
    Label1->setFont(nameFont);

    Label2 = makeLabel(this, "Label2", QStringLiteral("Version:"));
    Label3 = makeLabel(this, "Label3", QStringLiteral("Owned By:"));
    Label4 = makeLabel(this, "Label4", QStringLiteral("Website:"));
    lblVersion = makeLabel(this, "lblVersion", QString());
    lblCompany = makeLabel(this, "lblCompany", QString());
    lblWebsite = makeLabel(this, "lblWebsite", QString());
    lblWebsite->setTextFormat(Qt::RichText);
    lblWebsite->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lblWebsite->setOpenExternalLinks(false);
    lblWebsite->setCursor(Qt::PointingHandCursor);
    lblWebsite->setToolTip(QStringLiteral("Open the web site in the browser window"));
    connect(lblWebsite, &QLabel::linkActivated, this, &AboutWindow::lblWebsite_Click);
    for (QLabel* field : {lblVersion, lblCompany})
        field->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->setVerticalSpacing(6);
    fields->addWidget(Label2, 0, 0);
    fields->addWidget(lblVersion, 0, 1);
    fields->addWidget(Label3, 1, 0);
    fields->addWidget(lblCompany, 1, 1);
    fields->addWidget(Label4, 2, 0);
    fields->addWidget(lblWebsite, 2, 1);
    fields->setColumnStretch(1, 1);

    auto* text = new QVBoxLayout;
    text->setSpacing(10);
    text->addWidget(Label1);
    text->addLayout(fields);
    text->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setSpacing(18);
    top->addWidget(Picture1, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(14);
    layout->addLayout(top);
    layout->addLayout(buttons);
    // A fixed single border: the window keeps the size its content needs.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Label1->setMinimumWidth(260);

    Form_Load(strings);
}

void AboutWindow::Form_Load(const DisplayStrings& strings) {
    setWindowTitle(QStringLiteral("About ") + strings.productName);
    Label1->setText(strings.productName);
    lblCompany->setText(strings.companyName);
    lblVersion->setText(strings.versionText);
    const QString site = appState().SiteAddress;
    lblWebsite->setText(QStringLiteral("<a href=\"website\">%1</a>").arg(site.toHtmlEscaped()));

    for (QLabel* label : {Label1, Label2, Label3, Label4, lblVersion, lblCompany})
        label->setAccessibleName(label->text());
    lblWebsite->setAccessibleName(site);
    Label4->setAccessibleDescription(site);

    // Labels need no twins: the skin styles them directly.
    if (appState().SkinningOn)
        modSkin::ApplySkin(this);
}

void AboutWindow::lblWebsite_Click() {
    showBrowserWindow();
}

void showAboutWindow(QWidget* owner) {
    QPointer<AboutWindow>& window = loadedWindow();
    if (!window)
        window = new AboutWindow(owner);
    window->show();
    window->raise();
    window->activateWindow();
}

void unloadAboutWindow() {
    if (AboutWindow* window = loadedWindow())
        delete window;
}

QWidget* aboutWindow() {
    return loadedWindow();
}

} // namespace tally
