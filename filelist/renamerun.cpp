#include "filelist/renamerun.h"

#include "platform/filename.h"

namespace filelist {

namespace {

QString readable(QByteArrayView bytes)
{
    return platform::readableFileName(bytes);
}

// Why a name can't be given to a file, or the empty text when it can.
QString whyNotAName(const QByteArray& name)
{
    if (name.isEmpty())
        return QStringLiteral("新文件名为空");
    if (name == "." || name == "..")
        return QStringLiteral("文件名不能是“.”或“..”");
    if (name.contains('/'))
        return QStringLiteral("文件名不能含有“/”");
    if (name.contains('\0'))
        return QStringLiteral("文件名不能含有空字符");
    if (name.size() > kMaxNameBytes)
        return QStringLiteral("文件名太长（超过 255 字节）");
    return {};
}

} // namespace

RenameReport runRename(RenameSource& list, const platform::FileSystem& fs, const RenameRule& rule,
                       const RenameHooks& hooks)
{
    RenameReport report;
    const QByteArray folder = list.folder();
    const int n = list.count();
    for (int i = 0; i < n; ++i) {
        if (hooks.progress && i % 64 == 0 && !hooks.progress(i, n)) {
            report.stopped = true;
            break;
        }
        if (!list.isSelected(i))
            continue;
        const auto oldView = list.itemBytes(i);
        const QByteArrayView oldBytes(oldView.data(), qsizetype(oldView.size()));
        const RenameDecision decision = rule(list.item(i));
        auto fail = [&](const QString& newName, const QString& reason) {
            report.failures.push_back({readable(oldBytes), newName, reason});
        };
        if (decision.action == RenameDecision::Action::Leave) {
            ++report.leftAlone;
            continue;
        }
        if (decision.action == RenameDecision::Action::Refuse) {
            fail(decision.newName, decision.reason);
            continue;
        }
        const auto encoded = platform::encodeFileName(decision.newName);
        if (!encoded) {
            fail(decision.newName, QStringLiteral("新文件名含有无法写入磁盘的字符"));
            continue;
        }
        const QByteArray& newBytes = *encoded;
        if (const QString why = whyNotAName(newBytes); !why.isEmpty()) {
            fail(decision.newName, why);
            continue;
        }
        if (decision.leaveIfNameTaken && fs.visibleFileExists(folder, newBytes)) {
            ++report.leftAlone;
            if (hooks.nameTaken)
                hooks.nameTaken(readable(newBytes));
            continue;
        }
        if (newBytes == oldBytes) {
            ++report.unchanged;
            continue;
        }
        const auto status = fs.renameNoReplace(folder, oldBytes, newBytes);
        if (status.ok())
            ++report.renamed;
        else
            fail(readable(newBytes), platform::describeError(status.error));
    }
    list.refresh();
    return report;
}

} // namespace filelist
