// The solver's claims against the rules: packed states rebuild the same game, what they leave out and the
// inputs skipped change nothing, the committed plans win in exactly the ticks they promise, and a hint takes
// only a plan's first steps. Regenerate a plan with
// `build/tools/brakko-solve level1 > tests/plans/level1.plan` (level2 likewise), never by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include "../tools/solve_plan.h"
#include "../tools/solve_search.h"
#include "files/levelFile.h"
#include "platform/prove.h"
#include "rules/maps.h"
#include "rules/shape.h"
#include "rules/spiele.h"
#include "solver/generate.h"
#include "solver/hint.h"
#include "solver/reach.h"
#include "solver/search.h"
#include "solver/searchState.h"

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

TEST(StateKey, BothLevelsFit) {
    spiele<level1W, level1H> one;
    one.init(level1T, thoseShape1);
    spiele<level2W, level2H> two;
    two.init(level2T, thoseShape1);
    EXPECT_TRUE(layoutFor(one).fits()) << "level 1's state should pack into a key";
    EXPECT_TRUE(layoutFor(two).fits()) << "level 2's state should pack into a key";
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

// The keys of an answer, as a plan the rules can replay.
plan planOf(const searchAnswer& answer) {
    plan p;
    p.lines.assign(answer.plan, answer.plan + answer.lines);
    return p;
}

TEST(Search, BreadthFirstFindsTheShortestPlan) {
    search<8, 5> s(twoTickMap, thoseShape1, 1000);
    const searchAnswer& answer = s.run(s.start, false, 100000, 0);
    ASSERT_EQ(answer.outcome, searchOutcome::won) << "the two-robot ledge map should be winnable";
    EXPECT_TRUE((reach<8, 5>{}.goalInReach(s.start))) << "the ledge map's goal should be within reach";
    EXPECT_EQ(answer.length, 2) << "the ledge map should be won in two ticks, no fewer";
    spiele<8, 5> game;
    game.init(twoTickMap, thoseShape1);
    EXPECT_EQ(replayPlan(game, planOf(answer), 10), 2)
        << "the plan found should win the ledge map at tick 2 when replayed";
}

TEST(Search, AWeightedSearchWinsAtTheTickItReports) {
    search<8, 5> s(twoTickMap, thoseShape1, 1000);
    const searchAnswer& answer = s.run(s.start, false, 100000, 4);
    ASSERT_EQ(answer.outcome, searchOutcome::won) << "the weighted search should also win the ledge map";
    spiele<8, 5> game;
    game.init(twoTickMap, thoseShape1);
    EXPECT_EQ(replayPlan(game, planOf(answer), 50), answer.length)
        << "the weighted plan should win at the tick it reports, " << answer.length;
}

TEST(Search, ShortcutsCutAWastedTickOutOfAPlan) {
    search<8, 5> s(twoTickMap, thoseShape1, 1000);
    // Idle for a tick, then pair up in a row, then step the second robot onto the goal.
    std::vector<stateKey> path{s.layout.pack(s.start, false)};
    std::vector<tickInput> taken{tickInput{}, tickInput{}, tickInput{false, 8}, tickInput{false, 5}};
    for (std::size_t t = 1; t < taken.size(); ++t)
        path.push_back(s.step(path.back(), taken[t]));
    ASSERT_TRUE(s.work.won) << "the padded plan should win the ledge map at tick 3";

    shorten(s, path, taken, 2);
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
    search<8, 4> s(boxedMap, thoseShape1, 1 << 16);
    const searchAnswer& answer = s.run(s.start, false, 1 << 20);
    EXPECT_EQ(answer.outcome, searchOutcome::noWay) << "the boxed pair should never reach the goal";
    EXPECT_FALSE((reach<8, 4>{}.goalInReach(s.start)))
        << "the boxed pair should be out of the goal's reach at once";
    EXPECT_GT(answer.explored, 1) << "the boxed map's states should all be explored before giving up";
    EXPECT_GE(answer.closestDistance, s.walkless)
        << "no member should ever stand where a walk leads to the goal";
    EXPECT_LE(answer.closestCol, 2) << "the group should get no further right than column 2";
    EXPECT_EQ(answer.closestRow, 1) << "the group should stay in row 1";
}

// Robot 1 stands over a pit: paired at once, the two can walk right to the goal; left alone, it falls in and
// the two never touch again.
constexpr char pitMap[] =
    "#########"
    "#       #"
    "#12     #"
    "# # ##@##"
    "# # #####"
    "#########";

TEST(Search, APairFallenApartInAPitHasNoWay) {
    search<9, 6> s(pitMap, thoseShape1, 1 << 16);
    ASSERT_EQ(s.run(s.start, false, 1 << 20).outcome, searchOutcome::won)
        << "the pit map should be winnable from its start";
    spiele<9, 6> game = s.start;
    game.process();
    game.process();
    ASSERT_EQ(game.bots[0].y, 4) << "robot 1 should lie at the bottom of the pit after two ticks";
    const searchAnswer& answer = s.run(game, false, 1 << 20);
    EXPECT_EQ(answer.outcome, searchOutcome::noWay) << "with robot 1 in the pit the level should have no way";
    EXPECT_TRUE((reach<9, 6>{}.goalInReach(game)))
        << "robot 2 alone can still reach the goal: never lost at once";
}

TEST(Search, AFullTableEndsOutOfBudgetAndSoDoesTheBudget) {
    search<level2W, level2H> small(level2T, thoseShape1, 100);
    EXPECT_EQ(small.run(small.start, false, 1 << 20).outcome, searchOutcome::outOfBudget)
        << "level 2 does not fit in a table of 100 states";
    EXPECT_LE(small.known, 100) << "the table should never hold more than its capacity";
    search<level2W, level2H> big(level2T, thoseShape1, 1 << 16);
    const searchAnswer& answer = big.run(big.start, false, 50);
    EXPECT_EQ(answer.outcome, searchOutcome::outOfBudget) << "level 2 is not won in 50 states explored";
    EXPECT_EQ(answer.explored, 50) << "the budget counts the states explored";
}

// The hint plays a plan's first steps: four keys at most and none past tick 9, but always the plan's first
// key, and a Space never without the pose after it for the same tick.
TEST(Search, AHintTakesThePlansFirstStepsOnly) {
    const struct {
        std::vector<planLine> plan;
        int kept;
        const char* says;
    } rows[] = {
        {{{1, 0}, {2, 5}, {3, 8}, {4, 5}, {5, 8}}, 4, "four keys at most"},
        {{{1, 0}, {2, 5}, {3, 8}, {4, -1}, {4, 5}, {5, 8}},
         5,
         "a Space and the pose after it, as the fourth"},
        {{{1, 0}, {9, 5}, {10, 8}}, 2, "no key past tick 9"},
        {{{12, -1}, {12, 3}, {13, 8}}, 2, "the first key, however late, with the pose of its tick"},
        {{{3, 4}}, 1, "a plan of one key"},
    };
    const auto answer = std::make_unique<searchAnswer>();
    for (const auto& r : rows) {
        std::copy(r.plan.begin(), r.plan.end(), answer->plan);
        answer->lines = static_cast<int>(r.plan.size());
        hintRun hint;
        hint.follow(*answer);
        EXPECT_EQ(hint.keys.count, static_cast<std::size_t>(r.kept)) << r.says;
        EXPECT_EQ(hint.lastTick, r.plan[r.kept - 1].tick) << r.says;
        EXPECT_EQ(hint.pressed, keyOf(r.plan[0].command))
            << r.says << ": the sign names its first key at once";
    }
}

// Three states on the way of the committed level 2 plan, each searched again: the plan found from there
// wins under the rules, and asks for two keys before its first tick only when the last tick moved a robot.
TEST(Search, FromStatesOnTheShippedPathAPlanWins) {
    const plan shipped = readPlanFile(planPath("level2"));
    ASSERT_GT(shipped.wonAt, 80) << "the level 2 plan should be readable and long enough";
    const auto s = std::make_unique<search<level2W, level2H>>(level2T, thoseShape1, 1 << 18);
    for (const int partway : {25, 50, 80}) {
        spiele<level2W, level2H> game = s->start;
        ASSERT_EQ(replayPlan(game, shipped, partway - 1), -1)
            << "the level should not be won before " << partway;
        const auto before = game;
        for (const planLine& line : shipped.lines)
            if (line.tick == partway) game.control(line.command);
        game.process();
        const bool moved = anyRobotMoved(before.bots, game);
        const searchAnswer& answer = s->run(game, moved, 200000, 4);
        ASSERT_EQ(answer.outcome, searchOutcome::won) << "a plan should be found after tick " << partway;
        EXPECT_TRUE(moved || answer.lines < 2 || answer.plan[1].tick > 1)
            << "after the still tick " << partway << " the plan should ask for one key before its first tick";
        auto replayed = game;
        EXPECT_EQ(replayPlan(replayed, planOf(answer), answer.length + 10), answer.length)
            << "the plan found after tick " << partway << " should win at its tick " << answer.length;
    }
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
        lastTickMoved = anyRobotMoved(before.bots, paced);
    }
}

