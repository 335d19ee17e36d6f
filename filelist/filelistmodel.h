#pragma once

#include "filelist/pattern.h"
#include "filelist/renameplan.h"
#include "platform/filesystem.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QItemSelectionModel>

#include <array>
#include <cstdint>
#include <functional>
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
class FileListModel final : public QAbstractListModel, public RenameSource {
    Q_OBJECT

public:
    explicit FileListModel(const platform::FileSystem& fs, QObject* parent = nullptr);

    // Each setter stores its value and rebuilds the items at once. Another folder starts with
    // nothing selected; the same folder keeps the selection by name.
    void setFolder(const QByteArray& folder);
    void setPattern(const QString& pattern);
    void setSwitch(Switch which, bool on);
    // Re-reads the folder with the current pattern and switches. Items whose names are still
    // listed keep their selection.
    void refresh() override;

    [[nodiscard]] const QByteArray& folder() const override { return m_folder; }
    [[nodiscard]] platform::FolderIdentity folderIdentity() const override { return m_identity; }
    [[nodiscard]] const QString& pattern() const { return m_pattern.text(); }
    [[nodiscard]] bool switchOn(Switch which) const { return m_switches[std::size_t(which)]; }
    // errno of the last listing of the folder, 0 when it was read whole.
    [[nodiscard]] int listError() const { return m_listError; }

    [[nodiscard]] int count() const override { return int(m_items.size()); }
    // The name as the folder holds it.
    [[nodiscard]] std::string_view itemBytes(int index) const override;
    // The name as text for the rules, read as platform::readFileName() reads it.
    [[nodiscard]] QString item(int index) const;
    // The name as the user reads it.
    [[nodiscard]] QString displayText(int index) const;
    [[nodiscard]] std::uint8_t itemAttributes(int index) const;

    [[nodiscard]] bool isSelected(int index) const override;
    void setSelected(int index, bool on);
    // One operation on the whole selection, not a walk over the items.
    void setAllSelected(bool on);
    void invertSelection();
    [[nodiscard]] int selectedCount() const;

    [[nodiscard]] QItemSelectionModel* selectionModel() { return &m_selectionModel; }

    // Runs a job and returns when it is done; the window's runner does it on another thread
    // while the window goes on drawing. Reading and sorting a folder of a million files takes
    // seconds, and runs this way; the model changes only on the calling thread, afterwards.
    using AsideRunner = std::function<void(const std::function<void()>& job)>;
    void setAsideRunner(AsideRunner runner) { m_runAside = std::move(runner); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    struct Entry {
        std::uint32_t offset;
        std::uint16_t size;
        std::uint8_t attributes;
    };

    // The items of the folder as they are now, with the selection carried over by name.
    struct Rebuilt {
        std::string names;
        std::vector<Entry> items;
        std::vector<std::uint8_t> selected;
        int error = 0;
        platform::FolderIdentity identity;
    };
    [[nodiscard]] Rebuilt collect() const;
    void rebuild();
    [[nodiscard]] bool admits(std::uint8_t attributes) const;
    void pushSelectionToView();
    void takeSelectionFromView(const QItemSelection& selected, const QItemSelection& deselected);

    const platform::FileSystem& m_fs;
    QByteArray m_folder;
    NamePattern m_pattern;
    std::array<bool, 4> m_switches{true, true, false, false};
    int m_listError = 0;
    platform::FolderIdentity m_identity;

    std::string m_names;
    std::vector<Entry> m_items;
    std::vector<std::uint8_t> m_selected;

    QItemSelectionModel m_selectionModel;
    bool m_pushingSelection = false;
    AsideRunner m_runAside = [](const std::function<void()>& job) { job(); };
};

} // namespace filelist
