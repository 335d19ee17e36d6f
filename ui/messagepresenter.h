#pragma once

#include <QString>

class QWidget;

namespace ui {

// The one way the window shows a message box, so tests can answer it without a modal loop.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // An information icon and an OK button.
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
    // A warning icon and an OK button.
    virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
};

// Shows real message boxes.
MessagePresenter& messageBoxPresenter();

} // namespace ui
