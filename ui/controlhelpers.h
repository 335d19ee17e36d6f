#pragma once

#include "ui/contrast.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLatin1String>
#include <QPalette>
#include <QPushButton>
#include <QString>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <initializer_list>

namespace ui {

// The objectName of member index of a control array: "Option1(2)".
inline QString arrayName(const char* base, int index)
{
    return QLatin1String(base) + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

// A control of type T on parent, named name, with caption as its text when it has one.
template <class T>
T* makeControl(QWidget* parent, const QString& name, const QString& caption = {})
{
    auto* w = new T(parent);
    w->setObjectName(name);
    if constexpr (requires { w->setText(caption); }) {
        if (!caption.isEmpty())
            w->setText(caption);
    }
    return w;
}

template <class T>
T* makeControl(QWidget* parent, const char* name, const QString& caption = {})
{
    return makeControl<T>(parent, QLatin1String(name), caption);
}

inline QGroupBox* createFrame(QWidget* parent, const char* name, const QString& title)
{
    auto* frame = makeControl<QGroupBox>(parent, name);
    frame->setTitle(title);
    return frame;
}

// Gives label's text a deep red, 4.5:1 or more against the page whatever the palette (pure red
// reaches 3.8:1 on white).
inline void applyRed(QLabel* label)
{
    QPalette palette = label->palette();
    const QColor red = readableRedOnWindow(palette);
    if (palette.color(QPalette::WindowText) == red)
        return;
    palette.setColor(QPalette::WindowText, red);
    label->setPalette(palette);
}

// Chooses the red of a label again when its palette changes, as it does when the desktop turns dark.
class RedFollower final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::PaletteChange) {
            if (auto* label = qobject_cast<QLabel*>(watched))
                applyRed(label);
        }
        return QObject::eventFilter(watched, event);
    }
};

// The colour of a result: an example's new name, an error under an input.
inline void makeRed(QLabel* label)
{
    applyRed(label);
    label->installEventFilter(new RedFollower(label));
}

// A row for the foot of a page or a frame: the buttons of a command on the right, 加入步骤 first.
inline QHBoxLayout* commandRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : buttons)
        row->addWidget(button);
    return row;
}

// Tighter margins than the style's for a page or frame whose layout is set: the frames of a
// page sit close together, as their captions already set them apart.
inline void compactLayouts(QWidget* page)
{
    if (page->layout())
        page->layout()->setContentsMargins(6, 6, 6, 6);
    for (QGroupBox* frame : page->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
        if (frame->layout())
            frame->layout()->setContentsMargins(8, 4, 8, 6);
    }
}

// A push button as narrow as its caption allows, rather than the style's usual 80 pixels or
// more, and wider where its row has room.
class NarrowButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

    [[nodiscard]] QSize sizeHint() const override
    {
        const QFontMetrics metrics = fontMetrics();
        const int margins = 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this)
                                 + style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this))
            + metrics.averageCharWidth();
        return {std::min(QPushButton::sizeHint().width(), metrics.horizontalAdvance(text()) + margins),
                QPushButton::sizeHint().height()};
    }
    [[nodiscard]] QSize minimumSizeHint() const override { return sizeHint(); }
};

// A label whose text changes with the options (an example's result): it takes the room its
// column has rather than widening the window as its text grows.
inline void makeResult(QLabel* label)
{
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

} // namespace ui
