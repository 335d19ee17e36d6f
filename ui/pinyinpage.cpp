#include "ui/pinyinpage.h"

#include "ui/controlhelpers.h"
#include "ui/module1.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace ui {

namespace {

// The example's name: polyphones read by their words, a digit, a space and an extension.
const QString kExampleName = QStringLiteral("重庆 长城2.jpg");

} // namespace

PinyinPage::PinyinPage(PageHost& host, QWidget* parent) : RulePage(host, parent)
{
    fraPinyin = createFrame(this, "fraPinyin", QStringLiteral("汉字转拼音"));
    auto* options = new QGridLayout(fraPinyin);
    int row = 0;
    const auto combo = [&](const char* name, const char* labelName, const QString& caption, const QStringList& items,
                           const QString& tip) {
        auto* label = makeControl<QLabel>(fraPinyin, labelName, caption);
        auto* box = makeControl<QComboBox>(fraPinyin, name);
        box->addItems(items);
        box->setToolTip(tip);
        label->setBuddy(box);
        box->setAccessibleName(caption);
        options->addWidget(label, row, 0);
        options->addWidget(box, row, 1);
        ++row;
        connect(box, &QComboBox::currentIndexChanged, this, [this] { followInputs(); });
        return box;
    };
    cboPinyinSpelling = combo("cboPinyinSpelling", "lblPinyinSpelling", QStringLiteral("拼写"), {QStringLiteral("全拼"), QStringLiteral("首字母")},
                              QStringLiteral("首字母：每个音节只写第一个字母，如 重庆→cq"));
    cboPinyinTones = combo("cboPinyinTones", "lblPinyinTones", QStringLiteral("声调"),
                           {QStringLiteral("无"), QStringLiteral("数字"), QStringLiteral("符号")},
                           QStringLiteral("数字：chong2qing4；符号：chóngqìng；轻声不标"));
    cboPinyinSeparator = combo("cboPinyinSeparator", "lblPinyinSeparator", QStringLiteral("分隔"),
                               {QStringLiteral("无"), QStringLiteral("空格"), QStringLiteral("_"), QStringLiteral("-")},
                               QStringLiteral("放在音节之间、音节和字母或数字之间，不放在空格和标点旁边"));
    cboPinyinCase = combo("cboPinyinCase", "lblPinyinCase", QStringLiteral("大小写"), {QStringLiteral("小写"), QStringLiteral("首字母大写")},
                          QStringLiteral("首字母大写：每个音节的首字母大写，如 ChongQing"));
    options->setColumnStretch(2, 1);

    fraPinyinExample = createFrame(this, "fraPinyinExample", QStringLiteral("示例"));
    auto* example = new QGridLayout(fraPinyinExample);
    auto* fromCaption = makeControl<QLabel>(fraPinyinExample, "lblPinyinFromCaption", QStringLiteral("原文件名为："));
    lblPinyinFrom = makeControl<QLabel>(fraPinyinExample, "lblPinyinFrom", kExampleName);
    auto* toCaption = makeControl<QLabel>(fraPinyinExample, "lblPinyinToCaption", QStringLiteral("转换后成为："));
    lblPinyinTo = makeControl<QLabel>(fraPinyinExample, "lblPinyinTo", QString());
    makeRed(lblPinyinTo);
    makeResult(lblPinyinTo);
    example->addWidget(fromCaption, 0, 0);
    example->addWidget(lblPinyinFrom, 0, 1);
    example->addWidget(toCaption, 1, 0);
    example->addWidget(lblPinyinTo, 1, 1);
    example->setColumnStretch(1, 1);

    QPushButton* step = makeStepButton(this, "cmdPinyinStep");
    cmdPinyin = makeControl<QPushButton>(this, "cmdPinyin", QStringLiteral("汉字转拼音"));
    cmdPinyin->setToolTip(QStringLiteral("汉字换成拼音，多音字按词读（重庆→chongqing），其他字符和空格不变；"
                                         "不标声调或用数字标时 ü 写作 v"));
    cmdPinyin->setAccessibleDescription(QStringLiteral("把选中文件名里的汉字换成拼音"));
    addCommand(cmdPinyin, step);

    auto* page = new QVBoxLayout(this);
    page->addWidget(fraPinyin);
    page->addWidget(fraPinyinExample);
    page->addStretch(1);
    page->addLayout(commandRow({step, cmdPinyin}));
    compactLayouts(this);
    refreshExample();
}

rules::PinyinRule PinyinPage::pinyinRule() const
{
    rules::PinyinRule r;
    r.options.initials = cboPinyinSpelling->currentIndex() == 1;
    r.options.tones = rules::PinyinTones(std::max(0, cboPinyinTones->currentIndex()));
    r.options.separator = rules::PinyinSeparator(std::max(0, cboPinyinSeparator->currentIndex()));
    r.options.capitalize = cboPinyinCase->currentIndex() == 1;
    return r;
}

rules::Rule PinyinPage::rule(int) const
{
    return pinyinRule();
}

QString PinyinPage::refusal(int, Use use, qint64) const
{
    if (!Module1::PinyinTable().isEmpty())
        return {};
    return QStringLiteral("没有找到可用的拼音表 PinyinChars.txt（文件不存在或是空的），所以%1。\n查找过的位置：\n%2")
        .arg(use == Use::Run ? QStringLiteral("“汉字转拼音”没有改名") : QStringLiteral("没有把“汉字转拼音”加入步骤"),
             Module1::PinyinTablePaths().join(QLatin1Char('\n')));
}

void PinyinPage::refreshExample()
{
    // The first selected file, as the page's neighbours show it, where it has anything to write
    // in pinyin; else a name with words whose characters read otherwise alone.
    const rules::PinyinOptions options = pinyinRule().options;
    const rules::PinyinTable& table = Module1::PinyinTable();
    QString from = kExampleName;
    QString to = table.convert(from, options);
    if (const auto listed = listExample()) {
        if (const QString converted = table.convert(listed->first, options); converted != listed->first) {
            from = listed->first;
            to = converted;
        }
    }
    lblPinyinFrom->setText(from);
    lblPinyinTo->setText(to);
}

} // namespace ui
