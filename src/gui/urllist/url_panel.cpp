#include "gui/urllist/url_panel.h"

#include "core/settings/program_folder.h"
#include "core/urllist/url_list_file.h"
#include "gui/kit/accessibility.h"
#include "gui/kit/icons.h"
#include "gui/kit/picture_button.h"
#include "gui/kit/prompts.h"
#include "gui/kit/twips.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace tally {

namespace {

// Qt's file dialog matches name filters without regard to letter case, so "*.txt" also lists
// "*.TXT" files.
QString textFilesFilter() {
    return UrlPanel::tr("Text Files (*.txt)");
}

} // namespace

UrlPanel::UrlPanel(QWidget* parent) : QGroupBox(tr("URLs"), parent) {
    setObjectName(QStringLiteral("Frame1"));

    struct ButtonDef {
        const char* name;
        const char* caption;
        IconKind icon;
        int width;
    };
    static constexpr ButtonDef defs[] = {
        {"cmdAdd", QT_TRANSLATE_NOOP("tally::UrlPanel", "Add"), IconKind::AddUrl, 795},
        {"cmdDel", QT_TRANSLATE_NOOP("tally::UrlPanel", "Delete"), IconKind::Delete, 855},
        {"cmdOpen", QT_TRANSLATE_NOOP("tally::UrlPanel", "Load"), IconKind::Open, 855},
        {"cmdSave", QT_TRANSLATE_NOOP("tally::UrlPanel", "Save"), IconKind::Save, 855},
    };
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(1);
    QPushButton* made[4] = {};
    int i = 0;
    for (const ButtonDef& def : defs) {
        QPushButton* button = new PictureButton(tr(def.caption), this);
        button->setObjectName(QString::fromLatin1(def.name));
        button->setIcon(icon(def.icon));
        button->setMinimumHeight(px(735));
        button->setIconSize(QSize(16, 16));
        // At least its whole caption (the panel grows for a larger font rather than cut it);
        // the panel's designed width shares out the rest by the designed widths.
        button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
        buttons->addWidget(button, px(def.width));
        made[i++] = button;
    }

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("List1"));
    list_->setAccessibleName(tr("URL list"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setContextMenuPolicy(Qt::NoContextMenu);
    // One line of text each: a long list is laid out without measuring every entry.
    list_->setUniformItemSizes(true);
    list_->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(px(120), px(120), px(120), px(200));
    layout->setSpacing(px(45));
    layout->addLayout(buttons);
    layout->addWidget(list_, 1);

    // mnuURL: New URL, -, Delete Selected (Del), Clear list (Shift+Del), -, the three file items.
    menu_ = new QMenu(tr("URL"), this);
    menu_->setObjectName(QStringLiteral("mnuURL"));
    auto item = [this](const char* name, const QString& caption, void (UrlPanel::*slot)()) {
        QAction* action = menu_->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    item("mnuURLNewURL", tr("&New URL"), &UrlPanel::addUrl);
    menu_->addSeparator()->setObjectName(QStringLiteral("mnuURLSplit1"));
    deleteAction_ = item("mnuDeleteSelect", tr("&Delete Selected"), &UrlPanel::deleteSelected);
    QAction* clear = item("mnuClearList", tr("C&lear list"), &UrlPanel::clearList);
    menu_->addSeparator()->setObjectName(QStringLiteral("mnuURLSplit2"));
    item("mnuURLLoadUrlList", tr("Load URL List from &File"), &UrlPanel::loadListFile);
    item("mnuLoadClipboard", tr("Load URL List from &Clipboard"), &UrlPanel::loadClipboard);
    saveAction_ = item("mnuURLSaveUrlList", tr("&Save URL List to File"), &UrlPanel::saveListFile);

    // Del and Shift+Del act on the list while it has the focus, and nowhere else. Del has a key
    // of its own: the menu item, which only shows it, is disabled whenever the menu last opened
    // without a selection, and a disabled item's key does nothing.
    deleteAction_->setShortcut(QKeySequence(Qt::Key_Delete));
    deleteAction_->setShortcutContext(Qt::WidgetShortcut);
    auto* deleteKey = new QShortcut(QKeySequence(Qt::Key_Delete), list_);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &UrlPanel::deleteSelected);
    clear->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    clear->setShortcutContext(Qt::WidgetShortcut);
    list_->addAction(clear);
    // Shift+F10 and the Menu key: the context menu at the current entry.
    accessibility::onContextMenuKeys(list_, Qt::WidgetShortcut, [this] {
        showContextMenu(accessibility::keyboardMenuPosition(list_));
    });

    connect(made[0], &QPushButton::clicked, this, &UrlPanel::addUrl);
    connect(made[1], &QPushButton::clicked, this, &UrlPanel::deleteSelected);
    connect(made[2], &QPushButton::clicked, this, &UrlPanel::loadListFile);
    connect(made[3], &QPushButton::clicked, this, &UrlPanel::saveListFile);

    // Every way the list can change, told as one signal.
    QAbstractItemModel* model = list_->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &UrlPanel::urlsChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &UrlPanel::urlsChanged);
    connect(model, &QAbstractItemModel::rowsMoved, this, &UrlPanel::urlsChanged);
    connect(model, &QAbstractItemModel::modelReset, this, &UrlPanel::urlsChanged);
    connect(model, &QAbstractItemModel::layoutChanged, this, &UrlPanel::urlsChanged);
    connect(model, &QAbstractItemModel::dataChanged, this, &UrlPanel::urlsChanged);

    keepTimer_ = new QTimer(this);
    keepTimer_->setSingleShot(true);
    keepTimer_->setInterval(0);
    connect(keepTimer_, &QTimer::timeout, this, &UrlPanel::keepNow);
}

