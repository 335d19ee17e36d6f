#include "ui/recoverydialog.h"

#include "platform/filename.h"

#include <QDateTime>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

QString recoveryText(const filelist::Interrupted& in)
{
    using Place = filelist::Interrupted::Place;
    const bool undo = in.header.kind == filelist::JournalKind::Undo;
    QString text = (undo ? QStringLiteral("上次撤销没有做完，程序就意外退出了。")
                         : QStringLiteral("上次改名没有做完，程序就意外退出了。"))
        + QStringLiteral("\n\n命令：“%1”（%2）\n文件夹：%3\n")
              .arg(in.header.command,
                   QDateTime::fromMSecsSinceEpoch(in.header.createdMs).toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                   platform::readableFileName(in.header.folder));
    if (!in.unreachable.isEmpty())
        return text + QStringLiteral("\n现在%1，所以数不清文件在哪里。可以等能打开这个文件夹时再处理（以后再说）。").arg(in.unreachable);
    text += QStringLiteral("共 %1 个文件：%2 个已经是新名字，%3 个还在临时名字下，%4 个还是原来的名字")
                .arg(in.moves.size())
                .arg(in.count(Place::New))
                .arg(in.count(Place::Aside))
                .arg(in.count(Place::Old));
    if (const qsizetype unknown = in.count(Place::Unknown); unknown > 0)
        text += QStringLiteral("，%1 个找不到了").arg(unknown);
    text += QStringLiteral("。\n\n完成：把其余的文件也改成新名字。\n撤销：把已经改了的文件改回原来的名字。\n"
                           "以后再说：这次不动，下次启动时再问。\n临时名字下的文件无论选哪一个都会回到一个正式的名字。");
    return text;
}

std::optional<filelist::RecoveryChoice> askRecovery(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    QPushButton* finish = box.addButton(QStringLiteral("完成"), QMessageBox::AcceptRole);
    QPushButton* takeBack = box.addButton(QStringLiteral("撤销"), QMessageBox::DestructiveRole);
    QPushButton* later = box.addButton(QStringLiteral("以后再说"), QMessageBox::RejectRole);
    box.setDefaultButton(later);
    box.setEscapeButton(later);
    box.exec();
    if (box.clickedButton() == finish)
        return filelist::RecoveryChoice::Finish;
    if (box.clickedButton() == takeBack)
        return filelist::RecoveryChoice::TakeBack;
    return std::nullopt;
}

} // namespace ui
