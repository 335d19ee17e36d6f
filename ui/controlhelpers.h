#pragma once

#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QLatin1String>
#include <QPalette>
#include <QString>
#include <QWidget>

namespace ui {

// The window's layout was drawn in twips; 15 of them make a pixel.
inline constexpr int kTwipsPerPixel = 15;

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

// Places a control at a position given in twips.
inline void placeTwips(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(qRound(left / double(kTwipsPerPixel)), qRound(top / double(kTwipsPerPixel)),
                   qRound(width / double(kTwipsPerPixel)), qRound(height / double(kTwipsPerPixel)));
}

inline QGroupBox* createFrame(QWidget* parent, const char* name, const QString& title)
{
    auto* frame = makeControl<QGroupBox>(parent, name);
    frame->setTitle(title);
    return frame;
}

// The colour of a result: an example's new name, an error under an input.
inline void makeRed(QLabel* label)
{
    QPalette palette = label->palette();
    // A deep red: more than 4.5:1 against the page, where pure red reaches 3.8:1.
    palette.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
    label->setPalette(palette);
}

} // namespace ui
