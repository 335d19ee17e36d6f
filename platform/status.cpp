#include "platform/status.h"

#include <cerrno>
#include <cstring>

namespace platform {

QString describeError(int errnum)
{
    switch (errnum) {
    case 0: return QStringLiteral("成功");
    case EEXIST:
    case ENOTEMPTY: return QStringLiteral("已有同名的文件或文件夹");
    case ENOENT: return QStringLiteral("文件不存在，可能已被移动或删除");
    case EACCES:
    case EPERM: return QStringLiteral("没有权限");
    case ENAMETOOLONG: return QStringLiteral("文件名太长");
    case EIO: return QStringLiteral("读写磁盘时出错");
    case EBUSY:
    case ETXTBSY: return QStringLiteral("文件正在使用中");
    case EROFS: return QStringLiteral("磁盘是只读的");
    case ENOSPC:
    case EDQUOT: return QStringLiteral("磁盘空间不足");
    case EINVAL: return QStringLiteral("文件名无效");
    case EILSEQ: return QStringLiteral("文件名含有该磁盘不支持的字符");
    case ENOTDIR: return QStringLiteral("路径不是文件夹");
    case EISDIR: return QStringLiteral("目标是一个文件夹");
    case EXDEV: return QStringLiteral("不能跨磁盘改名");
    case ELOOP: return QStringLiteral("符号链接层数太多");
    case ENOMEM: return QStringLiteral("内存不足");
    default: break;
    }
    return QStringLiteral("系统错误 %1（%2）").arg(errnum).arg(QString::fromLocal8Bit(std::strerror(errnum)));
}

} // namespace platform
