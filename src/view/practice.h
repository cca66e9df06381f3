// Practice mode, for the player who is stuck: on both levels Backspace takes the level back to just before
// the last pose or Space that changed it, again and again, and r starts it again as it began. Its signs (the
// poses, the pose that waits to fit, time, the hint, the striped blocks' next push, the wins) stand in a
// strip below the play on the desktop, and only an arrow to a goal out of view is drawn over the play. Every
// step kept is made at start-up, in a ring of fixed size; a frame allocates nothing. Off unless asked for:
// without it the game never comes here.
#pragma once

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "rules/flow.h"
#include "sdl/platform.h"
#include "solver/hint.h"
#include "solver/posePreview.h"
#include "view/practiceSheet.h"
#include "view/screens.h"
#include "view/spieleUI.h"

// How many steps of a level can be taken back; beyond that the oldest go first.
constexpr int historySteps = 500;

// What a step takes back: the view as it played, and the waiting pose's sign shown over it.
template <int W, int H>
struct practiceStep {
    viewState<W, H> view;
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

// How long a pose key that changed nothing is said so, in game frames: half a second.
constexpr int sameShowFrames = 60;

// The strip of signs below the play area, as wide as it: six lines of text. The play area keeps the window's
// top-left corner, so the strip is there only when the display is taller than the play.
constexpr int stripHeight = 6 * glyphH;
constexpr int stripTop = windowHeight;
inline bool hasStrip(const SDL_Surface* display) {
    return display->h >= windowHeight + stripHeight;
}

// Where each sign stands in the strip: from pixel x of line `line`, `chars` characters wide. The pose panel
// is on the left and the other signs to its right, each in a place of its own, as wide as its longest text,
// so that none covers another or is cut.
struct stripPlace {
    int x, line, chars;
    constexpr int left() const { return x; }
    constexpr int top() const { return stripTop + line * glyphH; }
    constexpr int right() const { return x + chars * glyphW; }
};
constexpr int poseEntryW = 80;
constexpr int poseEntryH = 25;
constexpr int panelX = 6;
constexpr int panelW = 3 * poseEntryW;
constexpr int signsX = panelX + panelW + 14;
constexpr int signsChars = (windowWidth - signsX) / glyphW;
constexpr stripPlace timePlace{signsX, 0, 28};
constexpr stripPlace newsPlace{signsX + 30 * glyphW, 0, 24};
constexpr stripPlace hintPlace{signsX, 1, signsChars};
constexpr stripPlace waitPlace{signsX, 2, 26};
constexpr stripPlace samePlace{signsX + 28 * glyphW, 2, 24};
constexpr stripPlace undoPlace{signsX, 3, 26};
constexpr stripPlace pushPlace{signsX + 28 * glyphW, 3, 24};
constexpr stripPlace markPlace{signsX, 4, signsChars};  // and the line below it
constexpr stripPlace endPlace{wonBanner.w + 10, 3, (windowWidth - wonBanner.w - 10) / glyphW};
static_assert(newsPlace.left() >= timePlace.right() && samePlace.left() >= waitPlace.right() &&
              pushPlace.left() >= undoPlace.right());
static_assert(newsPlace.right() <= windowWidth && samePlace.right() <= windowWidth &&
              pushPlace.right() <= windowWidth && hintPlace.right() <= windowWidth);
static_assert(stripTop + 20 + 3 * poseEntryH + glyphH <= stripTop + stripHeight, "the pose panel fits");

inline void fillBox(SDL_Surface* display, int x, int y, int w, int h, groundColour c) {
    SDL_Rect box{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
                 static_cast<Uint16>(h)};
    SDL_FillRect(display, &box, SDL_MapRGB(display->format, c.r, c.g, c.b));
}

// Text in the picture's lettering, from (x, y), no further than `limit` characters; returns the x after it.
inline int drawText(SDL_Surface* picture, glyphInk ink, const char* text, SDL_Surface* display, int x, int y,
                    int limit = windowWidth / glyphW) {
    for (int i = 0; text[i] != '\0' && i < limit; ++i, x += glyphW)
        drawPart(picture, glyph(ink, text[i]), display, x, y);
    return x;
}

// A key's name on a cap, from (x, y); returns the x after the cap and the space that follows it.
constexpr int capMargin = 3;
inline int drawKey(SDL_Surface* picture, const char* name, SDL_Surface* display, int x, int y) {
    const int w = static_cast<int>(std::strlen(name)) * glyphW + 2 * capMargin;
    fillBox(display, x, y + 1, w, glyphH - 2, capGround);
    drawText(picture, capInk, name, display, x + capMargin, y);
    return x + w + glyphW / 2;
}

constexpr const char* poseNames[9] = {"q", "w", "e", "a", "s", "d", "z", "x", "c"};

// A key's name as it shows on a cap: a pose's letter or Space.
inline const char* keyName(int sym) {
    if (sym == keySpace) return "Space";
    for (int k = 0; k < 9; ++k)
        if (sym == formationKeys[k]) return poseNames[k];
    return "?";
}

// `from` at half its size into `half`, every other pixel of every other row, see-through where those are.
// The map view draws with it, since SDL 1.2 can't blit at a scale.
inline void halve(SDL_Surface* from, SDL_Surface* half) {
    if (from == nullptr || half == nullptr) return;
    SDL_LockSurface(from);
    SDL_LockSurface(half);
    for (int y = 0; y < half->h; ++y)
        for (int x = 0; x < half->w; ++x)
            static_cast<Uint32*>(half->pixels)[y * half->pitch / 4 + x] =
                static_cast<const Uint32*>(from->pixels)[2 * y * from->pitch / 4 + 2 * x];
    SDL_UnlockSurface(half);
    SDL_UnlockSurface(from);
}

// Start-up only: a picture at half the size of `from`, halved from it (null when it can't be made).
inline SDL_Surface* halfSize(SDL_Surface* from) {
    if (from == nullptr || from->format->BytesPerPixel != 4) return nullptr;
    SDL_Surface* half = newLayer(from, from->w / 2, from->h / 2);
    halve(from, half);
    return half;
}

// A pose as large as fits a box `w` x `h` at (x, y), up to eight pixels a cell, standing on the box's floor,
// its cells a pixel apart; its anchor cell in gold. A pair reads as well as a tall pose of six.
inline void drawMiniPose(const posePreview& pose, SDL_Surface* display, int x, int y, int w, int h) {
    if (pose.count == 0) return;
    const int minCol = *std::min_element(pose.cols, pose.cols + pose.count);
    const int maxCol = *std::max_element(pose.cols, pose.cols + pose.count);
    const int minRow = *std::min_element(pose.rows, pose.rows + pose.count);
    const int maxRow = *std::max_element(pose.rows, pose.rows + pose.count);
    const int cell = std::max(2, std::min({8, w / (maxCol - minCol + 1), h / (maxRow - minRow + 1)}));
    const int floor = y + h - (maxRow - minRow + 1) * cell;
    for (int i = pose.count - 1; i >= 0; --i) {
        const bool anchor = i == 0;
        fillBox(display, x + (pose.cols[i] - minCol) * cell, floor + (pose.rows[i] - minRow) * cell, cell - 1,
                cell - 1, anchor ? groundColour{250, 200, 60} : groundColour{200, 210, 235});
    }
}

// One level in practice mode: the steps that can be taken back, the level as it began, and what its marks
// show.
template <int W, int H>
struct practiceLevel {
    // The steps, oldest first from `first`, `count` of them, as a ring: a new step over a full ring takes the
    // place of the oldest.
    std::unique_ptr<practiceStep<W, H>[]> steps;
    int first = 0;
    int count = 0;
    bool forgotten = false;  // steps have gone, so undoing no longer reaches the level's start
    // Kept apart from the ring, so that it never goes.
    practiceStep<W, H> start;
    // The pose the waiting sign shows, -1 when none waits.
    int waitingPose = -1;
    // The goal cell, for the pointer; -1 on a map without one.
    int goalCol = -1, goalRow = -1;
    // Whether the map has a striped block, whose next push is then shown.
    bool striped = false;
    // A pose key that changed nothing is marked so on the pose panel for a moment: which, and frames left.
    int samePose = -1;
    int sameFrames = 0;
    // The hint's search, with all its memory, made with practice mode.
    std::unique_ptr<search<W, H>> solver;

