#include "ui/messagepresenter.h"

#include <QMessageBox>

namespace ui {

namespace {

class MessageBoxPresenter final : public MessagePresenter {
public:
    void information(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox::information(parent, title, text, QMessageBox::Ok);
    }
    void warning(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox::warning(parent, title, text, QMessageBox::Ok);
    }
};

} // namespace

MessagePresenter& messageBoxPresenter()
{
    static MessageBoxPresenter presenter;
    return presenter;
}

} // namespace ui
