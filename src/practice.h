// Practice mode, for the player who is stuck: on both levels Backspace takes the level back to just before
// the last pose or Space that changed it, again and again, and r starts it again as it began; the pose that
// waits to fit, an arrow to a goal out of view and the win are shown over the screen. Every step kept is made
// at start-up, in a ring of fixed size; a frame allocates nothing. Off unless asked for: without it the game
// never comes here.
#pragma once

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "flow.h"
#include "hint.h"
#include "platform.h"
#include "posePreview.h"
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

// How long a pose key that changed nothing is marked so on the pose panel, in game frames: half a second.
constexpr int sameShowFrames = 60;

// A sign's size and its place in the window's bottom-left corner: `dx` from the left edge, `fromBottom`
// between its bottom and the window's. Level 1 leaves the bottom 100 pixels free, so there every sign stands
// below the play; elsewhere the same arrangement is tried mirrored into the other corners, then centred at
// the bottom and the top.
struct signDock {
    int w, h, dx, fromBottom;
};
constexpr int poseEntryW = 52;
constexpr int poseEntryH = 25;
constexpr signDock panelDock{160, panelHeading.h + 1 + 3 * poseEntryH, 2, 2};
constexpr signDock timeDock{pausedSign.w, pausedSign.h, 168, 76};
constexpr signDock waitingDock{waitSignW, waitSignH, 168, 52};
constexpr signDock undoDock{undoLabel.w + 3 * digitPart(0).w, undoLabel.h, 168, 28};
constexpr signDock markDock{levelMark.w, levelMark.h, 172, 2};
constexpr signDock hintDock{hintThinking.w, hintThinking.h, 400, 76};