    explicit practiceLevel(const spieleUI<W, H>& view)
        : steps(std::make_unique<practiceStep<W, H>[]>(historySteps)),
          solver(std::make_unique<search<W, H>>(view.game.text, thoseShape1, hintCapacity)) {
        save(view, start);
        readMap(view);
    }

    // The view's map as it begins after the view loaded another: no step kept, nothing marked, and the hint's
    // search set up again for it in the memory it holds.
    void restartWith(const spieleUI<W, H>& view) {
        first = count = 0;
        forgotten = false;
        waitingPose = samePose = -1;
        sameFrames = 0;
        solver->reset(view.game.text, thoseShape1);
        save(view, start);
        readMap(view);
    }

    void readMap(const spieleUI<W, H>& view) {
        const int goal = findIndex<W, H>(view.game.text, '@');
        goalCol = goalRow = -1;
        if (goal >= 0) goalCol = xFromIndex<W, H>(goal), goalRow = yFromIndex<W, H>(goal);
        striped = findIndex<W, H>(view.game.text, '!') >= 0;
    }

    void save(const spieleUI<W, H>& view, practiceStep<W, H>& into) const {
        into.view = view;
        into.waitingPose = waitingPose;
    }

    void load(const practiceStep<W, H>& from, spieleUI<W, H>& view) {
        static_cast<viewState<W, H>&>(view) = from.view;
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
    // the pose it holds, which is no wait yet; a new key or a disband ends the wait at once. A key with no
    // pose here (w and x) never waits: it starts a pair, or ends a wait.
    void followWaitingPose(const spiele<W, H>& game, bool ticked, int membersBefore) {
        const bool waits = game.wantedShape >= 0 && game.wantedShape != game.currentShape &&
                           game.shapes[game.wantedShape].count > 0;
        if (ticked) {
            const bool grew = game.transbot.size() > membersBefore;
            waitingPose = waits && (!grew || waitingPose == game.wantedShape) ? game.wantedShape : -1;
        } else if (waitingPose != game.wantedShape) {
            waitingPose = -1;
        }
    }

    // Which way the striped blocks push the next free robot that stands on one: -1 left, 1 right; 0 on a
    // map without them. One alternation for the whole level, which undo takes back with the rest. A push
    // that a wall or a robot blocks still turns it, so a robot on a block may go the other way than the
    // next push: the way a free robot on a block moves off it in the next two ticks, when one does, is the
    // one said.
    int nextPush(const spiele<W, H>& game) const {
        if (!striped) return 0;
        spiele<W, H> next = game;
        for (int tick = 0; tick < 2; ++tick) {
            int onBlock = 0, col[maxRobots], row[maxRobots];
            const bot* robot[maxRobots];
            for (int i = 0; i < next.nautbot.size(); ++i) {
                const bot* free = next.nautbot.get(i);
                if (next.fromLevelAt(free->col(), free->row() + 1) != '!') continue;
                robot[onBlock] = free, col[onBlock] = free->col(), row[onBlock++] = free->row();
            }
            if (onBlock == 0) break;
            next.process();
            for (int i = 0; i < onBlock; ++i)
                if (robot[i]->row() == row[i] && robot[i]->col() != col[i]) return robot[i]->col() - col[i];
        }
        return game.breakerFlip == 1 ? 1 : -1;
    }

    // An arrow at the edge of the play towards a goal wholly out of view, the one sign drawn over the play.
    void drawGoalArrow(const spieleUI<W, H>& view, int offsetX, int offsetY, SDL_Surface* display,
                       SDL_Surface* picture) const {
        if (goalCol < 0) return;
        const int x = goalCol * cellPixels - view.scrollX + offsetX,
                  y = goalRow * cellPixels - view.scrollY + offsetY;
        const int dx = x + cellPixels <= 0 ? -1 : x >= windowWidth ? 1 : 0;
        const int dy = y + cellPixels <= 0 ? -1 : y >= windowHeight ? 1 : 0;
        if (dx == 0 && dy == 0) return;
        const int ax = std::clamp(x, 0, windowWidth - arrowPixels);
        const int ay = std::clamp(y, 0, windowHeight - arrowPixels);
        drawPart(picture, goalArrow(dx, dy), display, ax, ay);
    }

    // The level's own signs in the strip: the pose panel, the pose that waits, a pose key that changed
    // nothing, the steps Backspace can take back and the striped blocks' next push.
    void drawSigns(const spiele<W, H>& game, SDL_Surface* display, SDL_Surface* picture) const {
        drawPosePanel(game, display, picture);
        if (waitingPose >= 0) {
            posePreview poses[9];
            previewPoses(game, poses);
            const int x =
                drawKey(picture, poseNames[waitingPose], display, waitPlace.left(), waitPlace.top());
            drawMiniPose(poses[waitingPose], display, x, waitPlace.top() + 1, 20, glyphH - 2);
            drawText(picture, headingInk, "waits to fit", display, x + 22, waitPlace.top());
        }
        if (sameFrames > 0 && samePose >= 0) {
            const int x = drawKey(picture, poseNames[samePose], display, samePlace.left(), samePlace.top());
            drawText(picture, textInk, "changed nothing", display, x, samePlace.top());
        }
        char line[32];
        std::snprintf(line, sizeof line, "undo: %d step%s back", count, count == 1 ? "" : "s");
        drawText(picture, textInk, line, display, undoPlace.left(), undoPlace.top(), undoPlace.chars);
        if (const int push = nextPush(game); push != 0)
            drawText(picture, textInk, push < 0 ? "next striped push: left" : "next striped push: right",
                     display, pushPlace.left(), pushPlace.top());
    }

    // Nine poses as the group would take them, in the keys' 3 x 3 block: each key, and the pose cut to the
    // group's size with the cell it grows from in gold; w and x, which have no pose here, start a pair. The
    // pose the group holds is lit and a waiting one warm.
    void drawPosePanel(const spiele<W, H>& game, SDL_Surface* display, SDL_Surface* picture) const {
        // With no group a pose key seeds a pair, and the panel shows the poses of that pair. A group some of
        // whose robots share a cell says so instead, as the play shows fewer robots than its poses have.
        const int members = game.transbot.size(), cells = memberCells(game);
        char heading[48];
        if (cells < members)
            std::snprintf(heading, sizeof heading, "group of %d in %d cells", members, cells);
        else
            std::snprintf(heading, sizeof heading, "%s",
                          members == 0 ? "poses for a new pair" : "poses for this group");
        drawText(picture, headingInk, heading, display, panelX, stripTop, panelW / glyphW);
        posePreview poses[9];
        previewPoses(game, poses);
        for (int k = 0; k < 9; ++k) {
            const int x = panelX + (k % 3) * poseEntryW, y = stripTop + glyphH + (k / 3) * poseEntryH;
            if (game.transbot.size() > 0 && k == game.currentShape)
                fillBox(display, x, y, poseEntryW - 4, poseEntryH - 1, groundColour{58, 70, 120});
            else if (k == waitingPose)
                fillBox(display, x, y, poseEntryW - 4, poseEntryH - 1, groundColour{110, 80, 30});
            const int after = drawKey(picture, poseNames[k], display, x + 2, y + 2);
            if (game.shapes[k].count == 0)
                drawText(picture, textInk, "pair", display, after, y + 2);
            else
                drawMiniPose(poses[k], display, after, y + 1, x + poseEntryW - 6 - after, poseEntryH - 2);
        }
        drawText(picture, textInk, "w x: pair, cancel a wait", display, panelX,
                 stripTop + glyphH + 3 * poseEntryH + 1);
    }
};

// Who won a level: no one yet, the player, or a replay being watched (the solution, or a recorded run).
enum class winner { nobody, player, replay };

// What the strip reads besides the view's own picture (the goal's arrow follows the scroll): two frames
// equal here and in their views draw the same signs.
struct signsPicture {
    bool marks = false, paused = false;
    int slowness = 1;
    int keysWaiting = 0;  // keys pressed while paused, waiting for a step
    hintSign hint = hintSign::none;
    int pressed = 0;
    // The level's own: the waiting pose, the steps to take back, the pose marked as changing nothing, the
    // group the pose panel is cut to, and the striped blocks' next push.
    int waitingPose = -1, steps = 0, samePose = -1, members = 0, currentShape = -1, push = 0;
    int memberCells = 0;  // the cells the group stands in, fewer than `members` where robots share one
    bool map = false;
    // The wins, for the news of a level won and the end's message.
    winner level1 = winner::nobody, level2 = winner::nobody, own = winner::nobody;
    bool operator==(const signsPicture&) const = default;
};

// Practice mode for the whole run: the levels' steps and the practice picture.
struct practiceMode {
    SDL_Surface* picture;  // "./img/practice.bmp", not owned; null when missing, and then no sign shows
    practiceLevel<level1W, level1H> level1;
    // A run plays level 2 or a player's levels, and keeps steps for the one it plays.
    std::optional<practiceLevel<level2W, level2H>> level2;
    std::optional<practiceLevel<customW, customH>> own;

