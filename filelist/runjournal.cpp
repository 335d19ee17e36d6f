// What a run leaves to be taken back (its moves in memory, and the plan that gives every file
// its name from before), and the temporary names its files step aside to.

#include "filelist/renamerun.h"

#include <QRandomGenerator>

#include <algorithm>
#include <limits>
#include <new>

namespace filelist {

void RunJournal::add(QByteArrayView now, QByteArrayView before, const platform::FileIdentity& identity)
{
    m_identities.push_back(identity);
    if (m_names.size() + std::size_t(now.size() + before.size()) > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    const auto at = std::uint32_t(m_names.size());
    m_names.append(now.data(), std::size_t(now.size()));
    m_names.append(before.data(), std::size_t(before.size()));
    m_moves.push_back({at, std::uint32_t(now.size()), at + std::uint32_t(now.size()), std::uint32_t(before.size())});
}

void RunJournal::reserve(qsizetype moves, qsizetype nameBytes)
{
    m_moves.reserve(std::size_t(moves));
    m_identities.reserve(std::size_t(moves));
    m_names.reserve(std::size_t(nameBytes));
}

QByteArrayView RunJournal::now(qsizetype i) const
{
    const auto& m = m_moves[std::size_t(i)];
    return {m_names.data() + m[0], qsizetype(m[1])};
}

QByteArrayView RunJournal::before(qsizetype i) const
{
    const auto& m = m_moves[std::size_t(i)];
    return {m_names.data() + m[2], qsizetype(m[3])};
}

RenamePlan planReturn(const QByteArray& folder, const RunJournal& journal, const platform::FileSystem& fs,
                      const Progress& progress, qsizetype folderSizeHint,
                      const std::optional<platform::FolderIdentity>& identity, const ListedNames* listed)
{
    RenamePlan plan(folder);
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < journal.size(); ++i)
        bytes += journal.now(i).size() + journal.before(i).size();
    plan.reserve(journal.size(), bytes, true);
    if (identity) {
        plan.requireFolder(fs, *identity);
        if (!plan.refusal().isEmpty())
            return plan;
    }
    for (qsizetype i = journal.size() - 1; i >= 0; --i)
        plan.addReturn(journal.now(i), journal.before(i), journal.identity(i));
    plan.settle(fs, progress, folderSizeHint, listed);
    return plan;
}

QByteArray temporaryName()
{
    // Capitals and digits only: a FAT directory holds such a name in its one short entry.
    const quint32 value = QRandomGenerator::global()->bounded(0x1000000U);
    return "QR" + QByteArray::number(value, 16).toUpper().rightJustified(6, '0') + ".TMP";
}

bool isTemporaryName(QByteArrayView name)
{
    if (name.size() != 12 || !name.startsWith("QR") || !name.endsWith(".TMP"))
        return false;
    return std::all_of(name.begin() + 2, name.begin() + 8,
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

} // namespace filelist
