// The whole game, frame by frame through the game's own frame step (Return, the two committed plans, the
// curtains, Escape), every win, screen change and tick frame checked against what the rules and the glide
// imply. Keys go straight to the step instead of through SDL's queue; dummy video driver, no window, no
// files.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "../tools/solve_plan.h"
#include "app.h"
#include "maps.h"
#include "shape.h"
#include "spiele.h"

namespace {

std::string planPath(const char* level) {
    return std::string(BRAKKO_SOURCE_DIR) + "/tests/plans/" + level + ".plan";
}

// Closing frames a curtain needs from `curtain` until it stands closed; the screen changes in the frame
// after.
int closingFrames(int curtain) {
    int frames = 0;
    for (; curtain < curtainClosed; curtain += curtainClosingStep)
        ++frames;
    return frames;
}

// The game's own frame without pacing or SDL's queue: at most one key, then the step the main loop runs.
struct player {
    SDL_Surface* display = nullptr;
    SDL_Surface* sheet = nullptr;
    std::unique_ptr<app> game;
    int frames = 0;

    player() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        SDL_Init(SDL_INIT_VIDEO);
        display = SDL_SetVideoMode(windowWidth, windowHeight, 32, SDL_SWSURFACE);
        sheet = SDL_CreateRGBSurface(SDL_SWSURFACE, 120, 60, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        game = std::make_unique<app>(display, assets{nullptr, nullptr, sheet, nullptr, {}});
    }
    ~player() {
        game.reset();
        SDL_FreeSurface(sheet);
        SDL_Quit();
    }

    flow& state() const { return game->state; }
    screens& all() const { return game->all; }

    void frame(int key = 0) {
        ++frames;
        game->step(key != 0 ? frameEvent::keyPress(key) : frameEvent{});
    }
};

// Where the camera of a view stands for a group, as the view computes it while the sprites glide.
struct cameraModel {
    int col = 0, row = 0;

    template <int W, int H>
    void follow(const spiele<W, H>& game, int viewW, int viewH) {
        if (game.transbot.size() > 0) {
            int sumCol = 0, sumRow = 0;
            for (int i = 0; i < game.transbot.size(); ++i) {
                sumCol += game.transbot.get(i)->col();
                sumRow += game.transbot.get(i)->row();
            }
            const int avgCol = sumCol / game.transbot.size();
            const int avgRow = sumRow / game.transbot.size();
            col = avgCol < 20 ? 0 : avgCol > W - 20 ? W - 40 : avgCol - 20;
            row = avgRow < 13 ? 0 : avgRow > H - 13 ? H - 25 : avgRow - 13;
        }
        if (viewW < 40) col = 0;
        if (viewH < 25) row = 0;
    }
};

int distanceOf(int a, int b) {
    return a > b ? a - b : b - a;
}

// Frames of glide after a tick: every sprite and the scroll move one pixel a frame, and a sprite's target
// moves with the scroll, so the glide lasts as long as the longest of the scroll and each sprite's shift on
// screen.
template <int W, int H>
int glideFrames(const spiele<W, H>& before, const spiele<W, H>& after, const cameraModel& from,
                const cameraModel& to) {
    const int scrollX = (to.col - from.col) * 20;
    const int scrollY = (to.row - from.row) * 20;
    int frames =
        distanceOf(scrollX, 0) > distanceOf(scrollY, 0) ? distanceOf(scrollX, 0) : distanceOf(scrollY, 0);
    for (int i = 0; i < before.botCount; ++i) {
        const int onScreenX = (after.bots[i].col() - before.bots[i].col()) * 20 - scrollX;
        const int onScreenY = (after.bots[i].row() - before.bots[i].row()) * 20 - scrollY;
        if (distanceOf(onScreenX, 0) > frames) frames = distanceOf(onScreenX, 0);
        if (distanceOf(onScreenY, 0) > frames) frames = distanceOf(onScreenY, 0);
    }
    return frames;
}

// Plays one level's plan through the real frame step. Each command goes in the frame of the tick it is for,
// which is the frame in which the view is settled; a disband paired with a formation goes in the first
// gliding frame before that tick. A model game replays the plan by the rules alone, and from it the test
// predicts the frame of every tick. Returns the frame in which the level reported its win, or 0.
template <int W, int H>
int playLevel(player& p, spieleUI<W, H>& view, const char* name, const char* text, int viewW, int viewH) {
    const plan steps = readPlanFile(planPath(name));
    EXPECT_TRUE(steps.readable && steps.wonAt > 0) << "the plan for " << name << " should be readable";
    if (!steps.readable || steps.wonAt <= 0) return 0;

    spiele<W, H> model;
    model.init(text, thoseShape1);
    cameraModel camera;
    std::size_t next = 0;
    int tick = 0;
    int tickFrame = p.frames + 1;  // a new view is settled, so its first frame ticks
    bool spaceInNextFrame = false;

    while (tick < steps.wonAt + 5) {
        const bool settled = view.updated();
        if (!settled) {
            EXPECT_LT(p.frames + 1, tickFrame) << name << ": the view should be settled in frame "
                                               << p.frames + 1 << " for tick " << tick + 1;
            p.frame(spaceInNextFrame ? keySpace : 0);
            spaceInNextFrame = false;
            continue;
        }
        ++tick;
        EXPECT_EQ(p.frames + 1, tickFrame)
            << name << ": tick " << tick << " should run in frame " << tickFrame;

        std::vector<int> commands;
        while (next < steps.lines.size() && steps.lines[next].tick == tick)
            commands.push_back(steps.lines[next++].command);
        int key = 0;
        if (!commands.empty()) {
            const int last = commands.back();
            key = last < 0 ? keySpace : formationKeys[last];
            // A paired disband was pressed while the sprites glided, and the model took it then too.
            model.control(last);
        }
        const spiele<W, H> before = model;
        const bool modelWon = model.process();
        p.frame(key);
        const bool won = view.end();
        EXPECT_EQ(won, modelWon) << name << ": the screen and the rules alone should agree on a win at tick "
                                 << tick;
        if (won) {
            EXPECT_EQ(tick, steps.wonAt) << name << " should be won at the tick its plan promises";
            return p.frames;
        }

        // The next tick's pair of keys starts with Space in the first gliding frame.
        int upcoming = 0;
        for (std::size_t k = next; k < steps.lines.size() && steps.lines[k].tick == tick + 1; ++k)
            ++upcoming;
        bool moved = false;
        for (int i = 0; i < model.botCount; ++i)
            moved = moved || before.bots[i].col() != model.bots[i].col() ||
                    before.bots[i].row() != model.bots[i].row();
        if (upcoming == 2) {
            EXPECT_TRUE(moved) << name << ": tick " << tick + 1
                               << " needs two keys but nothing glides before it";
            spaceInNextFrame = true;
            model.control(-1);
        }
        if (moved) {
            const cameraModel from = camera;
            camera.follow(model, viewW, viewH);
            tickFrame = p.frames + 1 + glideFrames(before, model, from, camera);
        } else {
            tickFrame = p.frames + 1;
        }
    }
    ADD_FAILURE() << name << " was not won within " << steps.wonAt + 5 << " ticks";
    return 0;
}

// From a won frame, the curtain closes over the level and the screen changes in the frame after it closes.
void expectScreenChange(player& p, int wonFrame, int curtainAtWin, int from, int to) {
    const int switchFrame = wonFrame + closingFrames(curtainAtWin);
    while (p.state().screen == from && p.frames < wonFrame + 400)
        p.frame();
    EXPECT_EQ(p.state().screen, to) << "screen " << from << " should lead to screen " << to;
    EXPECT_EQ(p.frames, switchFrame) << "screen " << to << " should take over in frame " << switchFrame;
}

}  // namespace