    // Takes the levels as they are now, before their first frame, as their start.
    practiceMode(const screens& all, SDL_Surface* picture, bool playersLevel);
    ~practiceMode() { releaseMap(); }
    // One owner of the map's pictures: a copy would free them twice.
    practiceMode(const practiceMode&) = delete;
    practiceMode& operator=(const practiceMode&) = delete;

    // Without it the marks that name keys are left out: on a touch screen the page names its buttons.
    bool marks = true;
    // A run on a player's levels: one from a file, or a pack's in turn.
    bool playersLevel = false;
    // Whether the frames now come from a replay, and whether that replay is the game's solution: a win
    // watched is never the player's.
    bool replaying = false;
    bool solution = false;
    // Who won each level, as it was won.
    winner level1Won = winner::nobody, level2Won = winner::nobody, ownWon = winner::nobody;
    // The large level's map (level 2's, or the player's level's) and the sprite sheet at half size, for the
    // map view; owned, null when not made.
    SDL_Surface* halfMap = nullptr;
    SDL_Surface* halfSheet = nullptr;
    hintRun hint;
    // Hints asked for on the player's level since it began, which its solved screen tells.
    int hintsTaken = 0;

    // Screen s's frame step in practice mode with the frame's command and rewind (taken only by the levels).
    // True when the level of that screen is won. Its picture and signs are drawn after the frame.
    bool frame(screens& all, int s, int command, goBack back);

