// The program's skin: one light colour set (white back colour, black fore colour, light grey
// panels) and one application style.
//
// The splash window switches the skin on or off for the whole run (setEnabled) and starts it;
// every window then calls skinWindow() from its load, which skins it while the switch is on and
// does nothing otherwise, so that every window keeps its own colours with the skin off.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

class QWidget;

namespace tally::skin {

// The switch: whether windows are skinned when they load. Off until the splash window sets it.
void setEnabled(bool on);
bool enabled();

// The hook every window calls at its load: applyTo(window) while the switch is on.
void skinWindow(QWidget* window);

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
// already.
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