TEST(Playthrough, TitleBothLevelsAndRageQuitFrameByFrame) {
    player p;
    ASSERT_NE(p.display, nullptr) << "the dummy video driver should give a display";

    p.frame(keyReturn);
    EXPECT_EQ(p.state().nextScreen, level1Screen) << "Return in the title's first frame heads for level 1";
    expectScreenChange(p, 1, 0, titleScreen, level1Screen);
    EXPECT_EQ(p.frames, 64) << "63 closing frames and the switch frame should pass before level 1 runs";

    const int level1Won = playLevel(p, p.all().level1, "level1", level1T, level1W, level1H);
    ASSERT_GT(level1Won, 0) << "level 1 should be won by its plan";
    RecordProperty("level1WonInFrame", level1Won);
    EXPECT_EQ(p.state().nextScreen, level2Screen) << "winning level 1 should head for level 2";
    // The win frame has already closed the curtain by one step from where the last opening left it.
    expectScreenChange(p, level1Won, p.state().curtain - curtainClosingStep, level1Screen, level2Screen);

    const int level2Won = playLevel(p, p.all().level2, "level2", level2T, 40, 25);
    ASSERT_GT(level2Won, 0) << "level 2 should be won by its plan";
    RecordProperty("level2WonInFrame", level2Won);
    EXPECT_EQ(p.state().nextScreen, rageQuitScreen) << "winning level 2 should head for the rage-quit screen";
    expectScreenChange(p, level2Won, p.state().curtain - curtainClosingStep, level2Screen, rageQuitScreen);

    while (p.state().nextScreen != noTransition && p.frames < level2Won + 400)
        p.frame();
    EXPECT_EQ(p.state().screen, rageQuitScreen) << "the rage-quit screen should be open";
    EXPECT_TRUE(p.state().running()) << "the game should still run on the rage-quit screen";
    p.frame(keyEscape);
    EXPECT_FALSE(p.state().running()) << "Escape on the rage-quit screen should end the program's flow";
    RecordProperty("framesInAll", p.frames);
}
