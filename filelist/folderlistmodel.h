#pragma once

#include "platform/filesystem.h"

#include <QAbstractListModel>
#include <QByteArray>

#include <vector>

namespace filelist {

// The rows of the folder list: the current folder's ancestors from the root down, the current
// folder itself, then its subfolders in natural order (hidden folders left out).
class FolderListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role { PathRole = Qt::UserRole, DepthRole, IsOpenRole };

    struct Row {
        QByteArray path;
        int depth;
        bool open; // an ancestor or the current folder
    };

    explicit FolderListModel(const platform::FileSystem& fs, QObject* parent = nullptr);

    // folder must be an absolute path without a trailing "/" (except the root itself).
    void setFolder(const QByteArray& folder);
    // The rows for folder, read from fs; reads nothing of any model, so it runs on any thread.
    static std::vector<Row> readRows(const platform::FileSystem& fs, const QByteArray& folder);
    // Shows rows, read for folder.
    void show(const QByteArray& folder, std::vector<Row> rows);
    [[nodiscard]] const QByteArray& folder() const { return m_folder; }
    // The row of the current folder.
    [[nodiscard]] int currentRow() const { return m_currentRow; }
    [[nodiscard]] QByteArray pathAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const platform::FileSystem& m_fs;
    QByteArray m_folder;
    std::vector<Row> m_rows;
    int m_currentRow = -1;
};

} // namespace filelist