TEST(CommittedPlans, Level1IsWonInThePrintedTicks) {
    expectPlanWins<level1W, level1H>("level1", level1T, 50);
}

TEST(CommittedPlans, Level2IsWonInThePrintedTicks) {
    expectPlanWins<level2W, level2H>("level2", level2T, 136);
}

// The editor's prover on a pack level, read as the page hands it over: a plan, then the shortest with the
// states the pack's pars record; a map whose goal no robot can reach, and a text the reader refuses.
TEST(Prover, ProvesAPackLevelsParAndSaysWhatCannotBeWon) {
    std::ifstream in(std::string(BRAKKO_SOURCE_DIR) + "/levels/01-joining.level");
    const std::string joining((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(readText(joining.data(), static_cast<int>(joining.size())), 1);
    EXPECT_EQ(levelRobots(), 3);
    EXPECT_EQ(proveLevel(0), 0) << "a weighted search should find a plan";
    EXPECT_GE(planTicks(), 7);
    EXPECT_EQ(proveLevel(1), 0);
    EXPECT_TRUE(planTicks() == 7 && statesExplored() == 966) << "the pack's par and states for it";
    EXPECT_TRUE(planLines() >= 3 && planKey(planLines() - 1) == 'z') << "its last key, as the page shows it";
    const std::string sealed = "######\n#12#@#\n######\n";
    ASSERT_EQ(readText(sealed.data(), static_cast<int>(sealed.size())), 1);
    EXPECT_TRUE(proveLevel(1) == 1 && goalOutOfReach() == 1) << "no robot reaches the goal: no search";
    EXPECT_TRUE(readText("1@2\n", 4) == 0 && errorLine() == 1 && proveLevel(0) == 3) << "a refused text";
}

// Generated levels: the same text from the same ID on every machine (the browser checks these digests
// too), read by the game's reader, won by the breadth-first search in exactly the par in the file, graded
// as asked, not won by two keys, with no element that could be taken away, and its robots at rest at the
// start.
TEST(Generator, LevelsAreTheSameProvenAndTight) {
    struct row {
        const char* id;
        std::uint64_t digest;
    };
    const row rows[] = {{"easy:1", 1109613648709950204ull},
                        {"easy:3", 17686224325642334405ull},
                        {"medium:3", 6259980461958696236ull}};
    const auto generator = std::make_unique<levelGenerator>();
    const auto level = std::make_unique<generatedLevel>();
    const auto read = std::make_unique<customLevel>();
    for (const row& r : rows) {
        levelId id;
        ASSERT_TRUE(parseLevelId(r.id, id)) << r.id;
        ASSERT_TRUE(generator->generate(id, *level)) << r.id;
        std::uint64_t digest = 0xCBF29CE484222325ull;
        for (int i = 0; i < level->length; ++i)
            digest = (digest ^ static_cast<unsigned char>(level->text[i])) * 0x100000001B3ull;
        EXPECT_EQ(digest, r.digest) << r.id << "\n" << level->text;
        levelError error;
        ASSERT_TRUE(readLevel(level->text, static_cast<std::size_t>(level->length), *read, error))
            << error.reason;
        EXPECT_EQ(read->par, level->measures.par) << r.id;
        EXPECT_EQ(gradeLevel(level->measures), id.difficulty) << r.id;
        const auto proof = std::make_unique<search<customW, customH>>(read->map, thoseShape1, 1 << 18);
        const searchAnswer& a = proof->run(proof->start, false, 1 << 18, 0);
        EXPECT_TRUE(a.outcome == searchOutcome::won && a.length == read->par) << r.id;
        levelMeasures measured;
        EXPECT_TRUE(generator->measure(read->map, read->width, read->height, measured))
            << "two keys win " << r.id;
        EXPECT_TRUE(generator->everyElementMatters(read->map, read->width, read->height, read->par)) << r.id;
        // The curtain opens over a few ticks before the first key: nothing may move in them.
        const auto first = std::make_unique<spiele<customW, customH>>(),
                   next = std::make_unique<spiele<customW, customH>>();
        first->init(read->map, thoseShape1);
        *next = *first;
        next->process();
        EXPECT_TRUE(packedState(*first) == packedState(*next))
            << r.id << ": its robots should stand still at the start";
    }
    levelId id;
    EXPECT_FALSE(parseLevelId("medium:", id) || parseLevelId("hard:4294967296", id) ||
                 parseLevelId("easy:-1", id) || parseLevelId("Easy:1", id) || parseLevelId("easy 1", id));
    char text[32];
    writeLevelId(levelId{levelDifficulty::hard, 4294967295u}, text, sizeof text);
    EXPECT_STREQ(text, "hard:4294967295");
}

// The pack's levels fall in the bands a player would put them in: 1 to 5 easy, 6 to 11 medium, the rest hard.
TEST(Generator, ThePacksMeasuresGradeItsLevels) {
    const levelMeasures pack[] = {{7, 8, 966, 0},      {6, 6, 18731, 5},      {7, 5, 5323, 9},
                                  {8, 8, 728, 32},     {8, 9, 11497, 2},      {7, 8, 4476, 18},
                                  {9, 9, 20274, 0},    {11, 20, 1290, 3},     {13, 19, 3157, 1},
                                  {17, 11, 1211, 40},  {21, 30, 89509, 11},   {21, 32, 149379, 15},
                                  {33, 36, 585145, 2}, {38, 51, 1015254, 11}, {42, 79, 559293, 10}};
    for (int i = 0; i < 15; ++i) {
        const levelDifficulty want = i < 5    ? levelDifficulty::easy
                                     : i < 11 ? levelDifficulty::medium
                                              : levelDifficulty::hard;
        EXPECT_EQ(gradeLevel(pack[i]), want) << "level " << i + 1;
    }
}
