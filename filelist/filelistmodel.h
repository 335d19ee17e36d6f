#pragma once

#include "filelist/pattern.h"
#include "filelist/renameplan.h"
#include "platform/asidejob.h"
#include "platform/filesystem.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QItemSelectionModel>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace filelist {

// The four attribute switches, in the order of their check boxes.
enum class Switch { Normal = 0, ReadOnly = 1, Hidden = 2, System = 3 };

// The files of one folder that pass the name pattern and the attribute switches, in natural
// order, with one selection flag per item. The list view shows it through the Qt model
// interface and shares selectionModel(), which this class keeps in step with the flags, so
// clicks in the view and the select commands see one selection.
//
// Names are kept as the folder gave them, as raw bytes in one shared buffer: a folder of a
// million files costs a few tens of megabytes, and a later rename addresses the very file.
class FileListModel final : public QAbstractTableModel, public RenameSource {
    Q_OBJECT

public:
    explicit FileListModel(const platform::FileSystem& fs, QObject* parent = nullptr);

    // Each setter lists the folder with its new value and shows the result. Another folder
    // starts with nothing selected; the same folder keeps the selection by name. false, with
    // nothing changed, when the listing was given up (see setAsideRunner()).
    bool setFolder(const QByteArray& folder);
    bool setPattern(const QString& pattern);
    bool setSwitch(Switch which, bool on);
    // Re-reads the folder with the current pattern and switches. Items whose names are still
    // listed keep their selection.
    void refresh() override;

    struct Entry {
        std::uint32_t offset;
        std::uint16_t size;
        std::uint8_t attributes;
    };

    // What a listing reads: copies of the folder, pattern and switches, so that it can run on
    // another thread while this model changes or goes.
    struct ListingRequest {
        QByteArray folder;
        NamePattern pattern;
        std::array<bool, 4> switches{};
        // Room to make at once: mostly the folder listed again, about as large.
        std::size_t expectedItems = 0;
        std::size_t expectedBytes = 0;
        // Whether the listing keeps every name of the folder as well, whatever it holds.
        bool keepAllNames = false;
        // With keepAllNames: the names are kept for a plan made later, with the times that tell
        // whether they still hold then, and only for a folder of up to kKeptNamesUpTo entries.
        bool keepForLater = false;
    };
    // A folder of more entries than this is read again for a plan: its names would cost memory
    // the largest folders can't spare.
    static constexpr std::size_t kKeptNamesUpTo = std::size_t(1) << 18;
    // The files of a request's folder that pass its pattern and switches, in natural order.
    struct Listing {
        std::string names;
        std::vector<Entry> items;
        int error = 0;
        platform::FolderIdentity identity;
        ListedNames allNames; // with keepAllNames
    };
    // The request for listing the folder as the model holds it now.
    [[nodiscard]] ListingRequest request() const;
    // Lists a request's folder; reads nothing of any model, so it runs on any thread.
    static Listing list(const platform::FileSystem& fs, const ListingRequest& request);
    // Shows listing, read for request, as the model's items: with the folder, pattern and
    // switches of request, and the selection carried over by name in the same folder.
    void show(const ListingRequest& request, Listing listing);

    [[nodiscard]] const QByteArray& folder() const override { return m_folder; }
    [[nodiscard]] platform::FolderIdentity folderIdentity() const override { return m_identity; }
    [[nodiscard]] const QString& pattern() const { return m_pattern.text(); }
    [[nodiscard]] bool switchOn(Switch which) const { return m_switches[std::size_t(which)]; }
    // errno of the last listing of the folder, 0 when it was read whole.
    [[nodiscard]] int listError() const { return m_listError; }
    // Every name the folder held when the items were listed, with the listing's times; null
    // for a large folder or one not read whole.
    [[nodiscard]] std::shared_ptr<const ListedNames> listedNames() const { return m_listedNames; }

    [[nodiscard]] int count() const override { return int(m_items.size()); }
    // The name as the folder holds it.
    [[nodiscard]] std::string_view itemBytes(int index) const override;
    [[nodiscard]] std::shared_ptr<const std::string> nameBuffer() const override { return m_names; }
    // The name as text for the rules, read as platform::readFileName() reads it.
    [[nodiscard]] QString item(int index) const;
    // The name as the user reads it.
    [[nodiscard]] QString displayText(int index) const;
    // Whether the name is stored in GBK (code page 936) rather than UTF-8.
    [[nodiscard]] bool storedInGbk(int index) const;
    // The attributes as listed; ReadOnly only while the switches make it matter (not both
    // 常规 and 只读 on).
    [[nodiscard]] std::uint8_t itemAttributes(int index) const;

    [[nodiscard]] bool isSelected(int index) const override;
    void setSelected(int index, bool on);
    // One operation on the whole selection, not a walk over the items.
    void setAllSelected(bool on);
    void invertSelection();
    // Selects exactly the items of these names, in one pass over the list and one change of the
    // view's selection, however many names there are; the index of the first one, or -1.
    int selectExactly(const std::vector<QByteArray>& names);
    [[nodiscard]] int selectedCount() const;

    [[nodiscard]] QItemSelectionModel* selectionModel() { return &m_selectionModel; }

    // Runs job, a listing of folder, and returns whether it finished; the window's runner runs it
    // on a thread of its own while the window goes on drawing, and gives it up when the disk
    // does not answer. Reading and sorting a folder of a million files takes seconds; the model
    // changes only on the calling thread, afterwards, and not at all when the job was given up.
    using AsideRunner = std::function<bool(const QByteArray& folder, const platform::AsideJob::Job& job)>;
    void setAsideRunner(AsideRunner runner) { m_runAside = std::move(runner); }

    // A second column whose cells another part of the program fills (the new names a rule would
    // give): rows and selection stay the list's own, cells(row, role) gives a cell's data. Set
    // before a view shows the model.
    using ColumnCells = std::function<QVariant(int row, int role)>;
    void setSecondColumn(const QString& header, ColumnCells cells);
    // The second column's cells of rows first to last (all for -1) are to be asked again.
    void secondColumnChanged(int first = 0, int last = -1);

    // The item of row, in the first column.
    using QAbstractTableModel::index;
    [[nodiscard]] QModelIndex index(int row) const { return QAbstractTableModel::index(row, 0); }
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    bool rebuild(const ListingRequest& request);
    // The selection of the items shown now carried over to items, by name.
    [[nodiscard]] std::vector<std::uint8_t> selectionFor(const std::string& names,
                                                         const std::vector<Entry>& items) const;
    void pushSelectionToView();
    // Rows first to last, every column.
    [[nodiscard]] QItemSelection rowsSelection(int first, int last) const;
    void takeSelectionFromView(const QItemSelection& selected, const QItemSelection& deselected);

    const platform::FileSystem& m_fs;
    QByteArray m_folder;
    NamePattern m_pattern;
    std::array<bool, 4> m_switches{true, true, false, false};
    int m_listError = 0;
    platform::FolderIdentity m_identity;
    std::shared_ptr<const ListedNames> m_listedNames;

    // Shared with the plans made from the list, which keep it while they live.
    std::shared_ptr<const std::string> m_names = std::make_shared<const std::string>();
    std::vector<Entry> m_items;
    std::vector<std::uint8_t> m_selected;

    QString m_secondHeader;
    ColumnCells m_secondColumn;

    QItemSelectionModel m_selectionModel;
    bool m_pushingSelection = false;
    AsideRunner m_runAside = [](const QByteArray&, const platform::AsideJob::Job& job) {
        platform::JobControl control;
        job(control);
        return true;
    };
};

} // namespace filelist
