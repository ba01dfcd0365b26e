#include "settings/WindowState.h"

#include "settings/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <sys/stat.h>

namespace {

// Far beyond any screen, and short enough that the sums below never
// overflow.
constexpr int kMaxCoordinate = 1'000'000;
constexpr int kMinSide = 100;
// One line of six numbers is never longer.
constexpr size_t kMaxFileBytes = 128;

bool Contains(const TScreenRect& area, const TScreenRect& frame)
{
    return frame.X >= area.X && frame.Y >= area.Y && frame.X + frame.Width <= area.X + area.Width &&
           frame.Y + frame.Height <= area.Y + area.Height;
}

long long Overlap(const TScreenRect& a, const TScreenRect& b)
{
    const long long w = std::min(a.X + a.Width, b.X + b.Width) - std::max(a.X, b.X);
    const long long h = std::min(a.Y + a.Height, b.Y + b.Height) - std::max(a.Y, b.Y);
    return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

std::filesystem::path WindowStateFile(const std::filesystem::path& dataDir)
{
    return dataDir / "engine" / "window.ini";
}

std::string FormatWindowState(const TWindowState& s)
{
    return std::to_string(s.Window.X) + "," + std::to_string(s.Window.Y) + "," + std::to_string(s.Window.Width) + "," +
           std::to_string(s.Window.Height) + "," + std::to_string(s.TreeWidth) + "," + (s.Maximized ? "1" : "0") +
           "\r\n";
}

std::optional<TWindowState> ParseWindowState(std::string_view text)
{
    if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n")
        text.remove_suffix(2);
    int fields[6] = {};
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    for (int i = 0; i < 6; ++i) {
        if (i > 0) {
            if (at == end || *at != ',')
                return std::nullopt;
            ++at;
        }
        if (at != end && *at == '+')
            return std::nullopt;
        const auto [next, error] = std::from_chars(at, end, fields[i]);
        if (error != std::errc() || next == at)
            return std::nullopt;
        at = next;
    }
    if (at != end)
        return std::nullopt;
    const auto [x, y, width, height, tree, maximized] = fields;
    const auto within = [](int v, int low, int high) { return v >= low && v <= high; };
    if (!within(x, -kMaxCoordinate, kMaxCoordinate) || !within(y, -kMaxCoordinate, kMaxCoordinate) ||
        !within(width, kMinSide, kMaxCoordinate) || !within(height, kMinSide, kMaxCoordinate) ||
        !within(tree, 0, width) || !within(maximized, 0, 1))
        return std::nullopt;
    return TWindowState{{x, y, width, height}, tree, maximized == 1};
}

std::optional<TWindowState> ReadWindowState(const std::filesystem::path& dataDir)
{
    try {
        bool more = false;
        const std::string head = ReadHead(WindowStateFile(dataDir), kMaxFileBytes, more);
        if (more)
            return std::nullopt;
        return ParseWindowState(head);
    } catch (...) {
        return std::nullopt;
    }
}

void WriteWindowState(const std::filesystem::path& dataDir, const TWindowState& state)
{
    const std::filesystem::path file = WindowStateFile(dataDir);
    if (::mkdir(file.parent_path().c_str(), 0700) != 0 && errno != EEXIST)
        throw TFileError(FileErrorMessage(errno));
    ReplaceFile(file, FormatWindowState(state), TFilePrivacy::Private);
}

TScreenRect FitToScreens(const TScreenRect& frame, const std::vector<TScreenRect>& areas)
{
    if (areas.empty())
        return frame;
    const TScreenRect* best = &areas.front();
    long long most = 0;
    for (const TScreenRect& area : areas) {
        if (Contains(area, frame))
            return frame;
        if (const long long overlap = Overlap(area, frame); overlap > most) {
            most = overlap;
            best = &area;
        }
    }
    TScreenRect fitted = frame;
    fitted.Width = std::min(frame.Width, best->Width);
    fitted.Height = std::min(frame.Height, best->Height);
    fitted.X = std::clamp(frame.X, best->X, best->X + best->Width - fitted.Width);
    fitted.Y = std::clamp(frame.Y, best->Y, best->Y + best->Height - fitted.Height);
    return fitted;
}
