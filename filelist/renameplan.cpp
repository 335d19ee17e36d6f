#include "filelist/renameplan.h"

#include "filelist/foldernames.h"
#include "platform/filename.h"

#include <QList>

#include <algorithm>
#include <limits>
#include <new>
#include <optional>

namespace filelist {

namespace {

// New names longer than this are no file name anyway; only their start is kept, for showing.
constexpr qsizetype kMaxStoredBytes = 1024;

QString readable(QByteArrayView bytes)
{
    return platform::readableFileName(bytes);
}

PlanReason holderReason(platform::Holder holder)
{
    switch (holder) {
    case platform::Holder::File: return PlanReason::HeldByFile;
    case platform::Holder::HiddenFile: return PlanReason::HeldByHiddenFile;
    case platform::Holder::SystemFile: return PlanReason::HeldBySystemFile;
    case platform::Holder::Folder: return PlanReason::HeldByFolder;
    default: return PlanReason::HeldByUnknown;
    }
}

} // namespace

PlanReason checkFileName(QByteArrayView name, const platform::NameLimits& limits)
{
    if (name.isEmpty())
        return PlanReason::EmptyName;
    if (name == "." || name == "..")
        return PlanReason::DotName;
    if (name.contains('/'))
        return PlanReason::Slash;
    if (name.contains('\0'))
        return PlanReason::Nul;
    if (name.size() > kMaxNameBytes)
        return PlanReason::TooLong;
    if (limits.windowsNames) {
        for (const char c : name) {
            if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\:*?\"<>|").find(c) != std::string_view::npos)
                return PlanReason::WindowsCharacter;
        }
        if (name.endsWith('.') || name.endsWith(' '))
            return PlanReason::WindowsEnding;
    }
    if (limits.plainAsciiOnly) {
        const bool unsafe = name.startsWith('.') || name.startsWith(' ') || name.contains('~')
            || std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        if (unsafe)
            return PlanReason::DriverUnsafe;
    }
    return PlanReason::None;
}

QByteArrayView RenamePlan::oldName(qsizetype i) const
{
    const std::string_view bytes = oldBytes(m_items[std::size_t(i)]);
    return {bytes.data(), qsizetype(bytes.size())};
}

QByteArrayView RenamePlan::newName(qsizetype i) const
{
    const std::string_view bytes = newBytes(m_items[std::size_t(i)]);
    return {bytes.data(), qsizetype(bytes.size())};
}

QString RenamePlan::oldText(qsizetype i) const
{
    return readable(oldName(i));
}

QString RenamePlan::newText(qsizetype i) const
{
    return readable(newName(i));
}

