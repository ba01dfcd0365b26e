// The organizer's commands, current entry and highlight, and its file writes.
#include "favorites/Organizer.h"

#include "settings/TextFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

constexpr std::optional<size_t> kNone = std::nullopt;

// The names of a list, joined by "|".
std::string Names(const TFavoriteList& list)
{
    std::string out;
    for (const TFavoriteEntry& e : list)
        out += (out.empty() ? "" : "|") + e.Name;
    return out;
}

class OrganizerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("search.ini", "a,ua\r\nb,ub\r\nc,uc\r\nd,ud\r\n");
        dir.Write("username.ini", "u1,x1\r\n");
        dir.Write("exhibit.ini", "");
        model.Show();
    }
    testfiles::TTempDir dir;
    TOrganizerModel model{dir.path()};
};

TEST_F(OrganizerTest, ShowStartsWithSearchWordsAndNoCurrentEntry)
{
    EXPECT_EQ(model.CurrentKind(), fkSearchWord);
    EXPECT_EQ(model.CurrentEntry(), kNone);
    EXPECT_EQ(model.Highlight(), kNone);
    EXPECT_TRUE(model.CommandsEnabled());
    EXPECT_EQ(Names(model.CurrentList()), "a|b|c|d");
    // Showing writes nothing: the files keep their bytes.
    EXPECT_EQ(dir.Read("search.ini"), "a,ua\r\nb,ub\r\nc,uc\r\nd,ud\r\n");

    model.ChooseKind(fkExhibit);
    model.Show();
    EXPECT_EQ(model.CurrentKind(), fkSearchWord);
}

// One command sequence per row; after it, the order, the current entry and
// the highlight.
struct TCommandRow {
    const char* Label;
    std::string Commands;  // p<digit> pick, u up, d down, x delete, c change to "z"
    std::string Order;
    std::optional<size_t> Current;
    std::optional<size_t> Highlight;
};

TEST_F(OrganizerTest, CommandsFollowTheCurrentEntryAndLetGoAtTheEnds)
{
    const TCommandRow rows[] = {
        {"nothing current: no command acts", "udxc", "a|b|c|d", kNone, kNone},
        {"pick", "p2", "a|b|c|d", 2, 2},
        {"up from the middle follows the entry", "p2u", "a|c|b|d", 1, 1},
        {"up onto the first lets go", "p1u", "b|a|c|d", kNone, kNone},
        {"up again after letting go does nothing", "p1uu", "b|a|c|d", kNone, kNone},
        {"up on the first only lets go", "p0u", "a|b|c|d", kNone, kNone},
        {"carried to the top in steps", "p3uuu", "d|a|b|c", kNone, kNone},
        {"down from the middle follows the entry", "p1d", "a|c|b|d", 2, 2},
        {"down onto the last lets go", "p2d", "a|b|d|c", kNone, kNone},
        {"down on the last only lets go", "p3d", "a|b|c|d", kNone, kNone},
        {"delete highlights the follower", "p1x", "a|c|d", 1, 1},
        {"delete twice removes the follower too", "p1xx", "a|d", 1, 1},
        {"delete the last lets go", "p3x", "a|b|c", kNone, kNone},
        {"second delete after the last does nothing", "p3xx", "a|b|c", kNone, kNone},
        {"change clears the highlight, keeps the entry", "p1c", "a|z|c|d", 1, kNone},
        {"delete after change removes the changed entry", "p1cx", "a|c|d", 1, 1},
        {"up after change moves the changed entry", "p2cu", "a|z|b|d", 1, 1},
        {"up on the first after change lets go", "p0cu", "z|b|c|d", kNone, kNone},
        {"pick out of range is ignored", "p9", "a|b|c|d", kNone, kNone},
    };
    for (const TCommandRow& row : rows) {
        SCOPED_TRACE(row.Label);
        model.Show();
        for (size_t i = 0; i < row.Commands.size(); ++i) {
            switch (row.Commands[i]) {
            case 'p':
                model.Pick(static_cast<size_t>(row.Commands[++i] - '0'));
                break;
            case 'u':
                model.MoveUp();
                break;
            case 'd':
                model.MoveDown();
                break;
            case 'x':
                model.Delete();
                break;
            case 'c':
                model.Change({"z", "uz"});
                break;
            }
        }
        EXPECT_EQ(Names(model.CurrentList()), row.Order);
        EXPECT_EQ(model.CurrentEntry(), row.Current);
        EXPECT_EQ(model.Highlight(), row.Highlight);
    }
}

TEST_F(OrganizerTest, ListOfOneEntryCannotBeReordered)
{
    model.ChooseKind(fkUser);
    model.Pick(0);
    model.MoveDown();
    EXPECT_EQ(model.CurrentEntry(), kNone);
    model.Pick(0);
    model.MoveUp();
    EXPECT_EQ(model.CurrentEntry(), kNone);
    EXPECT_EQ(Names(model.CurrentList()), "u1");
}

