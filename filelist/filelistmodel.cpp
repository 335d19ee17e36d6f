#include "filelist/filelistmodel.h"

#include "filelist/naturalorder.h"
#include "platform/filename.h"
#include "platform/memory.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>
#include <string_view>
#include <unordered_set>

namespace filelist {

FileListModel::FileListModel(const platform::FileSystem& fs, QObject* parent)
    : QAbstractTableModel(parent), m_fs(fs), m_selectionModel(this)
{
    connect(&m_selectionModel, &QItemSelectionModel::selectionChanged, this,
            &FileListModel::takeSelectionFromView);
}

namespace {

bool admits(std::uint8_t attributes, const std::array<bool, 4>& switches)
{
    using namespace platform;
    const auto on = [&switches](Switch which) { return switches[std::size_t(which)]; };
    if (attributes == NoAttributes)
        return on(Switch::Normal);
    // A file of several classes is listed only while every one of them is switched on.
    if ((attributes & ReadOnly) && !on(Switch::ReadOnly))
        return false;
    if ((attributes & Hidden) && !on(Switch::Hidden))
        return false;
    if ((attributes & System) && !on(Switch::System))
        return false;
    return true;
}

} // namespace

bool FileListModel::setFolder(const QByteArray& folder)
{
    ListingRequest next = request();
    next.folder = folder;
    return rebuild(next);
}

bool FileListModel::setPattern(const QString& pattern)
{
    ListingRequest next = request();
    next.pattern = NamePattern(pattern);
    return rebuild(next);
}

bool FileListModel::setSwitch(Switch which, bool on)
{
    ListingRequest next = request();
    next.switches[std::size_t(which)] = on;
    return rebuild(next);
}

void FileListModel::refresh()
{
    rebuild(request());
}

FileListModel::ListingRequest FileListModel::request() const
{
    return {m_folder, m_pattern, m_switches, m_items.size(), m_names->size(), true, true};
}

FileListModel::Listing FileListModel::list(const platform::FileSystem& fs, const ListingRequest& request)
{
    std::string names;
    // Sorting compares the short prefixes kept here, each next to its entry in memory; only
    // names whose prefixes are equal are read again from the shared buffer.
    struct SortKey {
        std::array<std::uint64_t, 2> prefix;
        Entry entry;
    };
    std::vector<SortKey> keys;
    // Room made at once is touched only as it fills, and spares the copies of growing: room
    // for as many as the last reading found, or for a fair-sized folder.
    constexpr std::size_t kRoomFor = 65536;
    names.reserve(std::max<std::size_t>(request.expectedBytes, kRoomFor * 24));
    keys.reserve(std::max<std::size_t>(request.expectedItems, kRoomFor));
    int error = 0;
    platform::FolderIdentity identity;
    ListedNames allNames;
    bool keepingAll = request.keepAllNames;
    if (!request.folder.isEmpty()) {
        // Taken before the folder's time is read: see listingStillTrue().
        const std::int64_t started = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                         std::chrono::system_clock::now().time_since_epoch())
                                         .count();
        const auto opened = fs.openFolder(request.folder);
        identity = opened->identity();
        if (request.keepForLater)
            allNames.setTimes(started, opened->modifiedTime());
        // With both switches on, a read-only file is listed as any other: no file need be looked
        // at for its mode, which is most of the listing's work in a large folder.
        const bool readOnlyDecides = !request.switches[std::size_t(Switch::Normal)]
            || !request.switches[std::size_t(Switch::ReadOnly)];
        const auto detail = readOnlyDecides ? platform::ListDetail::Everything : platform::ListDetail::WithoutReadOnly;
        const auto status = fs.listFolder(request.folder, [&](const platform::DirEntry& e) {
            if (keepingAll) {
                if (request.keepForLater && allNames.size() >= kKeptNamesUpTo) {
                    keepingAll = false;
                    allNames = {};
                } else {
                    allNames.add(e.name);
                }
            }
            if (e.kind != platform::EntryKind::File || !admits(e.attributes, request.switches))
                return;
            const std::string_view name(e.name.data(), std::size_t(e.name.size()));
            if (!request.pattern.matches(name))
                return;
            if (names.size() + name.size() > std::numeric_limits<std::uint32_t>::max()
                || name.size() > std::numeric_limits<std::uint16_t>::max()) {
                error = ENOMEM;
                return;
            }
            keys.push_back({naturalSortPrefix(name), {std::uint32_t(names.size()), std::uint16_t(name.size()), e.attributes}});
            names.append(name);
        }, detail);
        if (!status.ok())
            error = status.error;
    }
    if (error != 0)
        allNames = {}; // not every name was read

