// The solver's claims against the rules: packed states rebuild the same game, what they leave out and the
// inputs skipped change nothing, and the committed plans win in exactly the ticks they promise. Regenerate a
// plan with `build/tools/brakko-solve level1 > tests/plans/level1.plan` (level2 likewise), never by hand.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "../tools/solve_plan.h"
#include "../tools/solve_search.h"
#include "maps.h"
#include "searchState.h"
#include "shape.h"
#include "spiele.h"

namespace {

constexpr unsigned testSeed = 20261207;

// A game some way into level 1 with a group formed, reached by random commands from a seeded generator.
spiele<level1W, level1H> level1After(int ticks, std::mt19937& random) {
    spiele<level1W, level1H> game;
    game.init(level1T, thoseShape1);
    game.control(0);  // fuse the two robots in the left pocket
    for (int t = 0; t < ticks; ++t) {
        const int roll = static_cast<int>(random() % 14);
        game.control(roll < 9 ? roll : roll == 9 ? -1 : 1000);
        game.process();
    }
    return game;
}

// The command sequences the futures below are compared under: formations, disbands and silences mixed.
std::vector<int> randomCommands(int count, std::mt19937& random) {
    std::vector<int> commands;
    for (int i = 0; i < count; ++i) {
        const int roll = static_cast<int>(random() % 16);
        commands.push_back(roll < 9 ? roll : roll == 9 ? -1 : 1000);
    }
    return commands;
}

template <int W, int H>
stateLayout<W, H> layoutFor(const spiele<W, H>& game) {
    stateLayout<W, H> layout;
    layout.robots = game.botCount;
    return layout;
}

// Plays two games under the same commands and reports the first tick at which their packed states differ.
template <int W, int H>
int firstDivergence(spiele<W, H> a, spiele<W, H> b, const std::vector<int>& commands) {
    const auto layout = layoutFor(a);
    for (std::size_t t = 0; t < commands.size(); ++t) {
        a.control(commands[t]);
        b.control(commands[t]);
        a.process();
        b.process();
        if (!(layout.pack(a, false) == layout.pack(b, false))) return static_cast<int>(t) + 1;
    }
    return 0;
}

std::string planPath(const char* level) {
    return std::string(BRAKKO_SOURCE_DIR) + "/tests/plans/" + level + ".plan";
}

}  // namespace

TEST(StateKey, BothLevelsFitInTwoWords) {
    spiele<level1W, level1H> one;
    one.init(level1T, thoseShape1);
    spiele<level2W, level2H> two;
    two.init(level2T, thoseShape1);
    EXPECT_TRUE(layoutFor(one).fits()) << "level 1's state should pack into 128 bits";
    EXPECT_TRUE(layoutFor(two).fits()) << "level 2's state should pack into 128 bits";
}

TEST(StateKey, RebuildsTheSameGameAndTheSameFuture) {
    std::mt19937 random(testSeed);
    for (int sample = 0; sample < 40; ++sample) {
        auto game = level1After(sample, random);
        // The flags are rarely set by play this short; every combination must still survive.
        game.breakerFlip = static_cast<unsigned char>(sample / 2 % 2);
        game.won = static_cast<unsigned char>(sample / 4 % 2);
        const auto layout = layoutFor(game);
        const bool moved = sample % 2 == 1;
        const stateKey key = layout.pack(game, moved);

        spiele<level1W, level1H> rebuilt;
        rebuilt.init(level1T, thoseShape1);
        EXPECT_EQ(layout.unpack(key, rebuilt), moved)
            << "the moved flag should survive packing (seed " << testSeed << ", sample " << sample << ")";
        EXPECT_EQ(layout.pack(rebuilt, moved), key)
            << "a rebuilt game should pack to the same key (sample " << sample << ")";
        for (int i = 0; i < game.botCount; ++i) {
            EXPECT_EQ(rebuilt.bots[i].x, game.bots[i].x)
                << "robot " << i << " column after rebuild, sample " << sample;
            EXPECT_EQ(rebuilt.bots[i].y, game.bots[i].y)
                << "robot " << i << " row after rebuild, sample " << sample;
        }
        EXPECT_EQ(rebuilt.currentShape, game.currentShape)
            << "current formation after rebuild, sample " << sample;
        EXPECT_EQ(rebuilt.wantedShape, game.wantedShape)
            << "wanted formation after rebuild, sample " << sample;
        EXPECT_EQ(rebuilt.breakerFlip, game.breakerFlip) << "breaker side after rebuild, sample " << sample;
        EXPECT_EQ(rebuilt.won, game.won) << "win flag after rebuild, sample " << sample;
        ASSERT_EQ(rebuilt.transbot.size(), game.transbot.size())
            << "transbot size after rebuild, sample " << sample;
        for (int i = 0; i < game.transbot.size(); ++i)
            EXPECT_EQ(rebuilt.transbot.get(i) - rebuilt.bots, game.transbot.get(i) - game.bots)
                << "transbot slot " << i << " should hold the same robot, sample " << sample;
        for (int i = 0; i < game.nautbot.size(); ++i)
            EXPECT_EQ(rebuilt.nautbot.get(i) - rebuilt.bots, game.nautbot.get(i) - game.bots)
                << "nautbot slot " << i << " should hold the same robot, sample " << sample;

        const auto commands = randomCommands(60, random);
        EXPECT_EQ(firstDivergence(game, rebuilt, commands), 0)
            << "the rebuilt game should play on exactly like the original (seed " << testSeed << ", sample "
            << sample << ")";
    }
}