    // What drawSigns would draw for screen s, beyond what the view's picture holds.
    signsPicture signs(const screens& all, int s, const timeControl& time) const;

    // The signs of screen s as it stands: the goal's arrow over the play, and, where the display has the
    // strip below the play, every other sign there.
    void drawSigns(screens& all, int s, SDL_Surface* display, const timeControl& time) const;

    // A plan from the level of screen s as it stands (level 1, level 2 or a player's level).
    const searchAnswer& solve(screens& all, int s);

    // The news of a level just won, null while none is; and the end's message, null before the last level
    // is won. Both say who won it: the player, or the replay being watched.
    const char* news(int s) const;
    const char* endMessage() const;

    // Start-up only: the half-size pictures of the map view, once the views' layers are ready; and their
    // end, while SDL still runs.
    void makeMap(const screens& all);
    void releaseMap();
    // The player's level as it begins, once the screen's view has loaded it: its steps, its win and its map.
    void levelLoaded(const screens& all);
    // The view of the run's large level: level 2, or the player's level.
    const spieleUI<level2W, level2H>& large(const screens& all) const {
        return playersLevel ? all.own : all.level2;
    }
    // Whether screen s shows the whole level at half size instead of the view: the large level when its map
    // is larger than the view and the map was asked for. A level that fits shows as it is.
    bool mapShown(const screens& all, int s, const timeControl& time) const;
    // The whole large level at half size, every robot where it stands, from the play area's top-left corner.
    void drawMap(const screens& all, SDL_Surface* display) const;

    void drawHint(SDL_Surface* display) const;
    // Beside PAUSED: how many keys wait for a step, and the speed play will resume at.
    void drawPausedWaits(const timeControl& time, SDL_Surface* display) const;
    void drawMark(int s, SDL_Surface* display) const;
};
