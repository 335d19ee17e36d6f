#pragma once

#include "ui/rulepage.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {

// Page "其它": cutting a text out of the names, a new extension, the two script conversions,
// and names for other systems (names the Windows family of file systems can hold; GBK-stored
// names written again in UTF-8), each group in a frame of its own.
class OtherPage final : public RulePage {
    Q_OBJECT

public:
    // The page's commands, as numbered for rule() and RulePage::runButton().
    enum Command { Remove = 0, Extension = 1, ToSimplified = 2, ToTraditional = 3, WindowsSafe = 4, GbkToUtf8 = 5 };

    explicit OtherPage(PageHost& host, QWidget* parent = nullptr);

    [[nodiscard]] rules::Rule rule(int command) const override;
    [[nodiscard]] QString refusal(int command, Use use, qint64 files) const override;
    [[nodiscard]] int liveCommand() const override { return m_liveCommand; }

    [[nodiscard]] rules::RemoveRule removeRule() const;
    [[nodiscard]] rules::ExtensionRule extensionRule() const;

private:
    QGroupBox* Frame9 = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* txtRemoveStr = nullptr;
    QPushButton* cmdRemoveStr = nullptr;
    QGroupBox* Frame10 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* txtNewExt = nullptr;
    QPushButton* cmdChangeExt = nullptr;
    QGroupBox* Frame11 = nullptr;
    QPushButton* cmdJ2F = nullptr;
    QPushButton* cmdF2J = nullptr;
    QLabel* Label9 = nullptr;
    QGroupBox* fraOtherSystems = nullptr;
    QPushButton* cmdWindowsSafe = nullptr;
    QCheckBox* chkUnderscore = nullptr;
    QPushButton* cmdGbkToUtf8 = nullptr;
    int m_liveCommand = -1;
};

} // namespace ui
