#pragma once

#include "ui/numberingcontrols.h"
#include "ui/rulepage.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace ui {

// Page "模板": names made from a template of text and fields in braces ({原名}, {编号},
// {拍摄时间:yyyy-MM-dd}, ...), each file keeping its own extension; the numbers as on page
// 批量改名, and the files of the same name taken along.
class TemplatePage final : public RulePage {
    Q_OBJECT

public:
    explicit TemplatePage(PageHost& host, QWidget* parent = nullptr);

    [[nodiscard]] rules::Rule rule(int command) const override;
    [[nodiscard]] QString refusal(int command, Use use, qint64 files) const override;
    void refreshExample() override;

    // The fields the 插入 menu offers, as they are written in a template.
    static QStringList fieldTexts();

private:
    QGroupBox* fraTemplate = nullptr;
    QLineEdit* txtTemplate = nullptr;
    QPushButton* cmdInsertField = nullptr;
    QLabel* lblTemplateError = nullptr;
    QGroupBox* fraTemplateNumber = nullptr;
    QLabel* lblTemplateStep = nullptr;
    QLineEdit* txtTemplateStep = nullptr;
    QLabel* lblTemplateDigits = nullptr;
    QSpinBox* spnTemplateDigits = nullptr;
    NumberingControls m_numbering;
    QGroupBox* fraTemplateExample = nullptr;
    QLabel* lblTemplateSource = nullptr;
    QLabel* lblTemplateTarget = nullptr;
    QPushButton* cmdTemplate = nullptr;
};

} // namespace ui