inline bool overlap(const SDL_Rect& a, const SDL_Rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// Whether a sign at `r` on the display covers no robot and no belt, breaker or goal of a view drawn at
// (offsetX, offsetY).
template <int W, int H>
bool clearOfPlay(const spieleUI<W, H>& view, int offsetX, int offsetY, const SDL_Rect& r) {
    for (int i = 0; i < view.game.botCount; ++i) {
        const SDL_Rect robot{static_cast<Sint16>(view.spritePos[i].x + offsetX),
                             static_cast<Sint16>(view.spritePos[i].y + offsetY), cellPixels, cellPixels};
        if (overlap(r, robot)) return false;
    }
    const int left = r.x - offsetX + view.scrollX, top = r.y - offsetY + view.scrollY;
    for (int col = left / cellPixels; col <= (left + r.w - 1) / cellPixels; ++col)
        for (int row = top / cellPixels; row <= (top + r.h - 1) / cellPixels; ++row) {
            const char tile = view.game.at(col, row);
            if (tile == '<' || tile == '>' || tile == '!' || tile == '@') return false;
        }
    return true;
}

// The signs of one frame, placed one after another: each takes the first corner where it hides no play and
// no sign placed before it, and where there is none it is not drawn.
struct signPlaces {
    SDL_Rect taken[8] = {};
    int count = 0;

    // A sign whose place is fixed.
    void hold(int x, int y, int w, int h) {
        if (count < 8)
            taken[count++] = {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
                              static_cast<Uint16>(h)};
    }

    template <int W, int H>
    const SDL_Rect* place(const spieleUI<W, H>& view, int offsetX, int offsetY, const signDock& dock) {
        if (count == 8) return nullptr;
        for (int corner = 0; corner < 6; ++corner) {
            const bool right = corner & 1, centred = corner >= 4,
                       top = centred ? corner == 5 : (corner & 2) != 0;
            const int x = centred ? (windowWidth - dock.w) / 2
                          : right ? windowWidth - dock.dx - dock.w
                                  : dock.dx;
            const SDL_Rect r{
                static_cast<Sint16>(x),
                static_cast<Sint16>(top ? dock.fromBottom : windowHeight - dock.fromBottom - dock.h),
                static_cast<Uint16>(dock.w), static_cast<Uint16>(dock.h)};
            bool free = clearOfPlay(view, offsetX, offsetY, r);
            for (int i = 0; i < count && free; ++i)
                free = !overlap(r, taken[i]);
            if (!free) continue;
            taken[count] = r;
            return &taken[count++];
        }
        return nullptr;
    }
};

inline void fillBox(SDL_Surface* display, int x, int y, int w, int h, Uint8 r, Uint8 g, Uint8 b) {
    SDL_Rect box{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
                 static_cast<Uint16>(h)};
    SDL_FillRect(display, &box, SDL_MapRGB(display->format, r, g, b));
}

// A pose in a 24-pixel box, four pixels a cell, standing on the box's floor; its anchor cell in gold.
inline void drawMiniPose(const posePreview& pose, SDL_Surface* display, int x, int y) {
    if (pose.count == 0) return;
    const int minCol = *std::min_element(pose.cols, pose.cols + pose.count);
    const int minRow = *std::min_element(pose.rows, pose.rows + pose.count);
    const int maxRow = *std::max_element(pose.rows, pose.rows + pose.count);
    const int floor = y + 24 - (maxRow - minRow + 1) * 4;
    for (int i = pose.count - 1; i >= 0; --i) {
        const bool anchor = i == 0;
        fillBox(display, x + (pose.cols[i] - minCol) * 4, floor + (pose.rows[i] - minRow) * 4, 3, 3,
                anchor ? 250 : 200, anchor ? 200 : 210, anchor ? 60 : 235);
    }
}

// A count in the practice picture's digits, from (x, y).
inline void drawNumber(SDL_Surface* picture, int n, SDL_Surface* display, int x, int y) {
    char digits[12];
    const int length = std::snprintf(digits, sizeof digits, "%d", n);
    for (int i = 0; i < length; ++i)
        drawPart(picture, digitPart(digits[i] - '0'), display, x + i * digitPart(0).w, y);
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
    // A pose key that changed nothing is marked so on the pose panel for a moment: which, and frames left.
    int samePose = -1;
    int sameFrames = 0;
    // The hint's search, with all its memory, made with practice mode.
    std::unique_ptr<search<W, H>> solver;

    explicit practiceLevel(const spieleUI<W, H>& view)
        : steps(std::make_unique<viewState<W, H>[]>(historySteps)),
          solver(std::make_unique<search<W, H>>(view.game.text, thoseShape1, hintCapacity)) {
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

    // A plan from the level as it stands, at a tick boundary with nothing pressed since the tick before.
    const searchAnswer& solve(const spieleUI<W, H>& view) {
        return solver->run(view.game, false, hintBudget, hintWeightHalves);
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
    // first when the command changes the game. True when the level is won. The picture is drawn after.
    bool frame(spieleUI<W, H>& view, int command, goBack back) {
        if (back != goBack::none) {
            if (back == goBack::undo)
                undo(view);
            else
                restart(view);
            return view.end();
        }
        if (sameFrames > 0) --sameFrames;
        if (takesEffect(view.game, command)) {
            push(view);
        } else if (command >= 0 && command <= 8) {
            samePose = command;
            sameFrames = sameShowFrames;
        }
        const bool ticks = view.updated();
        // A disband empties the group before the tick, which may then seed a new pair.
        const int members = command < 0 ? 0 : view.game.transbot.size();
        const bool won = view.step(command);
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

    // The signs over a level: the pose panel, the waiting sign, the steps Backspace can take back and an
    // arrow at the edge of the screen towards a goal wholly out of view; each where it hides no play.
    void drawSigns(const spieleUI<W, H>& view, int offsetX, int offsetY, SDL_Surface* display,
                   SDL_Surface* picture, signPlaces& places) const {
        if (const SDL_Rect* at = places.place(view, offsetX, offsetY, panelDock))
            drawPosePanel(view.game, *at, display, picture);
        if (waitingPose >= 0)
            if (const SDL_Rect* at = places.place(view, offsetX, offsetY, waitingDock))
                drawPart(picture, waitSign(waitingPose), display, at->x, at->y);
        if (const SDL_Rect* at = places.place(view, offsetX, offsetY, undoDock)) {
            drawPart(picture, undoLabel, display, at->x, at->y);
            drawNumber(picture, count, display, at->x + undoLabel.w, at->y);
        }
        if (goalCol < 0) return;
        const int x = goalCol * cellPixels - view.scrollX + offsetX,
                  y = goalRow * cellPixels - view.scrollY + offsetY;
        const int dx = x + cellPixels <= 0 ? -1 : x >= windowWidth ? 1 : 0;
        const int dy = y + cellPixels <= 0 ? -1 : y >= windowHeight ? 1 : 0;
        if (dx == 0 && dy == 0) return;
        const int top = levelMark.h + 2;
        const int ax = x < 0 ? 0 : x > windowWidth - arrowPixels ? windowWidth - arrowPixels : x;
        const int ay = y < top ? top : y > windowHeight - arrowPixels ? windowHeight - arrowPixels : y;
        drawPart(picture, goalArrow(dx, dy), display, ax, ay);
    }

    // Nine poses as the group would take them, in the keys' 3 x 3 block: each key, and the pose cut to the
    // group's size with the cell it grows from in gold. The pose the group holds is lit, a waiting one warm,
    // and one whose key just changed nothing says so.
    void drawPosePanel(const spiele<W, H>& game, const SDL_Rect& at, SDL_Surface* display,
                       SDL_Surface* picture) const {
        fillBox(display, at.x, at.y, panelDock.w, panelDock.h, 22, 26, 44);
        drawPart(picture, panelHeading, display, at.x, at.y);
        posePreview poses[9];
        previewPoses(game, poses);
        for (int k = 0; k < 9; ++k) {
            const int x = at.x + 2 + (k % 3) * poseEntryW,
                      y = at.y + panelHeading.h + 1 + (k / 3) * poseEntryH;
            if (game.transbot.size() > 0 && k == game.currentShape)
                fillBox(display, x - 1, y, poseEntryW - 2, poseEntryH - 1, 58, 70, 120);
            else if (k == waitingPose)
                fillBox(display, x - 1, y, poseEntryW - 2, poseEntryH - 1, 110, 80, 30);
            drawPart(picture, poseKeycap(k), display, x, y + 2);
            drawMiniPose(poses[k], display, x + poseKeycap(k).w + 3, y);
            if (k == samePose && sameFrames > 0) {
                const int mx =
                    std::clamp(x - (sameMark.w - poseEntryW) / 2, int{at.x}, at.x + panelDock.w - sameMark.w);
                drawPart(picture, sameMark, display, mx, y + 2);
            }
        }
    }
};

// What the signs over a screen read besides the view's own picture (the signs' places and the goal's arrow
// follow the sprites and the scroll): two frames equal here and in their views draw the same signs.
struct signsPicture {
    bool marks = false, underTeeth = false, paused = false, won = false;
    int slowness = 1;
    hintSign hint = hintSign::none;
    int pressed = 0;
    // The level's own: the waiting pose, the steps to take back, the pose marked as changing nothing, and
    // the group the pose panel is cut to.
    int waitingPose = -1, steps = 0, samePose = -1, members = 0, currentShape = -1;
    bool operator==(const signsPicture&) const = default;
};

// Practice mode for the whole run: both levels' steps and the practice picture.
struct practiceMode {
    SDL_Surface* picture;  // "./img/practice.bmp", not owned; null when missing, and then no mark shows
    practiceLevel<level1W, level1H> level1;
    practiceLevel<level2W, level2H> level2;

    // Takes both levels as they are now, before their first frame, as their start.
    practiceMode(const screens& all, SDL_Surface* picture);

    // Without it the marks that name keys are left out: on a touch screen the page names its buttons.
    bool marks = true;
    // A run on a player's level has one level to win, in level 2's place.
    bool playersLevel = false;
    hintRun hint;
    // While the curtain moves, pause and slow motion show where the teeth meet instead.
    bool underTeeth = false;

    // Screen s's frame step in practice mode with the frame's command and rewind (taken only by the levels).
    // True when the level of that screen is won. Its picture and signs are drawn after the frame.
    bool frame(screens& all, int s, int command, goBack back);

    // What drawSigns would draw over screen s, beyond what the view's picture holds.
    signsPicture signs(const screens& all, int s, const timeControl& time) const;

    // The signs over screen s as it stands: the mark, pause or slow motion, the hint, and the level's own.
    void drawSigns(screens& all, int s, SDL_Surface* display, const timeControl& time) const;

    // A plan from level s as it stands (1 or 2's screen number).
    const searchAnswer& solve(screens& all, int s);

    void drawHintSign(SDL_Surface* display, const SDL_Rect& at) const;
    // Pause or slow motion, where the teeth meet while the curtain moves, since they cover every other sign.
    void drawTimeOverTeeth(SDL_Surface* display, const timeControl& time) const;
};
