// The table of power-up kinds holds together: every name finds its row, the messages name every
// kind, the timed kinds have rows on the timers display in order, and what changes a size or a
// speed has a factor to change it by.
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "rules/PowerUps.h"

namespace {

TEST(PowerUpKindsTest, EveryKindIsNamedOnceAndFoundByItsNameAndTheMessagesListThemAll) {
    std::set<std::string> names;
    std::set<int> rows;
    for (const PowerUpKind& kind : kPowerUpKinds) {
        EXPECT_TRUE(names.insert(kind.name).second) << kind.name << " twice";
        EXPECT_EQ(kind.id, powerUpNamed(kind.name));
        EXPECT_NE(std::string::npos, powerUpNameList().find(kind.name));
        if (isTimed(kind.id)) {
            EXPECT_TRUE(kind.hudRow >= 0 && rows.insert(kind.hudRow).second) << kind.name << " needs a row of its own";
        } else {
            EXPECT_EQ(-1, kind.hudRow) << kind.name << " has no time to show";
            EXPECT_EQ(Change::None, kind.change) << kind.name << " acts once";
        }
        // A kind that scales a size or a speed has the setting it scales by.
        const bool scales = kind.change == Change::PaddleWidth || kind.change == Change::BallSpeed;
        EXPECT_EQ(scales, kPowerUpFactors[static_cast<std::size_t>(kind.id)].setting != nullptr) << kind.name;
        // A kind that ends another is ended by it in turn.
        if (kind.ends) {
            EXPECT_EQ(kind.id, kindOf(*kind.ends).ends) << kind.name;
        }
    }
    EXPECT_EQ(rows.size(), timedKindsInRowOrder().size());
    int row = -1;
    for (PowerUp kind : timedKindsInRowOrder()) {
        EXPECT_LT(row, kindOf(kind).hudRow);
        row = kindOf(kind).hudRow;
    }
    EXPECT_FALSE(powerUpNamed("huge"));
    EXPECT_EQ("Unknown power-up kind \"huge\" (" + powerUpNameList() + ")!", unknownPowerUp("huge"));
    EXPECT_EQ("wide, narrow, multi, slow, sticky, life or laser", powerUpNameList());
}

} // namespace
