#pragma once

#include "rules/convertcase.h"
#include "ui/rulepage.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace ui {

// Page 0, "文件名转换": letter case and spaces.
class CasePage final : public RulePage {
    Q_OBJECT

public:
    explicit CasePage(PageHost& host, QWidget* parent = nullptr);

    [[nodiscard]] rules::Rule rule(int command) const override;
    [[nodiscard]] QString refusal(int command, Use use, qint64 files) const override;
    void refreshExample() override;

    [[nodiscard]] rules::CaseOptions caseOptions() const;
    // The case rule with the options the page shows now.
    [[nodiscard]] QString ConvertCase(const QString& fileName) const;

    // The scope "转换范围", the case "转换成" and the spaces "空格处理" changed.
    void Check2_Click(int index);
    void Option1_Click(int index);
    void Option2_Click(int index);

private:
    QGroupBox* Frame2 = nullptr;
    std::array<QCheckBox*, 2> Check2{};
    QGroupBox* Frame3 = nullptr;
    std::array<QRadioButton*, 3> Option1{};
    QGroupBox* Frame4 = nullptr;
    std::array<QRadioButton*, 2> Option2{};
    QGroupBox* Frame5 = nullptr;
    std::array<QLabel*, 2> Label2{};
    QLabel* lblS1 = nullptr;
    QLabel* lblT1 = nullptr;
    QPushButton* Command1 = nullptr;
};

} // namespace ui
