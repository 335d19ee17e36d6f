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

void RulePage::addCommand(QPushButton* button)
{
    const int command = commandCount();
    m_commands.push_back(button);
    connect(button, &QPushButton::clicked, this, [this, command] { m_host.runCommand(*this, command); });
}

void RulePage::followInputs()
{
    if (!m_host.refuseExample())
        refreshExample();
}

} // namespace ui
