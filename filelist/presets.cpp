#include "filelist/presets.h"

#include "platform/filename.h"
#include "platform/status.h"
#include "platform/xdg.h"

#include <QCollator>
#include <QJsonDocument>

#include <algorithm>

namespace filelist {

namespace {

const QByteArray kSuffix = ".json";

// A preset file is a few steps; anything far larger is no preset and is not read whole.
constexpr qsizetype kMaxPresetBytes = 1 << 20;

} // namespace

QByteArray presetFolder()
{
    const QByteArray config = platform::configFolder();
    return config.isEmpty() ? QByteArray() : config + "/presets";
}

PresetStore::PresetStore(const platform::FileSystem& fs, QByteArray folder) : m_fs(fs), m_folder(std::move(folder)) {}

QString PresetStore::checkName(const QString& name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("预设名不能是空的");
    if (name.contains(QLatin1Char('/')))
        return QStringLiteral("预设名不能含有“/”");
    if (name.startsWith(QLatin1Char('.')))
        return QStringLiteral("预设名不能以“.”开头");
    if (name != name.trimmed())
        return QStringLiteral("预设名的开头和结尾不能是空格");
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control || c.isSurrogate())
            return QStringLiteral("预设名不能含有控制字符");
    }
    if (name.toUtf8().size() + kSuffix.size() > 255)
        return QStringLiteral("预设名太长");
    return {};
}

QByteArray PresetStore::pathOf(const QString& name) const
{
    return m_folder + '/' + name.toUtf8() + kSuffix;
}

QStringList PresetStore::names() const
{
    QStringList names;
    if (m_folder.isEmpty())
        return names;
    m_fs.listFolder(m_folder, [&](const platform::DirEntry& entry) {
        const QByteArrayView file = entry.name;
        if (entry.kind != platform::EntryKind::File || !file.endsWith(kSuffix))
            return;
        const QString name = platform::decodeFileName(file.chopped(kSuffix.size()));
        if (checkName(name).isEmpty())
            names << name;
    });
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return names;
}

rules::StepsRead PresetStore::load(const QString& name) const
{
    const QString problem = checkName(name);
    if (!problem.isEmpty())
        return {std::nullopt, problem};
    if (m_folder.isEmpty())
        return {std::nullopt, QStringLiteral("找不到保存预设的文件夹（没有设置 XDG_CONFIG_HOME，也没有主文件夹）")};
    return readPresetFile(m_fs, pathOf(name));
}

QString PresetStore::save(const QString& name, const rules::Steps& steps) const
{
    const QString problem = checkName(name);
    if (!problem.isEmpty())
        return problem;
    if (m_folder.isEmpty())
        return QStringLiteral("找不到保存预设的文件夹（没有设置 XDG_CONFIG_HOME，也没有主文件夹）");
    if (const platform::Status made = m_fs.makeFolders(m_folder); !made.ok())
        return QStringLiteral("无法建立文件夹“%1”：%2")
            .arg(platform::readableFileName(m_folder), platform::describeError(made.error));
    return writePresetFile(m_fs, pathOf(name), steps);
}

QString PresetStore::remove(const QString& name) const
{
    const QString problem = checkName(name);
    if (!problem.isEmpty())
        return problem;
    const QByteArray path = pathOf(name);
    if (const platform::Status removed = m_fs.removeFile(path); !removed.ok())
        return QStringLiteral("无法删除预设“%1”：%2").arg(platform::readableFileName(path), platform::describeError(removed.error));
    return {};
}

rules::StepsRead readPresetFile(const platform::FileSystem& fs, const QByteArray& path)
{
    QByteArray bytes;
    const platform::Status read = fs.readFile(path, bytes, false, kMaxPresetBytes + 1);
    const QString file = platform::readableFileName(path);
    if (!read.ok())
        return {std::nullopt, QStringLiteral("无法读取预设“%1”：%2").arg(file, platform::describeError(read.error))};
    if (bytes.size() > kMaxPresetBytes)
        return {std::nullopt, QStringLiteral("预设“%1”有问题：文件太大，不是预设").arg(file)};
    rules::StepsRead steps = rules::stepsFromJsonBytes(bytes);
    if (!steps.steps)
        steps.error = QStringLiteral("预设“%1”有问题：%2").arg(file, steps.error);
    return steps;
}

QString writePresetFile(const platform::FileSystem& fs, const QByteArray& path, const rules::Steps& steps)
{
    const QByteArray bytes = QJsonDocument(rules::stepsToJson(steps)).toJson(QJsonDocument::Indented);
    if (const platform::Status written = fs.replaceFile(path, bytes); !written.ok())
        return QStringLiteral("无法保存预设“%1”：%2")
            .arg(platform::readableFileName(path), platform::describeError(written.error));
    return {};
}

} // namespace filelist
