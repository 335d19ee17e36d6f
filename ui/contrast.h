#pragma once

#include <QColor>

namespace ui {

// The contrast of two colours as the accessibility guidelines measure it: from 1 (the same) to 21
// (black on white). Text wants at least 4.5.
double contrastRatio(const QColor& a, const QColor& b);
// A red that reads on background with a contrast of at least 4.5: darker on light ground,
// lighter on dark.
QColor readableRed(const QColor& background);
// colour if it reads on background, else fallback.
QColor readableOr(const QColor& colour, const QColor& background, const QColor& fallback);

} // namespace ui
