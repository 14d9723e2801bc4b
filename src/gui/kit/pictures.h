// The program's own pictures, drawn in code: the splash picture, the About logo, the program
// icon and the tab pictures. They show six rising bars, one per search engine, under a magnifying
// lens.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace tally::pictures {

// The splash picture at the given size (device-independent pixels).
QPixmap splashPicture(const QSize& size, qreal devicePixelRatio = 1.0);
// The square logo of the About window.
QPixmap aboutLogo(int side, qreal devicePixelRatio = 1.0);
// The program's window icon, in a few sizes.
QIcon programIcon();
// The small pictures of the main window's three tabs: 1 a table, 2 a bar chart, 3 a globe.
QIcon tabIcon(int tab);

} // namespace tally::pictures
