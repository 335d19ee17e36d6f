#include "filelist/journal.h"
#include "platform/faultyfilesystem.h"
#include "tests/support/tempfolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

namespace {

using filelist::JournalMoves;
using filelist::JournalReading;
using testsupport::TempFolder;

platform::FileIdentity identity(std::uint64_t inode)
{
    return {7, inode, 100 + std::int64_t(inode), 1'700'000'000'000'000'000 + std::int64_t(inode)};
}

// A journal of three moves, left at one of the points a run passes.
enum class Stop { BeforeStart, AfterProgress, Finished };

QByteArray writeJournal(const platform::FileSystem& fs, const QByteArray& folder, Stop stop,
                        std::uint32_t version = filelist::JournalWriter::kFormatVersion)
{
    filelist::JournalWriter writer(fs, folder, version);
    filelist::JournalHeader header;
    header.command = QStringLiteral("繁体转简体");
    header.createdMs = 1'765'000'000'000;
    header.folder = "/photos/\xd6\xd0";
    header.folderIdentity = {7, 42};
    header.stableInodes = false;
    EXPECT_TRUE(writer.begin(header).ok());
    writer.plan("a", "b", identity(1));
    writer.plan("b", "c", identity(2));
    writer.plan("\xd6\xd0.txt", "x", identity(3));
    if (stop == Stop::BeforeStart)
        return writer.path();
    EXPECT_TRUE(writer.start().ok());
    writer.moved(1);
    writer.moved(2, "QR00ABCD.TMP");
    EXPECT_TRUE(writer.flush().ok());
    if (stop == Stop::AfterProgress)
        return writer.path();
    EXPECT_TRUE(writer.finish().ok());
    return writer.path();
}

struct ReadingCase {
    const char* label;
    Stop stop;
    std::function<void(QByteArray&)> change; // what happens to the file afterwards
    JournalReading::State expected;
    std::uint32_t version = filelist::JournalWriter::kFormatVersion;
};

void PrintTo(const ReadingCase& c, std::ostream* os)
{
    *os << c.label;
}

class JournalReadings : public testing::TestWithParam<ReadingCase> {};

TEST_P(JournalReadings, TellWhatCanBeTrusted)
{
    const ReadingCase& c = GetParam();
    TempFolder folder;
    const QByteArray path = writeJournal(platform::systemFileSystem(), folder.path(), c.stop, c.version);
    if (c.change) {
        QByteArray bytes = folder.contents().begin()->second;
        c.change(bytes);
        QFile::remove(QFile::decodeName(path));
        folder.write(path.mid(path.lastIndexOf('/') + 1), bytes);
    }
    const JournalReading reading = filelist::readJournal(platform::systemFileSystem(), path);
    EXPECT_EQ(reading.state, c.expected) << reading.problem.toStdString();
    if (reading.state == JournalReading::State::Damaged || reading.state == JournalReading::State::Newer) {
        EXPECT_FALSE(reading.problem.isEmpty());
        EXPECT_EQ(reading.moves.size(), 0);
    }
    if (reading.state != JournalReading::State::Unfinished && reading.state != JournalReading::State::Finished)
        return;
    EXPECT_EQ(reading.header.command, QStringLiteral("繁体转简体"));
    EXPECT_EQ(reading.header.folder, QByteArray("/photos/\xd6\xd0"));
    EXPECT_FALSE(reading.header.stableInodes);
    ASSERT_EQ(reading.moves.size(), 3);
    EXPECT_EQ(reading.moves.from(2), QByteArrayView("\xd6\xd0.txt"));
    EXPECT_EQ(reading.moves.identity(2).modified, identity(3).modified);
    EXPECT_EQ(reading.moves.progress(0), JournalMoves::Progress::Planned);
    EXPECT_EQ(reading.moves.progress(1), JournalMoves::Progress::Moved);
    EXPECT_EQ(reading.moves.progress(2), JournalMoves::Progress::Aside);
    EXPECT_EQ(reading.moves.temporary(2), QByteArrayView("QR00ABCD.TMP"));
}

INSTANTIATE_TEST_SUITE_P(
    Journals, JournalReadings,
    testing::Values(
        ReadingCase{"finished", Stop::Finished, {}, JournalReading::State::Finished},
        ReadingCase{"crashed_after_progress", Stop::AfterProgress, {}, JournalReading::State::Unfinished},
        ReadingCase{"last_record_cut_short", Stop::AfterProgress,
                    [](QByteArray& b) { b.append(QByteArray("\x40\x00\x00\x00P\x01", 6)); },
                    JournalReading::State::Unfinished},
        ReadingCase{"crashed_while_planning", Stop::BeforeStart, {}, JournalReading::State::Empty},
        ReadingCase{"empty_file", Stop::BeforeStart, [](QByteArray& b) { b.clear(); }, JournalReading::State::Empty},
        ReadingCase{"damaged_in_the_middle", Stop::Finished, [](QByteArray& b) { b[b.size() / 2] = char(b[b.size() / 2] ^ 0x5A); },
                    JournalReading::State::Damaged},
        ReadingCase{"not_a_journal", Stop::Finished, [](QByteArray& b) { b = QByteArray(300, 'x'); },
                    JournalReading::State::Damaged},
        ReadingCase{"header_cut_short", Stop::BeforeStart, [](QByteArray& b) { b.truncate(12); }, JournalReading::State::Empty},
        ReadingCase{"other_file_with_a_good_frame", Stop::Finished,
                    [](QByteArray& b) { b.replace("QUENDRA-JOURNAL", "SOMETHING-ELSE!"); }, JournalReading::State::Damaged},
        ReadingCase{"newer_version", Stop::Finished, {}, JournalReading::State::Newer, filelist::JournalWriter::kFormatVersion + 1}),
    [](const testing::TestParamInfo<ReadingCase>& info) { return std::string(info.param.label); });

TEST(JournalWriter, FinishedJournalCarriesItsCountAndHeaderAlone)
{
    TempFolder folder;
    const QByteArray path = writeJournal(platform::systemFileSystem(), folder.path(), Stop::Finished);
    EXPECT_TRUE(path.endsWith(".2.done")) << path.constData();
    EXPECT_EQ(filelist::movedCountOf(path), 2);
    const auto header = filelist::readJournalHeader(platform::systemFileSystem(), path);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->createdMs, 1'765'000'000'000);
    const auto files = filelist::listJournals(platform::systemFileSystem(), folder.path());
    EXPECT_TRUE(files.unfinished.empty());
    ASSERT_EQ(files.finished.size(), 1u);
}

