#include "ui/messagepresenter.h"

#include "ui/previewdialog.h"
#include "ui/recoverydialog.h"
#include "ui/summarydialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace ui {

namespace {

class MessageBoxPresenter final : public MessagePresenter {
public:
    void information(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox::information(parent, title, text, QMessageBox::Ok);
    }
    bool informationWithCheckBox(QWidget* parent, const QString& title, const QString& text,
                                 const QString& checkBox) override
    {
        QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
        box.setCheckBox(new QCheckBox(checkBox, &box));
        box.exec();
        return box.checkBox()->isChecked();
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
    void summary(QWidget* parent, const QString& title, const QString& heading, const QStringList& lines) override
    {
        SummaryDialog dialog(title, heading, lines, parent);
        dialog.exec();
    }
    bool confirmPlan(QWidget* parent, const QString& command, const filelist::RenamePlan& plan) override
    {
        PreviewDialog dialog(plan, command, parent);
        return dialog.exec() == QDialog::Accepted;
    }
    std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label,
                                   const QString& text) override
    {
        bool ok = false;
        QString answer = QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
        if (!ok)
            return std::nullopt;
        return answer;
    }
    QString askOpenFile(QWidget* parent, const QString& title, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, title, QString(), filter);
    }
    QString askSaveFile(QWidget* parent, const QString& title, const QString& suggested, const QString& filter) override
    {
        return QFileDialog::getSaveFileName(parent, title, suggested, filter);
    }
};

} // namespace

QString summaryText(const QString& heading, const QStringList& lines)
{
    return lines.isEmpty() ? heading : heading + QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
}

MessagePresenter& messageBoxPresenter()
{
    static MessageBoxPresenter presenter;
    return presenter;
}

} // namespace ui