void UrlPanel::rememberIn(const QString& file) {
    rememberedIn_ = file;
    QStringList entries;
    QString error;
    if (readUrlListFile(file, &entries, &error))
        appendUrls(entries);
    else if (QFileInfo::exists(file) || QFileInfo(file).isSymLink())
        Prompts::fileProblem(window(),
                             tr("The URL list of the last session could not be read from"), file,
                             error, tr("Warning"));
    keepTimer_->stop(); // what was just read is in the file already
    connect(this, &UrlPanel::urlsChanged, keepTimer_, qOverload<>(&QTimer::start),
            Qt::UniqueConnection);
}

void UrlPanel::keepNow() {
    keepTimer_->stop();
    if (rememberedIn_.isEmpty())
        return;
    QString error;
    if (writeUrlListFile(rememberedIn_, urls(), &error) || keepFailed_)
        return;
    // Said once a run: the list itself stays as it is, and Save still writes it anywhere else.
    keepFailed_ = true;
    Prompts::fileProblem(window(), tr("The URL list could not be kept for the next start in"),
                         rememberedIn_, error, tr("Warning"));
}

QSize UrlPanel::sizeHint() const {
    // Its designed width, or what its buttons and frame need at the least.
    return QSize(std::max(QGroupBox::minimumSizeHint().width(), px(3495)),
                 QGroupBox::sizeHint().height());
}

QSize UrlPanel::minimumSizeHint() const {
    return QSize(sizeHint().width(), QGroupBox::minimumSizeHint().height());
}

QStringList UrlPanel::urls() const {
    QStringList entries;
    entries.reserve(list_->count());
    for (int i = 0; i < list_->count(); ++i)
        entries.append(list_->item(i)->text());
    return entries;
}

int UrlPanel::count() const {
    return list_->count();
}

void UrlPanel::appendUrls(const QStringList& urls) {
    list_->addItems(urls);
}

void UrlPanel::addUrl() {
    const std::optional<QString> text = Prompts::instance().inputBox(
        window(), tr("Please enter a URL"), tr("New URL"), QStringLiteral("http://"));
    if (text && text->size() > 7)
        list_->addItem(*text);
}

void UrlPanel::deleteSelected() {
    const int index = list_->currentRow();
    if (index < 0 || !list_->item(index) || !list_->item(index)->isSelected())
        return;
    delete list_->takeItem(index);
    if (index < list_->count())
        list_->setCurrentRow(index);
    else
        list_->setCurrentRow(-1);
}

void UrlPanel::clearList() {
    const QMessageBox::StandardButton answer = Prompts::instance().msgBox(
        window(), tr("This will delete all the URLs, Continue?"), tr("Warning"),
        QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        list_->clear();
}

void UrlPanel::loadListFile() {
    const QString path = Prompts::instance().openFileName(
        window(), tr("Select a file"), ProgramFolder::listsFolder(), textFilesFilter());
    if (path.isEmpty())
        return;
    QStringList entries;
    QString error;
    if (readUrlListFile(path, &entries, &error))
        appendUrls(entries);
    else if (QFileInfo::exists(path)) // a name typed for a missing file ends the command quietly
        Prompts::fileProblem(window(), tr("The URL list could not be loaded from"), path, error,
                             tr("Warning"));
}

void UrlPanel::loadClipboard() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    appendUrls(importedUrls(clipboard ? clipboard->text() : QString()));
}

void UrlPanel::saveListFile() {
    const QString chosen = Prompts::instance().saveFileName(
        window(), QString(), ProgramFolder::listsFolder(),
        textFilesFilter() + tr(";;All Files (*)"), QStringLiteral("txt"));
    if (chosen.isEmpty())
        return;
    QString error;
    if (!writeUrlListFile(urlListFileName(chosen), urls(), &error))
        Prompts::fileProblem(window(), tr("The URL list could not be saved to"),
                             urlListFileName(chosen), error, tr("Warning"));
}

void UrlPanel::showContextMenu(const QPoint& globalPos) {
    deleteAction_->setEnabled(!list_->selectedItems().isEmpty());
    saveAction_->setEnabled(list_->count() > 0);
    menu_->popup(globalPos);
}

bool UrlPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            showContextMenu(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace tally