QString RenamePlan::reasonText(qsizetype i) const
{
    const Item& item = m_items[std::size_t(i)];
    const QString other = item.other >= 0 ? oldText(item.other) : QString();
    switch (item.reason) {
    case PlanReason::None: return {};
    case PlanReason::RuleRefused:
    case PlanReason::RuleNote: return m_ruleReasons[item.ruleReason];
    case PlanReason::NotEncodable: return QStringLiteral("新文件名含有无法写入磁盘的字符");
    case PlanReason::NotInGbk:
        return QStringLiteral("原文件名是 GBK 编码的，新文件名含有 GBK 编码无法表示的字符");
    case PlanReason::ReadsAsUtf8:
        return QStringLiteral("原文件名是 GBK 编码的，新文件名的 GBK 编码恰好也能读成 UTF-8，改名后会显示成“%1”，"
                              "所以没有改名")
            .arg(readable(platform::writeFileName(newText(i), platform::NameEncoding::Gbk).value_or(QByteArray())));
    case PlanReason::ReadsOtherwise:
        return QStringLiteral("新文件名写到磁盘上以后会被读成“%1”，与改名规则给出的名字不同，所以没有改名").arg(newText(i));
    case PlanReason::EmptyName: return QStringLiteral("新文件名为空");
    case PlanReason::DotName: return QStringLiteral("文件名不能是“.”或“..”");
    case PlanReason::Slash: return QStringLiteral("文件名不能含有“/”");
    case PlanReason::Nul: return QStringLiteral("文件名不能含有空字符");
    case PlanReason::TooLong: return QStringLiteral("文件名太长（超过 255 字节）");
    case PlanReason::WindowsCharacter:
        return QStringLiteral("这个磁盘是 Windows 格式，文件名不能含有 \\ : * ? \" < > | 和控制字符");
    case PlanReason::WindowsEnding:
        return QStringLiteral("这个磁盘是 Windows 格式，文件名不能以“.”或空格结尾");
    case PlanReason::DriverUnsafe: {
        QString text = QStringLiteral("这个磁盘的驱动程序（fusefat）只能安全地写入由英文字母、数字和常见符号组成、"
                                      "不含“~”、不以“.”或空格开头的文件名");
        const QList<uint> characters = newText(i).toUcs4();
        if (std::any_of(characters.begin(), characters.end(), [](uint c) { return QChar::script(c) == QChar::Script_Han; }))
            text += QStringLiteral("；中文文件名请先用“汉字转拼音”改成拼音");
        return text;
    }
    case PlanReason::SameName: return QStringLiteral("新文件名与原文件名相同");
    case PlanReason::HeldByFile: return QStringLiteral("已有同名的文件");
    case PlanReason::HeldByHiddenFile: return QStringLiteral("已有同名的隐藏文件");
    case PlanReason::HeldBySystemFile: return QStringLiteral("已有同名的特殊文件（管道、设备或失效的链接）");
    case PlanReason::HeldByFolder: return QStringLiteral("已有同名的文件夹");
    case PlanReason::HeldByUnknown: return QStringLiteral("无法确认新文件名是否已被占用");
    case PlanReason::HeldByStayingFile: return QStringLiteral("新文件名被“%1”占用，而它不改名").arg(other);
    case PlanReason::HeldWithItsGroup: return QStringLiteral("同名的“%1”不能改名，它们一起留下").arg(other);
    case PlanReason::WantedByEarlier: return QStringLiteral("排在前面的“%1”也要改成这个名字").arg(other);
    case PlanReason::Gone: return QStringLiteral("找不到这个文件了，可能已被移动或删除");
    }
    return {};
}

bool RenamePlan::hasExistenceMessage(qsizetype i) const
{
    const Item& item = m_items[std::size_t(i)];
    if (!item.existenceTest || item.state != PlanState::Taken)
        return false;
    switch (item.reason) {
    case PlanReason::SameName:
    case PlanReason::HeldByFile:
    case PlanReason::HeldByStayingFile:
    case PlanReason::WantedByEarlier: return true;
    default: return false;
    }
}

void RenamePlan::reserve(qsizetype files, qsizetype nameBytes, bool returns)
{
    m_items.reserve(std::size_t(files));
    if (returns)
        m_expected.reserve(std::size_t(files));
    m_names.reserve(std::size_t(nameBytes));
}

