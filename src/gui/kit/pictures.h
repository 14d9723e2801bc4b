// The program's own pictures, drawn in code: the splash picture, the About logo and the program
// icon. They show six rising bars, one per search engine, under a magnifying
// lens.
#pragma once

#include <QByteArray>
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
// The logo as an SVG document of side x side units: the same shapes, colours and gradients as
// aboutLogo draws (the installed scalable icon).
QByteArray aboutLogoSvg(int side = 256);

} // namespace tally::pictures
