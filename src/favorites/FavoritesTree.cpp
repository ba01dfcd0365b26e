#include "favorites/FavoritesTree.h"

std::optional<TTreeNodeRef> TreeNodeAt(const TFavoriteTables& tables, std::size_t p)
{
    for (TFavoriteKind kind : kFavoriteKinds) {
        if (p == 0)
            return TTreeNodeRef{kind, std::nullopt};
        --p;
        const std::size_t count = tables[kind].size();
        if (p < count)
            return TTreeNodeRef{kind, p};
        p -= count;
    }
    return std::nullopt;
}
