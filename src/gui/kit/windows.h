// Small services on top-level windows that several windows share.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace tally {

// Gives a control its designed size as the least it takes, and more where its text needs more (a
// larger desktop font, a longer caption): a layout sizes it to both, and follows its font.
void setDesignedSize(QWidget* control, const QSize& designed);

// Raises the window above the others (on) or returns it to the normal order (off), without
// moving, resizing, hiding or re-creating it.
void setAlwaysOnTop(QWidget* window, bool on);

// Shows the window if hidden, restores it if minimised, and raises and activates it.
void bringForward(QWidget* window);

// Moves the window so that its frame is centred on the available area of its screen.
void centreOnScreen(QWidget* window);

// Where a window of client size `size` with frame margins `frame` goes in the available area of
// a screen: at its size when its frame fits, else shrunk (in each direction on its own) until it
// does; its frame centred on the area. Returns the client rectangle.
QRect fittedGeometry(const QSize& size, const QMargins& frame, const QRect& available);

// Where a window of client size `size` with frame margins `frame` goes beside its owner's frame
// `owner` in the available area of a screen, so that it covers none of the owner: to its right
// where the room there takes the window, else to its left; at the owner's top, moved up as far as
// the screen's bottom needs; narrowed (not below `least`) and shortened to fit. Returns the client
// rectangle, or an empty one when neither side has room for `least`.
QRect besideGeometry(const QSize& size, const QSize& least, const QMargins& frame,
                     const QRect& owner, const QRect& available);

// Fits the window, frame included, into the available area of its screen and centres it. Before
// the window is shown its frame is not known yet and a title bar and border are assumed; once it
// is shown, the real frame is used.
void fitOnScreen(QWidget* window);
// Sizes a window for its contents: at least `least`, as large as its layout asks (wrapped texts at
// their height for that width), and no larger than the available area of its screen.
void sizeToContents(QWidget* window, const QSize& least);
// Whether the window's frame lies inside the available area of its screen.
bool frameIsOnScreen(const QWidget* window);

} // namespace tally
