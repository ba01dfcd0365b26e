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

}  // namespace
