#pragma once

#include <QScrollArea>

namespace ui {

// A scroll area for a window's whole body: it asks for the room its widget wants, as the
// widget itself would, and scrolls only where the screen is smaller than that. Its sizes are
// never larger than the screen it is on, less room for the window's frame.
class FittingScrollArea final : public QScrollArea {
public:
    explicit FittingScrollArea(QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    // The widget's sizes changed (a longer caption, a line shown): so do the area's, and the
    // window's layout asks for them again.
    bool event(QEvent* event) override;

private:
    // The most a window's contents can have on the screen the area is on.
    [[nodiscard]] QSize screenRoom() const;
    [[nodiscard]] QSize withFrame(QSize size) const;
    // wanted for the widget, as the area asks for it on its screen.
    [[nodiscard]] QSize fitted(QSize wanted) const;
};

} // namespace ui
