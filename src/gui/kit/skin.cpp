#include "gui/kit/skin.h"

#include "core/settings/user_settings.h"
#include "gui/kit/prompts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleFactory>
#include <QTextBrowser>
#include <QTextEdit>
#include <QWidget>

#include <optional>

namespace tally::skin {

namespace {

constexpr const char* kKindProperty = "tallyControlKind";
constexpr const char* kSkinnedProperty = "tallySkinned";
// A window that follows changes of look (it called skinWindow), and a control the skin recoloured.
constexpr const char* kFollowsLookProperty = "tallyFollowsLook";
constexpr const char* kRecolouredProperty = "tallyRecoloured";
constexpr const char* kDesignedFontProperty = "tallyDesignedFont";

struct SavedLook {
    QString styleName;
};

bool& switchedOn() {
    static bool on = false;
    return on;
}

bool& desktopLookOn() {
    static bool on = false;
    return on;
}

std::optional<SavedLook>& savedLook() {
    static std::optional<SavedLook> look;
    return look;
}

// Colour groups in which fore colours are set: disabled text keeps its greyed look.
constexpr QPalette::ColorGroup kForeGroups[] = {QPalette::Active, QPalette::Inactive};

void setBack(QPalette& palette, QPalette::ColorRole role, const QColor& colour) {
    palette.setColor(role, colour); // every group, disabled included
}

void setFore(QPalette& palette, QPalette::ColorRole role, const QColor& colour) {
    for (const QPalette::ColorGroup group : kForeGroups)
        palette.setColor(group, role, colour);
}

void recolor(QWidget* control, const QString& kind, const SkinColours& colours) {
    QPalette palette = control->palette();
    if (kind == QLatin1String("CommandButton")) {
        setBack(palette, QPalette::Button, colours.back);
    } else if (kind == QLatin1String("TextBox") || kind == QLatin1String("ComboBox") ||
               kind == QLatin1String("ListBox") || kind == QLatin1String("ListView")) {
        setBack(palette, QPalette::Base, colours.back);
        setFore(palette, QPalette::Text, colours.fore);
        if (kind == QLatin1String("ComboBox")) {
            // A combo box that cannot be edited paints its field with the button roles.
            setBack(palette, QPalette::Button, colours.back);
            setFore(palette, QPalette::ButtonText, colours.fore);
        }
    } else if (kind == QLatin1String("PictureBox")) {
        setBack(palette, QPalette::Window, colours.panel);
        control->setAutoFillBackground(true);
    } else if (kind == QLatin1String("Label")) {
        setFore(palette, QPalette::WindowText, colours.panelText);
    } else {
        return;
    }
    control->setPalette(palette);
    control->setProperty(kRecolouredProperty, true);
}

// The window's own controls: its descendants, without those of other windows inside it.
void collectControls(QWidget* parent, QList<QWidget*>& controls) {
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow())
            continue;
        controls.append(widget);
        collectControls(widget, controls);
    }
}

// The windows that follow changes of look, or have a designed font.
QList<QWidget*> lookFollowers(const char* property) {
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::allWidgets())
        if (w->isWindow() && w->property(property).isValid())
            windows.append(w);
    return windows;
}

// The skin's colours taken off a window and its controls: they show the application's palette.
void unskin(QWidget* window) {
    window->setPalette(QPalette());
    window->setProperty(kSkinnedProperty, QVariant());
    QList<QWidget*> controls;
    collectControls(window, controls);
    for (QWidget* control : controls)
        if (control->property(kRecolouredProperty).toBool()) {
            control->setPalette(QPalette());
            control->setProperty(kRecolouredProperty, QVariant());
        }
}

} // namespace

void setEnabled(bool on) {
    switchedOn() = on;
}

bool enabled() {
    return switchedOn();
}

void skinWindow(QWidget* window) {
    if (!window)
        return;
    window->setProperty(kFollowsLookProperty, true);
    if (switchedOn() && !desktopLookOn())
        applyTo(window);
}

bool desktopLook() {
    return desktopLookOn();
}

void setDesktopLook(bool on) {
    if (desktopLookOn() == on)
        return;
    desktopLookOn() = on;
    if (on) {
        stop();
        for (QWidget* window : lookFollowers(kFollowsLookProperty))
            unskin(window);
        for (QWidget* window : lookFollowers(kDesignedFontProperty))
            window->setFont(QFont()); // the application's: the desktop's
    } else {
        if (switchedOn()) {
            start(); // the skin's style and palette for the whole program, as at a start
            for (QWidget* window : lookFollowers(kFollowsLookProperty))
                applyTo(window);
        }
        for (QWidget* window : lookFollowers(kDesignedFontProperty))
            window->setFont(window->property(kDesignedFontProperty).value<QFont>());
    }
    Q_EMIT notifier()->changed(on);
}

void chooseDesktopLook(QWidget* parent, bool on) {
    if (const FileOutcome stored = UserSettings::setUseDesktopLook(on); !stored)
        Prompts::fileProblem(parent,
                             QCoreApplication::translate(
                                 "Skin", "\"Use the desktop's colours and fonts\" could not be "
                                         "kept for the next start in"),
                             userSettingsFile(), stored.reason());
    setDesktopLook(on);
}

void setDesignedFont(QWidget* window, const QFont& font) {
    if (!window)
        return;
    window->setProperty(kDesignedFontProperty, font);
    if (!desktopLookOn())
        window->setFont(font);
}

