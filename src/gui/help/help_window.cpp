#include "gui/help/help_window.h"

#include "core/files/safe_file.h"
#include "core/help/file_exists.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "gui/help/rtf_reader.h"
#include "gui/kit/accessibility.h"
#include "gui/kit/contrast.h"
#include "gui/kit/pictures.h"
#include "gui/kit/prompts.h"
#include "gui/kit/skin.h"
#include "gui/kit/windows.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace tally {

namespace {
// Designed client area: 10290 by 7920 twips.
constexpr QSize kDesignedSize(686, 528);
} // namespace

HelpWindow::HelpWindow(QWidget* owner)
    // Owned by the main window as a tool window: it stays above its owner, not above every
    // other program.
    : QWidget(owner, owner ? Qt::Tool : Qt::Window) {
    setObjectName(QStringLiteral("Form8"));
    // A window of its own for assistive technology too, not a plain container.
    accessibility::setRole(this, QAccessible::Window);
    setWindowTitle(tr("Readme/Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(pictures::programIcon());
    resize(kDesignedSize);
    setMinimumSize(320, 240);

    helpText_ = new QTextBrowser(this);
    helpText_->setObjectName(QStringLiteral("rtf1"));
    helpText_->setAccessibleName(tr("Help text"));
    helpText_->setOpenLinks(false);
    helpText_->setFrameShape(QFrame::NoFrame);
    helpText_->document()->setDocumentMargin(12);

    showAtStartupBox_ = new QCheckBox(tr("Show at &Startup"), this);
    showAtStartupBox_->setObjectName(QStringLiteral("Check1"));
    showAtStartupBox_->setAccessibleName(tr("Show at Startup"));
    showAtStartupBox_->setToolTip(tr("Open this window each time the program starts"));
    // Every change of the box is stored, whether a click, a key or an accessibility action made it.
    connect(showAtStartupBox_, &QCheckBox::toggled, this, &HelpWindow::showAtStartupToggled);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->setSpacing(6);
    layout->addWidget(helpText_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(4, 0, 8, 0);
    bottom->addWidget(showAtStartupBox_);
    bottom->addStretch(1);
    layout->addLayout(bottom);

    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);

    load();
}

void HelpWindow::load() {
    skin::skinWindow(this);

    const QString path = ProgramFolder::helpFile();
    if (!FileExists(path))
        return; // the window stays hidden and does not appear at all
    loaded_ = true;

    // A help file that exists but cannot be read (no permission, not a regular file, too large)
    // leaves the window with the reason instead of the text.
    const FileContents help = readFileBounded(path, HelpFileLimit);
    if (help.isRead()) {
        if (looksLikeRtf(help.bytes))
            readRtf(help.bytes, helpText_->document());
        else
            readPlainText(help.bytes, helpText_->document());
    } else {
        helpText_->setPlainText(tr("The help file could not be read.\n\n%1\n\n%2.")
                                    .arg(QDir::toNativeSeparators(path), help.reason));
    }
    showColoursReadable();
    helpText_->moveCursor(QTextCursor::Start);

    // Without an owner to stay above, the window keeps itself above the others.
    if (!parentWidget())
        setAlwaysOnTop(this, true);

    {
        const QSignalBlocker loading(showAtStartupBox_);
        showAtStartupBox_->setChecked(UserSettings::showHelpAtStart());
    }
    storeShowAtStartup(); // the value read is stored once, so that it is present from now on
}

void HelpWindow::storeShowAtStartup() {
    UserSettings::setShowHelpAtStart(showAtStartupBox_->isChecked());
}

void HelpWindow::showAtStartupToggled() {
    if (const FileOutcome stored = UserSettings::setShowHelpAtStart(showAtStartupBox_->isChecked());
        !stored)
        Prompts::fileProblem(this, tr("\"Show at Startup\" could not be kept in"),
                             userSettingsFile(), stored.reason());
}

void HelpWindow::placeBesideOwner() {
    QWidget* owner = parentWidget();
    const QScreen* screen =
        owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    if (owner && owner->isVisible() && screen) {
        // Not shown yet, this window's frame is taken to be its owner's; a small gap keeps the
        // two frames apart whatever the window manager adds.
        constexpr int Gap = 8;
        const QRect outer = owner->frameGeometry().adjusted(-Gap, 0, Gap, 0);
        const QRect inner = owner->geometry();
        const QMargins frame(inner.left() - outer.left() - Gap, inner.top() - outer.top(),
                             outer.right() - inner.right() - Gap, outer.bottom() - inner.bottom());
        // The screen's edge kept at the same distance, as this window's frame is not known yet.
        const QRect beside = besideGeometry(size(), minimumSize(), frame, outer,
                                            screen->availableGeometry().adjusted(Gap, 0, -Gap, 0));
        if (beside.isValid()) {
            resize(beside.size());
            move(beside.topLeft() - QPoint(frame.left(), frame.top()));
            return;
        }
    }
    QRect area;
    if (owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (screen)
        area = screen->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
}

void HelpWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        showColoursReadable();
}

void HelpWindow::showColoursReadable() {
    constexpr int OwnColour = QTextFormat::UserProperty + 1;
    QTextDocument* document = helpText_->document();
    const QColor base = helpText_->palette().color(QPalette::Base);
    struct Change {
        int from;
        int length;
        QColor own;
        QColor shown;
    };
    // Found first and changed afterwards: a change of format joins and splits the fragments.
    QList<Change> changes;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.hasProperty(QTextFormat::ForegroundBrush))
                continue;
            const QColor own = format.hasProperty(OwnColour) ? format.colorProperty(OwnColour)
                                                             : format.foreground().color();
            const QColor background = format.hasProperty(QTextFormat::BackgroundBrush)
                                          ? format.background().color()
                                          : base;
            const QColor shown = readableOn(own, background);
            if (shown != format.foreground().color())
                changes.append({fragment.position(), fragment.length(), own, shown});
        }
    }
    if (changes.isEmpty())
        return;
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const Change& change : std::as_const(changes)) {
        QTextCharFormat format;
        format.setForeground(change.shown);
        format.setProperty(OwnColour, change.own);
        cursor.setPosition(change.from);
        cursor.setPosition(change.from + change.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
    cursor.endEditBlock();
}

} // namespace tally
