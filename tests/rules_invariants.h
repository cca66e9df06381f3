// What the rules promise after every tick, and what makes two games alike, each answered by a sentence that
// names what broke ("" when nothing did). The property test, the fuzzer and the copy test all ask these, so
// a promise added here is checked everywhere. Test code: it may allocate; the rules never include it.
#pragma once

#include <cstdint>
#include <string>

#include "solver/searchState.h"
#include "rules/spiele.h"

namespace rulesCheck {

// Which of the game's robots `b` is, or -1 for a pointer into another game, past the robots, or null.
template <int W, int H>
int robotIndex(const spiele<W, H>& game, const bot* b) {
    for (int r = 0; r < game.botCount; ++r)
        if (b == &game.bots[r]) return r;
    return -1;
}

inline std::string cellText(const bot& robot) {
    return "(" + std::to_string(robot.col()) + ", " + std::to_string(robot.row()) + ")";
}

// Every promise about one game; with `before`, the game as it was before the tick just played, also those
// about the end of a tick and the tick itself.
template <int W, int H>
std::string brokenInvariant(const spiele<W, H>& game, const spiele<W, H>* before = nullptr) {
    const int members = game.transbot.size(), loose = game.nautbot.size();
    if (game.botCount < 0 || game.botCount > 20) return "the robot count is " + std::to_string(game.botCount);
    if (members + loose != game.botCount)
        return "the transbot's " + std::to_string(members) + " and the nautbots' " + std::to_string(loose) +
               " robots do not add up to all " + std::to_string(game.botCount);
    // A disband may leave the transbot's cursor past the list it emptied; every walk resets a cursor before
    // reading it, so only the end of a tick promises cursors inside their lists.
    if (before != nullptr && (game.transbot.cursor < 0 || game.transbot.cursor > members))
        return "the transbot's cursor " + std::to_string(game.transbot.cursor) + " stands outside its list";
    if (before != nullptr && (game.nautbot.cursor < 0 || game.nautbot.cursor > loose))
        return "the nautbots' cursor " + std::to_string(game.nautbot.cursor) + " stands outside its list";

    // With the sizes adding up, a robot in no group means another is in two: reporting the second suffices.
    const char* seenIn[20] = {};
    for (int list = 0; list < 2; ++list) {
        const ro& slots = list == 0 ? static_cast<const ro&>(game.transbot) : game.nautbot;
        const char* name = list == 0 ? "the transbot" : "the nautbots";
        for (int i = 0; i < slots.size(); ++i) {
            const int r = robotIndex(game, slots.get(i));
            if (r < 0)
                return "slot " + std::to_string(i) + " of " + name + " points at no robot of this game";
            if (seenIn[r] != nullptr)
                return "robot " + std::to_string(r) + " is in " + seenIn[r] + " and again in " + name;
            seenIn[r] = name;
        }
    }
    for (int r = 0; r < game.botCount; ++r) {
        const bot& robot = game.bots[r];
        const char cell = game.fromLevelAt(robot.col(), robot.row());
        if (cell != ' ')
            return "robot " + std::to_string(r) + " stands on " + cellText(robot) + ", which reads as '" +
                   cell + "', not as empty";
    }

    if (game.currentShape < -1 || game.currentShape > 8)
        return "the held formation " + std::to_string(game.currentShape) + " is out of range";
    if (game.wantedShape < -1 || game.wantedShape > 8)
        return "the wanted formation " + std::to_string(game.wantedShape) + " is out of range";
    if (game.wantedShape == -1 && game.currentShape != -1)
        return "formation " + std::to_string(game.currentShape) + " is held while none is wanted";
    if (game.currentShape != -1 && members == 0)
        return "an empty transbot holds formation " + std::to_string(game.currentShape);
    if (game.breakerFlip > 1)
        return "the breaker flag is " + std::to_string(game.breakerFlip) + ", not 0 or 1";
    if (before != nullptr && before->won && !game.won) return "a won game was un-won";
    return "";
}

// Alike means the same packed state (everything the solver keeps to decide the future) and the same in what
// it leaves out on purpose: the map, the formation tables, and the labels and map sizes of the robots that
// the drawing and the touch probes read. A game with a broken promise is reported first, since a slot that
// points into another game's robots cannot be packed.
template <int W, int H>
std::string differenceBetween(const spiele<W, H>& original, const spiele<W, H>& copy) {
    if (const std::string broken = brokenInvariant(original); !broken.empty())
        return "the original: " + broken;
    if (const std::string broken = brokenInvariant(copy); !broken.empty()) return "the copy: " + broken;
    if (copy.botCount != original.botCount) return "the copy has another number of robots";
    if (copy.text != original.text || copy.length != original.length) return "the copy plays another map";

    const packedRecord want = packedState(original), got = packedState(copy);
    for (int i = 0; i < want.count; ++i) {
        if (got.values[i] != want.values[i])
            return "packed field " + std::to_string(i) + " of " + std::to_string(want.count) +
                   " (in the order of stateLayout::write) is " + std::to_string(got.values[i]) +
                   " in the copy and " + std::to_string(want.values[i]) + " in the original";
    }

    for (int r = 0; r < original.botCount; ++r) {
        const bot &a = original.bots[r], &b = copy.bots[r];
        if (a.label != b.label || a.mapW != b.mapW || a.mapH != b.mapH)
            return "robot " + std::to_string(r) +
                   " wears another label or knows another map size in the copy";
    }
    if (copy.transbot.midLabel != original.transbot.midLabel ||
        copy.transbot.preMidLabel != original.transbot.preMidLabel ||
        copy.transbot.lastLabel != original.transbot.lastLabel)
        return "the copy's transbot marks other members as its middle or last";
    for (int s = 0; s < 9; ++s) {
        const shape &a = original.shapes[s], &b = copy.shapes[s];
        bool same = a.count == b.count;
        for (int i = 0; same && i < a.count; ++i)
            same = a.cols[i] == b.cols[i] && a.rows[i] == b.rows[i];
        if (!same) return "the copy's formation " + std::to_string(s) + " has other cells";
    }
    return "";
}

// A game checked after every tick, with an optional twin: a copy taken at some moment that gets the same
// commands from then on. The twin must play on alike, and its ticks must leave the original untouched.
template <int W, int H>
struct checkedGame {
    spiele<W, H> game, twin;
    bool twinned = false;

    void init(const char* text, const char* const* table) { game.init(text, table); }

    std::string copyNow() {
        twin = game;
        twinned = true;
        if (const std::string difference = differenceBetween(game, twin); !difference.empty())
            return "a fresh copy differs: " + difference;
        return "";
    }

    void control(int command) {
        game.control(command);
        if (twinned) twin.control(command);
    }

    std::string tick() {
        const spiele<W, H> before = game;
        if (twinned) {
            const packedRecord untouched = packedState(game);
            twin.process();
            if (!(packedState(game) == untouched)) return "the copy's tick changed the original";
        }
        game.process();
        if (const std::string broken = brokenInvariant(game, &before); !broken.empty()) return broken;
        if (twinned) {
            if (const std::string difference = differenceBetween(game, twin); !difference.empty())
                return "the copy no longer plays alike: " + difference;
        }
        return "";
    }
};

}  // namespace rulesCheck
