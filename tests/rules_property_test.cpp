// Random command sequences on the four built-in maps, asking the rules' promises after every tick and making
// copies along the way that must play on alike. The seeds are chosen as seeds.h says.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "rules/maps.h"
#include "rules_invariants.h"
#include "seeds.h"
#include "rules/spiele.h"

namespace {

// Mostly no command, as in play; now and then a formation or a disband, sometimes two in one frame.
int randomCommand(std::mt19937& random) {
    const int roll = static_cast<int>(random() % 100);
    if (roll < 70) return 1000;
    if (roll < 92) return static_cast<int>(random() % 9);
    return -1;
}

template <int W, int H>
void playRandomly(const char* name, const char* text, const char* const* table, unsigned seed) {
    std::mt19937 random(seed);
    constexpr int games = 25;
    constexpr int ticks = 600;
    // A fresh copy every hundred ticks from a random start, so a copy is taken in most states a game reaches.
    constexpr int copyEvery = 100;
    for (int g = 0; g < games; ++g) {
        rulesCheck::checkedGame<W, H> play;
        play.init(text, table);
        const int firstCopy = static_cast<int>(random() % copyEvery);
        int copiedAt = -1;
        for (int tick = 0; tick < ticks; ++tick) {
            std::string broken;
            if (tick % copyEvery == firstCopy) {
                broken = play.copyNow();
                copiedAt = tick;
            }
            const int commands = random() % 8 == 0 ? 2 : 1;
            for (int c = 0; c < commands; ++c)
                play.control(randomCommand(random));
            if (broken.empty()) broken = play.tick();
            ASSERT_EQ(broken, "") << name << ", seed " << seed << ", game " << g << ", tick " << tick
                                  << ", copied at tick " << copiedAt;
        }
    }
}

}  // namespace

TEST(RulesProperty, RandomPlayKeepsEveryPromiseAndCopiesPlayOnAlike) {
    for (unsigned seed : chooseSeeds("rules property", {1, 2, 3, 4})) {
        playRandomly<titleW, titleH>("title", titleLVL, thoseShape0, seed);
        playRandomly<level1W, level1H>("level 1", level1T, thoseShape1, seed);
        playRandomly<level2W, level2H>("level 2", level2T, thoseShape1, seed);
        playRandomly<ragequitW, ragequitH>("rage-quit", ragequitT, thoseShape1, seed);
    }
}
