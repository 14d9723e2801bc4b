// modSkin: the program's skin, applied to every window at its load while the switch is on.
//
// The skin is one light colour set (white back colour, black fore colour, light grey panels) and
// one application style. The splash window starts it for the whole program; each window then
// calls ApplySkin from its load when appState().SkinningOn is set. With the switch off nothing
// here is called and every window keeps its own colours.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

class QWidget;

namespace tally::modSkin {

// The skin's four colours.
struct SkinColours {
    QColor back;      // white: buttons, text and list controls
    QColor fore;      // black: text of text and list controls
    QColor panel;     // light grey (235, 235, 235): windows and picture boxes
    QColor panelText; // black: labels and other text on panels
};
SkinColours skinColours();

// The palette of a skinned window and of the whole application while the skin runs.
QPalette skinPalette();

// Starts the program-wide skin: the application style and palette. Nothing happens when it runs
// already.
void StartSkin();
// Stops the skin and gives the application its own style and palette back (just before the
// program ends).
void StopSkin();
// Whether the program-wide skin runs.
bool SkinStarted();

// Recolours the window's controls by kind (command buttons: back colour; text boxes, combo boxes,
// list boxes and list views: back and fore colour; picture boxes: panel colour; labels: panel
// text colour; everything else unchanged) and skins the window itself. Controls inside other
// windows owned by this one are left to those windows. A window skinned before the program-wide
// skin runs starts it (and nothing else).
void ApplySkin(QWidget* window);

// The kind of a control by which ApplySkin colours it: "CommandButton", "TextBox", "ComboBox",
// "ListBox", "ListView", "PictureBox", "Label", or another name for controls it leaves alone
// ("CheckBox", "OptionButton", "Frame", "Image", "RichTextBox", "Other" ...). A widget's own
// kind, given with SetControlKind, wins over the kind read from its class: a QLabel showing only
// a picture counts as "PictureBox", a plain QWidget or QFrame named "Picture<n>" too.
QString ControlKind(const QWidget* control);
void SetControlKind(QWidget* control, const QString& kind);

} // namespace tally::modSkin
