#include "ui/otherpage.h"

#include "rules/nameparts.h"
#include "ui/controlhelpers.h"
#include "ui/module1.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ui {

OtherPage::OtherPage(PageHost& host, QWidget* parent) : RulePage(host, parent)
{
    Frame9 = createFrame(this, "Frame9", QStringLiteral("去掉文件名的部分字符"));
    Frame9->setGeometry(8, 6, 304, 72);
    Label8 = makeControl<QLabel>(Frame9, "Label8", QStringLiteral("需要去掉的字符串："));
    Label8->setGeometry(12, 20, 200, 20);
    txtRemoveStr = makeControl<QLineEdit>(Frame9, "txtRemoveStr");
    txtRemoveStr->setGeometry(12, 42, 124, 22);
    QPushButton* removeStep = makeStepButton(Frame9, "cmdRemoveStep");
    removeStep->setGeometry(142, 39, 72, 28);
    cmdRemoveStr = makeControl<QPushButton>(Frame9, "cmdRemoveStr", QStringLiteral("改名"));
    cmdRemoveStr->setGeometry(220, 39, 72, 28);

    Frame10 = createFrame(this, "Frame10", QStringLiteral("修改文件扩展名"));
    Frame10->setGeometry(8, 82, 304, 72);
    Label7 = makeControl<QLabel>(Frame10, "Label7", QStringLiteral("新扩展名:"));
    Label7->setGeometry(12, 20, 200, 20);
    txtNewExt = makeControl<QLineEdit>(Frame10, "txtNewExt");
    txtNewExt->setGeometry(12, 42, 124, 22);
    txtNewExt->setToolTip(QStringLiteral("只要输入扩展名，不需要前面的“.”符号"));
    QPushButton* extensionStep = makeStepButton(Frame10, "cmdChangeExtStep");
    extensionStep->setGeometry(142, 39, 72, 28);
    cmdChangeExt = makeControl<QPushButton>(Frame10, "cmdChangeExt", QStringLiteral("改名"));
    cmdChangeExt->setGeometry(220, 39, 72, 28);

    Frame11 = createFrame(this, "Frame11", QStringLiteral("文件名简繁互转"));
    Frame11->setGeometry(8, 158, 304, 86);
    cmdJ2F = makeControl<QPushButton>(Frame11, "cmdJ2F", QStringLiteral("简体转繁体"));
    cmdJ2F->setGeometry(12, 20, 92, 28);
    QPushButton* j2fStep = makeStepButton(Frame11, "cmdJ2FStep");
    j2fStep->setGeometry(108, 20, 72, 28);
    cmdF2J = makeControl<QPushButton>(Frame11, "cmdF2J", QStringLiteral("繁体转简体"));
    cmdF2J->setGeometry(12, 52, 92, 28);
    QPushButton* f2jStep = makeStepButton(Frame11, "cmdF2JStep");
    f2jStep->setGeometry(108, 52, 72, 28);
    Label9 = makeControl<QLabel>(Frame11, "Label9",
                                 QStringLiteral("示例说明:\r\n繁转简:中國->中国\r\n简转繁:中国->中國"));
    Label9->setGeometry(188, 20, 108, 60);

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
