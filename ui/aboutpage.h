#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace ui {

// Page 4, "关于": the program's name and makers, the home page's address, and "退出".
class AboutPage final : public QWidget {
    Q_OBJECT

public:
    explicit AboutPage(QWidget* parent = nullptr);

Q_SIGNALS:
    // The address was clicked, or pressed from the keyboard.
    void homePageAsked();
    void exitAsked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* cmdExit = nullptr;
};

} // namespace ui
