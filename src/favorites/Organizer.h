// The organizer's logic: its own copy of the three favorite lists, the kind
// on display, the current entry and the list's highlight, and the commands
// that reorder, change and delete entries.
//
// The current entry is the one every command acts on; it is not always the
// highlighted one: after Change the list highlights nothing while the
// changed entry stays current.
#pragma once

#include "favorites/FavoritesStore.h"

#include <filesystem>
#include <optional>

class TOrganizerModel {
public:
    explicit TOrganizerModel(std::filesystem::path dir) : m_dir(std::move(dir)) { }

    // Opening the dialog: no kind, no current entry, the three lists read
    // from their files, then the first kind choice (which writes nothing).
    // Throws TFileError; the lists are then marked unread and nothing is
    // written from them until a later read succeeds.
    void Show();

    // A kind button. After the first choice since Show, the three lists are
    // first written (search, username, exhibit) and read again. The chosen
    // kind becomes current; no entry is current or highlighted. Throws
    // TFileError, leaving kind and entry as they were.
    void ChooseKind(TFavoriteKind kind);

    // The user picked the entry at pos in the list.
    void Pick(size_t pos);

    // 変更: the current entry takes the texts; the highlight goes, the entry
    // stays current. Does nothing without a current entry.
    void Change(const TFavoriteEntry& entry);
    // 削除: removes the current entry; its follower is highlighted and
    // current, or nothing when it was the last.
    void Delete();
    // ▲ / ▼: exchange with the neighbour and follow the entry; the press that
    // brings it to the end of the list (or finds it there) lets go of it.
    void MoveUp();
    void MoveDown();

    // OK: writes the three lists (search, username, exhibit). Writes nothing
    // when the last read failed. Throws TFileError.
    void Save();

    std::optional<TFavoriteKind> CurrentKind() const { return m_kind; }
    std::optional<size_t> CurrentEntry() const { return m_current; }
    std::optional<size_t> Highlight() const { return m_highlight; }
    // The commands (削除, ▲, ▼) are enabled from the first kind choice on.
    bool CommandsEnabled() const { return m_commandsEnabled; }
    bool ListsRead() const { return m_read; }

    const TFavoriteList& List(TFavoriteKind kind) const { return m_lists.at(kind); }
    // The list on display (empty before the first choice).
    const TFavoriteList& CurrentList() const;

private:
    void ReadAll();
    void WriteAll() const;
    TFavoriteList* Current();
    void Select(std::optional<size_t> pos);

    std::filesystem::path m_dir;
    TFavoriteTables m_lists;
    bool m_read = false;
    bool m_commandsEnabled = false;
    std::optional<TFavoriteKind> m_kind;
    std::optional<size_t> m_current;
    std::optional<size_t> m_highlight;
};
