#include "filelist/pairs.h"

#include "filelist/rulerename.h"
#include "rules/rule.h"
#include "tests/support/memoryfilesystem.h"

#include <gtest/gtest.h>

namespace {

using filelist::PlanState;

// Which selected file leads, and which of the folder's files follow it.
TEST(Pairs, TheFirstSelectedFileOfANameLeadsTheFolderFilesOfThatName)
{
    const std::vector<QByteArray> folder{"DSC_1.JPG", "DSC_1.NEF", "DSC_1.xmp", "IMG_1.jpg", "IMG_1.MOV",
                                         "IMG_1",     ".IMG_1.jpg", "IMG_10.jpg", "a.b.jpg", "a.b.c"};
    const filelist::Pairing pairing = filelist::pairFiles({"DSC_1.JPG", "IMG_1.MOV", "IMG_1.jpg", "a.b.jpg"}, folder);
    EXPECT_EQ(pairing.leaders, (std::vector<std::size_t>{0, 1, 3}));
    ASSERT_EQ(pairing.followers.size(), 3u);
    EXPECT_EQ(pairing.followers[0], (std::vector<QByteArray>{"DSC_1.NEF", "DSC_1.xmp"}));
    // A selected file of a name already led follows; a name without a dot is its own base.
    EXPECT_EQ(pairing.followers[1], (std::vector<QByteArray>{"IMG_1.jpg", "IMG_1"}));
    EXPECT_EQ(pairing.followers[2], (std::vector<QByteArray>{"a.b.c"})); // the name up to the last dot
}

// The followers take the leader's new name up to their own extension, are numbered with it, and
// stay with it when one of the group can't be renamed.
TEST(Pairs, AGroupIsRenamedTogetherOrNotAtAll)
{
    testsupport::MemoryFileSystem fs;
    const std::vector<QByteArray> files{"a.jpg", "a.nef", "a.xmp", "b.jpg", "b.nef", "c.jpg", "c", "P2"};
    for (const QByteArray& name : files)
        fs.addFile("/f", name);
    const std::vector<QByteArray> selected{"a.jpg", "b.jpg", "c.jpg"};
    const filelist::Pairing pairing = filelist::pairFiles(selected, files);
    rules::CustomRule custom;
    custom.text = QStringLiteral("P");
    const rules::PreparedRule prepared = rules::prepare(custom, rules::RuleContext(), qsizetype(pairing.leaders.size()));
    filelist::RenamePlan plan =
        filelist::planPairedNames("/f", selected, pairing, filelist::numberedRuleFor(prepared.name), {1, 3, 2});
    plan.settle(fs);
    std::map<QByteArray, std::pair<QByteArray, PlanState>> got;
    for (qsizetype i = 0; i < plan.size(); ++i)
        got[plan.oldName(i).toByteArray()] = {plan.newName(i).toByteArray(), plan.state(i)};
    EXPECT_EQ(got["a.jpg"], std::make_pair(QByteArray("P1.jpg"), PlanState::Rename));
    EXPECT_EQ(got["a.nef"], std::make_pair(QByteArray("P1.nef"), PlanState::Rename));
    EXPECT_EQ(got["a.xmp"], std::make_pair(QByteArray("P1.xmp"), PlanState::Rename));
    EXPECT_EQ(got["b.jpg"], std::make_pair(QByteArray("P3.jpg"), PlanState::Rename));
    // P2 is taken: c's whole group stays, its photo with the reason.
    EXPECT_EQ(got["c.jpg"], std::make_pair(QByteArray("P2.jpg"), PlanState::Taken));
    EXPECT_EQ(got["c"], std::make_pair(QByteArray("P2"), PlanState::Taken));
    for (qsizetype i = 0; i < plan.size(); ++i) {
        if (plan.oldName(i) == "c.jpg") {
            EXPECT_EQ(plan.reasonText(i), QStringLiteral("同名的“c”不能改名，它们一起留下"));
        }
    }
    EXPECT_EQ(plan.count(PlanState::Rename), 5);
}

} // namespace
