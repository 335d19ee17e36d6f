#include "filelist/folderlistmodel.h"

#include "filelist/naturalorder.h"
#include "platform/filename.h"

#include <algorithm>

namespace filelist {

FolderListModel::FolderListModel(const platform::FileSystem& fs, QObject* parent)
    : QAbstractListModel(parent), m_fs(fs)
{
}

void FolderListModel::setFolder(const QByteArray& folder)
{
    show(folder, readRows(m_fs, folder));
}

std::vector<FolderListModel::Row> FolderListModel::readRows(const platform::FileSystem& fs,
                                                            const QByteArray& folder)
{
    std::vector<Row> rows;
    rows.push_back({QByteArrayLiteral("/"), 0, true});
    int depth = 0;
    for (qsizetype start = 1; start < folder.size();) {
        qsizetype slash = folder.indexOf('/', start);
        if (slash < 0)
            slash = folder.size();
        rows.push_back({folder.left(slash), ++depth, true});
        start = slash + 1;
    }
    std::vector<QByteArray> children;
    fs.listFolder(
        folder,
        [&](const platform::DirEntry& e) {
            if (e.kind == platform::EntryKind::Folder && !e.name.startsWith('.'))
                children.emplace_back(e.name.toByteArray());
        },
        platform::ListDetail::FoldersOnly);
    std::sort(children.begin(), children.end(), [](const QByteArray& a, const QByteArray& b) {
        return naturalLess(std::string_view(a.constData(), std::size_t(a.size())),
                           std::string_view(b.constData(), std::size_t(b.size())));
    });
    const QByteArray prefix = folder.endsWith('/') ? folder : folder + '/';
    for (const QByteArray& child : children)
        rows.push_back({prefix + child, depth + 1, false});
    return rows;
}

void FolderListModel::show(const QByteArray& folder, std::vector<Row> rows)
{
    // The current folder is the last open row: its ancestors come before it, closed rows after.
    int current = 0;
    while (current + 1 < int(rows.size()) && rows[std::size_t(current) + 1].open)
        ++current;
    beginResetModel();
    m_folder = folder;
    m_rows = std::move(rows);
    m_currentRow = current;
    endResetModel();
}

QByteArray FolderListModel::pathAt(int row) const
{
    return (row >= 0 && row < int(m_rows.size())) ? m_rows[std::size_t(row)].path : QByteArray();
}

int FolderListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const Row& row = m_rows[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole: {
        if (row.path == "/")
            return QStringLiteral("/");
        const auto slash = row.path.lastIndexOf('/');
        return platform::readableFileName(QByteArrayView(row.path).sliced(slash + 1));
    }
    case Qt::ToolTipRole: return platform::readableFileName(row.path);
    case PathRole: return row.path;
    case DepthRole: return row.depth;
    case IsOpenRole: return row.open;
    default: return {};
    }
}

} // namespace filelist