    const char* base = names.data();
    auto nameOf = [base](const Entry& e) { return std::string_view(base + e.offset, e.size); };
    std::sort(keys.begin(), keys.end(), [&](const SortKey& x, const SortKey& y) {
        if (x.prefix != y.prefix)
            return x.prefix < y.prefix;
        return naturalLess(nameOf(x.entry), nameOf(y.entry));
    });
    std::vector<Entry> items;
    items.reserve(keys.size());
    for (const SortKey& key : keys)
        items.push_back(key.entry);
    return {std::move(names), std::move(items), error, identity, std::move(allNames)};
}

std::vector<std::uint8_t> FileListModel::selectionFor(const std::string& names,
                                                      const std::vector<Entry>& items) const
{
    std::vector<std::uint8_t> selected(items.size(), 0);
    if (std::find(m_selected.begin(), m_selected.end(), std::uint8_t(1)) == m_selected.end())
        return selected;
    // Both lists are in the same total order, so one merge walk carries the selection over.
    std::size_t oldIndex = 0;
    for (std::size_t i = 0; i < items.size() && oldIndex < m_items.size(); ++i) {
        const std::string_view name(names.data() + items[i].offset, items[i].size);
        while (oldIndex < m_items.size() && naturalLess(itemBytes(int(oldIndex)), name))
            ++oldIndex;
        if (oldIndex < m_items.size() && itemBytes(int(oldIndex)) == name)
            selected[i] = m_selected[oldIndex];
    }
    return selected;
}

void FileListModel::show(const ListingRequest& request, Listing listing)
{
    // The selection names files of one folder: carried into another it would pick files there
    // the user never chose.
    std::vector<std::uint8_t> selected = request.folder == m_folder
        ? selectionFor(listing.names, listing.items)
        : std::vector<std::uint8_t>(listing.items.size(), 0);
    beginResetModel();
    m_folder = request.folder;
    m_pattern = request.pattern;
    m_switches = request.switches;
    m_names = std::make_shared<const std::string>(std::move(listing.names));
    m_items = std::move(listing.items);
    m_selected = std::move(selected);
    m_listError = listing.error;
    m_identity = listing.identity;
    m_listedNames = listing.allNames.hasTimes() ? std::make_shared<const ListedNames>(std::move(listing.allNames)) : nullptr;
    endResetModel();
    platform::releaseFreeMemory(); // the former list, large for a large folder
    pushSelectionToView();
}

bool FileListModel::rebuild(const ListingRequest& request)
{
    // The job owns copies of all it reads and leaves its result in state of its own: given up,
    // it may still be running long after this model has changed or gone.
    auto listing = std::make_shared<Listing>();
    const platform::FileSystem* fs = &m_fs;
    const auto job = [fs, request, listing](platform::JobControl&) { *listing = list(*fs, request); };
    if (request.folder.isEmpty()) {
        platform::JobControl control;
        job(control);
    } else if (!m_runAside(request.folder, job)) {
        return false;
    }
    show(request, std::move(*listing));
    return true;
}

std::string_view FileListModel::itemBytes(int index) const
{
    if (index < 0 || index >= count())
        return {};
    const Entry& e = m_items[std::size_t(index)];
    return {m_names->data() + e.offset, e.size};
}

QString FileListModel::item(int index) const
{
    const auto bytes = itemBytes(index);
    return platform::readFileName(QByteArrayView(bytes.data(), qsizetype(bytes.size()))).text;
}

bool FileListModel::storedInGbk(int index) const
{
    const auto bytes = itemBytes(index);
    return platform::readFileName(QByteArrayView(bytes.data(), qsizetype(bytes.size()))).encoding
        == platform::NameEncoding::Gbk;
}

