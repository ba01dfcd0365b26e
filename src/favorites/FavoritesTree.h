// The favorites tree's layout over the three tables: a kind node for each
// list in kFavoriteKinds order, its entries below it.
#pragma once

#include "favorites/FavoritesStore.h"

#include <cstddef>
#include <optional>
#include <span>

// A node of the favorites tree by absolute position (display order from 0,
// children of collapsed nodes included): a kind node or one of its entries.
struct TTreeNodeRef {
    TFavoriteKind Kind;
    std::optional<std::size_t> Entry;  // empty for the kind node itself
    bool operator==(const TTreeNodeRef&) const = default;
};
// Which node stands at position p for the given tables; nothing when p is
// beyond the last node.
std::optional<TTreeNodeRef> TreeNodeAt(const TFavoriteTables& tables, std::size_t p);
// The absolute position of a node as the tree shows it: the top node at
// topIndex or, with entry, that entry below it. childCounts holds the number
// of children the tree shows under each top node (collapsed ones counted).
std::size_t TreePosition(std::span<const std::size_t> childCounts, std::size_t topIndex,
                         std::optional<std::size_t> entry);
