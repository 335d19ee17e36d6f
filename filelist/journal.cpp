#include "filelist/journal.h"

#include "filelist/journalcoding.h"

#include "platform/xdg.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <optional>

namespace filelist {

namespace {

// A journal is a run of records: the length of the payload (4 bytes), the kind (1 byte), the
// payload, and a CRC-32 of kind and payload (4 bytes), numbers little-endian. A crash can cut
// the last record short; the checksum tells such a tail, and any other damage, from a record.
constexpr char kMagic[] = "QUENDRA-JOURNAL";
constexpr std::uint32_t kVersion = JournalWriter::kFormatVersion;
constexpr char kHeader = 'H';
constexpr char kPlan = 'M';
constexpr char kStart = 'S';
constexpr char kProgress = 'P';
constexpr char kFinish = 'F';
constexpr qsizetype kMovesPerRecord = 4096;
constexpr qsizetype kProgressPerRecord = 4096;
// A crash loses at most the progress of this long; recovery finds the files by their identity
// anyway, so the records only spare it the search.
constexpr auto kSyncEvery = std::chrono::milliseconds(1000);
// Journals are read whole; a run of a million files writes about a hundred megabytes.
constexpr qsizetype kMaxJournalBytes = qsizetype(1) << 31;

QByteArray record(char kind, const QByteArray& payload)
{
    QByteArray out;
    out.reserve(payload.size() + 9);
    Encoder e(out);
    e.u32(std::uint32_t(payload.size()));
    e.u8(std::uint8_t(kind));
    out.append(payload);
    e.u32(crc32(QByteArrayView(out).sliced(4)));
    return out;
}

QByteArray newJournalName()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    const quint32 random = QRandomGenerator::global()->bounded(0x1000000U);
    return stamp.toLatin1() + '-' + QByteArray::number(random, 16).rightJustified(6, '0');
}

constexpr char kUnfinishedEnding[] = ".journal";
constexpr char kFinishedEnding[] = ".done";

} // namespace

