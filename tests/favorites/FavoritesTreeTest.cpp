#include "favorites/FavoritesTree.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

TEST(TreeNodeAt, AgreesWithTheTreeInDisplayOrder)
{
    // Independent oracle: lay out the nodes one by one, as the tree shows them.
    for (auto [ns, nu, ne] : {std::array<int, 3>{0, 0, 0}, {2, 3, 1}, {0, 4, 0}, {5, 0, 2}, {1, 1, 1}}) {
        TFavoriteTables tables;
        tables[fkSearchWord].resize(static_cast<std::size_t>(ns));
        tables[fkUser].resize(static_cast<std::size_t>(nu));
        tables[fkExhibit].resize(static_cast<std::size_t>(ne));
        std::vector<TTreeNodeRef> layout;
        for (TFavoriteKind kind : kFavoriteKinds) {
            layout.push_back({kind, std::nullopt});
            for (std::size_t i = 0; i < tables[kind].size(); ++i)
                layout.push_back({kind, i});
        }
        for (std::size_t p = 0; p < layout.size() + 3; ++p) {
            const auto got = TreeNodeAt(tables, p);
            if (p < layout.size())
                EXPECT_EQ(got, layout[p]) << ns << "," << nu << "," << ne << " p=" << p;
            else
                EXPECT_FALSE(got.has_value()) << ns << "," << nu << "," << ne << " p=" << p;
        }
    }
}

TEST(TreePosition, CountsEveryNodeShownBeforeIt)
{
    struct Row {
        std::vector<std::size_t> childCounts;
        std::size_t topIndex;
        std::optional<std::size_t> entry;
        std::size_t position;
    };
    const Row rows[] = {
        {{2, 3, 1}, 0, std::nullopt, 0},
        {{2, 3, 1}, 0, 1, 2},
        {{2, 3, 1}, 1, std::nullopt, 3},
        {{2, 3, 1}, 1, 2, 6},
        {{2, 3, 1}, 2, 0, 8},
        {{0, 0, 0}, 2, std::nullopt, 2},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TreePosition(row.childCounts, row.topIndex, row.entry), row.position)
            << row.topIndex << "," << row.entry.value_or(99);
}

}  // namespace
