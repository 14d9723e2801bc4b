// The program's skin: one light colour set (white back colour, black fore colour, light grey
// panels) and one application style.
//
// The splash window switches the skin on or off for the whole run (setEnabled) and starts it;
// every window then calls skinWindow() from its load, which skins it while the switch is on and
// does nothing otherwise, so that every window keeps its own colours with the skin off.
//
// Instead of the skin, the user may choose the desktop's look (setDesktopLook, the preference "Use
// the desktop's colours and fonts"): the platform theme's style, palette and fonts everywhere, the
// skin's colours and the designed fonts nowhere. The choice takes effect in every open window at
// once.
#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPalette>
#include <QString>

class QWidget;

namespace tally::skin {

// The switch: whether windows are skinned when they load. Off until the splash window sets it.
void setEnabled(bool on);
bool enabled();

// The hook every window calls at its load: applyTo(window) while the switch is on and the
// desktop's look is not chosen. The window then follows a later change of look.
void skinWindow(QWidget* window);

// The desktop's look instead of the skin. Off by default. Turning it on stops the program-wide
// skin and takes the skin's colours and the designed fonts off every window that called
// skinWindow or setDesignedFont; turning it off puts them back (the skin only while the switch is
// on). Either way changed() tells about it.
void setDesktopLook(bool on);
bool desktopLook();

// The user's choice (View menu, Options dialog): stored at once, then taken into use. A store
// that cannot keep it is reported (over `parent`); the look changes for this run anyway.
void chooseDesktopLook(QWidget* parent, bool on);

// The font a window is designed with: set on the window now and whenever the skin's look comes
// back; under the desktop's look the window has the desktop's font.
void setDesignedFont(QWidget* window, const QFont& font);

// Tells the windows about a change of look (the View menu and the Options dialog show it).
class LookNotifier : public QObject {
    Q_OBJECT
Q_SIGNALS:
    void changed(bool desktopLook);
};
LookNotifier* notifier();

// The skin's four colours.
struct SkinColours {
    QColor back;      // white: buttons, text and list controls
    QColor fore;      // black: text of text and list controls
    QColor panel;     // light grey (235, 235, 235): windows and picture boxes
    QColor panelText; // black: labels and other text on panels
};
SkinColours colours();

// The palette of a skinned window and of the whole application while the skin runs.
QPalette palette();

// Starts the program-wide skin: the application style and palette. Nothing happens when it runs
// already, or while the desktop's look is chosen.
void start();
// Stops the skin and gives the application its own style and palette back (just before the
// program ends).
void stop();
// Whether the program-wide skin runs.
bool started();

// Recolours the window's controls by kind (command buttons: back colour; text boxes, combo boxes,
// list boxes and list views: back and fore colour; picture boxes: panel colour; labels: panel
// text colour; everything else unchanged) and skins the window itself. Controls inside other
// windows owned by this one are left to those windows. A window skinned before the program-wide
// skin runs starts it (and nothing else).
void applyTo(QWidget* window);

// The kind of a control by which applyTo colours it: "CommandButton", "TextBox", "ComboBox",
// "ListBox", "ListView", "PictureBox", "Label", or another name for controls it leaves alone
// ("CheckBox", "OptionButton", "Frame", "Image", "RichTextBox", "Other" ...). A widget's own
// kind, given with setControlKind, wins over the kind read from its class: a QLabel showing only
// a picture counts as "PictureBox", a plain QWidget or QFrame named "Picture<n>" too.
QString controlKind(const QWidget* control);
void setControlKind(QWidget* control, const QString& kind);

} // namespace tally::skin
