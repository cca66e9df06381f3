// `spiele`: the whole rule state of one map (robots, the transbot and nautbot groups, the nine formations,
// the flags) with its commands and its tick. No SDL, no allocation: a game is a plain value, safe to copy.
#pragma once

#include "rules/bot.h"
#include "rules/grid.h"
#include "rules/ro.h"
#include "rules/shape.h"

#include <functional>

// Every field of a game except its map, in one plain struct that the compiler copies whole: a field added
// here, or to `spiele` itself, can never be left out of a copy by a hand-written list.
struct spieleFields {
    bot bots[maxRobots] = {};
    int botCount = 0;
    trans transbot;
    naut nautbot;
    shape shapes[9] = {};
    int currentShape = -1;
    int wantedShape = -1;
    unsigned char breakerFlip = 0, won = 0;
};

// The groups point into `bots`: a copy takes every field as the compiler copies it and then points its
// list slots at its own robots, never the original's. This layer adds no field of its own.
struct spieleOwnRobots : spieleFields {
    spieleOwnRobots() = default;
    spieleOwnRobots(const spieleOwnRobots& other) : spieleFields(other) { repointFrom(other); }
    spieleOwnRobots& operator=(const spieleOwnRobots& other) {
        spieleFields::operator=(other);
        repointFrom(other);
        return *this;
    }

  private:
    // A slot that points at no robot of the original (a stale one past the end) points at none in the copy.
    static bot* repoint(bot* p, const bot* from, bot* to) {
        const std::less<const bot*> before;
        if (p == nullptr || before(p, from) || !before(p, from + maxRobots)) return nullptr;
        return to + (p - from);
    }

    // Assigning a game to itself maps every slot onto itself.
    void repointFrom(const spieleFields& other) {
        for (int i = 0; i < listCapacity; ++i) {
            transbot.slots[i] = repoint(other.transbot.slots[i], other.bots, bots);
            nautbot.slots[i] = repoint(other.nautbot.slots[i], other.bots, bots);
        }
    }
};
static_assert(sizeof(spieleOwnRobots) == sizeof(spieleFields),
              "every field of a game belongs in spieleFields");

// Copied and assigned as the compiler does: the map, then the fields with their slots re-pointed.
template <int W, int H>
struct spiele : level<W, H>, spieleOwnRobots {
    // Contact probes: above, below, left and right of a member. A robot joins on touching a member on any
    // side, so their order decides nothing: which robot joins is decided by the nautbot order, then the
    // member order.
    static constexpr int LR[4] = {0, 0, -1, 1};
    static constexpr int UD[4] = {-1, 1, 0, 0};

    void init(const char* mapText, const char* const* shapeTable) {
        breakerFlip = 0;
        botCount = 0;
        transbot = trans{};
        nautbot = naut{};
        level<W, H>::init(mapText);
        for (int k = 0; k < markerCount; ++k) {
            const int index = findIndex<W, H>(mapText, markerChar(k));
            if (index < 0) continue;
            bots[botCount].init(xFromIndex<W, H>(index), yFromIndex<W, H>(index), W, H);
            nautbot.push(&bots[botCount]);
            ++botCount;
        }
        for (int i = 0; i < 9; ++i)
            shapes[i].build(shapeTable[i]);
        wantedShape = -1;
        currentShape = -1;
        won = 0;
    }

    // 0..8 asks for a formation at the next tick; a negative command disbands now; anything above 8 is none.
    void control(int command) {
        if (command < 0) {
            scramble();
        } else if (command <= 8) {
            wantedShape = command;
        }
    }

    // Every member becomes free where it stands; they land at the end of the nautbots in reverse order.
    void scramble() {
        while (transbot.size() > 0)
            nautbot.push(transbot.pop());
        nautbot.unite();
        currentShape = -1;
        wantedShape = -1;
    }

    // Start markers are only where robots began: to the rules they are empty floor.
    char fromLevelAt(int index) const { return empty(this->at(index)); }
    char fromLevelAt(int x, int y) const { return empty(this->at(x, y)); }

    // Leaves the transbot's cursor just after the first blocked member, or at the end when none is blocked:
    // the belt examination of the tick goes on from there.
    bool noOneInTransbotCollideWithLevelRel(int dx, int dy) {
        transbot.reset();
        while (!transbot.end()) {
            const bot* member = transbot.next();
            if (fromLevelAt(member->col() + dx, member->row() + dy) != ' ') return false;
        }
        return true;
    }

    // One nautbot joins: the first, in nautbot order, that touches any member (members in order, then
    // probes).
    bool contactFusionWithTransbot() {
        nautbot.reset();
        while (!nautbot.end()) {
            const bot* robot = nautbot.peek();
            transbot.reset();
            while (!transbot.end()) {
                const bot* member = transbot.next();
                for (int p = 0; p < 4; ++p) {
                    if (robot->collideWithRel(member, LR[p], UD[p])) {
                        transbot.push(nautbot.peekRemove());
                        return true;
                    }
                }
            }
            nautbot.next();
        }
        return false;
    }

