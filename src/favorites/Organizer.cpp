#include "favorites/Organizer.h"

#include <utility>

void TOrganizerModel::Show()
{
    m_kind.reset();
    Select(std::nullopt);
    ReadAll();
    ChooseKind(fkSearchWord);
}

void TOrganizerModel::ChooseKind(TFavoriteKind kind)
{
    // Every choice after the first since Show writes the three lists and
    // reads them again. Lists whose last read failed are never written over
    // the files; they are read again instead, also on the first choice.
    if (m_kind && m_read)
        WriteAll();
    if (m_kind || !m_read)
        ReadAll();
    m_commandsEnabled = true;
    m_kind = kind;
    Select(std::nullopt);
}

void TOrganizerModel::Pick(size_t pos)
{
    const TFavoriteList* list = Current();
    if (!list || pos >= list->size())
        return;
    Select(pos);
}

void TOrganizerModel::Change(const TFavoriteEntry& entry)
{
    TFavoriteList* list = Current();
    if (!list || !m_current)
        return;
    (*list)[*m_current] = entry;
    m_highlight.reset();
}

void TOrganizerModel::Delete()
{
    TFavoriteList* list = Current();
    if (!list || !m_current)
        return;
    const size_t c = *m_current;
    list->erase(list->begin() + static_cast<std::ptrdiff_t>(c));
    Select(c < list->size() ? std::optional<size_t>(c) : std::nullopt);
}

void TOrganizerModel::MoveUp()
{
    TFavoriteList* list = Current();
    if (!list || !m_current)
        return;
    const size_t c = *m_current;
    if (c > 0) {
        std::swap((*list)[c - 1], (*list)[c]);
        Select(c - 1);
    }
    if (m_current == 0u)
        Select(std::nullopt);
}

void TOrganizerModel::MoveDown()
{
    TFavoriteList* list = Current();
    if (!list || !m_current)
        return;
    const size_t c = *m_current;
    if (c + 1 < list->size()) {
        std::swap((*list)[c], (*list)[c + 1]);
        Select(c + 1);
    }
    if (m_current && *m_current + 1 >= list->size())
        Select(std::nullopt);
}

void TOrganizerModel::Save()
{
    if (m_read)
        WriteAll();
}

const TFavoriteList& TOrganizerModel::CurrentList() const
{
    static const TFavoriteList kEmpty;
    return m_kind ? m_lists.at(*m_kind) : kEmpty;
}

void TOrganizerModel::ReadAll()
{
    // All three are read before any list changes, so a failed read leaves
    // the lists as they were; they then count as unread.
    m_read = false;
    TFavoriteTables lists;
    for (TFavoriteKind kind : kFavoriteKinds)
        lists.at(kind) = ReadFavorites(m_dir, kind);
    m_lists = std::move(lists);
    m_read = true;
}

void TOrganizerModel::WriteAll() const
{
    for (TFavoriteKind kind : kFavoriteKinds)
        WriteFavorites(m_dir, kind, m_lists.at(kind));
}

TFavoriteList* TOrganizerModel::Current() { return m_kind ? &m_lists.at(*m_kind) : nullptr; }

void TOrganizerModel::Select(std::optional<size_t> pos)
{
    m_current = pos;
    m_highlight = pos;
}
