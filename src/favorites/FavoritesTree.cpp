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

std::size_t TreePosition(std::span<const std::size_t> childCounts, std::size_t topIndex,
                         std::optional<std::size_t> entry)
{
    std::size_t position = 0;
    for (std::size_t i = 0; i < topIndex && i < childCounts.size(); ++i)
        position += 1 + childCounts[i];
    if (entry)
        position += 1 + *entry;
    return position;
}