TEST_F(OrganizerTest, KindSwitchWritesAllThreeFilesAndReadsThemAgain)
{
    model.Pick(1);
    model.MoveUp();  // b|a|c|d
    model.ChooseKind(fkUser);
    EXPECT_EQ(dir.Read("search.ini"), "b,ub\r\na,ua\r\nc,uc\r\nd,ud\r\n");
    EXPECT_EQ(dir.Read("username.ini"), "u1,x1\r\n");
    EXPECT_EQ(dir.Read("exhibit.ini"), "");
    EXPECT_EQ(model.CurrentKind(), fkUser);
    EXPECT_EQ(model.CurrentEntry(), kNone);
    // After the switch nothing is current: delete does nothing.
    model.Delete();
    EXPECT_EQ(Names(model.CurrentList()), "u1");
}

TEST_F(OrganizerTest, ChoosingTheShownKindAgainWritesAndLetsGo)
{
    model.Pick(0);
    model.Change({"", "new"});
    model.ChooseKind(fkSearchWord);
    EXPECT_EQ(dir.Read("search.ini"), ",new\r\nb,ub\r\nc,uc\r\nd,ud\r\n");
    EXPECT_EQ(model.CurrentEntry(), kNone);
}

TEST_F(OrganizerTest, SaveWritesEveryListWholeEmptyListsAsEmptyFiles)
{
    for (int i = 0; i < 4; ++i) {
        model.Pick(0);
        model.Delete();
    }
    model.ChooseKind(fkUser);
    model.Pick(0);
    model.Change({"n", "a,b"});
    model.Save();
    EXPECT_EQ(dir.Read("search.ini"), "");
    EXPECT_EQ(dir.Read("username.ini"), "n,a,b\r\n");
    EXPECT_EQ(dir.Read("exhibit.ini"), "");
}

TEST(Organizer, ListsLongerThanOneHundredAndOneEntries)
{
    testfiles::TTempDir dir;
    std::string content;
    for (int i = 0; i < 300; ++i)
        content += "n" + std::to_string(i) + ",u\r\n";
    dir.Write("search.ini", content);
    dir.Write("username.ini", "");
    dir.Write("exhibit.ini", "");
    TOrganizerModel model(dir.path());
    model.Show();
    ASSERT_EQ(model.CurrentList().size(), 300u);
    model.Pick(298);
    model.MoveDown();
    EXPECT_EQ(model.CurrentList().back().Name, "n298");
    model.Save();
    EXPECT_EQ(ReadLines(dir.path() / "search.ini").size(), 300u);
}

TEST(Organizer, FailedReadNeverWritesOverTheFiles)
{
    testfiles::TTempDir dir;
    dir.Write("username.ini", "keep,me\r\n");
    dir.Write("exhibit.ini", "also,kept\r\n");
    TOrganizerModel model(dir.path());
    try {
        model.Show();
        FAIL() << "no error";
    } catch (const TFileError& e) {
        EXPECT_STREQ(e.what(), "search.ini: ファイルが見つかりません");
    }
    EXPECT_EQ(model.CurrentKind(), std::nullopt);
    EXPECT_FALSE(model.ListsRead());
    // OK now writes nothing: the two good files keep their entries.
    model.Save();
    EXPECT_EQ(dir.Read("username.ini"), "keep,me\r\n");
    EXPECT_EQ(dir.Read("exhibit.ini"), "also,kept\r\n");
    EXPECT_FALSE(dir.Exists("search.ini"));
    // A kind button reads again; once the file is there the list shows.
    EXPECT_THROW(model.ChooseKind(fkUser), TFileError);
    dir.Write("search.ini", "s,1\r\n");
    model.ChooseKind(fkUser);
    EXPECT_EQ(Names(model.CurrentList()), "keep");
    EXPECT_EQ(dir.Read("username.ini"), "keep,me\r\n");
}

TEST(Organizer, FailedSwitchKeepsKindAndEdits)
{
    testfiles::TTempDir dir;
    dir.Write("search.ini", "a,1\r\nb,2\r\n");
    dir.Write("username.ini", "");
    dir.Write("exhibit.ini", "");
    TOrganizerModel model(dir.path());
    model.Show();
    model.Pick(1);
    model.MoveUp();
    // exhibit.ini cannot be replaced: a directory stands under its name.
    dir.Remove("exhibit.ini");
    std::filesystem::create_directory(dir.path() / "exhibit.ini");
    EXPECT_THROW(model.ChooseKind(fkUser), TFileError);
    // Written in order: search.ini and username.ini before the failure.
    EXPECT_EQ(dir.Read("search.ini"), "b,2\r\na,1\r\n");
    EXPECT_EQ(model.CurrentKind(), fkSearchWord);
    EXPECT_EQ(Names(model.CurrentList()), "b|a");
}

}  // namespace
