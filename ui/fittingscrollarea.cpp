#include "ui/fittingscrollarea.h"

#include <QEvent>
#include <QScreen>
#include <QStyle>

namespace ui {

FittingScrollArea::FittingScrollArea(QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
}

bool FittingScrollArea::event(QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::event(event);
}

QSize FittingScrollArea::withFrame(QSize size) const
{
    return size + QSize(2 * frameWidth(), 2 * frameWidth());
}

QSize FittingScrollArea::screenRoom() const
{
    const QScreen* shown = screen();
    if (!shown)
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    // The window manager's title bar and borders, which the window can't know before it is shown.
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2 + 4;
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return shown->availableGeometry().size() - QSize(frame, frame + title);
}

QSize FittingScrollArea::fitted(QSize wanted) const
{
    QSize size = withFrame(wanted);
    const QSize room = screenRoom();
    // Where one way doesn't fit, its scroll bar takes room the other way.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const bool tooHigh = size.height() > room.height();
    const bool tooWide = size.width() > room.width();
    if (tooHigh)
        size.rwidth() += bar;
    if (tooWide)
        size.rheight() += bar;
    return size.boundedTo(room);
}

QSize FittingScrollArea::sizeHint() const
{
    return widget() ? fitted(widget()->sizeHint()) : QScrollArea::sizeHint();
}

QSize FittingScrollArea::minimumSizeHint() const
{
    return widget() ? fitted(widget()->minimumSizeHint()) : QScrollArea::minimumSizeHint();
}

} // namespace ui
