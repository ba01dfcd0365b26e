// Text files the way the whole program reads and writes them.
//
// Reading: a line ends at a CR, an LF straight after it belongs to the line
// end, a lone LF is an ordinary character, a byte 0x1A ends the file. The
// last line needs no line end; a final CR LF does not start a further line,
// but a blank line at the end is a line. Bytes are kept as they are.
//
// Writing: the whole file, every line followed by CR LF, replaced atomically
// (temporary file beside it, flushed and fsynced, renamed over the old one),
// so a failed write leaves the previous file byte-for-byte intact.
//
// A symbolic link under a file's name is neither read nor written through,
// and a file of another user is never replaced: both are reported as
// "ファイルへのアクセスが拒否されました" and left as they are.
#pragma once

#include "settings/AtomicFile.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What a reader takes from a file and a writer puts into it, at most. A
// file beyond a bound is refused whole: reading stops at the first bound it
// passes, and nothing is written. The defaults are those of the favorites
// files, the largest the program keeps.
struct TFileSizeLimits {
    size_t MaxFileBytes = 16 * 1024 * 1024;  // physical size, line ends included
    size_t MaxLines = 50'000;
    size_t MaxLineBytes = 256 * 1024;  // without the line end
};

// Splits file content into lines by the rules above.
std::vector<std::string> SplitLines(std::string_view content);

// A message about a file, naming it: "option.ini: ファイルが見つかりません",
// and about one of its lines: "option.ini (1 行目): '' は整数ではありません".
std::string FileMessage(const std::filesystem::path& file, std::string_view message);
std::string LineMessage(const std::filesystem::path& file, size_t line, std::string_view message);

// Reads a whole file and hands its lines to onLine in order, each checked
// against limits first. Throws TFileError: a file that cannot be read gives
// the runtime's message after the file's name (FileMessage), a file beyond
// the limits one message naming the file and the bound it passes.
void ReadLines(const std::filesystem::path& file, const TFileSizeLimits& limits,
               const std::function<void(std::string_view)>& onLine);
// The same, collecting the lines.
std::vector<std::string> ReadLines(const std::filesystem::path& file, const TFileSizeLimits& limits = {});

// The first `count` lines of a file (fewer when it has fewer), reading no
// further than they can reach: a file that cannot be read, and a line
// longer than maxLineBytes among them, are refused as above. What follows them is never looked at.
std::vector<std::string> ReadFirstLines(const std::filesystem::path& file, size_t count, size_t maxLineBytes);

// Throws TFileError, as a reader of the written file would, when lines do
// not fit limits once written. Writers call it before WriteLines, so the
// program never leaves a file it would refuse to read.
void CheckLineLimits(const std::filesystem::path& file, const std::vector<std::string>& lines,
                     const TFileSizeLimits& limits);

// Writes every line followed by CR LF, replacing the file atomically.
// A Public file keeps the permissions of the file it replaces (0644 when
// new); a Private file is always 0600. The file keeps its owner and, where
// the user may set it, its group. Throws TFileError.
void WriteLines(const std::filesystem::path& file, const std::vector<std::string>& lines,
                TFilePrivacy privacy = TFilePrivacy::Public);

// Splits at the first ",": (text before, text after). Without a comma the
// first part is empty and the second is the whole line.
std::pair<std::string, std::string> SplitAtFirstComma(std::string_view line);

// Converts the decimal text of an integer: optional sign, decimal digits
// only, within int range. Otherwise throws TFileError with
// "'%s' は整数ではありません", the field's text quoted by QuoteForMessage.
int StrToInt(std::string_view field);

// Shift_JIS text from a file as a message may quote it (UTF-8): at most 64
// characters, then "…" when there were more; a NUL byte shows as "␀", so the
// message keeps its end wherever it is passed as a C string.
std::string QuoteForMessage(std::string_view sjis);
