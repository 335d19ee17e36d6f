#include "ui/contrast.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

// Whether text of colour reads on each of backgrounds.
bool readsOnAll(const QColor& colour, std::initializer_list<QColor> backgrounds)
{
    return std::all_of(backgrounds.begin(), backgrounds.end(),
                       [&](const QColor& background) { return contrastRatio(colour, background) >= kReadableContrast; });
}

QColor mix(const QColor& from, const QColor& to, double t)
{
    const auto channel = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()), channel(from.blue(), to.blue()));
}

} // namespace

double relativeLuminance(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableRed(std::initializer_list<QColor> backgrounds)
{
    const QColor red(0xC0, 0x00, 0x00);
    if (readsOnAll(red, backgrounds))
        return red;
    // Against a background darker than this, white contrasts more than black does.
    double darkest = 1.0;
    for (const QColor& background : backgrounds)
        darkest = std::min(darkest, relativeLuminance(background));
    const QColor end = darkest > 0.179 ? QColor(Qt::black) : QColor(Qt::white);
    // Black or white reads at 4.58:1 or more on any one background, so the walk ends there at the latest.
    constexpr int kSteps = 40;
    for (int step = 1; step < kSteps; ++step) {
        const QColor candidate = mix(red, end, double(step) / kSteps);
        if (readsOnAll(candidate, backgrounds))
            return candidate;
    }
    return end;
}

QColor readableRed(const QColor& background)
{
    return readableRed({background});
}

QColor readableOr(const QColor& colour, const QColor& background, const QColor& fallback)
{
    return contrastRatio(colour, background) >= kReadableContrast ? colour : fallback;
}

QColor readableRedOnWindow(const QPalette& palette)
{
    return readableRed({palette.color(QPalette::Window), palette.color(QPalette::Button).lighter(104)});
}

QColor readableRedOnBase(const QPalette& palette)
{
    return readableRed({palette.color(QPalette::Base), palette.color(QPalette::AlternateBase)});
}

QPalette darkFusionPalette()
{
    const QColor window(53, 53, 53);
    const QColor disabledText(127, 127, 127);
    QPalette dark;
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, window);
    dark.setColor(QPalette::ToolTipText, Qt::white);
    dark.setColor(QPalette::PlaceholderText, disabledText);
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    dark.setColor(QPalette::Link, QColor(42, 130, 218));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, disabledText);
    dark.setColor(QPalette::Disabled, QPalette::Text, disabledText);
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, disabledText);
    return dark;
}

} // namespace ui
