#pragma once

#include "filelist/renameplan.h"
#include "ui/messagepresenter.h"

#include <QApplication>
#include <QList>
#include <QProgressDialog>
#include <QString>
#include <QWidget>

#include <functional>

namespace testsupport {

// Records the messages the window would show, instead of opening modal boxes, and answers the
// preview of a plan and the check boxes of messages. A summary is recorded as a warning with its
// whole text.
class RecordingPresenter final : public ui::MessagePresenter {
public:
    struct Message {
        bool warning;
        QString title;
        QString text;
        bool progressOpen;       // a progress window existed while the message was up
        bool windowShown = true; // the window the message is about was on the screen
        QString checkBox = {};   // the check box the message offered, or empty
    };

    void information(QWidget* parent, const QString& title, const QString& text) override
    {
        messages.push_back({false, title, text, progressOpen(), parent && parent->isVisible()});
    }
    bool informationWithCheckBox(QWidget* parent, const QString& title, const QString& text, const QString& checkBox) override
    {
        messages.push_back({false, title, text, progressOpen(), parent && parent->isVisible(), checkBox});
        return checkBoxes;
    }
    void warning(QWidget* parent, const QString& title, const QString& text) override
    {
        messages.push_back({true, title, text, progressOpen(), parent && parent->isVisible()});
    }
    bool question(QWidget*, const QString& title, const QString& text) override
    {
        questions.push_back({false, title, text, progressOpen()});
        return answer;
    }
    std::optional<filelist::RecoveryChoice> askRecovery(QWidget*, const QString& title, const QString& text) override
    {
        questions.push_back({true, title, text, progressOpen()});
        return recoveryChoice;
    }
    void summary(QWidget* parent, const QString& title, const QString& heading, const QStringList& lines) override
    {
        messages.push_back({true, title, ui::summaryText(heading, lines), progressOpen(), parent && parent->isVisible()});
    }
    bool confirmPlan(QWidget*, const QString& command, const filelist::RenamePlan& plan) override
    {
        previewed << command;
        if (onPlan)
            onPlan(plan);
        return runPlans;
    }
    std::optional<QString> askText(QWidget*, const QString& title, const QString& label, const QString&) override
    {
        questions.push_back({false, title, label, progressOpen()});
        if (texts.isEmpty())
            return std::nullopt;
        return texts.takeFirst();
    }
    QString askOpenFile(QWidget*, const QString& title, const QString&) override
    {
        questions.push_back({false, title, {}, progressOpen()});
        return file;
    }
    QString askSaveFile(QWidget*, const QString& title, const QString&, const QString&) override
    {
        questions.push_back({false, title, {}, progressOpen()});
        return file;
    }

    QList<Message> messages;
    QList<Message> questions;
    bool answer = true; // to every question
    std::optional<filelist::RecoveryChoice> recoveryChoice; // to a run a crash cut short: 以后再说
    QStringList previewed;
    std::function<void(const filelist::RenamePlan&)> onPlan;
    bool runPlans = true;
    bool checkBoxes = false; // how every check box offered is answered
    QStringList texts;       // the answers to the questions for text, in turn; cancelled when none are left
    QString file;            // the file chosen in every file dialog; empty cancels it

private:
    static bool progressOpen()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<QProgressDialog*>(w))
                return true;
        }
        return false;
    }
};

} // namespace testsupport
