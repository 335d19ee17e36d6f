#pragma once

#include "filelist/recovery.h"

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace filelist {
class RenamePlan;
}

namespace ui {

// The one way the window shows a message box or asks the user, so tests can answer without a
// modal loop.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // An information icon and an OK button.
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
    // The same with a check box labelled checkBox; true when the user checked it before closing.
    virtual bool informationWithCheckBox(QWidget* parent, const QString& title, const QString& text,
                                         const QString& checkBox) = 0;
    // A warning icon and an OK button.
    virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
    // A question with 是 and 否; true for 是.
    virtual bool question(QWidget* parent, const QString& title, const QString& text) = 0;
    // What to do with a run a crash cut short, told of in text: nothing means 以后再说.
    virtual std::optional<filelist::RecoveryChoice> askRecovery(QWidget* parent, const QString& title,
                                                                const QString& text) = 0;
    // How a run ended, with a warning icon: heading above, then lines, one file (or a section's
    // heading) each, in a list that scrolls however many there are.
    virtual void summary(QWidget* parent, const QString& title, const QString& heading,
                         const QStringList& lines) = 0;
    // Shows what the run of command will do with every selected file; true when the user
    // chooses to run it.
    virtual bool confirmPlan(QWidget* parent, const QString& command, const filelist::RenamePlan& plan) = 0;
    // Asks for one line of text, label above the box and text in it to begin with; nothing when
    // the user cancels.
    virtual std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label,
                                           const QString& text) = 0;
    // Asks for a file to read, or a file to write (suggested proposed, a file that exists asked
    // about before it is chosen), of the kinds in filter ("预设 (*.json)"); empty when the user
    // cancels.
    virtual QString askOpenFile(QWidget* parent, const QString& title, const QString& filter) = 0;
    virtual QString askSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                                const QString& filter) = 0;
};

// The whole text of a summary, as it is copied: the heading, then each line on its own.
QString summaryText(const QString& heading, const QStringList& lines);

// Shows real message boxes, the summary dialog and the preview dialog.
MessagePresenter& messageBoxPresenter();

} // namespace ui
