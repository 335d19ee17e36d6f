#pragma once

#include "rules/replace.h"
#include "ui/rulepage.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {

// Page 3, "替换": find and replace.
class ReplacePage final : public RulePage {
    Q_OBJECT

public:
    explicit ReplacePage(PageHost& host, QWidget* parent = nullptr);

    [[nodiscard]] rules::Rule rule(int command) const override;
    [[nodiscard]] QString refusal(int command, Use use, qint64 files) const override;
    void refreshExample() override;

    [[nodiscard]] rules::ReplaceOptions replaceOptions() const;

    // Every input refreshes the example.
    void txtFind_Change();
    void txtReplace_Change();
    void Check3_Click(int index);
    void Check4_Click(int index);

private:
    QGroupBox* Frame13 = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* txtFind = nullptr;
    QLabel* lblFindError = nullptr;
    QLabel* Label11 = nullptr;
    QLineEdit* txtReplace = nullptr;
    QGroupBox* Frame14 = nullptr;
    std::array<QCheckBox*, 3> Check3{};
    QGroupBox* Frame15 = nullptr;
    std::array<QCheckBox*, 2> Check4{};
    QGroupBox* Frame16 = nullptr;
    std::array<QLabel*, 2> Label12{};
    QLabel* lblS2 = nullptr;
    QLabel* lblT2 = nullptr;
    QPushButton* cmdReplace = nullptr;
};

} // namespace ui
