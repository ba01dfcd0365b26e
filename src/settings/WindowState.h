// The main window's place between starts: its size, its place and the
// favorites tree's width, kept in a small file of their own in the engine's
// folder (never in the five data files), and the rule that fits a window to
// the screens it is shown on. Plain C++: rectangles in, rectangles out.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A rectangle in the desktop's coordinates (logical pixels).
struct TScreenRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TScreenRect&) const = default;
};

struct TWindowState {
    TScreenRect Window;  // the window's inside, without title bar and borders
    int TreeWidth = 0;   // the favorites tree's width; 0 when it was hidden
    bool Maximized = false;
    bool operator==(const TWindowState&) const = default;
};

// The file, beside the engine's profile in the data folder's engine folder.
std::filesystem::path WindowStateFile(const std::filesystem::path& dataDir);

// "x,y,width,height,tree,maximized" and CR LF.
std::string FormatWindowState(const TWindowState& state);
// The state the text holds, or nothing for text that is not exactly one
// such line with sizes a window can have.
std::optional<TWindowState> ParseWindowState(std::string_view text);

// What the file holds; nothing when it is missing, unreadable, longer than
// a state can be, or damaged. Never throws.
std::optional<TWindowState> ReadWindowState(const std::filesystem::path& dataDir);
// Replaces the file atomically (the folder made, 0700, when missing).
// Throws TFileError.
void WriteWindowState(const std::filesystem::path& dataDir, const TWindowState& state);

// The window's frame as it may be shown on screens whose available areas
// (without panels and docks) are given, the primary one first: a frame that
// lies wholly on one area stays as it is; otherwise it goes to the area it
// overlaps most (the primary when none), made no larger than that area and
// moved just enough to lie on it. Without screens the frame stays.
TScreenRect FitToScreens(const TScreenRect& frame, const std::vector<TScreenRect>& areas);
