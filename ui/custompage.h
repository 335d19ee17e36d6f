#pragma once

#include "rules/customname.h"
#include "ui/numberingcontrols.h"
#include "ui/rulepage.h"

#include <array>
#include <cstdint>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace ui {

// Page 1, "批量改名": a custom text and a running number.
class CustomPage final : public RulePage {
    Q_OBJECT

public:
    explicit CustomPage(PageHost& host, QWidget* parent = nullptr);

    // With a step that is no number in range, the rule has step 1; refusal() tells.
    [[nodiscard]] rules::Rule rule(int command) const override;
    [[nodiscard]] QString refusal(int command, Use use, qint64 files) const override;
    void refreshExample() override;

    // The text, the step "增量", the place and the width "位数" changed.
    void Text1_Change();
    void txtStep_Change();
    void Option3_Click(int index);
    void spnDigits_Change();

private:
    [[nodiscard]] rules::CustomPlace customPlace() const;
    // Advances iCounter by step and gives fileName's custom name with that number; nothing,
    // leaving iCounter as it was, when the number would leave the counter's range.
    std::optional<QString> MakeCustomName(const QString& fileName, int step);

    // The running number of the example: 32 bits, like the numbers a run writes.
    std::int32_t iCounter = 0;

    QGroupBox* Frame6 = nullptr;
    QLineEdit* Text1 = nullptr;
    std::array<QLabel*, 2> Label3{};
    QLineEdit* txtStep = nullptr;
    QSpinBox* spnDigits = nullptr;
    QGroupBox* Frame7 = nullptr;
    std::array<QRadioButton*, 6> Option3{};
    // Label4 has members 0, 1 and 4 only.
    QGroupBox* Frame8 = nullptr;
    std::array<QLabel*, 5> Label4{};
    std::array<QLabel*, 2> lblSource{};
    std::array<QLabel*, 2> lblTarget{};
    QPushButton* Command2 = nullptr;
    NumberingControls m_numbering;
};

} // namespace ui