// Journals stay readable by every version: each record is its length, its kind and payload, and
// the CRC-32 of zip and PNG over kind and payload, here worked out bit by bit.
TEST(JournalWriter, EveryRecordEndsInTheCrc32OfItsBody)
{
    const auto bitwiseCrc = [](QByteArrayView bytes) {
        std::uint32_t crc = 0xFFFFFFFFU;
        for (const char b : bytes) {
            crc ^= static_cast<unsigned char>(b);
            for (int k = 0; k < 8; ++k)
                crc = (crc & 1) ? 0xEDB88320U ^ (crc >> 1) : crc >> 1;
        }
        return ~crc;
    };
    ASSERT_EQ(bitwiseCrc("123456789"), 0xCBF43926U);
    const auto u32At = [](const QByteArray& bytes, qsizetype at) {
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k)
            v |= std::uint32_t(static_cast<unsigned char>(bytes[at + k])) << (8 * k);
        return v;
    };
    TempFolder folder;
    writeJournal(platform::systemFileSystem(), folder.path(), Stop::Finished);
    const QByteArray bytes = folder.contents().begin()->second;
    int records = 0;
    for (qsizetype at = 0; at < bytes.size(); ++records) {
        const qsizetype length = u32At(bytes, at);
        ASSERT_LE(at + 9 + length, bytes.size());
        EXPECT_EQ(u32At(bytes, at + 5 + length), bitwiseCrc(QByteArrayView(bytes).sliced(at + 4, length + 1)))
            << "record " << records;
        at += 9 + length;
    }
    EXPECT_GE(records, 4); // header, plan, start, progress and finish
}

// A large run plans in parts, each started before its files move: what a crash leaves holds the
// parts that were started, and a part planned but not started is no part of the run. Version 1
// planned everything at once, so a plan after the start is damage there.
TEST(JournalWriter, PlansInPartsAndKeepsOnlyTheStartedOnes)
{
    struct Row {
        const char* label;
        std::uint32_t version;
        bool secondStart;
        bool finished;
        JournalReading::State expected;
        qsizetype moves;
    };
    const Row rows[] = {
        {"second_part_not_started", 2, false, false, JournalReading::State::Unfinished, 2},
        {"second_part_started", 2, true, false, JournalReading::State::Unfinished, 3},
        {"finished_in_two_parts", 2, true, true, JournalReading::State::Finished, 3},
        {"two_parts_in_version_1", 1, true, true, JournalReading::State::Damaged, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        TempFolder folder;
        filelist::JournalWriter writer(platform::systemFileSystem(), folder.path(), row.version);
        ASSERT_TRUE(writer.begin({}).ok());
        writer.plan("a", "b", identity(1));
        writer.plan("b", "c", identity(2));
        ASSERT_TRUE(writer.start().ok());
        writer.moved(1);
        writer.plan("x", "y", identity(3));
        if (row.secondStart) {
            ASSERT_TRUE(writer.start().ok());
            writer.moved(2, "QR00ABCD.TMP");
        }
        ASSERT_TRUE(writer.flush().ok());
        if (row.finished) {
            ASSERT_TRUE(writer.finish().ok());
        }
        const JournalReading reading = filelist::readJournal(platform::systemFileSystem(), writer.path());
        EXPECT_EQ(reading.state, row.expected) << reading.problem.toStdString();
        ASSERT_EQ(reading.moves.size(), row.moves);
        if (row.moves == 0)
            continue;
        EXPECT_EQ(reading.moves.progress(0), JournalMoves::Progress::Planned);
        EXPECT_EQ(reading.moves.progress(1), JournalMoves::Progress::Moved);
        if (row.moves == 3) {
            EXPECT_EQ(reading.moves.from(2), QByteArrayView("x"));
            EXPECT_EQ(reading.moves.identity(2).inode, 3u);
            EXPECT_EQ(reading.moves.progress(2), JournalMoves::Progress::Aside);
        }
    }
}

// A full disk or a folder that can't be written refuses the journal before anything is renamed.
TEST(JournalWriter, FullDiskIsToldBeforeTheRenames)
{
    TempFolder folder;
    platform::FaultyFileSystem fs(platform::systemFileSystem());
    fs.failWrites(ENOSPC);
    filelist::JournalWriter refused(fs, folder.path() + "/journal");
    EXPECT_EQ(refused.begin({}).error, ENOSPC);

    fs.failWrites(0);
    filelist::JournalWriter writer(fs, folder.path());
    ASSERT_TRUE(writer.begin({}).ok());
    writer.plan("a", "b", identity(1));
    fs.failWrites(ENOSPC);
    EXPECT_EQ(writer.start().error, ENOSPC);
    EXPECT_EQ(writer.finish().error, ENOSPC);
}

} // namespace