TEST(StateKey, LabelsCursorsAndFormationOffsetsDoNotDecideTheFuture) {
    std::mt19937 random(testSeed + 1);
    for (int sample = 0; sample < 40; ++sample) {
        const auto game = level1After(5 + sample, random);
        auto scribbled = game;
        for (int i = 0; i < scribbled.botCount; ++i)
            scribbled.bots[i].label = static_cast<char>('a' + i);
        scribbled.transbot.midLabel = scribbled.transbot.preMidLabel = scribbled.transbot.lastLabel = 'z';
        scribbled.transbot.cursor = static_cast<int>(random() % (scribbled.transbot.size() + 2));
        scribbled.nautbot.cursor = static_cast<int>(random() % (scribbled.nautbot.size() + 2));
        for (shape& s : scribbled.shapes) {
            s.adjust(static_cast<int>(random() % 30), static_cast<int>(random() % 15));
            s.resize(s.count / 2);
        }
        const auto commands = randomCommands(60, random);
        EXPECT_EQ(firstDivergence(game, scribbled, commands), 0)
            << "labels, cursors and formation offsets should not change what happens (seed " << testSeed + 1
            << ", sample " << sample << ")";
    }
}

TEST(SkippedInputs, CommandSevenDoesWhatCommandOneDoes) {
    std::mt19937 random(testSeed + 2);
    for (int sample = 0; sample < 40; ++sample) {
        const auto game = level1After(sample, random);
        const auto layout = layoutFor(game);
        auto withOne = game;
        auto withSeven = game;
        withOne.control(1);
        withSeven.control(7);
        // Ticks with no command, so the two requests stand until a contact or a breaker acts on them.
        for (int tick = 1; tick <= 30; ++tick) {
            withOne.process();
            withSeven.process();
            auto renamed = withSeven;
            if (renamed.wantedShape == 7) renamed.wantedShape = 1;
            EXPECT_EQ(layout.pack(withOne, false), layout.pack(renamed, false))
                << "commands 1 and 7 both name the empty formation and should act alike (sample " << sample
                << ", tick " << tick << ")";
            EXPECT_NE(withSeven.currentShape, 7)
                << "the empty formation should never be taken (sample " << sample << ", tick " << tick << ")";
        }
    }
}

TEST(SkippedInputs, DisbandingAnEmptyGroupChangesNothingAtATick) {
    std::mt19937 random(testSeed + 3);
    int checked = 0;
    for (int sample = 0; sample < 200 && checked < 20; ++sample) {
        auto game = level1After(sample % 40, random);
        if (game.transbot.size() > 0) game.control(-1);
        game.process();  // a tick with no group leaves no request pending
        if (game.transbot.size() > 0) continue;
        ++checked;
        EXPECT_EQ(game.wantedShape, -1)
            << "an empty group should have no pending request at a tick (sample " << sample << ")";
        auto disbanded = game;
        disbanded.control(-1);
        const auto commands = randomCommands(40, random);
        EXPECT_EQ(firstDivergence(game, disbanded, commands), 0)
            << "a disband with no group should change nothing (sample " << sample << ")";
    }
    EXPECT_GT(checked, 0) << "some sample should have had no group";
}

// Small maps whose answers are known by hand: robots 1 and 2 fused on a ledge reach the cell above the goal
// in two ticks at the earliest (a pair's first re-form can carry the second robot only one cell on).
constexpr char twoTickMap[] =
    "########"
    "#      #"
    "#12    #"
    "####@###"
    "########";
// The pair is boxed in: no two-cell formation reaches past the wall between it and the goal.
constexpr char boxedMap[] =
    "########"
    "#12#   #"
    "####@###"
    "########";

TEST(Search, BreadthFirstFindsTheShortestPlanAndSaysSo) {
    solver<8, 5> search(twoTickMap, thoseShape1);
    searchOptions options;
    options.weightHalves = 0;
    options.progress = false;
    const searchResult result = search.run(options);
    ASSERT_TRUE(result.won) << "the two-robot ledge map should be winnable";
    EXPECT_EQ(result.length, 2) << "the ledge map should be won in two ticks, no fewer";
    EXPECT_TRUE(result.proven) << "a breadth-first plan should be reported as proven shortest";

    spiele<8, 5> game;
    game.init(twoTickMap, thoseShape1);
    plan p;
    p.lines = result.plan;
    EXPECT_EQ(replayPlan(game, p, 10), 2)
        << "the plan found should win the ledge map at tick 2 when replayed";
}

