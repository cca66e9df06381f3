// Practice mode, for the player who is stuck: on both levels Backspace takes the level back to just before
// the last pose or Space that changed it, again and again, and r starts it again as it began; the pose that
// waits to fit, an arrow to a goal out of view and the win are shown over the screen. Every step kept is made
// at start-up, in a ring of fixed size; a frame allocates nothing. Off unless asked for: without it the game
// never comes here.
#pragma once

#include <SDL.h>

#include <memory>

#include "flow.h"
#include "platform.h"
#include "practiceSheet.h"
#include "screens.h"
#include "spieleUI.h"

// How many steps of a level can be taken back; beyond that the oldest go first.
constexpr int historySteps = 500;

// Everything of a view that changes while it plays, and the sign shown over it: what a step takes back.
template <int W, int H>
struct viewState {
    spiele<W, H> game;
    SDL_Rect spritePos[20] = {};
    int camCol = 0, camRow = 0;
    int scrollX = 0, scrollY = 0;
    int waitingPose = -1;
};

// Whether the game's `control` would change it: a pose other than the one asked for last, or Space with a
// group or a request to let go. The same pose again, or Space over nothing, is no step to take back.
template <int W, int H>
bool takesEffect(const spiele<W, H>& game, int command) {
    if (command < 0) return game.transbot.size() > 0 || game.wantedShape != -1;
    if (command <= 8) return game.wantedShape != command;
    return false;
}

// Blits one part of the practice picture with its top-left at (x, y); a missing picture shows nothing.
inline void drawPart(SDL_Surface* picture, picturePart part, SDL_Surface* display, int x, int y) {
    SDL_Rect from{static_cast<Sint16>(part.x), static_cast<Sint16>(part.y), static_cast<Uint16>(part.w),
                  static_cast<Uint16>(part.h)};
    SDL_Rect to{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    blit(picture, &from, display, &to);
}

// One level in practice mode: the steps that can be taken back, the level as it began, and what its marks
// show.
template <int W, int H>
struct practiceLevel {
    // The steps, oldest first from `first`, `count` of them, as a ring: a new step over a full ring takes the
    // place of the oldest.
    std::unique_ptr<viewState<W, H>[]> steps;
    int first = 0;
    int count = 0;
    bool forgotten = false;  // steps have gone, so undoing no longer reaches the level's start
    // Kept apart from the ring, so that it never goes.
    viewState<W, H> start;
    // The pose the waiting sign shows, -1 when none waits.
    int waitingPose = -1;
    // The goal cell, for the pointer; -1 on a map without one.
    int goalCol = -1, goalRow = -1;

    explicit practiceLevel(const spieleUI<W, H>& view)
        : steps(std::make_unique<viewState<W, H>[]>(historySteps)) {
        save(view, start);
        const int goal = findIndex<W, H>(view.game.text, '@');
        if (goal >= 0) goalCol = xFromIndex<W, H>(goal), goalRow = yFromIndex<W, H>(goal);
    }

    void save(const spieleUI<W, H>& view, viewState<W, H>& into) const {
        into.game = view.game;
        for (int i = 0; i < 20; ++i)
            into.spritePos[i] = view.spritePos[i];
        into.camCol = view.camCol, into.camRow = view.camRow;
        into.scrollX = view.scrollX, into.scrollY = view.scrollY;
        into.waitingPose = waitingPose;
    }

    void load(const viewState<W, H>& from, spieleUI<W, H>& view) {
        view.game = from.game;
        for (int i = 0; i < 20; ++i)
            view.spritePos[i] = from.spritePos[i];
        view.camCol = from.camCol, view.camRow = from.camRow;
        view.scrollX = from.scrollX, view.scrollY = from.scrollY;
        waitingPose = from.waitingPose;
    }

    void push(const spieleUI<W, H>& view) {
        save(view, steps[(first + count) % historySteps]);
        if (count < historySteps) {
            ++count;
        } else {
            first = (first + 1) % historySteps;
            forgotten = true;
        }
    }

    // Back one step; with none left, back to the level's start, unless steps have gone.
    void undo(spieleUI<W, H>& view) {
        if (count > 0) {
            --count;
            load(steps[(first + count) % historySteps], view);
        } else if (!forgotten) {
            load(start, view);
        }
    }

    // The level as it began; the restart is a step of its own, so Backspace takes it back.
    void restart(spieleUI<W, H>& view) {
        push(view);
        load(start, view);
    }

    // The level's frame step in practice mode: a rewind instead of the step, or the step with the state kept
    // first when the command changes the game. True when the level is won.
    bool frame(spieleUI<W, H>& view, SDL_Surface* display, int command, goBack back) {
        if (back != goBack::none) {
            if (back == goBack::undo)
                undo(view);
            else
                restart(view);
            view.draw(display, 0, 0);
            return view.end();
        }
        if (takesEffect(view.game, command)) push(view);
        const bool ticks = view.updated();
        // A disband empties the group before the tick, which may then seed a new pair.
        const int members = command < 0 ? 0 : view.game.transbot.size();
        const bool won = updateGame(display, view, command, 0, 0);
        followWaitingPose(view.game, ticks, members);
        return won;
    }

    // A pose waits once a tick has tried it and it did not fit. The tick that grew the group asks again for
    // the pose it holds, which is no wait yet; a new key or a disband ends the wait at once.
    void followWaitingPose(const spiele<W, H>& game, bool ticked, int membersBefore) {
        const bool waits = game.wantedShape >= 0 && game.wantedShape != game.currentShape;
        if (ticked) {
            const bool grew = game.transbot.size() > membersBefore;
            waitingPose = waits && (!grew || waitingPose == game.wantedShape) ? game.wantedShape : -1;
        } else if (waitingPose != game.wantedShape) {
            waitingPose = -1;
        }
    }

    // The waiting sign in the top-left corner, and an arrow at the edge of the screen towards a goal that is
    // wholly out of view, kept clear of the marks along the top.
    void drawMarks(const spieleUI<W, H>& view, SDL_Surface* display, SDL_Surface* picture) const {
        if (waitingPose >= 0) drawPart(picture, waitSign(waitingPose), display, 0, 0);
        if (goalCol < 0) return;
        const int x = goalCol * cellPixels - view.scrollX, y = goalRow * cellPixels - view.scrollY;
        const int dx = x + cellPixels <= 0 ? -1 : x >= windowWidth ? 1 : 0;
        const int dy = y + cellPixels <= 0 ? -1 : y >= windowHeight ? 1 : 0;
        if (dx == 0 && dy == 0) return;
        const int top = levelMark.h + 2;
        const int ax = x < 0 ? 0 : x > windowWidth - arrowPixels ? windowWidth - arrowPixels : x;
        const int ay = y < top ? top : y > windowHeight - arrowPixels ? windowHeight - arrowPixels : y;
        drawPart(picture, goalArrow(dx, dy), display, ax, ay);
    }
};

// Practice mode for the whole run: both levels' steps and the practice picture.
struct practiceMode {
    SDL_Surface* picture;  // "./img/practice.bmp", not owned; null when missing, and then no mark shows
    practiceLevel<level1W, level1H> level1;
    practiceLevel<level2W, level2H> level2;

    // Takes both levels as they are now, before their first frame, as their start.
    practiceMode(const screens& all, SDL_Surface* picture);

    // Screen s's frame step in practice mode with the frame's command and rewind (taken only by the levels),
    // then the marks over it. True when the level of that screen is won.
    bool frame(screens& all, int s, SDL_Surface* display, int command, goBack back);
};
