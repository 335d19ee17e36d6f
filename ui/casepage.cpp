#include "ui/casepage.h"

#include "ui/controlhelpers.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace ui {

CasePage::CasePage(PageHost& host, QWidget* parent) : RulePage(host, parent)
{
    Frame2 = createFrame(this, "Frame2", QStringLiteral("转换范围"));
    auto* scopeRow = new QHBoxLayout(Frame2);
    const std::array<QString, 2> scopeCaptions{QStringLiteral("前缀"), QStringLiteral("后缀")};
    for (int i = 0; i < 2; ++i) {
        Check2[i] = makeControl<QCheckBox>(Frame2, arrayName("Check2", i), scopeCaptions[i]);
        scopeRow->addWidget(Check2[i]);
        Check2[i]->setChecked(true);
        connect(Check2[i], &QCheckBox::clicked, this, [this, i] { Check2_Click(i); });
    }
    scopeRow->addStretch(1);

    Frame4 = createFrame(this, "Frame4", QStringLiteral("空格处理"));
    auto* spaceRow = new QHBoxLayout(Frame4);
    const std::array<QString, 2> spaceCaptions{QStringLiteral("删除"), QStringLiteral("转换为_")};
    for (int i = 0; i < 2; ++i) {
        Option2[i] = makeControl<QRadioButton>(Frame4, arrayName("Option2", i), spaceCaptions[i]);
        spaceRow->addWidget(Option2[i]);
        connect(Option2[i], &QRadioButton::clicked, this, [this, i] { Option2_Click(i); });
    }
    spaceRow->addStretch(1);
    Option2[0]->setChecked(true);

    Frame3 = createFrame(this, "Frame3", QStringLiteral("转换成"));
    auto* caseRow = new QHBoxLayout(Frame3);
    const std::array<QString, 3> caseCaptions{QStringLiteral("大写"), QStringLiteral("小写"),
                                              QStringLiteral("首字母大写")};
    for (int i = 0; i < 3; ++i) {
        Option1[i] = makeControl<QRadioButton>(Frame3, arrayName("Option1", i), caseCaptions[i]);
        caseRow->addWidget(Option1[i]);
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    }
    caseRow->addStretch(1);
    Option1[2]->setChecked(true);

    Frame5 = createFrame(this, "Frame5", QStringLiteral("示例"));
    auto* example = new QGridLayout(Frame5);
    Label2[0] = makeControl<QLabel>(Frame5, arrayName("Label2", 0), QStringLiteral("原文件名为："));
    lblS1 = makeControl<QLabel>(Frame5, "lblS1", QStringLiteral("Exa mpL e.exE"));
    Label2[1] = makeControl<QLabel>(Frame5, arrayName("Label2", 1), QStringLiteral("转换后成为："));
    lblT1 = makeControl<QLabel>(Frame5, "lblT1", QStringLiteral("Example.exe"));
    makeRed(lblT1);
    makeResult(lblT1);
    example->addWidget(Label2[0], 0, 0);
    example->addWidget(lblS1, 0, 1);
    example->addWidget(Label2[1], 1, 0);
    example->addWidget(lblT1, 1, 1);
    example->setColumnStretch(1, 1);

    QPushButton* step = makeStepButton(this, "cmdCaseStep");
    Command1 = makeControl<QPushButton>(this, "Command1", QStringLiteral("改名"));
    Command1->setAccessibleDescription(QStringLiteral("按“文件名转换”页的选项转换选中文件名的大小写和空格"));
    addCommand(Command1, step);

    auto* page = new QVBoxLayout(this);
    auto* topRow = new QHBoxLayout;
    topRow->addWidget(Frame2, 1);
    topRow->addWidget(Frame4, 1);
    page->addLayout(topRow);
    page->addWidget(Frame3);
    page->addWidget(Frame5);
    page->addStretch(1);
    page->addLayout(commandRow({step, Command1}));
    compactLayouts(this);
}

rules::CaseOptions CasePage::caseOptions() const
{
    rules::CaseOptions options;
    options.base = Check2[0]->isChecked();
    options.extension = Check2[1]->isChecked();
    options.caseMode = Option1[0]->isChecked() ? rules::CaseMode::Upper
        : Option1[1]->isChecked()              ? rules::CaseMode::Lower
                                               : rules::CaseMode::FirstUpper;
    options.spaceMode = Option2[1]->isChecked() ? rules::SpaceMode::Underscore : rules::SpaceMode::Delete;
    return options;
}

QString CasePage::ConvertCase(const QString& fileName) const
{
    return rules::ConvertCase(fileName, caseOptions());
}

rules::Rule CasePage::rule(int) const
{
    return rules::CaseRule{caseOptions()};
}

QString CasePage::refusal(int, Use use, qint64) const
{
    if (!Check2[0]->isChecked() && !Check2[1]->isChecked())
        return QStringLiteral("“前缀”和“后缀”都没有选中，新文件名会是空的，所以%1。\n请至少选中其中一项。").arg(notDone(use));
    return {};
}

void CasePage::refreshExample()
{
    lblT1->setText(ConvertCase(lblS1->text()));
}

void CasePage::Check2_Click(int)
{
    followInputs();
}

void CasePage::Option1_Click(int)
{
    followInputs();
}

void CasePage::Option2_Click(int)
{
    followInputs();
}

} // namespace ui