std::uint32_t RenamePlan::store(QByteArrayView bytes)
{
    if (m_names.size() + std::size_t(bytes.size()) > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    const auto offset = std::uint32_t(m_names.size());
    m_names.append(bytes.data(), std::size_t(bytes.size()));
    return offset;
}

void RenamePlan::add(QByteArrayView oldName, const RenameDecision& decision, platform::NameEncoding storedIn)
{
    const platform::NameEncoding encoding = decision.utf8 ? platform::NameEncoding::Utf8 : storedIn;
    Item item;
    if (m_shared && oldName.data() >= m_shared->data()
        && oldName.data() + oldName.size() <= m_shared->data() + m_shared->size()) {
        item.oldOffset = std::uint32_t(oldName.data() - m_shared->data());
        item.oldShared = true;
    } else {
        item.oldOffset = store(oldName);
    }
    item.oldSize = std::uint32_t(oldName.size());
    item.existenceTest = decision.leaveIfNameTaken;
    if (decision.action == RenameDecision::Action::Leave) {
        item.state = PlanState::Unchanged;
        item.newOffset = item.oldOffset;
        item.newShared = item.oldShared;
        item.newSize = item.oldSize;
        m_items.push_back(item);
        return;
    }
    QByteArray bytes;
    if (const auto encoded = platform::writeFileName(decision.newName, encoding)) {
        bytes = *encoded;
        // Names are read as UTF-8 whenever their bytes are valid UTF-8. Some GBK characters are
        // byte pairs that are valid UTF-8 too (小 is D0 A1, which reads as С), and stray bytes can
        // join into a character: such a name would be listed, and read by every rule, as other
        // text than the rule gave. Only these two kinds of names can read back otherwise.
        if ((encoding == platform::NameEncoding::Gbk || platform::hasEscapedBytes(decision.newName))
            && platform::readFileName(*encoded).text != decision.newName) {
            item.state = PlanState::Invalid;
            item.reason = encoding == platform::NameEncoding::Gbk ? PlanReason::ReadsAsUtf8 : PlanReason::ReadsOtherwise;
            // Kept as the text the rule gave, for showing: such a name is never written.
            if (item.reason == PlanReason::ReadsAsUtf8)
                bytes = decision.newName.toUtf8();
        }
    } else {
        bytes = decision.newName.toUtf8();
        item.state = PlanState::Invalid;
        item.reason = encoding == platform::NameEncoding::Gbk ? PlanReason::NotInGbk : PlanReason::NotEncodable;
    }
    if (bytes.size() > kMaxStoredBytes) {
        bytes.truncate(kMaxStoredBytes);
        if (item.reason == PlanReason::None) {
            item.state = PlanState::Invalid;
            item.reason = PlanReason::TooLong;
        }
    }
    if (decision.action == RenameDecision::Action::Rename && !decision.reason.isEmpty()
        && item.reason == PlanReason::None) {
        item.reason = PlanReason::RuleNote;
        const auto known = std::find(m_ruleReasons.begin(), m_ruleReasons.end(), decision.reason);
        item.ruleReason = std::uint16_t(known - m_ruleReasons.begin());
        if (known == m_ruleReasons.end())
            m_ruleReasons.push_back(decision.reason);
    }
    if (decision.action == RenameDecision::Action::Refuse) {
        item.state = PlanState::Invalid;
        item.reason = PlanReason::RuleRefused;
        const auto known = std::find(m_ruleReasons.begin(), m_ruleReasons.end(), decision.reason);
        item.ruleReason = std::uint16_t(known - m_ruleReasons.begin());
        if (known == m_ruleReasons.end())
            m_ruleReasons.push_back(decision.reason);
    }
    // A name the rule leaves as it was is kept once.
    const bool same = QByteArrayView(bytes) == oldName;
    item.newOffset = same ? item.oldOffset : store(bytes);
    item.newShared = same && item.oldShared;
    item.newSize = std::uint32_t(bytes.size());
    m_items.push_back(item);
}

void RenamePlan::append(const RenamePlan& part)
{
    if (m_names.size() + part.m_names.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    const auto base = std::uint32_t(m_names.size());
    m_names.append(part.m_names);
    m_items.reserve(m_items.size() + part.m_items.size());
    const bool sameShared = m_shared == part.m_shared;
    for (Item item : part.m_items) {
        // Places in a buffer both parts share stay as they are; the part's own names moved with
        // them, and a name in a buffer this plan doesn't share is copied.
        const auto moved = [&](std::uint32_t& offset, bool& shared, std::uint32_t size) {
            if (!shared)
                offset += base;
            else if (!sameShared) {
                offset = store(QByteArrayView(part.m_shared->data() + offset, qsizetype(size)));
                shared = false;
            }
        };
        bool oldShared = item.oldShared;
        bool newShared = item.newShared;
        moved(item.oldOffset, oldShared, item.oldSize);
        moved(item.newOffset, newShared, item.newSize);
        item.oldShared = oldShared;
        item.newShared = newShared;
        if (item.reason == PlanReason::RuleRefused || item.reason == PlanReason::RuleNote) {
            const QString& words = part.m_ruleReasons[item.ruleReason];
            const auto known = std::find(m_ruleReasons.begin(), m_ruleReasons.end(), words);
            item.ruleReason = std::uint16_t(known - m_ruleReasons.begin());
            if (known == m_ruleReasons.end())
                m_ruleReasons.push_back(words);
        }
        m_items.push_back(item);
    }
}

void RenamePlan::addReturn(QByteArrayView oldName, QByteArrayView newName, const platform::FileIdentity& identity)
{
    m_expected.resize(m_items.size());
    m_expected.push_back(identity);
    Item item;
    item.oldOffset = store(oldName);
    item.oldSize = std::uint32_t(oldName.size());
    item.newOffset = store(newName);
    item.newSize = std::uint32_t(newName.size());
    item.mustExist = true;
    m_items.push_back(item);
}

void RenamePlan::setProblem(Item& item, PlanState state, PlanReason reason, std::int32_t other)
{
    item.state = state;
    item.reason = reason;
    item.other = other;
    item.blocker = -1;
    item.viaTemporary = false;
}

void RenamePlan::requireFolder(const platform::FileSystem& fs, const platform::FolderIdentity& identity)
{
    m_opened = fs.openFolder(m_folder);
    const QString folder = readable(m_folder);
    if (const int error = m_opened->openError(); error != 0)
        m_refusal = QStringLiteral("无法打开文件夹“%1”：%2。").arg(folder, platform::describeError(error));
    else if (const auto now = m_opened->identity(); now != identity) {
        m_limits = fs.nameLimitsOf(m_folder);
        m_limitsKnown = true;
        if (!identity.sameFolderAs(now, m_limits.stableInodes))
            m_refusal = QStringLiteral("文件夹“%1”在列出文件之后被移动或换成了另一个文件夹，所以没有改名。请刷新后再试。").arg(folder);
    }
    if (!m_refusal.isEmpty()) {
        // A refused plan is never run, and holds no file that could be shown as if it were.
        m_items = {};
        m_names = {};
        m_shared = {};
        m_ruleReasons = {};
    }
}

void RenamePlan::settle(const platform::FileSystem& fs, const Progress& progress, qsizetype folderSizeHint,
                        const ListedNames* listed)
{
    if (!m_opened)
        m_opened = fs.openFolder(m_folder);
    if (!m_limitsKnown)
        m_limits = fs.nameLimitsOf(m_folder);
    const platform::NameLimits& limits = m_limits;
    platform::NameLimits heldBefore = limits;
    heldBefore.windowsNames = false;
    // Reading every name costs about a sixth of looking one up, per name of the folder.
    const auto asked = std::count_if(m_items.begin(), m_items.end(),
                                     [](const Item& item) { return item.mustExist || item.state == PlanState::Rename; });
    const bool readAll = folderSizeHint >= 0 ? qsizetype(asked) * 6 > folderSizeHint : asked > 2000;
    // Reading a large folder and indexing its names take a while before the first file is
    // looked at; the callback hears of it all the same, so the window stays alive.
    const auto tick = [&] {
        if (progress && !progress(0, qsizetype(m_items.size())))
            m_stopped = true;
    };
    // A listing holds the names as the folder spells them: where letter case is ignored they
    // are read again, folded. They are read only when a file asks: a plan in which no file
    // changes its name needs none of them.
    std::optional<FolderNames> folderNames;
    const auto names = [&]() -> const FolderNames& {
        if (!folderNames) {
            if (listed && !limits.windowsNames && listed->stillTrue(*m_opened, limits))
                folderNames.emplace(*m_opened, *listed);
            else
                folderNames.emplace(*m_opened, limits.windowsNames, readAll, tick);
        }
        return *folderNames;
    };
    for (Item& item : m_items) {
        const std::string_view oldView = this->oldBytes(item);
        const QByteArrayView oldBytes(oldView.data(), qsizetype(oldView.size()));
        if (item.mustExist) {
            const QByteArray folded = limits.windowsNames ? platform::caseFoldedName(oldBytes) : QByteArray();
            const QByteArrayView key = limits.windowsNames ? QByteArrayView(folded) : oldBytes;
            const bool exists = names().exists(oldBytes, std::string_view(key.data(), std::size_t(key.size())));
            if (m_stopped)
                return;
            if (!exists) {
                setProblem(item, PlanState::Invalid, PlanReason::Gone);
                continue;
            }
        }
        if (item.state != PlanState::Rename)
            continue;
        const std::string_view newView = this->newBytes(item);
        const QByteArrayView newBytes(newView.data(), qsizetype(newView.size()));
        // A name to be given back was held on this very volume: a Windows-family file system
        // mounted case-sensitively by Linux holds names with ":" or a trailing space, and only
        // what no file here can have at all refuses it. The driver's own limits still hold.
        if (const PlanReason why = checkFileName(newBytes, item.mustExist ? heldBefore : limits); why != PlanReason::None)
            setProblem(item, PlanState::Invalid, why);
        else if (newBytes == oldBytes)
            setProblem(item, item.existenceTest ? PlanState::Taken : PlanState::Unchanged,
                       item.existenceTest ? PlanReason::SameName : PlanReason::None);
    }
    if (std::any_of(m_items.begin(), m_items.end(), [](const Item& item) { return item.state == PlanState::Rename; })) {
        const FolderNames& held = names();
        if (m_stopped)
            return;
        findHolders(held, limits, progress, tick);
        if (m_stopped)
            return;
        blockBehindStayingFiles();
        holdGroupsTogether();
    } else if (progress) {
        progress(qsizetype(m_items.size()), qsizetype(m_items.size()));
    }
    m_counts = {};
    for (const Item& item : m_items)
        ++m_counts[std::size_t(item.state)];
}

void RenamePlan::findHolders(const FolderNames& names, const platform::NameLimits& limits, const Progress& progress,
                             const std::function<void()>& tick)
{
    const auto n = std::int32_t(m_items.size());
    // File systems of the Windows family ignore letter case: names are compared folded there.
    std::string folded;
    std::vector<std::array<std::uint32_t, 4>> foldedAt; // old offset, old size, new offset, new size
    if (limits.windowsNames) {
        foldedAt.reserve(m_items.size());
        for (std::int32_t i = 0; i < n; ++i) {
            const QByteArray o = platform::caseFoldedName(oldName(i));
            const QByteArray w = platform::caseFoldedName(newName(i));
            const auto at = std::uint32_t(folded.size());
            folded.append(o.constData(), std::size_t(o.size()));
            folded.append(w.constData(), std::size_t(w.size()));
            foldedAt.push_back({at, std::uint32_t(o.size()), at + std::uint32_t(o.size()), std::uint32_t(w.size())});
        }
    }
    auto oldKey = [&](std::int32_t i) {
        if (limits.windowsNames)
            return std::string_view(folded.data() + foldedAt[std::size_t(i)][0], foldedAt[std::size_t(i)][1]);
        return oldBytes(m_items[std::size_t(i)]);
    };
    auto newKey = [&](std::int32_t i) {
        if (limits.windowsNames)
            return std::string_view(folded.data() + foldedAt[std::size_t(i)][2], foldedAt[std::size_t(i)][3]);
        return newBytes(m_items[std::size_t(i)]);
    };

    // Every file of the run holds its name until it moves, whatever its state.
    NameIndex oldNames(m_items.size(), oldKey);
    for (std::int32_t i = 0; i < n; ++i) {
        if (m_items[std::size_t(i)].reason != PlanReason::Gone)
            oldNames.insert(i);
        if (i % 8192 == 8191)
            tick();
    }
    // Of the files wanting one name, the first in list order gets it.
    NameIndex newNames(m_items.size(), newKey);
    for (std::int32_t i = 0; i < n; ++i) {
        if (i % 8192 == 8191)
            tick();
        Item& item = m_items[std::size_t(i)];
        if (item.state != PlanState::Rename)
            continue;
        if (const std::int32_t first = newNames.insert(i); first != i)
            setProblem(item, PlanState::Taken, PlanReason::WantedByEarlier, first);
    }

    for (std::int32_t i = 0; i < n; ++i) {
        if (progress && !progress(i, n)) {
            m_stopped = true;
            return;
        }
        Item& item = m_items[std::size_t(i)];
        if (item.state != PlanState::Rename)
            continue;
        const std::int32_t holder = oldNames.find(newKey(i));
        if (holder == i) {
            item.viaTemporary = true; // only the letter case changes, where case is ignored
        } else if (holder >= 0) {
            item.blocker = holder;
        } else if (const auto outside = names.holderOf(newName(i), newKey(i)); outside != platform::Holder::None) {
            if (m_opened->sameFile(oldName(i), newName(i)))
                item.viaTemporary = true;
            else
                setProblem(item, PlanState::Taken, holderReason(outside));
        }
    }
    if (progress)
        progress(n, n);
}

void RenamePlan::follow(qsizetype i, qsizetype leader)
{
    if (m_leaders.size() < m_items.size())
        m_leaders.resize(m_items.size(), -1);
    m_leaders[std::size_t(i)] = std::int32_t(leader);
}

void RenamePlan::holdGroupsTogether()
{
    if (m_leaders.empty())
        return;
    m_leaders.resize(m_items.size(), -1);
    const auto groupOf = [this](std::size_t i) {
        return m_leaders[i] >= 0 ? std::size_t(m_leaders[i]) : i;
    };
    // A file that stays holds up the files behind it, which may belong to other groups: until
    // nothing changes.
    for (bool changed = true; changed;) {
        changed = false;
        std::vector<std::int32_t> staying(m_items.size(), -1); // by group: a member that can't be renamed
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            const PlanState state = m_items[i].state;
            if ((state == PlanState::Taken || state == PlanState::Invalid) && staying[groupOf(i)] < 0)
                staying[groupOf(i)] = std::int32_t(i);
        }
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            const std::int32_t held = staying[groupOf(i)];
            if (held >= 0 && m_items[i].state == PlanState::Rename) {
                setProblem(m_items[i], PlanState::Taken, PlanReason::HeldWithItsGroup, held);
                changed = true;
            }
        }
        if (changed)
            blockBehindStayingFiles();
    }
}

void RenamePlan::blockBehindStayingFiles()
{
    // Each name is wanted by one file at most, so every file holds up at most one other.
    std::vector<std::int32_t> heldUp(m_items.size(), -1);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].blocker >= 0)
            heldUp[std::size_t(m_items[i].blocker)] = std::int32_t(i);
    }
    for (std::size_t j = 0; j < m_items.size(); ++j) {
        if (m_items[j].state == PlanState::Rename)
            continue;
        for (std::int32_t i = heldUp[j], staying = std::int32_t(j); i >= 0; staying = i, i = heldUp[std::size_t(i)]) {
            Item& item = m_items[std::size_t(i)];
            if (item.state != PlanState::Rename)
                break;
            setProblem(item, PlanState::Taken, PlanReason::HeldByStayingFile, staying);
        }
    }
}

} // namespace filelist