LookNotifier* notifier() {
    static LookNotifier* one = new LookNotifier;
    return one;
}

SkinColours colours() {
    return SkinColours{QColor(Qt::white), QColor(Qt::black), QColor(235, 235, 235),
                       QColor(Qt::black)};
}

QPalette palette() {
    const SkinColours c = colours();
    QPalette skinned(c.back, c.panel); // button, window; shades derived from them
    skinned.setColor(QPalette::WindowText, c.panelText);
    skinned.setColor(QPalette::Base, c.back);
    skinned.setColor(QPalette::AlternateBase, QColor(246, 246, 246));
    skinned.setColor(QPalette::Text, c.fore);
    skinned.setColor(QPalette::ButtonText, c.fore);
    skinned.setColor(QPalette::Highlight, QColor(38, 96, 163));
    skinned.setColor(QPalette::HighlightedText, Qt::white);
    skinned.setColor(QPalette::Link, QColor(23, 84, 166));
    skinned.setColor(QPalette::LinkVisited, QColor(102, 51, 153));
    skinned.setColor(QPalette::ToolTipBase, c.back);
    skinned.setColor(QPalette::ToolTipText, c.fore);
    skinned.setColor(QPalette::PlaceholderText, QColor(128, 128, 128));
    const QColor disabledText(150, 150, 150);
    skinned.setColor(QPalette::Disabled, QPalette::WindowText, disabledText);
    skinned.setColor(QPalette::Disabled, QPalette::Text, disabledText);
    skinned.setColor(QPalette::Disabled, QPalette::ButtonText, disabledText);
    skinned.setColor(QPalette::Disabled, QPalette::Base, c.panel);
    return skinned;
}

void start() {
    if (savedLook() || desktopLookOn())
        return;
    // However the program ends (the main window, or the browser window left alone), the skin
    // stops just before.
    static bool stopsAtQuit = false;
    if (!stopsAtQuit && qApp) {
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, &stop);
        stopsAtQuit = true;
    }
    savedLook() = SavedLook{QApplication::style() ? QApplication::style()->name() : QString()};
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QApplication::setPalette(palette());
}

void stop() {
    if (!savedLook())
        return;
    const SavedLook look = *savedLook();
    savedLook().reset();
    if (!look.styleName.isEmpty())
        if (QStyle* style = QStyleFactory::create(look.styleName))
            QApplication::setStyle(style);
    // The desktop's palette as it is now (a dark scheme chosen since the start included), not
    // the one seen at the start: an empty palette gives the platform theme's back.
    QApplication::setPalette(QPalette());
}

bool started() {
    return savedLook().has_value();
}

QString controlKind(const QWidget* control) {
    if (!control)
        return QString();
    const QVariant own = control->property(kKindProperty);
    if (own.isValid() && !own.toString().isEmpty())
        return own.toString();
    if (qobject_cast<const QCheckBox*>(control))
        return QStringLiteral("CheckBox");
    if (qobject_cast<const QRadioButton*>(control))
        return QStringLiteral("OptionButton");
    if (qobject_cast<const QAbstractButton*>(control))
        return QStringLiteral("CommandButton");
    if (qobject_cast<const QComboBox*>(control))
        return QStringLiteral("ComboBox");
    if (qobject_cast<const QTextBrowser*>(control))
        return QStringLiteral("RichTextBox");
    if (qobject_cast<const QLineEdit*>(control) || qobject_cast<const QTextEdit*>(control) ||
        qobject_cast<const QPlainTextEdit*>(control) ||
        qobject_cast<const QAbstractSpinBox*>(control))
        return QStringLiteral("TextBox");
    if (qobject_cast<const QHeaderView*>(control))
        return QStringLiteral("ColumnHeaders");
    if (qobject_cast<const QListView*>(control))
        return QStringLiteral("ListBox");
    if (qobject_cast<const QAbstractItemView*>(control))
        return QStringLiteral("ListView");
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        const bool picture = label->text().isEmpty() && !label->pixmap().isNull();
        return picture ? QStringLiteral("PictureBox") : QStringLiteral("Label");
    }
    if (qobject_cast<const QGroupBox*>(control))
        return QStringLiteral("Frame");
    static const QRegularExpression pictureName(QStringLiteral("^Picture\\d*$"));
    if ((control->metaObject() == &QWidget::staticMetaObject ||
         control->metaObject() == &QFrame::staticMetaObject) &&
        pictureName.match(control->objectName()).hasMatch())
        return QStringLiteral("PictureBox");
    return QStringLiteral("Other");
}

void setControlKind(QWidget* control, const QString& kind) {
    if (control)
        control->setProperty(kKindProperty, kind);
}

void applyTo(QWidget* window) {
    if (!window || desktopLookOn())
        return;
    // A window loaded before the splash window still comes up skinned.
    start();
    const SkinColours skinColours = colours();
    window->setPalette(palette());
    window->setProperty(kSkinnedProperty, true);
    QList<QWidget*> controls;
    collectControls(window, controls);
    for (QWidget* control : controls) {
        // Controls that widgets build for themselves (the viewport of a list, the field of a
        // spin box) follow their owner.
        if (control->objectName().startsWith(QLatin1String("qt_")))
            continue;
        recolor(control, controlKind(control), skinColours);
    }
}

} // namespace tally::skin
