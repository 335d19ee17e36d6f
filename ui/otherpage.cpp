#include "ui/otherpage.h"

#include "rules/nameparts.h"
#include "ui/controlhelpers.h"
#include "ui/module1.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ui {

OtherPage::OtherPage(PageHost& host, QWidget* parent) : RulePage(host, parent)
{
    // A frame with a caption over a text box, and the box's two buttons beside it.
    const auto textFrame = [](QGroupBox* frame, QLabel* caption, QLineEdit* box, QPushButton* step, QPushButton* run) {
        auto* layout = new QVBoxLayout(frame);
        layout->addWidget(caption);
        auto* row = new QHBoxLayout;
        row->addWidget(box, 1);
        row->addWidget(step);
        row->addWidget(run);
        layout->addLayout(row);
    };

    Frame9 = createFrame(this, "Frame9", QStringLiteral("去掉文件名的部分字符"));
    Label8 = makeControl<QLabel>(Frame9, "Label8", QStringLiteral("需要去掉的字符串："));
    txtRemoveStr = makeControl<QLineEdit>(Frame9, "txtRemoveStr");
    QPushButton* removeStep = makeStepButton(Frame9, "cmdRemoveStep");
    cmdRemoveStr = makeControl<QPushButton>(Frame9, "cmdRemoveStr", QStringLiteral("改名"));
    textFrame(Frame9, Label8, txtRemoveStr, removeStep, cmdRemoveStr);

    Frame10 = createFrame(this, "Frame10", QStringLiteral("修改文件扩展名"));
    Label7 = makeControl<QLabel>(Frame10, "Label7", QStringLiteral("新扩展名:"));
    txtNewExt = makeControl<QLineEdit>(Frame10, "txtNewExt");
    txtNewExt->setToolTip(QStringLiteral("只要输入扩展名，不需要前面的“.”符号"));
    QPushButton* extensionStep = makeStepButton(Frame10, "cmdChangeExtStep");
    cmdChangeExt = makeControl<QPushButton>(Frame10, "cmdChangeExt", QStringLiteral("改名"));
    textFrame(Frame10, Label7, txtNewExt, extensionStep, cmdChangeExt);

    Frame11 = createFrame(this, "Frame11", QStringLiteral("文件名简繁互转"));
    cmdJ2F = makeControl<QPushButton>(Frame11, "cmdJ2F", QStringLiteral("简体转繁体"));
    QPushButton* j2fStep = makeStepButton(Frame11, "cmdJ2FStep");
    cmdF2J = makeControl<QPushButton>(Frame11, "cmdF2J", QStringLiteral("繁体转简体"));
    QPushButton* f2jStep = makeStepButton(Frame11, "cmdF2JStep");
    Label9 = makeControl<QLabel>(Frame11, "Label9",
                                 QStringLiteral("示例说明:\r\n繁转简:中國->中国\r\n简转繁:中国->中國"));
    auto* scripts = new QGridLayout(Frame11);
    scripts->addWidget(cmdJ2F, 0, 0);
    scripts->addWidget(j2fStep, 0, 1);
    scripts->addWidget(cmdF2J, 1, 0);
    scripts->addWidget(f2jStep, 1, 1);
    scripts->addWidget(Label9, 0, 2, 2, 1);
    scripts->setColumnStretch(2, 1);

    fraOtherSystems = createFrame(this, "fraOtherSystems", QStringLiteral("给别的系统用的文件名"));
    cmdWindowsSafe = makeControl<QPushButton>(fraOtherSystems, "cmdWindowsSafe", QStringLiteral("改成 Windows 可用的名字"));
    cmdWindowsSafe->setToolTip(QStringLiteral("\\ : * ? \" < > | 换成全角的 ＼：＊？＂＜＞｜（或“_”），去掉末尾的点和空格，"
                                              "U 盘（FAT、exFAT）、NTFS 和 Windows 共享文件夹都能用"));
    QPushButton* windowsStep = makeStepButton(fraOtherSystems, "cmdWindowsSafeStep");
    chkUnderscore = makeControl<QCheckBox>(fraOtherSystems, "chkUnderscore", QStringLiteral("换成“_”"));
    chkUnderscore->setToolTip(QStringLiteral("不能用的字符换成“_”，而不是全角字符"));
    cmdGbkToUtf8 = makeControl<QPushButton>(fraOtherSystems, "cmdGbkToUtf8", QStringLiteral("GBK 文件名转 UTF-8"));
    cmdGbkToUtf8->setToolTip(QStringLiteral("用 GBK 存的文件名（列表里的提示会标出）改用 UTF-8 存，字不变；"
                                            "别的程序就能正确显示它们"));
    QPushButton* gbkStep = makeStepButton(fraOtherSystems, "cmdGbkToUtf8Step");
    auto* systems = new QGridLayout(fraOtherSystems);
    systems->addWidget(cmdWindowsSafe, 0, 0);
    systems->addWidget(windowsStep, 0, 1);
    systems->addWidget(chkUnderscore, 0, 2);
    systems->addWidget(cmdGbkToUtf8, 1, 0);
    systems->addWidget(gbkStep, 1, 1);
    systems->setColumnStretch(3, 1);

    auto* page = new QVBoxLayout(this);
    page->addWidget(Frame9);
    page->addWidget(Frame10);
    page->addWidget(Frame11);
    page->addWidget(fraOtherSystems);
    page->addStretch(1);
    compactLayouts(this);

    // The list's new names follow the text typed last: the conversions have no options to follow.
    connect(txtRemoveStr, &QLineEdit::textChanged, this, [this] {
        m_liveCommand = Remove;
        Q_EMIT optionsChanged();
    });
    connect(txtNewExt, &QLineEdit::textChanged, this, [this] {
        m_liveCommand = Extension;
        Q_EMIT optionsChanged();
    });

    addCommand(cmdRemoveStr, removeStep);
    addCommand(cmdChangeExt, extensionStep);
    addCommand(cmdF2J, f2jStep);
    addCommand(cmdJ2F, j2fStep);
    addCommand(cmdWindowsSafe, windowsStep);
    addCommand(cmdGbkToUtf8, gbkStep);
    connect(chkUnderscore, &QCheckBox::toggled, this, [this] {
        m_liveCommand = WindowsSafe;
        Q_EMIT optionsChanged();
    });

    Label8->setBuddy(txtRemoveStr);
    txtRemoveStr->setAccessibleName(QStringLiteral("需要去掉的字符串"));
    Label7->setBuddy(txtNewExt);
    txtNewExt->setAccessibleName(QStringLiteral("新扩展名"));
    cmdRemoveStr->setAccessibleDescription(QStringLiteral("从选中文件的名字里去掉需要去掉的字符串"));
    cmdChangeExt->setAccessibleDescription(QStringLiteral("把选中文件的扩展名改成新扩展名"));
    // The caption's line breaks are for the eye; a screen reader reads three plain lines.
    Label9->setAccessibleName(Label9->text().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

rules::RemoveRule OtherPage::removeRule() const
{
    return {txtRemoveStr->text()};
}

rules::ExtensionRule OtherPage::extensionRule() const
{
    return {txtNewExt->text()};
}

rules::Rule OtherPage::rule(int command) const
{
    switch (command) {
    case Remove: return removeRule();
    case Extension: return extensionRule();
    case ToSimplified: return rules::ToSimplifiedRule{};
    case WindowsSafe: return rules::WindowsSafeRule{chkUnderscore->isChecked()};
    case GbkToUtf8: return rules::GbkToUtf8Rule{};
    default: return rules::ToTraditionalRule{};
    }
}

QString OtherPage::refusal(int command, Use use, qint64) const
{
    switch (command) {
    case Remove:
        if (use == Use::Step && txtRemoveStr->text().isEmpty())
            return QStringLiteral("需要去掉的字符串是空的，这一步什么也不会做，所以没有加入步骤。");
        return {};
    case Extension: {
        const QString extension = rules::trimSpaces(txtNewExt->text());
        if (extension.isEmpty())
            return use == Use::Step ? QStringLiteral("新扩展名是空的，这一步什么也不会做，所以没有加入步骤。") : QString();
        if (extension.contains(QLatin1Char('/')))
            return QStringLiteral("扩展名“%1”含有“/”，不能用在文件名里，所以%2。").arg(extension, notDone(use));
        return {};
    }
    case WindowsSafe:
    case GbkToUtf8: return {};
    default: {
        const bool simplified = command == ToSimplified;
        if (simplified ? Module1::CanF2J() : Module1::CanJ2F())
            return {};
        const QString name = simplified ? QStringLiteral("繁体转简体") : QStringLiteral("简体转繁体");
        return QStringLiteral("没有找到可用的繁简对照表 F2J.txt（文件不存在或是空的），所以%1。\n查找过的位置：\n%2")
            .arg(use == Use::Run ? QStringLiteral("“%1”没有改名").arg(name)
                                 : QStringLiteral("没有把“%1”加入步骤").arg(name),
                 Module1::TablePaths().join(QLatin1Char('\n')));
    }
    }
}

} // namespace ui
