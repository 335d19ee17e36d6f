// The window's left column and path strip: volumes, folders, the path box, and the file list's
// tooltip.
#include "ui/form1.h"

#include "filelist/filelistmodel.h"
#include "filelist/folderlistmodel.h"
#include "filelist/listtooltip.h"
#include "platform/filename.h"
#include "rules/nameparts.h"
#include "ui/aside.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QTableView>
#include <QSignalBlocker>

#include <memory>

namespace ui {

// Drives, folders and the path box.

bool Form1::setDir1Path(const QByteArray& folder)
{
    const bool changed = folder != m_folders->folder();
    const bool read = !changed || readFolder(folder);
    // Also when the folder could not be read: the row the user picked goes back to the folder shown.
    Dir1->setCurrentIndex(m_folders->index(m_folders->currentRow()));
    Dir1->scrollTo(Dir1->currentIndex());
    if (changed && read)
        followFolderList();
    return read;
}

bool Form1::readFolder(const QByteArray& folder)
{
    struct Read {
        std::vector<filelist::FolderListModel::Row> folders;
        filelist::FileListModel::Listing files;
    };
    auto read = std::make_shared<Read>();
    filelist::FileListModel::ListingRequest request = m_files->request();
    request.folder = folder;
    const platform::FileSystem* fs = &m_fs;
    // Both lists in one job: a disk that stops answering halfway leaves both as they were.
    if (!runPatiently(
            [fs, folder, request, read](platform::JobControl&) {
                read->folders = filelist::FolderListModel::readRows(*fs, folder);
                read->files = filelist::FileListModel::list(*fs, request);
            },
            diskOf(folder), QStringLiteral("没有打开这个文件夹")))
        return false;
    m_folders->show(folder, std::move(read->folders));
    m_files->show(request, std::move(read->files));
    return true;
}

bool Form1::runPatiently(const platform::AsideJob::Job& job, const QString& subject, const QString& notDone)
{
    const Work work(*this); // every reading of the file list comes here
    auto outcome = PatientWait::Outcome::Finished;
    {
        PatientWait wait(*this, QStringLiteral("正在读取磁盘……"), QStringLiteral("取消"), kWaitDialogDelay,
                         m_startUp.patience);
        outcome = wait.wait(job);
    }
    if (outcome == PatientWait::Outcome::Unanswered)
        warn(unansweredMessage(subject, m_startUp.patience, notDone));
    return outcome == PatientWait::Outcome::Finished;
}

void Form1::refreshVolumes()
{
    auto volumes = platform::mountedVolumes();
    const int current = Drive1->currentIndex();
    const QByteArray currentMount =
        current >= 0 && current < int(m_volumes.size()) ? m_volumes[std::size_t(current)].mountPoint : QByteArray();
    // Refilling the list is no pick of the user's: the picked volume stays picked.
    const QSignalBlocker quiet(Drive1);
    Drive1->clear();
    for (const auto& volume : volumes)
        Drive1->addItem(volume.displayText());
    int index = -1;
    for (int i = 0; i < int(volumes.size()); ++i) {
        if (volumes[std::size_t(i)].mountPoint == currentMount)
            index = i;
    }
    m_volumes = std::move(volumes);
    Drive1->setCurrentIndex(index);
}

void Form1::Drive1_Change()
{
    if (busy())
        return;
    const Work work(*this);
    const int index = Drive1->currentIndex();
    if (index < 0 || index >= int(m_volumes.size()))
        return;
    const platform::Volume volume = m_volumes[std::size_t(index)];
    QByteArray folder = m_volumeFolders.folderOn(volume.mountPoint);
    auto status = std::make_shared<platform::Status>();
    const platform::FileSystem* fs = &m_fs;
    const bool answered =
        runPatiently([fs, folder, status](platform::JobControl&) { *status = fs->checkFolder(folder); },
                     QStringLiteral("磁盘“%1”").arg(volume.displayText()), QStringLiteral("没有打开它"));
    if (answered && !status->ok())
        folder = volume.mountPoint; // the folder has gone since it was shown
    if (!answered || !setDir1Path(folder))
        showVolumeOf(m_folders->folder());
}

void Form1::showVolumeOf(const QByteArray& folder)
{
    Drive1->setCurrentIndex(platform::volumeIndexOf(m_volumes, folder));
}

void Form1::Dir1_Change()
{
    if (busy())
        return;
    const Work work(*this);
    followFolderList();
}

void Form1::followFolderList()
{
    const QByteArray folder = m_folders->folder();
    // setDir1Path() reads the files along with the folders; otherwise they are read now.
    if (m_files->folder() != folder && !m_files->setFolder(folder))
        return;
    m_pathBoxFolder = folder;
    txtPath->setText(platform::readableFileName(folder));
    // Above a mount point the folder lies on another volume, which the volume list then shows.
    showVolumeOf(folder);
    if (const int volume = platform::volumeIndexOf(m_volumes, folder); volume >= 0)
        m_volumeFolders.remember(m_volumes[std::size_t(volume)].mountPoint, folder);
}

void Form1::cmdGoPath_Click()
{
    if (busy())
        return;
    const Work work(*this);
    const QString typed = rules::trimSpaces(txtPath->text());
    if (typed.isEmpty())
        return;
    filelist::TypedPath path;
    if (typed == platform::readableFileName(m_pathBoxFolder)) {
        path.folder = m_pathBoxFolder;
    } else {
        auto resolved = std::make_shared<filelist::TypedPath>();
        const QByteArray home = QFile::encodeName(QDir::homePath());
        const platform::FileSystem* fs = &m_fs;
        if (!runPatiently(
                [typed, home, fs, resolved](platform::JobControl&) {
                    *resolved = filelist::resolveTypedPath(typed, home, *fs);
                },
                QStringLiteral("“%1”所在的磁盘").arg(typed), QStringLiteral("没有转到这个文件夹")))
            return;
        path = *resolved;
    }
    if (path.problem != filelist::TypedPath::Problem::None) {
        warn(path.message(typed));
        return;
    }
    refreshVolumes(); // the path may lie on a volume mounted since the list was filled
    if (!setDir1Path(path.folder)) {
        showVolumeOf(m_folders->folder());
        return;
    }
    if (m_files->folder() != path.folder && !m_files->setFolder(path.folder))
        return;
    // Also when it was the folder shown already: the box shows the folder's own path again.
    m_pathBoxFolder = path.folder;
    txtPath->setText(platform::readableFileName(path.folder));
    showVolumeOf(path.folder);
}

void Form1::txtPath_KeyPress(int& KeyAscii)
{
    if (busy())
        return;
    if (KeyAscii == 13) {
        KeyAscii = 0;
        cmdGoPath_Click();
    }
}

void Form1::txtPath_DblClick()
{
    if (busy())
        return;
    txtPath->setSelection(0, int(txtPath->text().size()));
}

// The tooltip of the file list.

void Form1::File1_MouseMove(int, int, float, float Y)
{
    if (busy())
        return; // the list may be on its way out
    ShowListItemToolTipText(File1, Y);
}

void Form1::ShowListItemToolTipText(QAbstractItemView* ListX, float iY)
{
    // One row of the list is as high as a line of text in the list's font; the list's delegate
    // makes its rows exactly that high. Everything is measured afresh on every movement.
    const QFontMetricsF metrics(ListX->font());
    const float rowHeight = float(QFontMetrics(ListX->font()).height());
    const QModelIndex top = ListX->indexAt(QPoint(1, 1));
    const int row = filelist::rowUnderPointer(iY, rowHeight, top.isValid() ? top.row() : 0,
                                              ListX->model()->rowCount());
    QString tip;
    if (row >= 0) {
        const QString text = ListX->model()->index(row, 0).data(Qt::DisplayRole).toString();
        // 450 twips: 30 pixels at 96 dots per inch, scaled with the screen.
        const float margin = 30.0F * float(ListX->logicalDpiX()) / 96.0F;
        // In a list of several columns, the first one's width.
        const auto* tree = qobject_cast<const QTableView*>(ListX);
        const int width = tree ? tree->columnWidth(0) : ListX->width();
        if (filelist::textTooWide(float(width), margin, float(metrics.horizontalAdvance(text))))
            tip = text;
        // Names stored in GBK are marked, so that the user sees which ones "GBK 文件名转 UTF-8" touches.
        if (ListX == File1 && m_files->storedInGbk(row))
            tip = (tip.isEmpty() ? QString() : tip + QLatin1Char('\n')) + QStringLiteral("这个文件名是用 GBK 编码存的");
    }
    ListX->setToolTip(tip);
}

} // namespace ui
