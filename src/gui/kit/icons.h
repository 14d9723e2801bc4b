// The program's command pictures and the results table's pictures, drawn in code as shapes, not
// read from image files: each is painted when a button, tab or cell first shows it, at the size
// and device-pixel ratio it is shown at, so that it stays crisp on any screen and costs nothing
// while the window is built.
#pragma once

#include <QIcon>

namespace tally {

enum class IconKind {
    Start,       // a play triangle
    Stop,        // a square
    Options,     // three sliders
    Website,     // a globe
    AddUrl,      // a page with a plus
    Delete,      // a cross
    Open,        // an open folder
    Save,        // a disk
    WebResults,  // a page under a lens
    ClearAll,    // an eraser sweep
    Print,       // a printer
    Go,          // an arrow to the right
    Back,        // an arrow to the left
    Forward,     // an arrow to the right
    StopLoading, // a cross in a circle
    Reload,      // a circular arrow
    DataTab,     // a table
    ChartTab,    // three bars
    WebsiteTab,  // a globe
    // Pictures of the results table.
    ProfileLow,    // one of three bars, red
    ProfileMedium, // two of three bars, amber
    ProfileHigh,   // three bars, green
    FailureMark,   // an amber warning triangle
    Information,   // an "i" in a blue circle
};

// The icon of a command; it answers every size and draws a greyed picture when disabled.
QIcon icon(IconKind kind);

} // namespace tally
