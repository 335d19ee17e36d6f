#include "ui/replacepage.h"

#include "ui/controlhelpers.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ui {

ReplacePage::ReplacePage(PageHost& host, QWidget* parent) : RulePage(host, parent)
{
    Frame13 = createFrame(this, "Frame13", QStringLiteral("查找和替换"));
    Frame13->setGeometry(8, 6, 304, 96);
    Label10 = makeControl<QLabel>(Frame13, "Label10", QStringLiteral("查找："));
    Label10->setGeometry(12, 22, 52, 22);
    txtFind = makeControl<QLineEdit>(Frame13, "txtFind");
    txtFind->setGeometry(64, 22, 228, 22);
    // Under the box: why a regular expression does not compile, at once as it is typed.
    lblFindError = makeControl<QLabel>(Frame13, "lblFindError");
    lblFindError->setGeometry(64, 45, 228, 17);
    makeRed(lblFindError);
    Label11 = makeControl<QLabel>(Frame13, "Label11", QStringLiteral("替换为："));
    Label11->setGeometry(12, 64, 52, 22);
    txtReplace = makeControl<QLineEdit>(Frame13, "txtReplace");
    txtReplace->setGeometry(64, 64, 228, 22);
    txtReplace->setToolTip(QStringLiteral("正则表达式中，\\1 或 $1 插入第 1 组，\\0 或 $0 插入整个匹配；\\\\ 和 $$ 插入“\\”和“$”本身"));

    Frame14 = createFrame(this, "Frame14", QStringLiteral("选项"));
    Frame14->setGeometry(8, 106, 200, 68);
    const std::array<QString, 3> optionCaptions{QStringLiteral("区分大小写"), QStringLiteral("正则表达式"),
                                                QStringLiteral("全部替换")};
    for (int i = 0; i < 3; ++i) {
        Check3[i] = makeControl<QCheckBox>(Frame14, arrayName("Check3", i), optionCaptions[i]);
        Check3[i]->setGeometry(12 + 96 * (i % 2), 20 + 22 * (i / 2), 94, 20);
        connect(Check3[i], &QCheckBox::clicked, this, [this, i] { Check3_Click(i); });
    }
    Check3[2]->setChecked(true);

    Frame15 = createFrame(this, "Frame15", QStringLiteral("替换范围"));
    Frame15->setGeometry(212, 106, 100, 68);
    for (int i = 0; i < 2; ++i) {
        Check4[i] = makeControl<QCheckBox>(Frame15, arrayName("Check4", i), i == 0 ? QStringLiteral("前缀")
                                                                                   : QStringLiteral("后缀"));
        Check4[i]->setGeometry(12, 20 + 22 * i, 80, 20);
        Check4[i]->setChecked(true);
        connect(Check4[i], &QCheckBox::clicked, this, [this, i] { Check4_Click(i); });
    }

    Frame16 = createFrame(this, "Frame16", QStringLiteral("示例"));
    Frame16->setGeometry(8, 178, 304, 56);
    Label12[0] = makeControl<QLabel>(Frame16, arrayName("Label12", 0), QStringLiteral("原文件名为："));
    Label12[0]->setGeometry(12, 16, 84, 18);
    lblS2 = makeControl<QLabel>(Frame16, "lblS2", QStringLiteral("IMG_2023-07 旅行.JPG"));
    lblS2->setGeometry(100, 16, 196, 18);
    Label12[1] = makeControl<QLabel>(Frame16, arrayName("Label12", 1), QStringLiteral("替换后成为："));
    Label12[1]->setGeometry(12, 34, 84, 18);
    lblT2 = makeControl<QLabel>(Frame16, "lblT2", lblS2->text());
    lblT2->setGeometry(100, 34, 196, 18);
    makeRed(lblT2);

    QPushButton* step = makeStepButton(this, "cmdReplaceStep");
    step->setGeometry(144, 240, 80, 28);
    cmdReplace = makeControl<QPushButton>(this, "cmdReplace", QStringLiteral("改名"));
    cmdReplace->setGeometry(232, 240, 80, 28);
    addCommand(cmdReplace, step);

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
