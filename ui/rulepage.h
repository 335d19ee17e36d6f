#pragma once

#include "rules/rule.h"

#include <QString>
#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

class QPushButton;

namespace ui {

class RulePage;

// What a rule page asks of the window it is on.
class PageHost {
public:
    virtual ~PageHost() = default;
    // Whether an example must wait because the window is at work; the window refreshes every
    // page's example once the work has ended.
    virtual bool refuseExample() = 0;
    // The page's command number command was asked for with its 改名 button.
    virtual void runCommand(RulePage& page, int command) = 0;
    // Its 加入步骤 button was pressed: the rule as the page shows it now goes to the steps.
    virtual void addStep(RulePage& page, int command) = 0;
    // The first selected file of the list as the user reads its name, and its new name as the
    // list's column of new names shows it (empty while it is worked out); nothing when no file
    // is selected.
    virtual std::optional<std::pair<QString, QString>> listExample() { return std::nullopt; }
};

// A page of the window that renames by a rule. It owns its controls, keeps its example up to
// date and builds the rule value its options make. A page holds one command or several (page
// 其它 holds four), each with its own 改名 button and, beside it, a 加入步骤 button that keeps
// the rule for a run of several steps; commands are numbered from 0 in the order the page adds
// them.
class RulePage : public QWidget {
    Q_OBJECT

public:
    // What a rule is wanted for: a run now over the selected files, or a step kept for later.
    enum class Use { Run, Step };

    explicit RulePage(PageHost& host, QWidget* parent = nullptr);

    [[nodiscard]] int commandCount() const { return int(m_commands.size()); }

    // The rule value of command as the page's controls show it now.
    [[nodiscard]] virtual rules::Rule rule(int command) const = 0;
    // Why command can't be used as the controls show it now, in the page's own words ending in
    // what was not done; empty when it can. files is the number of files a run would go over.
    // A run with nothing to do is no fault: the command then does nothing, and says nothing; a
    // step with nothing to do is refused.
    [[nodiscard]] virtual QString refusal(int command, Use use, qint64 files) const;
    // Shows the example as the options are now.
    virtual void refreshExample() {}
    // The command whose new names the file list shows while the page is in front: the page's
    // only one, or on a page of several the one whose options were touched last; -1 for none.
    [[nodiscard]] virtual int liveCommand() const { return commandCount() == 1 ? 0 : -1; }

Q_SIGNALS:
    // An option of the page changed.
    void optionsChanged();

public:
    // What a refusal says was not done: "没有改名" or "没有加入步骤".
    [[nodiscard]] static QString notDone(Use use);

protected:
    // A 加入步骤 button called name, for the command addCommand() adds next.
    QPushButton* makeStepButton(QWidget* parent, const char* name);
    // Adds the next command, run by run and kept as a step by addStep.
    void addCommand(QPushButton* run, QPushButton* addStep);
    // For the handlers of the inputs the example follows: refreshes it, unless the window is at
    // work, and tells of the change.
    void followInputs();
    [[nodiscard]] std::optional<std::pair<QString, QString>> listExample() const { return m_host.listExample(); }

private:
    PageHost& m_host;
    struct Command {
        QPushButton* run;
        QPushButton* addStep;
    };
    std::vector<Command> m_commands;
};

} // namespace ui