QString FileListModel::displayText(int index) const
{
    const auto bytes = itemBytes(index);
    return platform::readableFileName(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

std::uint8_t FileListModel::itemAttributes(int index) const
{
    return (index >= 0 && index < count()) ? m_items[std::size_t(index)].attributes : 0;
}

bool FileListModel::isSelected(int index) const
{
    return index >= 0 && index < count() && m_selected[std::size_t(index)] != 0;
}

void FileListModel::setSelected(int index, bool on)
{
    if (index < 0 || index >= count())
        return;
    m_selected[std::size_t(index)] = on ? 1 : 0;
    m_pushingSelection = true;
    m_selectionModel.select(rowsSelection(index, index),
                            on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
    m_pushingSelection = false;
}

void FileListModel::setAllSelected(bool on)
{
    std::fill(m_selected.begin(), m_selected.end(), on ? 1 : 0);
    m_pushingSelection = true;
    if (on && !m_items.empty())
        m_selectionModel.select(rowsSelection(0, count() - 1),
                                QItemSelectionModel::ClearAndSelect);
    else
        m_selectionModel.clearSelection();
    m_pushingSelection = false;
}

void FileListModel::invertSelection()
{
    const int n = count();
    for (int i = 0; i < n; ++i)
        m_selected[std::size_t(i)] = m_selected[std::size_t(i)] ? 0 : 1;
    pushSelectionToView();
}

int FileListModel::selectExactly(const std::vector<QByteArray>& names)
{
    std::unordered_set<std::string_view> wanted;
    wanted.reserve(names.size());
    for (const QByteArray& name : names)
        wanted.insert(std::string_view(name.constData(), std::size_t(name.size())));
    int first = -1;
    const int n = count();
    for (int i = 0; i < n; ++i) {
        const bool on = wanted.count(itemBytes(i)) != 0;
        m_selected[std::size_t(i)] = on ? 1 : 0;
        if (on && first < 0)
            first = i;
    }
    pushSelectionToView();
    return first;
}

int FileListModel::selectedCount() const
{
    return int(std::count(m_selected.begin(), m_selected.end(), std::uint8_t(1)));
}

void FileListModel::pushSelectionToView()
{
    // One range per run of selected items keeps the view's selection small.
    QItemSelection selection;
    const int n = count();
    for (int i = 0; i < n;) {
        if (!m_selected[std::size_t(i)]) {
            ++i;
            continue;
        }
        int last = i;
        while (last + 1 < n && m_selected[std::size_t(last + 1)])
            ++last;
        selection.select(index(i, 0), index(last, columnCount() - 1));
        i = last + 1;
    }
    // Clearing first and then selecting keeps the selection model from comparing the old and
    // the new ranges pairwise, which takes minutes for a selection of many thousand pieces.
    m_pushingSelection = true;
    m_selectionModel.clearSelection();
    if (!selection.isEmpty())
        m_selectionModel.select(selection, QItemSelectionModel::Select);
    m_pushingSelection = false;
}

void FileListModel::takeSelectionFromView(const QItemSelection& selected,
                                          const QItemSelection& deselected)
{
    if (m_pushingSelection)
        return;
    for (const QItemSelectionRange& range : deselected) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            m_selected[std::size_t(row)] = 0;
    }
    for (const QItemSelectionRange& range : selected) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            m_selected[std::size_t(row)] = 1;
    }
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : (m_secondColumn ? 2 : 1);
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    if (index.column() == 1)
        return m_secondColumn ? m_secondColumn(index.row(), role) : QVariant();
    if (role == Qt::DisplayRole)
        return displayText(index.row());
    // For those who can't see the tooltip that marks them.
    if (role == Qt::AccessibleDescriptionRole && storedInGbk(index.row()))
        return QStringLiteral("文件名是用 GBK 编码存的");
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == 0)
        return QStringLiteral("文件名");
    return section == 1 ? QVariant(m_secondHeader) : QVariant();
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemNeverHasChildren;
}

void FileListModel::setSecondColumn(const QString& header, ColumnCells cells)
{
    m_secondHeader = header;
    m_secondColumn = std::move(cells);
}

void FileListModel::secondColumnChanged(int first, int last)
{
    if (!m_secondColumn || count() == 0)
        return;
    if (last < 0 || last >= count())
        last = count() - 1;
    if (first <= last)
        Q_EMIT dataChanged(QAbstractTableModel::index(first, 1), QAbstractTableModel::index(last, 1));
}

QItemSelection FileListModel::rowsSelection(int first, int last) const
{
    return QItemSelection(index(first, 0), index(last, columnCount() - 1));
}

} // namespace filelist
