#include "ui/replacepage.h"

#include "ui/controlhelpers.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ui {

ReplacePage::ReplacePage(PageHost& host, QWidget* parent) : RulePage(host, parent)
{
    Frame13 = createFrame(this, "Frame13", QStringLiteral("查找和替换"));
    Label10 = makeControl<QLabel>(Frame13, "Label10", QStringLiteral("查找："));
    txtFind = makeControl<QLineEdit>(Frame13, "txtFind");
    // Under the box: why a regular expression does not compile, at once as it is typed.
    lblFindError = makeControl<QLabel>(Frame13, "lblFindError");
    lblFindError->setWordWrap(true);
    lblFindError->hide();
    makeRed(lblFindError);
    makeResult(lblFindError);
    Label11 = makeControl<QLabel>(Frame13, "Label11", QStringLiteral("替换为："));
    txtReplace = makeControl<QLineEdit>(Frame13, "txtReplace");
    txtReplace->setToolTip(QStringLiteral("正则表达式中，\\1 或 $1 插入第 1 组，\\0 或 $0 插入整个匹配；\\\\ 和 $$ 插入“\\”和“$”本身"));
    auto* texts = new QGridLayout(Frame13);
    texts->addWidget(Label10, 0, 0);
    texts->addWidget(txtFind, 0, 1);
    texts->addWidget(lblFindError, 1, 1);
    texts->addWidget(Label11, 2, 0);
    texts->addWidget(txtReplace, 2, 1);
    texts->setColumnStretch(1, 1);

    Frame14 = createFrame(this, "Frame14", QStringLiteral("选项"));
    auto* options = new QGridLayout(Frame14);
    const std::array<QString, 3> optionCaptions{QStringLiteral("区分大小写"), QStringLiteral("正则表达式"),
                                                QStringLiteral("全部替换")};
    for (int i = 0; i < 3; ++i) {
        Check3[i] = makeControl<QCheckBox>(Frame14, arrayName("Check3", i), optionCaptions[i]);
        options->addWidget(Check3[i], i / 2, i % 2);
        connect(Check3[i], &QCheckBox::clicked, this, [this, i] { Check3_Click(i); });
    }
    Check3[2]->setChecked(true);

    Frame15 = createFrame(this, "Frame15", QStringLiteral("替换范围"));
    auto* scope = new QVBoxLayout(Frame15);
    for (int i = 0; i < 2; ++i) {
        Check4[i] = makeControl<QCheckBox>(Frame15, arrayName("Check4", i), i == 0 ? QStringLiteral("前缀")
                                                                                   : QStringLiteral("后缀"));
        scope->addWidget(Check4[i], 0, Qt::AlignLeft); // as wide as what a click on it toggles
        Check4[i]->setChecked(true);
        connect(Check4[i], &QCheckBox::clicked, this, [this, i] { Check4_Click(i); });
    }

    Frame16 = createFrame(this, "Frame16", QStringLiteral("示例"));
    auto* example = new QGridLayout(Frame16);
    Label12[0] = makeControl<QLabel>(Frame16, arrayName("Label12", 0), QStringLiteral("原文件名为："));
    lblS2 = makeControl<QLabel>(Frame16, "lblS2", QStringLiteral("IMG_2023-07 旅行.JPG"));
    Label12[1] = makeControl<QLabel>(Frame16, arrayName("Label12", 1), QStringLiteral("替换后成为："));
    lblT2 = makeControl<QLabel>(Frame16, "lblT2", lblS2->text());
    makeRed(lblT2);
    makeResult(lblT2);
    example->addWidget(Label12[0], 0, 0);
    example->addWidget(lblS2, 0, 1);
    example->addWidget(Label12[1], 1, 0);
    example->addWidget(lblT2, 1, 1);
    example->setColumnStretch(1, 1);

    QPushButton* step = makeStepButton(this, "cmdReplaceStep");
    cmdReplace = makeControl<QPushButton>(this, "cmdReplace", QStringLiteral("改名"));
    addCommand(cmdReplace, step);

    auto* page = new QVBoxLayout(this);
    page->addWidget(Frame13);
    auto* optionRow = new QHBoxLayout;
    optionRow->addWidget(Frame14, 2);
    optionRow->addWidget(Frame15, 1);
    page->addLayout(optionRow);
    page->addWidget(Frame16);
    page->addStretch(1);
    page->addLayout(commandRow({step, cmdReplace}));
    compactLayouts(this);

    Label10->setBuddy(txtFind);
    txtFind->setAccessibleName(QStringLiteral("查找"));
    Label11->setBuddy(txtReplace);
    txtReplace->setAccessibleName(QStringLiteral("替换为"));
    cmdReplace->setAccessibleDescription(QStringLiteral("在选中文件的名字里查找并替换"));

    connect(txtFind, &QLineEdit::textChanged, this, [this] { txtFind_Change(); });
    connect(txtReplace, &QLineEdit::textChanged, this, [this] { txtReplace_Change(); });
}

rules::ReplaceOptions ReplacePage::replaceOptions() const
{
    rules::ReplaceOptions options;
    options.find = txtFind->text();
    options.replacement = txtReplace->text();
    options.caseSensitive = Check3[0]->isChecked();
    options.regex = Check3[1]->isChecked();
    options.all = Check3[2]->isChecked();
    options.base = Check4[0]->isChecked();
    options.extension = Check4[1]->isChecked();
    return options;
}

rules::Rule ReplacePage::rule(int) const
{
    return rules::ReplaceRule{replaceOptions()};
}

QString ReplacePage::refusal(int, Use use, qint64) const
{
    const rules::ReplaceOptions options = replaceOptions();
    if (options.find.isEmpty())
        return use == Use::Step ? QStringLiteral("“查找”是空的，这一步什么也不会做，所以没有加入步骤。") : QString();
    if (!options.base && !options.extension)
        return QStringLiteral("“前缀”和“后缀”都没有选中，没有可以查找的地方，所以%1。\n请至少选中其中一项。").arg(notDone(use));
    const rules::Replacer replacer(options);
    if (!replacer.isValid())
        return QStringLiteral("正则表达式有错，所以%1。\n%2").arg(notDone(use), replacer.error());
    return {};
}

void ReplacePage::refreshExample()
{
    const rules::ReplaceOptions options = replaceOptions();
    const rules::Replacer replacer(options);
    lblFindError->setText(replacer.error());
    lblFindError->setToolTip(replacer.error());
    // Room for the error only while there is one.
    lblFindError->setVisible(!replacer.error().isEmpty());
    const auto result = replacer.apply(lblS2->text());
    lblT2->setText(!replacer.isValid() ? QStringLiteral("—")
                       : result.tooMuchWork ? QStringLiteral("（匹配太费时，已放弃）")
                                            : result.name);
    lblT2->setToolTip(options.regex && options.base && options.extension
                          ? QStringLiteral("前缀和后缀分开查找：一次匹配不会跨过最后一个“.”")
                          : QString());
}

void ReplacePage::txtFind_Change()
{
    followInputs();
}

void ReplacePage::txtReplace_Change()
{
    followInputs();
}

void ReplacePage::Check3_Click(int)
{
    followInputs();
}

void ReplacePage::Check4_Click(int)
{
    followInputs();
}

} // namespace ui
