#include "ui/custompage.h"

#include "rules/nameparts.h"
#include "ui/controlhelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
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
    Text1 = makeControl<QLineEdit>(Frame6, "Text1");
    Label3[0] = makeControl<QLabel>(Frame6, arrayName("Label3", 0), QStringLiteral("增量："));
    txtStep = makeControl<QLineEdit>(Frame6, "txtStep", QStringLiteral("1"));
    // Room for the widest step, "-32768", and a little more.
    txtStep->setMaximumWidth(txtStep->fontMetrics().horizontalAdvance(QStringLiteral("-327680")) + 12);
    Label3[1] = makeControl<QLabel>(Frame6, arrayName("Label3", 1), QStringLiteral("位数："));
    spnDigits = makeControl<QSpinBox>(Frame6, "spnDigits");
    spnDigits->setRange(0, rules::kMaxWidth);
    spnDigits->setToolTip(QStringLiteral("编号至少写成这么多位，前面补 0（0 表示不补）"));
    // Where the numbers start and the order the files get them in; the files of the same name.
    m_numbering = NumberingControls::make(Frame6);
    auto* textGrid = new QGridLayout(Frame6);
    textGrid->addWidget(Text1, 0, 0, 1, 6);
    textGrid->addWidget(m_numbering.startLabel, 1, 0);
    textGrid->addWidget(m_numbering.start, 1, 1);
    textGrid->addWidget(Label3[0], 1, 2);
    textGrid->addWidget(txtStep, 1, 3);
    textGrid->addWidget(Label3[1], 1, 4);
    textGrid->addWidget(spnDigits, 1, 5);
    textGrid->addWidget(m_numbering.orderLabel, 2, 0);
    textGrid->addWidget(m_numbering.order, 2, 1, 1, 3);
    textGrid->addWidget(m_numbering.pairs, 3, 0, 1, 6);
    textGrid->setColumnStretch(1, 1);
    textGrid->setColumnStretch(3, 1);

    Frame7 = createFrame(this, "Frame7", QStringLiteral("自定义文本位置"));
    auto* places = new QGridLayout(Frame7);
    const std::array<QString, 6> placeCaptions{
        QStringLiteral("替换前缀"), QStringLiteral("替换后缀"), QStringLiteral("在前缀的前面"),
        QStringLiteral("在前缀的后面"), QStringLiteral("在后缀的前面"), QStringLiteral("在后缀的后面")};
    // Three columns: the replacing positions, then the inserting ones, read top to bottom.
    for (int i = 0; i < 6; ++i) {
        Option3[i] = makeControl<QRadioButton>(Frame7, arrayName("Option3", i), placeCaptions[i]);
        places->addWidget(Option3[i], i % 2, i / 2);
        connect(Option3[i], &QRadioButton::clicked, this, [this, i] { Option3_Click(i); });
    }
    Option3[0]->setChecked(true);

    Frame8 = createFrame(this, "Frame8", QStringLiteral("示例"));
    auto* example = new QGridLayout(Frame8);
    Label4[0] = makeControl<QLabel>(Frame8, arrayName("Label4", 0), QStringLiteral("原文件名为："));
    example->addWidget(Label4[0], 0, 0);
    lblSource[0] = makeControl<QLabel>(Frame8, arrayName("lblSource", 0), QStringLiteral("example.gif"));
    example->addWidget(lblSource[0], 0, 1);
    lblSource[1] = makeControl<QLabel>(Frame8, arrayName("lblSource", 1), QStringLiteral("model.gif"));
    example->addWidget(lblSource[1], 0, 2);
    Label4[4] = makeControl<QLabel>(Frame8, arrayName("Label4", 4), QStringLiteral("转换后成为："));
    example->addWidget(Label4[4], 1, 0);
    for (int i = 0; i < 2; ++i) {
        lblTarget[i] = makeControl<QLabel>(Frame8, arrayName("lblTarget", i), i == 0 ? QStringLiteral("1.gif")
                                                                                : QStringLiteral("2.gif"));
        makeRed(lblTarget[i]);
        makeResult(lblTarget[i]);
        example->addWidget(lblTarget[i], 1, 1 + i);
    }
    // Kept empty: the row under the example, where a note on the step can appear.
    Label4[1] = makeControl<QLabel>(Frame8, arrayName("Label4", 1));
    Label4[1]->setWordWrap(true);
    Label4[1]->setMinimumHeight(Label4[1]->fontMetrics().height());
    example->addWidget(Label4[1], 2, 0, 1, 3);
    example->setColumnStretch(1, 1);
    example->setColumnStretch(2, 1);

    QPushButton* step = makeStepButton(this, "cmdCustomStep");
    Command2 = makeControl<QPushButton>(this, "Command2", QStringLiteral("改名"));
    addCommand(Command2, step);

    auto* page = new QVBoxLayout(this);
    page->addWidget(Frame6);
    page->addWidget(Frame7);
    page->addWidget(Frame8);
    page->addStretch(1);
    page->addLayout(commandRow({step, Command2}));
    compactLayouts(this);

    Text1->setAccessibleName(QStringLiteral("自定义文本"));
    Label3[0]->setBuddy(txtStep);
    txtStep->setAccessibleName(QStringLiteral("增量"));
    Label3[1]->setBuddy(spnDigits);
    spnDigits->setAccessibleName(QStringLiteral("位数"));
    Command2->setAccessibleDescription(QStringLiteral("用自定义文本和编号给选中的文件改名"));

    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(txtStep, &QLineEdit::textChanged, this, [this] { txtStep_Change(); });
    connect(spnDigits, &QSpinBox::valueChanged, this, [this] { spnDigits_Change(); });
    connect(m_numbering.start, &QLineEdit::textChanged, this, [this] { followInputs(); });
    connect(m_numbering.order, &QComboBox::currentIndexChanged, this, [this] { followInputs(); });
    connect(m_numbering.pairs, &QCheckBox::toggled, this, [this] { followInputs(); });
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
    rule.start = m_numbering.startValue();
    rule.order = m_numbering.orderValue();
    rule.pairs = m_numbering.pairsValue();
    return rule;
}

