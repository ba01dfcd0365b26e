#include "settings/TextFile.h"

#include "textconv/Cp932.h"

#include <algorithm>
#include <climits>

namespace {

constexpr char kEndOfFile = '\x1A';

// Thousands grouped by commas, as the limit messages show them.
std::string Grouped(size_t n)
{
    std::string text = std::to_string(n);
    for (size_t i = text.size(); i > 3; i -= 3)
        text.insert(i - 3, ",");
    return text;
}

enum class TLimit { FileBytes, Lines, LineBytes };

[[noreturn]] void ThrowLimit(const std::filesystem::path& file, TLimit limit, size_t bound)
{
    const std::string name = file.filename().string();
    switch (limit) {
    case TLimit::FileBytes:
        throw TFileError(name + " が上限の " + Grouped(bound) + " バイトを超えています");
    case TLimit::Lines:
        throw TFileError(name + " の行数が上限の " + Grouped(bound) + " 行を超えています");
    case TLimit::LineBytes:
        break;
    }
    throw TFileError(name + " に上限の " + Grouped(bound) + " バイトを超える行があります");
}

// Calls onLine(line) for each line of content by the line rules.
template <class OnLine>
void ForEachLine(std::string_view content, OnLine&& onLine)
{
    if (const size_t eof = content.find(kEndOfFile); eof != std::string_view::npos)
        content = content.substr(0, eof);

    size_t pos = 0;
    while (pos < content.size()) {
        const size_t cr = content.find('\r', pos);
        if (cr == std::string_view::npos) {
            onLine(content.substr(pos));
            break;
        }
        onLine(content.substr(pos, cr - pos));
        pos = cr + 1;
        if (pos < content.size() && content[pos] == '\n')
            ++pos;
    }
}

// ReadHead, its failure naming the file.
std::string ReadHeadNamed(const std::filesystem::path& file, size_t limit, bool& more)
{
    try {
        return ReadHead(file, limit, more);
    } catch (const TFileError& e) {
        throw TFileError(FileMessage(file, e.what()));
    }
}

}  // namespace

std::string FileMessage(const std::filesystem::path& file, std::string_view message)
{
    return file.filename().string() + ": " + std::string(message);
}

std::string LineMessage(const std::filesystem::path& file, size_t line, std::string_view message)
{
    return file.filename().string() + " (" + std::to_string(line) + " 行目): " + std::string(message);
}

std::vector<std::string> SplitLines(std::string_view content)
{
    std::vector<std::string> lines;
    ForEachLine(content, [&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

void ReadLines(const std::filesystem::path& file, const TFileSizeLimits& limits,
               const std::function<void(std::string_view)>& onLine)
{
    bool more = false;
    const std::string content = ReadHeadNamed(file, limits.MaxFileBytes, more);
    if (more)
        ThrowLimit(file, TLimit::FileBytes, limits.MaxFileBytes);
    size_t count = 0;
    ForEachLine(content, [&](std::string_view line) {
        if (++count > limits.MaxLines)
            ThrowLimit(file, TLimit::Lines, limits.MaxLines);
        if (line.size() > limits.MaxLineBytes)
            ThrowLimit(file, TLimit::LineBytes, limits.MaxLineBytes);
        onLine(line);
    });
}

std::vector<std::string> ReadLines(const std::filesystem::path& file, const TFileSizeLimits& limits)
{
    std::vector<std::string> lines;
    ReadLines(file, limits, [&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::vector<std::string> ReadFirstLines(const std::filesystem::path& file, size_t count, size_t maxLineBytes)
{
    // Lines within the bound take at most maxLineBytes + 2 bytes with their
    // line end, so the first `count` of them lie inside this head. A line
    // the head cuts off has then already passed the bound.
    bool more = false;
    const std::string head = ReadHeadNamed(file, count * (maxLineBytes + 2), more);
    std::vector<std::string> lines;
    ForEachLine(head, [&](std::string_view line) {
        if (lines.size() == count)
            return;
        if (line.size() > maxLineBytes)
            ThrowLimit(file, TLimit::LineBytes, maxLineBytes);
        lines.emplace_back(line);
    });
    return lines;
}

void CheckLineLimits(const std::filesystem::path& file, const std::vector<std::string>& lines,
                     const TFileSizeLimits& limits)
{
    if (lines.size() > limits.MaxLines)
        ThrowLimit(file, TLimit::Lines, limits.MaxLines);
    size_t bytes = 0;
    for (const std::string& line : lines) {
        if (line.size() > limits.MaxLineBytes)
            ThrowLimit(file, TLimit::LineBytes, limits.MaxLineBytes);
        bytes += line.size() + 2;
    }
    if (bytes > limits.MaxFileBytes)
        ThrowLimit(file, TLimit::FileBytes, limits.MaxFileBytes);
}

void WriteLines(const std::filesystem::path& file, const std::vector<std::string>& lines, TFilePrivacy privacy)
{
    size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    std::string content;
    content.reserve(size);
    for (const std::string& line : lines) {
        content += line;
        content += "\r\n";
    }
    ReplaceFile(file, content, privacy);
}

std::pair<std::string, std::string> SplitAtFirstComma(std::string_view line)
{
    const size_t comma = line.find(',');
    if (comma == std::string_view::npos)
        return {std::string(), std::string(line)};
    return {std::string(line.substr(0, comma)), std::string(line.substr(comma + 1))};
}

int StrToInt(std::string_view field)
{
    auto fail = [field]() -> int { throw TFileError("'" + QuoteForMessage(field) + "' は整数ではありません"); };
    size_t i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    if (i == field.size())
        return fail();
    long long value = 0;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c < '0' || c > '9')
            return fail();
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return fail();
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return fail();
    return static_cast<int>(value);
}

std::string QuoteForMessage(std::string_view sjis)
{
    constexpr size_t kMaxChars = 64;
    // A Shift_JIS character takes at most two bytes, so this head holds more
    // than kMaxChars characters whenever the text does; converting only the
    // head keeps a long field cheap.
    const std::string head = cp932::ToUtf8(sjis.substr(0, std::min(sjis.size(), 2 * kMaxChars + 2)));
    std::string quoted;
    size_t chars = 0;
    for (const char c : head) {
        // Every UTF-8 character starts with a byte that is not 10xxxxxx.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && chars++ == kMaxChars)
            return quoted + "…";
        if (c == '\0')
            quoted += "␀";
        else
            quoted += c;
    }
    return quoted;
}
