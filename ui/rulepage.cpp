#include "ui/rulepage.h"

#include <QPushButton>

namespace ui {

RulePage::RulePage(PageHost& host, QWidget* parent) : QWidget(parent), m_host(host) {}

QString RulePage::refusal(int, Use, qint64) const
{
    return {};
}

QString RulePage::notDone(Use use)
{
    return use == Use::Run ? QStringLiteral("没有改名") : QStringLiteral("没有加入步骤");
}

QPushButton* RulePage::makeStepButton(QWidget* parent, const char* name)
{
    auto* button = new QPushButton(QStringLiteral("加入步骤"), parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

void RulePage::addCommand(QPushButton* run, QPushButton* addStep)
{
    const int command = commandCount();
    m_commands.push_back({run, addStep});
    connect(run, &QPushButton::clicked, this, [this, command] { m_host.runCommand(*this, command); });
    connect(addStep, &QPushButton::clicked, this, [this, command] { m_host.addStep(*this, command); });
    addStep->setAccessibleDescription(QStringLiteral("把“%1”的当前选项加入步骤列表").arg(rules::commandName(rule(command))));
}

void RulePage::followInputs()
{
    if (!m_host.refuseExample())
        refreshExample();
    Q_EMIT optionsChanged();
}

} // namespace ui
