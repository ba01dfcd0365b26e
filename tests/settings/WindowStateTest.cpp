#include "settings/WindowState.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace testfiles;

namespace {

// A 1366 x 768 screen at 125 % leaves 1093 x 614 logical pixels, less a
// 27-pixel panel; a second screen stands to its right.
constexpr TScreenRect kLaptop{0, 0, 1093, 587};
constexpr TScreenRect kRight{1093, 0, 1920, 1050};

TEST(FitToScreens, AFrameStaysWhereItFitsAndIsFittedWhereItDoesNot)
{
    struct Row {
        const char* name;
        TScreenRect frame;
        std::vector<TScreenRect> areas;
        TScreenRect expected;
    };
    const Row rows[] = {
        {"fits: stays", {100, 50, 779, 500}, {kLaptop}, {100, 50, 779, 500}},
        {"fills the area exactly: stays", kLaptop, {kLaptop}, kLaptop},
        {"taller than the area: cut to it, moved up", {157, -22, 779, 643}, {kLaptop}, {157, 0, 779, 587}},
        {"larger both ways at 200 %", {-44, -112, 779, 643}, {{0, 0, 683, 357}}, {0, 0, 683, 357}},
        {"off the left edge: moved in", {-300, 10, 500, 400}, {kLaptop}, {0, 10, 500, 400}},
        {"off the bottom right: moved in", {900, 400, 500, 400}, {kLaptop}, {593, 187, 500, 400}},
        {"wholly on the second screen: stays", {1500, 100, 800, 600}, {kLaptop, kRight}, {1500, 100, 800, 600}},
        {"across both, mostly right: to the right", {1000, 100, 800, 600}, {kLaptop, kRight}, {1093, 100, 800, 600}},
        {"on a screen that is gone: to the primary", {3500, 100, 800, 500}, {kLaptop, kRight}, {293, 87, 800, 500}},
        {"area not at the origin", {0, 0, 400, 300}, {{50, 40, 1000, 700}}, {50, 40, 400, 300}},
        {"no screens: unchanged", {-5, -5, 10, 10}, {}, {-5, -5, 10, 10}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FitToScreens(row.frame, row.areas), row.expected) << row.name;
}

TEST(WindowStateFile, OnlyAWholeSaneLineIsTrusted)
{
    struct Row {
        const char* name;
        std::string text;
        std::optional<TWindowState> expected;
    };
    const Row rows[] = {
        {"with CR LF", "10,-20,800,600,150,0\r\n", TWindowState{{10, -20, 800, 600}, 150, false}},
        {"without line end, maximized", "0,0,100,100,0,1", TWindowState{{0, 0, 100, 100}, 0, true}},
        {"empty", "", std::nullopt},
        {"five fields", "0,0,800,600,150\r\n", std::nullopt},
        {"a second line", "0,0,800,600,150,0\r\n0,0,800,600,150,0\r\n", std::nullopt},
        {"blank", "0, 0,800,600,150,0", std::nullopt},
        {"plus sign", "+1,0,800,600,150,0", std::nullopt},
        {"too small to use", "0,0,99,600,0,0", std::nullopt},
        {"beyond any screen", "0,0,800,1000001,0,0", std::nullopt},
        {"tree wider than the window", "0,0,800,600,801,0", std::nullopt},
        {"NUL inside", std::string("0,0,800,600,0\0,0", 16), std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ParseWindowState(row.text), row.expected) << row.name;
}

TEST(WindowStateFile, KeptBesideTheEngineAndNeverTrustedWhenDamaged)
{
    TTempDir dir;
    // Nothing there: nothing read, and the first write makes the folder.
    EXPECT_EQ(ReadWindowState(dir.path()), std::nullopt);
    const TWindowState state{{-8, 12, 1024, 700}, 200, true};
    WriteWindowState(dir.path(), state);
    EXPECT_EQ(WindowStateFile(dir.path()), dir.path() / "engine" / "window.ini");
    EXPECT_EQ(Mode(dir.path() / "engine"), 0700u);
    EXPECT_EQ(Mode(WindowStateFile(dir.path())), 0600u);
    EXPECT_EQ(ReadWindowState(dir.path()), state);

    // A huge file is not read, however it starts.
    WriteBytes(WindowStateFile(dir.path()), FormatWindowState(state) + std::string(1 << 20, ' '));
    EXPECT_EQ(ReadWindowState(dir.path()), std::nullopt);
    // Nor a link, nor a folder in its place.
    std::filesystem::remove(WindowStateFile(dir.path()));
    WriteBytes(dir.path() / "elsewhere", FormatWindowState(state));
    std::filesystem::create_symlink(dir.path() / "elsewhere", WindowStateFile(dir.path()));
    EXPECT_EQ(ReadWindowState(dir.path()), std::nullopt);
    std::filesystem::remove(WindowStateFile(dir.path()));
    std::filesystem::create_directory(WindowStateFile(dir.path()));
    EXPECT_EQ(ReadWindowState(dir.path()), std::nullopt);
}

}  // namespace
