#include "ui/contrast.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

double luminance(const QColor& colour)
{
    const auto channel = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableRed(const QColor& background)
{
    // Walk from a full red towards black on light ground, towards white on dark, until it reads.
    const bool dark = luminance(background) < 0.18;
    QColor red(0xC0, 0x00, 0x00);
    for (int step = 0; step <= 20 && contrastRatio(red, background) < 4.5; ++step) {
        const double t = step / 20.0;
        red = dark ? QColor::fromRgbF(float(0.9 + 0.1 * t), float(0.35 + 0.55 * t), float(0.35 + 0.55 * t))
                   : QColor::fromRgbF(float(0.75 * (1 - t)), 0, 0);
    }
    return red;
}

QColor readableOr(const QColor& colour, const QColor& background, const QColor& fallback)
{
    return contrastRatio(colour, background) >= 4.5 ? colour : fallback;
}

} // namespace ui