TEST(Search, AWeightedSearchWinsButProvesNothing) {
    solver<8, 5> search(twoTickMap, thoseShape1);
    searchOptions options;
    options.weightHalves = 4;
    options.progress = false;
    const searchResult result = search.run(options);
    ASSERT_TRUE(result.won) << "the weighted search should also win the ledge map";
    EXPECT_FALSE(result.proven) << "a weighted search should not claim its plan is shortest";
    spiele<8, 5> game;
    game.init(twoTickMap, thoseShape1);
    plan p;
    p.lines = result.plan;
    EXPECT_EQ(replayPlan(game, p, 50), result.length)
        << "the weighted plan should win at the tick it reports, " << result.length;
}

TEST(Search, ShortcutsCutAWastedTickOutOfAPlan) {
    solver<8, 5> search(twoTickMap, thoseShape1);
    // Idle for a tick, then pair up in a row, then step the second robot onto the goal.
    std::vector<stateKey> path{search.layout.pack(search.start, false)};
    std::vector<tickInput> taken{tickInput{}, tickInput{}, tickInput{false, 8}, tickInput{false, 5}};
    for (std::size_t t = 1; t < taken.size(); ++t)
        path.push_back(search.step(path.back(), taken[t]));
    ASSERT_TRUE(search.work.won) << "the padded plan should win the ledge map at tick 3";

    search.shorten(path, taken, 2);
    EXPECT_EQ(path.size(), 3u) << "the idle tick should be cut, leaving a two-tick plan";
    spiele<8, 5> game;
    game.init(twoTickMap, thoseShape1);
    plan p;
    for (std::size_t t = 1; t < taken.size(); ++t) {
        if (taken[t].disband) p.lines.push_back(planLine{static_cast<int>(t), -1});
        if (taken[t].command >= 0) p.lines.push_back(planLine{static_cast<int>(t), taken[t].command});
    }
    EXPECT_EQ(replayPlan(game, p, 10), static_cast<int>(path.size()) - 1)
        << "the shortened plan should win at its new length when replayed";
}

TEST(Search, AnUnwinnableMapIsExploredToTheEnd) {
    solver<8, 4> search(boxedMap, thoseShape1);
    searchOptions options;
    options.progress = false;
    const searchResult result = search.run(options);
    EXPECT_FALSE(result.won) << "the boxed pair should never reach the goal";
    EXPECT_GT(result.explored, 1) << "the boxed map's states should all be explored before giving up";
    EXPECT_GE(result.closestDistance, search.walkless)
        << "no member should ever stand where a walk leads to the goal";
    EXPECT_LE(result.closestCol, 2) << "the group should get no further right than column 2";
    EXPECT_EQ(result.closestRow, 1) << "the group should stay in row 1";
}

// The committed plans, against the rules alone: each wins in exactly the ticks it promises, and a disband
// paired with a formation for the same tick only follows a tick that moved a robot, so a player has a gliding
// frame to press the first of the two keys in.
template <int W, int H>
void expectPlanWins(const char* level, const char* text, int withinTicks) {
    const plan p = readPlanFile(planPath(level));
    ASSERT_TRUE(p.readable) << "the plan " << planPath(level)
                            << " should be readable lines of `tick command`";
    ASSERT_GT(p.wonAt, 0) << "the plan for " << level << " should say at which tick it wins";
    EXPECT_LE(p.wonAt, withinTicks) << level << " should be won within " << withinTicks << " ticks";

    spiele<W, H> game;
    game.init(text, thoseShape1);
    EXPECT_EQ(replayPlan(game, p, p.wonAt + 50), p.wonAt)
        << "replaying the plan for " << level << " should first win at tick " << p.wonAt;

    spiele<W, H> paced;
    paced.init(text, thoseShape1);
    std::size_t next = 0;
    bool lastTickMoved = false;
    for (int tick = 1; tick <= p.wonAt; ++tick) {
        int keys = 0;
        bool disbandFirst = false;
        while (next < p.lines.size() && p.lines[next].tick == tick) {
            const int command = p.lines[next++].command;
            if (keys == 0) disbandFirst = command < 0;
            ++keys;
            paced.control(command);
        }
        EXPECT_LE(keys, 2) << level << " tick " << tick << " should need at most two keys";
        if (keys == 2) {
            EXPECT_TRUE(disbandFirst)
                << level << " tick " << tick << ": two keys should be a disband, then a formation";
            EXPECT_TRUE(lastTickMoved)
                << level << " tick " << tick << " asks for two keys after a tick in which nothing glided";
        }
        const auto before = paced;
        paced.process();
        lastTickMoved = anyRobotMoved(before, paced);
    }
}

TEST(CommittedPlans, Level1IsWonInThePrintedTicks) {
    expectPlanWins<level1W, level1H>("level1", level1T, 50);
}

TEST(CommittedPlans, Level2IsWonInThePrintedTicks) {
    expectPlanWins<level2W, level2H>("level2", level2T, 136);
}
