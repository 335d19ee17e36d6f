#pragma once

// What the window benchmarks answer the window with, in place of its message boxes.

#include "ui/messagepresenter.h"
#include "ui/summarydialog.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace bench {

// Answers every message and plan without a dialog.
class SilentPresenter final : public ui::MessagePresenter {
public:
    void information(QWidget*, const QString&, const QString&) override { ++messages; }
    bool informationWithCheckBox(QWidget*, const QString&, const QString&, const QString&) override
    {
        ++messages;
        return false;
    }
    void warning(QWidget*, const QString&, const QString& text) override
    {
        ++messages;
        std::fprintf(stderr, "  message: %s\n", qPrintable(text.left(200)));
    }
    bool question(QWidget*, const QString&, const QString&) override { return true; }
    std::optional<filelist::RecoveryChoice> askRecovery(QWidget*, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    void summary(QWidget* parent, const QString& title, const QString& heading, const QStringList& lines) override
    {
        warning(parent, title, ui::summaryText(heading, lines));
    }
    bool confirmPlan(QWidget*, const QString&, const filelist::RenamePlan&) override { return true; }
    std::optional<QString> askText(QWidget*, const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    QString askOpenFile(QWidget*, const QString&, const QString&) override { return {}; }
    QString askSaveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    int messages = 0;
};

} // namespace bench
