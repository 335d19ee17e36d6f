#include "ui/numberingcontrols.h"

#include "rules/customname.h"
#include "ui/controlhelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace ui {

NumberingControls NumberingControls::make(QWidget* parent, const QString& prefix)
{
    NumberingControls c;
    c.startLabel = makeControl<QLabel>(parent, QStringLiteral("lbl%1Start").arg(prefix), QStringLiteral("起始："));
    c.start = makeControl<QLineEdit>(parent, QStringLiteral("txt%1Start").arg(prefix));
    c.start->setToolTip(QStringLiteral("第一个文件的编号；空着时第一个文件的编号就是增量，和以前一样"));
    c.start->setMaximumWidth(c.start->fontMetrics().horizontalAdvance(QStringLiteral("-2147483648")) + 12);
    c.startLabel->setBuddy(c.start);
    c.start->setAccessibleName(QStringLiteral("起始编号"));
    c.orderLabel = makeControl<QLabel>(parent, QStringLiteral("lbl%1Order").arg(prefix), QStringLiteral("顺序："));
    c.order = makeControl<QComboBox>(parent, QStringLiteral("cbo%1Order").arg(prefix));
    c.order->addItems({QStringLiteral("列表顺序"), QStringLiteral("修改时间"), QStringLiteral("拍摄时间")});
    c.order->setToolTip(QStringLiteral("按什么顺序给选中的文件编号；没有拍摄时间的文件用修改时间"));
    c.orderLabel->setBuddy(c.order);
    c.order->setAccessibleName(QStringLiteral("编号顺序"));
    c.pairs = makeControl<QCheckBox>(parent, QStringLiteral("chk%1Pairs").arg(prefix), QStringLiteral("同名文件一起改名"));
    c.pairs->setToolTip(QStringLiteral("文件夹里和选中文件同名（只有扩展名不同）的文件，比如 DSC_0001.NEF、DSC_0001.xmp，"
                                       "跟着它改成同样的新名字，各自保留扩展名"));
    return c;
}

std::optional<int> NumberingControls::startValue() const
{
    return rules::parseStart(start->text());
}

bool NumberingControls::startValid() const
{
    return start->text().trimmed().isEmpty() || startValue().has_value();
}

rules::NumberOrder NumberingControls::orderValue() const
{
    return rules::NumberOrder(std::max(0, order->currentIndex()));
}

bool NumberingControls::pairsValue() const
{
    return pairs->isChecked();
}

QString NumberingControls::refusal(qint64 files, int step, const QString& notDone) const
{
    if (!startValid())
        return QStringLiteral("起始“%1”不是 -2147483648 到 2147483647 之间的整数，所以%2。").arg(start->text(), notDone);
    const std::optional<int> first = startValue();
    if (files < 0 || !first || rules::numbersFit(files, step, *first))
        return {};
    return QStringLiteral("选中了 %1 个文件，起始是 %2，增量是 %3，最后的编号会是 %4，超出了 -2147483648 到 2147483647 的范围，"
                          "所以%5。\n请少选一些文件，或者改小起始或增量。")
        .arg(files)
        .arg(*first)
        .arg(step)
        .arg(qint64(*first) + (files - 1) * qint64(step))
        .arg(notDone);
}

} // namespace ui