    // An empty transbot seeds itself with a touching pair. Seeds come from slot 0, and a failed seed goes
    // back to the end, so only the first and last nautbots take turns as seeds.
    bool findTwoNeighborInNautbot() {
        if (transbot.size() > 0) return true;
        for (int tries = 0; tries < nautbot.size(); ++tries) {
            transbot.push(nautbot.remove(0));
            if (contactFusionWithTransbot()) return true;
            nautbot.push(transbot.pop());
        }
        return false;
    }

    // Only the map keeps a formation out; robots of either group never do.
    bool shapeFitInLevel(shape& s) {
        for (int i = 0; i < s.size(); ++i) {
            if (fromLevelAt(s.col(i), s.row(i)) != ' ') return false;
        }
        return true;
    }

    // A request that is too big or does not fit here stays, to be tried again next tick; only a missing
    // partner for an empty transbot drops it.
    bool _transbotChangedShape() {
        if (currentShape == wantedShape) return false;
        if (!findTwoNeighborInNautbot()) {
            wantedShape = currentShape;
            return false;
        }
        if (wantedShape < 0 || wantedShape > 8) return false;
        const int n = transbot.size();
        shape& formation = shapes[wantedShape];
        if (!formation.resize(n)) return false;
        const bot* anchor = transbot.get(n - 1);
        formation.adjust(anchor->col(), anchor->row());
        if (!shapeFitInLevel(formation)) return false;
        transbot.reshape(formation);
        currentShape = wantedShape;
        return true;
    }

    // The nautbot at the cursor steps if the map is empty there and no other nautbot stands there.
    void nautbotStepRel(int dx, int dy) {
        if (nautbot.end()) return;
        bot* robot = nautbot.peek();
        if (fromLevelAt(robot->col() + dx, robot->row() + dy) == ' ' && !nautbot.peekCollideWithRel(dx, dy)) {
            robot->relMove(dx, dy);
        }
    }

    bool process() {
        transbot.unite();
        nautbot.unite();

        if (noOneInTransbotCollideWithLevelRel(0, 1)) transbot.relMove(0, 1);

        if (_transbotChangedShape()) {
            // The jump into a formation is drawn with plain faces until the next relabel.
            for (int i = 0; i < transbot.size(); ++i)
                transbot.get(i)->label = '0';
        }

        examineUnderTransbot();
        moveNautbots();

        // The grown group re-forms into the wanted formation from its new last member.
        if (contactFusionWithTransbot()) currentShape = -1;
        return won;
    }

  private:
    static constexpr char empty(char c) { return isMarker(c) ? ' ' : c; }

    // Cells under the members, in list order: goal, breaker, belts. One belt move at most per tick. Each step
    // of the walk moves the cursor on, so it takes at most one step per member; the bound makes a walk that
    // came back to a member end the tick rather than hang it.
    void examineUnderTransbot() {
        transbot.reset();
        for (int steps = transbot.size(); steps > 0 && !transbot.end(); --steps) {
            const bot* member = transbot.peek();
            const char below = fromLevelAt(member->col(), member->row() + 1);
            if (below == '@') {
                won = 1;
                transbot.next();
            } else if (below == '!') {
                scramble();
                wantedShape = -1;
                return;
            } else if (below == '<' || below == '>') {
                const int onBelt = transbot.cursor;
                if (noOneInTransbotCollideWithLevelRel(below == '<' ? -1 : 1, 0)) {
                    transbot.relMove(below == '<' ? -1 : 1, 0);
                    return;
                }
                // The test stopped just after the first blocked member j; the walk resumes at j + 2. When j
                // lies two or more places before the belt member, j + 2 would come back to it and never end:
                // resume after the belt member instead, so no member is looked at twice.
                const int blocked = transbot.cursor - 1;
                if (blocked + 2 <= onBelt)
                    transbot.cursor = onBelt + 1;
                else
                    transbot.next();
            } else {
                transbot.next();
            }
        }
    }

    // Free robots in list order, one step each; each sees the ones before it where they now stand.
    void moveNautbots() {
        nautbot.reset();
        while (!nautbot.end()) {
            const bot* robot = nautbot.peek();
            const char below = fromLevelAt(robot->col(), robot->row() + 1);
            if (below == ' ') {
                nautbotStepRel(0, 1);
            } else if (below == '!') {
                // One flag for all nautbots and all ticks: pushes alternate sides whether or not they
                // succeed.
                if (breakerFlip == 1) {
                    nautbotStepRel(1, 0);
                    breakerFlip = 0;
                } else {
                    nautbotStepRel(-1, 0);
                    breakerFlip = 1;
                }
            } else if (below == '<') {
                nautbotStepRel(-1, 0);
            } else if (below == '>') {
                nautbotStepRel(1, 0);
            }
            nautbot.next();
        }
    }
};
