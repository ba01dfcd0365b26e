// The add-favorite dialog's logic: recognising the page in the main window's
// address box, checking the typed entry, and adding it to its kind's file.
#pragma once

#include "favorites/FavoritesStore.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class TPzConv;

// What the dialog proposes when it opens.
struct TFavoritePrefill {
    TFavoriteKind Kind = fkSearchWord;
    std::string Name;  // Shift_JIS
    std::string Url;   // Shift_JIS
    bool operator==(const TFavoritePrefill&) const = default;
};

// Recognises the auction site's search-result, user, item and auction-list
// pages in S (the address box's text, Shift_JIS). All four markers are
// looked up first; then each rule whose marker was found sets kind, name and
// URL, a later rule overriding an earlier one. A search term and an auction
// list's user ID end at the next "&" or "#", or at the end of S. Where no
// marker is found, today's pages are recognised: a search
// ("search/search?p=", its term UTF-8, "+" a blank) and a seller's page
// ("/seller/", the ID ending at "?", "/" or "#"), each with the whole
// address as URL; any other address gives kind 0 and both texts empty.
TFavoritePrefill RecogniseFavoritePage(std::string_view S, const TPzConv& conv);

// Why an entry cannot be stored.
enum class TFavoriteInputProblem {
    None,
    MissingField,      // empty name or URL, or no kind chosen
    CommaInName,       // the first comma of a line ends the name
    ControlCharacter,  // a CR would end the line, 0x1A the file: no control codes
    Unrepresentable,   // a character Shift_JIS has no code for
};

struct TFavoriteInputCheck {
    TFavoriteInputProblem Problem = TFavoriteInputProblem::None;
    TFavoriteEntry Entry;  // the texts in Shift_JIS when Problem is None
};

// Checks a name and URL as typed (UTF-16) for the file format and converts
// them to Shift_JIS. Empty texts are accepted (the organizer's 変更 allows
// them).
TFavoriteInputCheck CheckFavoriteTexts(std::u16string_view name, std::u16string_view url);

// The add dialog's check for OK: a kind must be chosen (kindIndex 0 to 2; -1
// when the kind list's text was typed over), and neither text may be empty;
// then the checks of CheckFavoriteTexts.
TFavoriteInputCheck CheckNewFavorite(int kindIndex, std::u16string_view name, std::u16string_view url);

// The message the user sees for a problem (UTF-8); empty for None.
const char* FavoriteInputMessage(TFavoriteInputProblem problem);

// "お気に入りに「 " + name + " 」を追加しました" (UTF-8 in, UTF-8 out).
std::string FavoriteAddedMessage(std::string_view nameUtf8);

// The question before adding an address the kind already holds (UTF-8).
inline constexpr const char* kDuplicateFavoriteQuestion = "すでにお気に入りにあります。追加しますか？";

// Reads the kind's file, puts the entry after its last line and writes the
// file whole. When an entry of the file has the same URL, addDuplicate is
// asked first, once; if it says no, nothing is written. Returns whether the
// entry was added. Throws TFileError; on a failed read nothing is written,
// on a failed write the file stays as it was.
bool AppendFavorite(const std::filesystem::path& dir, TFavoriteKind kind, const TFavoriteEntry& entry,
                    const std::function<bool()>& addDuplicate);
