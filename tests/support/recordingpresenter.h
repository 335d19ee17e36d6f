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
// preview of a plan.
class RecordingPresenter final : public ui::MessagePresenter {
public:
    struct Message {
        bool warning;
        QString title;
        QString text;
        bool progressOpen; // a progress window existed while the message was up
        bool windowShown;  // the window the message is about was on the screen
    };

    void information(QWidget* parent, const QString& title, const QString& text) override
    {
        messages.push_back({false, title, text, progressOpen(), parent && parent->isVisible()});
    }
    void warning(QWidget* parent, const QString& title, const QString& text) override
    {
        messages.push_back({true, title, text, progressOpen(), parent && parent->isVisible()});
    }
    bool confirmPlan(QWidget*, const QString& command, const filelist::RenamePlan& plan) override
    {
        previewed << command;
        if (onPlan)
            onPlan(plan);
        return runPlans;
    }

    QList<Message> messages;
    QStringList previewed;
    std::function<void(const filelist::RenamePlan&)> onPlan;
    bool runPlans = true;

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