JournalMoves::Span JournalMoves::store(QByteArrayView bytes)
{
    if (m_names.size() + std::size_t(bytes.size()) > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    const Span span{std::uint32_t(m_names.size()), std::uint32_t(bytes.size())};
    m_names.append(bytes.data(), std::size_t(bytes.size()));
    return span;
}

void JournalMoves::add(QByteArrayView from, QByteArrayView to, const platform::FileIdentity& identity)
{
    Move move;
    move.from = store(from);
    move.to = store(to);
    move.identity = identity;
    m_moves.push_back(move);
}

void JournalMoves::reserve(qsizetype moves, qsizetype nameBytes)
{
    m_moves.reserve(std::size_t(moves));
    m_names.reserve(std::size_t(nameBytes));
}

void JournalMoves::truncate(qsizetype count)
{
    m_moves.resize(std::min(m_moves.size(), std::size_t(count)));
}

void JournalMoves::setProgress(qsizetype i, Progress progress, QByteArrayView temporary)
{
    Move& move = m_moves[std::size_t(i)];
    move.progress = progress;
    move.temporary = progress == Progress::Aside ? store(temporary) : Span{};
}

qsizetype JournalMoves::movedCount() const
{
    return std::count_if(m_moves.begin(), m_moves.end(), [](const Move& m) { return m.progress != Progress::Planned; });
}

JournalWriter::JournalWriter(const platform::FileSystem& fs, QByteArray folder, std::uint32_t formatVersion,
                             QByteArray name)
    : m_fs(fs), m_folder(std::move(folder)), m_formatVersion(formatVersion),
      m_name(name.isEmpty() ? newJournalName() : std::move(name))
{
}

JournalWriter::~JournalWriter() = default;

platform::Status JournalWriter::write(char kind, const QByteArray& payload)
{
    if (!m_failure.ok())
        return m_failure;
    m_failure = m_file->append(record(kind, payload));
    return m_failure;
}

platform::Status JournalWriter::begin(const JournalHeader& header)
{
    if (m_folder.isEmpty())
        return m_failure = platform::Status::failure(ENOENT);
    if (m_failure = m_fs.makeFolders(m_folder); !m_failure.ok())
        return m_failure;
    m_path = m_folder + '/' + m_name + kUnfinishedEnding;
    m_file = m_fs.createFile(m_path, m_failure);
    if (!m_file)
        return m_failure;
    Encoder h;
    h.out().append(kMagic);
    h.u32(m_formatVersion);
    h.u8(std::uint8_t(header.kind));
    h.u64(std::uint64_t(header.createdMs));
    h.bytes(header.command.toUtf8());
    h.bytes(header.folder);
    h.u64(header.folderIdentity.device);
    h.u64(header.folderIdentity.inode);
    h.u64(std::uint64_t(header.folderIdentity.born));
    h.u8(header.stableInodes ? 1 : 0);
    h.bytes(header.undoes);
    return write(kHeader, h.out());
}

void JournalWriter::plan(QByteArrayView from, QByteArrayView to, const platform::FileIdentity& identity)
{
    openPending(kPlan);
    Encoder(m_pending).move(from, to, identity);
    ++m_planned;
    if (++m_pendingCount == kMovesPerRecord)
        writePending(kPlan);
}

void JournalWriter::openPending(char kind)
{
    if (m_pendingKind != kind)
        writePending(m_pendingKind);
    m_pendingKind = kind;
    // The frame and the count come first; they are filled in when the record is written.
    if (m_pendingCount == 0 && m_pending.isEmpty())
        m_pending.resize(9);
}

void JournalWriter::writePending(char kind)
{
    if (m_pendingCount == 0 || !m_file)
        return;
    Encoder frame(m_pending);
    char count[4];
    for (int k = 0; k < 4; ++k)
        count[k] = char((std::uint32_t(m_pendingCount) >> (8 * k)) & 0xFF);
    std::memcpy(m_pending.data() + 5, count, 4);
    frame.closeRecord(kind);
    if (m_failure.ok())
        m_failure = m_file->append(m_pending);
    m_pending.resize(0); // keeps its room for the next record
    m_pendingCount = 0;
}

platform::Status JournalWriter::start()
{
    if (!m_file)
        return m_failure;
    writePending(m_pendingKind);
    Encoder start;
    start.u32(std::uint32_t(m_planned));
    write(kStart, start.out());
    return flush();
}

void JournalWriter::moved(qsizetype i, QByteArrayView temporary)
{
    if (!m_file)
        return;
    openPending(kProgress);
    Encoder e(m_pending);
    e.u32(std::uint32_t(i));
    e.bytes(temporary);
    ++m_pendingCount;
    ++m_movedCount;
    // Written in records of a few thousand, synced now and then: a sync costs milliseconds.
    if (m_pendingCount >= kProgressPerRecord)
        writePending(kProgress);
    if (std::chrono::steady_clock::now() - m_lastSync >= kSyncEvery)
        flush();
}

platform::Status JournalWriter::flush()
{
    if (!m_file)
        return m_failure;
    writePending(m_pendingKind);
    if (m_failure.ok() && m_syncing)
        m_failure = m_file->sync();
    m_lastSync = std::chrono::steady_clock::now();
    return m_failure;
}

QByteArray JournalWriter::finishedName() const
{
    return m_name + '.' + QByteArray::number(m_movedCount) + kFinishedEnding;
}

platform::Status JournalWriter::finish()
{
    if (!m_file)
        return m_failure;
    // Not synced: a program that ends leaves what it wrote with the system, and after a system
    // crash the journal reads as unfinished, and the next start finds every file at its new
    // name. A sync here would cost the run the writing out of every rename it made.
    writePending(m_pendingKind);
    Encoder f;
    f.u32(std::uint32_t(m_movedCount));
    write(kFinish, f.out());
    m_file.reset();
    if (m_failure.ok())
        m_failure = m_fs.moveFile(m_path, m_folder + '/' + finishedName());
    if (m_failure.ok())
        m_path = m_folder + '/' + finishedName();
    return m_failure;
}

platform::Status JournalWriter::writeDone(const JournalHeader& header, const std::vector<DoneMove>& moves)
{
    platform::Status status = begin(header);
    for (const DoneMove& move : moves)
        plan(move.from, move.to, move.identity);
    if (status.ok())
        status = start();
    for (std::size_t i = 0; i < moves.size() && status.ok(); ++i)
        moved(qsizetype(i));
    if (status.ok())
        status = finish();
    if (!status.ok())
        discard();
    return status;
}

void JournalWriter::discard()
{
    m_file.reset();
    if (!m_path.isEmpty())
        m_fs.removeFile(m_path);
    m_path.clear();
}

namespace {

// One record of contents at at.
struct Record {
    enum class Read : std::uint8_t { Whole, End, CutShort, Damaged } read = Read::End;
    char kind = 0;
    QByteArrayView payload;
    qsizetype next = 0;
};

Record recordAt(QByteArrayView contents, qsizetype at)
{
    Record r;
    if (at >= contents.size())
        return r;
    Decoder frame(contents.sliced(at));
    const std::uint32_t length = frame.u32();
    const qsizetype end = at + 9 + qsizetype(length);
    // A crash can only cut the last record short: a broken record with more behind it is damage.
    if (!frame.ok() || end > contents.size()) {
        r.read = Record::Read::CutShort;
        return r;
    }
    const QByteArrayView body = contents.sliced(at + 4, qsizetype(length) + 1);
    Decoder check(contents.sliced(end - 4, 4));
    if (check.u32() != crc32(body)) {
        r.read = end < contents.size() ? Record::Read::Damaged : Record::Read::CutShort;
        return r;
    }
    r.read = Record::Read::Whole;
    r.kind = body[0];
    r.payload = body.sliced(1);
    r.next = end;
    return r;
}

enum class HeaderRead : std::uint8_t { Good, Newer, Bad };

HeaderRead parseHeader(QByteArrayView payload, JournalHeader& header, std::uint32_t& version)
{
    if (!payload.startsWith(QByteArrayView(kMagic)))
        return HeaderRead::Bad;
    Decoder h(payload.sliced(qsizetype(sizeof kMagic) - 1));
    version = h.u32();
    if (h.ok() && version > kVersion)
        return HeaderRead::Newer;
    header.kind = JournalKind(h.u8());
    header.createdMs = qint64(h.u64());
    header.command = QString::fromUtf8(h.bytes());
    header.folder = h.bytes().toByteArray();
    header.folderIdentity.device = h.u64();
    header.folderIdentity.inode = h.u64();
    header.folderIdentity.born = std::int64_t(h.u64());
    header.stableInodes = h.u8() != 0;
    header.undoes = h.bytes().toByteArray();
    const bool known = header.kind == JournalKind::Run || header.kind == JournalKind::Undo;
    return h.ok() && version > 0 && known ? HeaderRead::Good : HeaderRead::Bad;
}

} // namespace

JournalReading readJournal(const platform::FileSystem& fs, const QByteArray& path)
{
    JournalReading reading;
    QByteArray contents;
    if (const auto status = fs.readFile(path, contents, false, kMaxJournalBytes); !status.ok()) {
        reading.problem = QStringLiteral("无法读取：%1").arg(platform::describeError(status.error));
        return reading;
    }
    auto damaged = [&](const QString& why) {
        reading.state = JournalReading::State::Damaged;
        reading.problem = why;
        reading.moves = {};
        return std::move(reading);
    };
    bool headerSeen = false;
    bool started = false;
    bool finished = false;
    qsizetype startedMoves = 0; // the moves planned up to the last start record
    std::uint32_t version = 0;
    for (qsizetype at = 0; !finished;) {
        const Record r = recordAt(contents, at);
        if (r.read == Record::Read::Damaged)
            return damaged(QStringLiteral("第 %1 字节处的记录已损坏").arg(at));
        if (r.read != Record::Read::Whole)
            break;
        at = r.next;
        if (headerSeen != (r.kind != kHeader))
            return damaged(QStringLiteral("记录的顺序不对"));
        Decoder d(r.payload);
        switch (r.kind) {
        case kHeader: {
            const HeaderRead read = parseHeader(r.payload, reading.header, version);
            if (read == HeaderRead::Newer) {
                reading.state = JournalReading::State::Newer;
                reading.problem = QStringLiteral("由较新版本的程序写成（格式版本 %1）").arg(version);
                return reading;
            }
            if (read == HeaderRead::Bad)
                return damaged(QStringLiteral("不是改名记录，或者开头的记录不完整"));
            headerSeen = true;
            break;
        }
        case kPlan: {
            if (started && version < 2)
                return damaged(QStringLiteral("记录的顺序不对"));
            const std::uint32_t count = d.u32();
            for (std::uint32_t k = 0; k < count && d.ok(); ++k) {
                const QByteArrayView from = d.bytes();
                const QByteArrayView to = d.bytes();
                const platform::FileIdentity identity = d.identity();
                if (d.ok())
                    reading.moves.add(from, to, identity);
            }
            if (!d.ok() || !d.atEnd())
                return damaged(QStringLiteral("改名计划的记录不完整"));
            break;
        }
        case kStart:
            if ((started && version < 2) || d.u32() != std::uint32_t(reading.moves.size()) || !d.ok())
                return damaged(QStringLiteral("改名计划的文件数不对"));
            started = true;
            startedMoves = reading.moves.size();
            break;
        case kProgress: {
            if (!started)
                return damaged(QStringLiteral("记录的顺序不对"));
            const std::uint32_t count = d.u32();
            for (std::uint32_t k = 0; k < count; ++k) {
                const std::uint32_t i = d.u32();
                const QByteArrayView temporary = d.bytes();
                if (!d.ok() || i >= std::uint32_t(startedMoves))
                    return damaged(QStringLiteral("进度的记录不对"));
                reading.moves.setProgress(qsizetype(i),
                                          temporary.isEmpty() ? JournalMoves::Progress::Moved : JournalMoves::Progress::Aside,
                                          temporary);
            }
            break;
        }
        case kFinish:
            if (!started)
                return damaged(QStringLiteral("记录的顺序不对"));
            finished = true;
            break;
        default: return damaged(QStringLiteral("不认识的记录"));
        }
    }
    // A crash while the header was written leaves a start of one; anything else is no journal.
    if (!headerSeen && !contents.isEmpty()) {
        const QByteArray start = QByteArray(4, '\0') + kHeader + kMagic;
        const QByteArrayView head = QByteArrayView(contents).first(std::min(contents.size(), start.size()));
        const bool plausible = head.sliced(std::min<qsizetype>(4, head.size())) == QByteArrayView(start).sliced(4, std::max<qsizetype>(0, head.size() - 4));
        if (!plausible)
            return damaged(QStringLiteral("不是改名记录"));
    }
    // The record that starts the renames is synced before the first one: without it nothing
    // was renamed.
    if (!started) {
        reading.state = JournalReading::State::Empty;
        reading.moves = {};
        return reading;
    }
    // Files planned after the last start record were never renamed.
    reading.moves.truncate(startedMoves);
    reading.state = finished ? JournalReading::State::Finished : JournalReading::State::Unfinished;
    return reading;
}

std::optional<JournalHeader> readJournalHeader(const platform::FileSystem& fs, const QByteArray& path)
{
    QByteArray contents;
    if (!fs.readFile(path, contents, false, 1 << 16).ok())
        return std::nullopt;
    const Record r = recordAt(contents, 0);
    JournalHeader header;
    std::uint32_t version = 0;
    if (r.read != Record::Read::Whole || r.kind != kHeader || parseHeader(r.payload, header, version) != HeaderRead::Good)
        return std::nullopt;
    return header;
}

qsizetype movedCountOf(QByteArrayView finishedName)
{
    // NAME.COUNT.done
    const QByteArrayView stem = finishedName.chopped(qsizetype(sizeof kFinishedEnding) - 1);
    const qsizetype dot = stem.lastIndexOf('.');
    bool ok = false;
    const qsizetype count = dot < 0 ? 0 : stem.sliced(dot + 1).toLongLong(&ok);
    return ok ? count : 0;
}

JournalFiles listJournals(const platform::FileSystem& fs, const QByteArray& folder)
{
    JournalFiles files;
    fs.listFolder(folder, [&](const platform::DirEntry& e) {
        if (e.kind != platform::EntryKind::File)
            return;
        if (e.name.endsWith(kUnfinishedEnding))
            files.unfinished.push_back(e.name.toByteArray());
        else if (e.name.endsWith(kFinishedEnding))
            files.finished.push_back(e.name.toByteArray());
    });
    // Names begin with the time they were made.
    std::sort(files.unfinished.begin(), files.unfinished.end());
    std::sort(files.finished.begin(), files.finished.end());
    return files;
}

platform::Status setJournalAside(const platform::FileSystem& fs, const QByteArray& path)
{
    return fs.moveFile(path, path + ".set-aside");
}

QByteArray journalFolder()
{
    const QByteArray state = platform::stateFolder();
    return state.isEmpty() ? QByteArray() : state + "/journal";
}

} // namespace filelist
