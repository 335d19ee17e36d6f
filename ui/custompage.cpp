#include "ui/custompage.h"

#include "rules/nameparts.h"
#include "ui/controlhelpers.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace ui {

CustomPage::CustomPage(PageHost& host, QWidget* parent) : RulePage(host, parent)
{
    Frame6 = createFrame(this, "Frame6", QStringLiteral("自定义文本"));
    Frame6->setGeometry(8, 6, 304, 52);
    Text1 = makeControl<QLineEdit>(Frame6, "Text1");
    Text1->setGeometry(12, 22, 104, 22);
    Label3[0] = makeControl<QLabel>(Frame6, arrayName("Label3", 0), QStringLiteral("增量："));
    Label3[0]->setGeometry(120, 22, 40, 22);
    txtStep = makeControl<QLineEdit>(Frame6, "txtStep", QStringLiteral("1"));
    txtStep->setGeometry(158, 22, 50, 22);
    Label3[1] = makeControl<QLabel>(Frame6, arrayName("Label3", 1), QStringLiteral("位数："));
    Label3[1]->setGeometry(214, 22, 40, 22);
    spnDigits = makeControl<QSpinBox>(Frame6, "spnDigits");
    spnDigits->setRange(0, rules::kMaxWidth);
    spnDigits->setToolTip(QStringLiteral("编号至少写成这么多位，前面补 0（0 表示不补）"));
    spnDigits->setGeometry(252, 22, 42, 22);

    Frame7 = createFrame(this, "Frame7", QStringLiteral("自定义文本位置"));
    Frame7->setGeometry(8, 62, 304, 74);
    const std::array<QString, 6> placeCaptions{
        QStringLiteral("替换前缀"), QStringLiteral("替换后缀"), QStringLiteral("在前缀的前面"),
        QStringLiteral("在前缀的后面"), QStringLiteral("在后缀的前面"), QStringLiteral("在后缀的后面")};
    // Two columns: the replacing positions, then the inserting ones, read top to bottom.
    for (int i = 0; i < 6; ++i) {
        Option3[i] = makeControl<QRadioButton>(Frame7, arrayName("Option3", i), placeCaptions[i]);
        Option3[i]->setGeometry(12 + 96 * (i / 2), 22 + 24 * (i % 2), 96, 20);
        connect(Option3[i], &QRadioButton::clicked, this, [this, i] { Option3_Click(i); });
    }
    Option3[0]->setChecked(true);

    Frame8 = createFrame(this, "Frame8", QStringLiteral("示例"));
    Frame8->setGeometry(8, 140, 304, 90);
    Label4[0] = makeControl<QLabel>(Frame8, arrayName("Label4", 0), QStringLiteral("原文件名为："));
    Label4[0]->setGeometry(12, 22, 84, 20);
    lblSource[0] = makeControl<QLabel>(Frame8, arrayName("lblSource", 0), QStringLiteral("example.gif"));
    lblSource[0]->setGeometry(100, 22, 96, 20);
    lblSource[1] = makeControl<QLabel>(Frame8, arrayName("lblSource", 1), QStringLiteral("model.gif"));
    lblSource[1]->setGeometry(200, 22, 96, 20);
    Label4[4] = makeControl<QLabel>(Frame8, arrayName("Label4", 4), QStringLiteral("转换后成为："));
    Label4[4]->setGeometry(12, 44, 84, 20);
    for (int i = 0; i < 2; ++i) {
        lblTarget[i] = makeControl<QLabel>(Frame8, arrayName("lblTarget", i), i == 0 ? QStringLiteral("1.gif")
                                                                                : QStringLiteral("2.gif"));
        lblTarget[i]->setGeometry(100 + 100 * i, 44, 96, 20);
        makeRed(lblTarget[i]);
    }
    // Kept empty: the row under the example, where a note on the step can appear.
    Label4[1] = makeControl<QLabel>(Frame8, arrayName("Label4", 1));
    Label4[1]->setGeometry(12, 66, 284, 18);

    QPushButton* step = makeStepButton(this, "cmdCustomStep");
    step->setGeometry(144, 238, 80, 28);
    Command2 = makeControl<QPushButton>(this, "Command2", QStringLiteral("改名"));
    Command2->setGeometry(232, 238, 80, 28);
    addCommand(Command2, step);

    Text1->setAccessibleName(QStringLiteral("自定义文本"));
    Label3[0]->setBuddy(txtStep);
    txtStep->setAccessibleName(QStringLiteral("增量"));
    Label3[1]->setBuddy(spnDigits);
    spnDigits->setAccessibleName(QStringLiteral("位数"));
    Command2->setAccessibleDescription(QStringLiteral("用自定义文本和编号给选中的文件改名"));

    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(txtStep, &QLineEdit::textChanged, this, [this] { txtStep_Change(); });
    connect(spnDigits, &QSpinBox::valueChanged, this, [this] { spnDigits_Change(); });
}

rules::CustomPlace CustomPage::customPlace() const
{
    for (int i = 0; i < 6; ++i) {
        if (Option3[std::size_t(i)]->isChecked())
            return rules::CustomPlace(i);
    }
    return rules::CustomPlace::ReplaceBase;
}

rules::Rule CustomPage::rule(int) const
{
    rules::CustomRule rule;
    rule.text = Text1->text();
    rule.step = rules::parseStep(txtStep->text()).value_or(1);
    rule.place = customPlace();
    rule.width = spnDigits->value();
    return rule;
}

QString CustomPage::refusal(int, Use use, qint64 files) const
{
    const auto step = rules::parseStep(txtStep->text());
    if (!step)
        return QStringLiteral("增量“%1”不是 -32768 到 32767 之间的整数，所以%2。").arg(txtStep->text(), notDone(use));
    if (use == Use::Run && !rules::numbersFit(files, *step))
        return QStringLiteral("选中了 %1 个文件，增量是 %2，最后的编号会是 %3，超出了 -2147483648 到 2147483647 的范围，"
                              "所以没有改名。\n请少选一些文件，或者减小增量。")
            .arg(files)
            .arg(*step)
            .arg(files * *step);
    return {};
}

std::optional<QString> CustomPage::MakeCustomName(const QString& fileName, int step)
{
    const qint64 next = qint64(iCounter) + step;
    if (next < rules::kMinNumber || next > rules::kMaxNumber)
        return std::nullopt;
    iCounter = std::int32_t(next);
    return rules::MakeCustomName(fileName, rules::trimSpaces(Text1->text()), iCounter, customPlace(),
                                 spnDigits->value());
}

void CustomPage::refreshExample()
{
    const auto step = rules::parseStep(txtStep->text());
    if (!step) {
        // Keep the last example while the step is being typed.
        Label4[1]->setText(QStringLiteral("增量须是 -32768 到 32767 之间的整数"));
        return;
    }
    Label4[1]->clear();
    iCounter = 0;
    for (std::size_t i = 0; i < 2; ++i) {
        if (const auto name = MakeCustomName(lblSource[i]->text(), *step)) {
            lblTarget[i]->setText(*name);
        } else {
            lblTarget[i]->setText(QStringLiteral("编号超出范围"));
            Label4[1]->setText(QStringLiteral("编号不能超出 -2147483648 到 2147483647"));
        }
    }
}

void CustomPage::Text1_Change()
{
    followInputs();
}

void CustomPage::txtStep_Change()
{
    followInputs();
}

void CustomPage::Option3_Click(int)
{
    followInputs();
}

void CustomPage::spnDigits_Change()
{
    followInputs();
}

} // namespace ui
