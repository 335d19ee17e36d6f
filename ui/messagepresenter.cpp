#include "ui/messagepresenter.h"

#include "ui/previewdialog.h"
#include "ui/recoverydialog.h"

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
    bool question(QWidget* parent, const QString& title, const QString& text) override
    {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    }
    std::optional<filelist::RecoveryChoice> askRecovery(QWidget* parent, const QString& title,
                                                        const QString& text) override
    {
        return ui::askRecovery(parent, title, text);
    }
    bool confirmPlan(QWidget* parent, const QString& command, const filelist::RenamePlan& plan) override
    {
        PreviewDialog dialog(plan, command, parent);
        return dialog.exec() == QDialog::Accepted;
    }
};

} // namespace

MessagePresenter& messageBoxPresenter()
{
    static MessageBoxPresenter presenter;
    return presenter;
}

} // namespace ui
