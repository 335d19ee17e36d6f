#include "filelist/statusline.h"

namespace filelist {

QString listCountsText(qsizetype files, qsizetype selected)
{
    return QStringLiteral("共 %1 个文件，选中 %2 个").arg(files).arg(selected);
}

QString planCountsText(bool ready, qsizetype renamed, qsizetype taken, qsizetype invalid)
{
    if (!ready)
        return QStringLiteral("正在计算新文件名……");
    return QStringLiteral("将改名 %1 个，已存在 %2 个，无效 %3 个").arg(renamed).arg(taken).arg(invalid);
}

QString tooManyToCheckText()
{
    return QStringLiteral("选中的文件太多，新文件名在改名时再检查");
}

QString runDoneText(qsizetype renamed)
{
    return QStringLiteral("已改名 %1 个文件，撤销请按 Ctrl+Z").arg(renamed);
}

QString nothingSelectedText()
{
    return QStringLiteral("没有选中文件");
}

} // namespace filelist