QString CustomPage::refusal(int, Use use, qint64 files) const
{
    const auto step = rules::parseStep(txtStep->text());
    if (!step)
        return QStringLiteral("增量“%1”不是 -32768 到 32767 之间的整数，所以%2。").arg(txtStep->text(), notDone(use));
    if (!m_numbering.startValue() && m_numbering.startValid()) {
        if (use == Use::Run && !rules::numbersFit(files, *step))
            return QStringLiteral("选中了 %1 个文件，增量是 %2，最后的编号会是 %3，超出了 -2147483648 到 2147483647 的范围，"
                                  "所以没有改名。\n请少选一些文件，或者减小增量。")
                .arg(files)
                .arg(*step)
                .arg(files * *step);
        return {};
    }
    return m_numbering.refusal(use == Use::Run ? files : -1, *step, notDone(use));
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
    if (!step || !m_numbering.startValid()) {
        // Keep the last example while a number is being typed.
        Label4[1]->setText(!step ? QStringLiteral("增量须是 -32768 到 32767 之间的整数")
                                 : QStringLiteral("起始须是 -2147483648 到 2147483647 之间的整数"));
        return;
    }
    Label4[1]->clear();
    iCounter = 0;
    const std::optional<int> start = m_numbering.startValue();
    for (std::size_t i = 0; i < 2; ++i) {
        std::optional<QString> name;
        if (!start) {
            name = MakeCustomName(lblSource[i]->text(), *step);
        } else if (const long long number = rules::numberFor(qint64(i) + 1, *step, start);
                   number >= rules::kMinNumber && number <= rules::kMaxNumber) {
            // From a first number, the example's files are the run's first two.
            name = rules::MakeCustomName(lblSource[i]->text(), rules::trimSpaces(Text1->text()), std::int32_t(number),
                                         customPlace(), spnDigits->value());
        }
        if (name) {
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
