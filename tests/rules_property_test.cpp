// Random command sequences on the four built-in maps, checking after every tick what the rules promise:
// each robot in exactly one group, only on cells the rules read as empty, and copies that play on alike.
// The seed is printed; set BRAKKO_SEED to replay a failure.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

#include "maps.h"
#include "spiele.h"

namespace {

unsigned chooseSeed() {
    const char* given = std::getenv("BRAKKO_SEED");
    const unsigned seed =
        given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : std::random_device{}();
    std::cout << "rules property seed: " << seed << " (BRAKKO_SEED=" << seed << " replays it)\n";
    return seed;
}

// Mostly no command, as in play; now and then a formation or a disband, sometimes two in one frame.
int randomCommand(std::mt19937& random) {
    const int roll = static_cast<int>(random() % 100);
    if (roll < 70) return 1000;
    if (roll < 92) return static_cast<int>(random() % 9);
    return -1;
}

template <int W, int H>
void checkInvariants(const spiele<W, H>& game, const std::string& where) {
    ASSERT_EQ(game.transbot.size() + game.nautbot.size(), game.botCount)
        << where << ": the two groups should hold every robot between them";
    for (int r = 0; r < game.botCount; ++r) {
        int seen = 0;
        for (int i = 0; i < game.transbot.size(); ++i)
            seen += game.transbot.get(i) == &game.bots[r];
        for (int i = 0; i < game.nautbot.size(); ++i)
            seen += game.nautbot.get(i) == &game.bots[r];
        ASSERT_EQ(seen, 1) << where << ": robot " << r << " should be in exactly one group";
        const bot& robot = game.bots[r];
        ASSERT_EQ(game.fromLevelAt(robot.col(), robot.row()), ' ')
            << where << ": robot " << r << " stands on a cell that is not empty, (" << robot.col() << ", "
            << robot.row() << ")";
    }
    ASSERT_TRUE(game.currentShape >= -1 && game.currentShape <= 8)
        << where << ": the held formation is out of range";
    ASSERT_TRUE(game.wantedShape >= -1 && game.wantedShape <= 8)
        << where << ": the wanted formation is out of range";
    ASSERT_TRUE(game.wantedShape != -1 || game.currentShape == -1)
        << where << ": nothing is wanted, so nothing may be held";
    ASSERT_TRUE(game.currentShape == -1 || game.transbot.size() > 0)
        << where << ": an empty transbot cannot hold a formation";
    ASSERT_LE(game.breakerFlip, 1) << where << ": the breaker flag is 0 or 1";
}

template <int W, int H>
void expectSameState(const spiele<W, H>& a, const spiele<W, H>& b, const std::string& where) {
    ASSERT_EQ(a.transbot.size(), b.transbot.size()) << where << ": a copy's transbot size drifted";
    for (int i = 0; i < a.transbot.size(); ++i) {
        ASSERT_EQ(a.transbot.get(i) - a.bots, b.transbot.get(i) - b.bots) << where << ": transbot slot " << i;
    }
    for (int i = 0; i < a.nautbot.size(); ++i) {
        ASSERT_EQ(a.nautbot.get(i) - a.bots, b.nautbot.get(i) - b.bots) << where << ": nautbot slot " << i;
    }
    for (int r = 0; r < a.botCount; ++r) {
        ASSERT_TRUE(a.bots[r].col() == b.bots[r].col() && a.bots[r].row() == b.bots[r].row())
            << where << ": robot " << r << " stands elsewhere in the copy";
    }
    ASSERT_TRUE(a.currentShape == b.currentShape && a.wantedShape == b.wantedShape && a.won == b.won &&
                a.breakerFlip == b.breakerFlip)
        << where << ": a copy's flags drifted";
}

template <int W, int H>
void playRandomly(const char* name, const char* text, const char* const* table, unsigned seed) {
    std::mt19937 random(seed);
    constexpr int games = 100;
    constexpr int ticks = 600;
    for (int g = 0; g < games; ++g) {
        spiele<W, H> game;
        game.init(text, table);
        spiele<W, H> twin;
        const int copyAt = static_cast<int>(random() % ticks);
        unsigned char wasWon = 0;
        for (int tick = 0; tick < ticks; ++tick) {
            const std::string where = std::string(name) + ", seed " + std::to_string(seed) + ", game " +
                                      std::to_string(g) + ", tick " + std::to_string(tick);
            if (tick == copyAt) twin = game;
            const int commands = random() % 8 == 0 ? 2 : 1;
            for (int c = 0; c < commands; ++c) {
                const int command = randomCommand(random);
                game.control(command);
                if (tick >= copyAt) twin.control(command);
            }
            game.process();
            ASSERT_NO_FATAL_FAILURE(checkInvariants(game, where));
            ASSERT_GE(game.won, wasWon) << where << ": a won game was un-won";
            wasWon = game.won;
            if (tick >= copyAt) {
                twin.process();
                ASSERT_NO_FATAL_FAILURE(expectSameState(game, twin, where));
            }
        }
    }
}

}  // namespace

TEST(RulesProperty, RandomPlayKeepsEveryRobotInOneGroupOnEmptyCells) {
    const unsigned seed = chooseSeed();
    playRandomly<titleW, titleH>("title", titleLVL, thoseShape0, seed);
    playRandomly<level1W, level1H>("level 1", level1T, thoseShape1, seed);
    playRandomly<level2W, level2H>("level 2", level2T, thoseShape1, seed);
    playRandomly<ragequitW, ragequitH>("rage-quit", ragequitT, thoseShape1, seed);
}
