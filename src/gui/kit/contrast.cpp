#include "gui/kit/contrast.h"

#include <QPalette>

#include <algorithm>
#include <cmath>

namespace tally {

namespace {

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

double relativeLuminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isDark(const QPalette& palette) {
    return relativeLuminance(palette.color(QPalette::Window)) <
           relativeLuminance(palette.color(QPalette::WindowText));
}

QColor readableOn(const QColor& colour, const QColor& background, double minimum) {
    if (contrastRatio(colour, background) >= minimum)
        return colour;
    // Towards white on a dark background, towards black on a light one, in small steps of
    // lightness so that the hue stays recognisable.
    const bool lighten = relativeLuminance(background) < 0.18;
    QColor moved = colour.toHsl();
    for (int step = 0; step < 100; ++step) {
        const float lightness = moved.lightnessF();
        const float next =
            lighten ? std::min(1.0f, lightness + 0.02f) : std::max(0.0f, lightness - 0.02f);
        moved.setHslF(moved.hslHueF(), moved.hslSaturationF(), next, moved.alphaF());
        if (contrastRatio(moved, background) >= minimum || next == lightness)
            break;
    }
    return moved.toRgb();
}

} // namespace tally
