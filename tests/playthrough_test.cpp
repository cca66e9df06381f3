// The whole game, frame by frame through the game's own frame step (Return, the two committed plans, the
// curtains, Escape), every win, screen change and tick frame checked against what the rules and the glide
// imply, and every frame's picture held byte for byte against drawing the map tile by tile; the window,
// which is drawn only when its picture changes, against the frame drawn whole. Keys go straight to the step
// instead of through SDL's queue; dummy video and audio drivers, no window.
#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "../tools/solve_plan.h"
#include "app/app.h"
#include "rules/maps.h"
#include "solver/planKeys.h"
#include "sdl/platform.h"
#include "view/practice.h"
#include "files/replay.h"
#include "rules_invariants.h"
#include "seeds.h"
#include "rules/shape.h"
#include "rules/spiele.h"
#include "view_scene.h"

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

// Which pictures a player starts with: the project's own, loaded as the game loads them, or only the sheet
// whose every cell has a colour of its own (so that a tile drawn in the wrong place cannot hide).
enum class artwork { project, painted };

// The game as main starts it, driven by its own frame step without pacing or SDL's queue. After every frame
// the view that ran is drawn again over the background it was drawn on, by the game into the display and
// tile by tile into a second surface, and the two must be the same bytes.
// What a frame at rest must leave as it was: the flow, the frame's background and teeth, the view's picture,
// and the current screen's
// game as the search tells states apart, with its moves.
struct restMark {
    flow state;
    int background = 0, teeth = 0;
    viewPicture picture;
    packedRecord game;
    int moves = 0;

    static restMark of(app& g) {
        restMark mark{g.state, g.due.background, g.due.teeth, {}, {}, 0};
        g.all.with(g.state.screen, [&mark](auto& view, int, int) {
            mark.picture = view.picture();
            mark.game = packedState(view.game);
            mark.moves = view.moves;
            return false;
        });
        return mark;
    }
    bool operator==(const restMark& other) const {
        const flow& a = state;
        const flow& b = other.state;
        return a.screen == b.screen && a.nextScreen == b.nextScreen && a.curtain == b.curtain &&
               a.level == b.level && background == other.background && teeth == other.teeth &&
               picture == other.picture && game == other.game && moves == other.moves;
    }
};

struct player {
    SDL_Surface* display = nullptr;
    SDL_Surface* reference = nullptr;
    std::unique_ptr<app> game;
    int frames = 0;
    int rests = 0;      // frames stepped while the game said it was at rest
    int compared = 0;   // frames whose picture was held against the tile-by-tile drawing
    int midScroll = 0;  // of those, frames drawn while level 2's scroll lagged behind its camera
    int mismatches = 0;
    bool comparePictures = true;      // off where another test already holds the same frames' pictures
    bool startKeptDisplay = false;    // building the game left the display's pixels as SDL made them
    std::vector<Uint8> under, after;  // the display before and after a frame's step
    // Game frames to each picture shown: 1 as on the desktop, more as in a browser's animation frame. Each
    // time, the picture on show must be the last frame's drawn whole, however little was drawn.
    int showEvery = 1;
    int sinceShown = 0;
    int staleShows = 0;
    std::vector<Uint8> whole;
    char home[4096] = {};

    explicit player(artwork art = artwork::project, bool practice = false,
                    const customLevel* level = nullptr) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        // The game reads ./img and ./snd.
        if (getcwd(home, sizeof home) == nullptr || chdir(BRAKKO_SOURCE_DIR) != 0) return;
        // Practice mode's signs stand in a strip below the play, as on the desktop.
        display = practice ? commencer<windowWidth, windowHeight + stripHeight>("Brakko")
                           : commencer<windowWidth, windowHeight>("Brakko");
        if (display == nullptr) return;
        const SDL_PixelFormat* format = display->format;
        reference = SDL_CreateRGBSurface(SDL_SWSURFACE, display->w, display->h, format->BitsPerPixel,
                                         format->Rmask, format->Gmask, format->Bmask, format->Amask);
        // The two are compared and copied as whole blocks of bytes.
        if (reference == nullptr || reference->pitch != display->pitch) return;
        assets loaded{};
        if (art == artwork::project)
            loaded = loadAssets(practice, level != nullptr);
        else
            loaded.sheet = paintSheet();
        copyOut(display, after);
        game = std::make_unique<app>(display, loaded, practice, level);
        copyOut(display, under);
        startKeptDisplay = under == after;
    }
    ~player() {
        if (game) {
            const assets art = game->art;
            game.reset();
            for (SDL_Surface* picture : {art.title, art.tooth, art.sheet, art.loose, art.practice})
                SDL_FreeSurface(picture);
            stop();
            for (Mix_Music* music : art.music)
                if (music != nullptr) Mix_FreeMusic(music);
        }
        SDL_FreeSurface(reference);
        closePlatform();
        if (home[0] != '\0' && chdir(home) != 0) ADD_FAILURE() << "cannot go back to " << home;
    }
    player(const player&) = delete;
    player& operator=(const player&) = delete;

    flow& state() const { return game->state; }
    screens& all() const { return game->all; }

    void frame(int key = 0) { frame(key != 0 ? frameEvent::keyPress(key) : frameEvent{}); }
    // Through the frame's input, as the main loop does it: `polled` stands for what SDL's queue gave.
    void frame(const frameEvent& polled) {
        ++frames;
        const int shown = state().screen;  // a screen changes only at the end of a frame
        // A frame the game calls at rest may be left out: with no event it changes nothing.
        const bool rest = polled.type == frameEvent::kind::none && game->atRest();
        const restMark before = restMark::of(*game);
        game->step(game->input.take(polled));
        if (rest) {
            ++rests;
            EXPECT_TRUE(restMark::of(*game) == before) << "frame " << frames << " at rest changed the game";
        }
        copyOut(display, after);
        // A quit is taken before the screen's step, which then runs nothing.
        if (comparePictures && state().running()) {
            all().with(shown, [&](auto& view, int offsetX, int offsetY) {
                copyIn(under, display);
                view.draw(display, offsetX, offsetY);
                copyIn(under, reference);
                drawTileByTile(view, reference, offsetX, offsetY);
                ++compared;
                if (shown == level2Screen &&
                    (view.scrollX != view.camCol * cellPixels || view.scrollY != view.camRow * cellPixels))
                    ++midScroll;
                expectSamePicture(shown);
                return false;
            });
            copyIn(after, display);
        }
        under.swap(after);
        checkShown();
    }

    void showOnceIn(int frames) {
        showEvery = frames;
        game->showEachFrame = frames == 1;
    }
    void checkShown() {
        if (++sinceShown < showEvery || !state().running()) return;
        sinceShown = 0;
        game->present();
        copyOut(display, after);
        game->draw();
        copyOut(display, whole);
        if (after != whole && staleShows++ < 3)
            ADD_FAILURE() << "after frame " << frames << " the window shows another picture than the frame's";
    }

    // A paced frame in practice mode as the main loop runs it: the key goes to the time control, which runs
    // a game frame with the oldest key held, or draws the same picture again.
    void paced(int key = 0) {
        if (key != 0) game->time.take(frameEvent::keyPress(key));
        game->timedFrame();
        checkShown();
    }

  private:
    static void copyOut(SDL_Surface* from, std::vector<Uint8>& to) {
        SDL_LockSurface(from);
        const Uint8* pixels = static_cast<const Uint8*>(from->pixels);
        to.assign(pixels, pixels + static_cast<std::size_t>(from->pitch) * from->h);
        SDL_UnlockSurface(from);
    }
    static void copyIn(const std::vector<Uint8>& from, SDL_Surface* to) {
        SDL_LockSurface(to);
        std::memcpy(to->pixels, from.data(), from.size());
        SDL_UnlockSurface(to);
    }
    void expectSamePicture(int shown) {
        SDL_LockSurface(display);
        const Uint8* game = static_cast<const Uint8*>(display->pixels);
        const Uint8* tiles = static_cast<const Uint8*>(reference->pixels);
        const std::size_t size = under.size();
        std::size_t at = 0;
        if (std::memcmp(game, tiles, size) != 0) {
            while (game[at] == tiles[at])
                ++at;
        } else {
            at = size;
        }
        SDL_UnlockSurface(display);
        if (at == size) return;
        if (mismatches++ < 3) {
            const int y = static_cast<int>(at / display->pitch);
            const int x = static_cast<int>(at % display->pitch) / display->format->BytesPerPixel;
            ADD_FAILURE() << "frame " << frames << " of screen " << shown
                          << " differs from the tile-by-tile drawing, first at pixel (" << x << ", " << y
                          << ")";
        }
    }
};

int distanceOf(int a, int b) {
    return a > b ? a - b : b - a;
}

// Frames of glide after a tick: every sprite and the scroll move one pixel a frame, and a sprite's target
// moves with the scroll, so the glide lasts as long as the longest of the scroll and each sprite's shift on
// screen.
template <int W, int H>
int glideFrames(const spiele<W, H>& before, const spiele<W, H>& after, cameraCell from, cameraCell to) {
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

// Plays one level's plan through the real frame step, with the keys the shipped solution is made of. A model
// game takes the same commands in the same frames and ticks in the settled ones, and from it the test
// predicts the frame of every tick. Returns the frame in which the level reported its win, or 0.
template <int W, int H>
int playLevel(player& p, spieleUI<W, H>& view, const char* name, const char* text, int viewW, int viewH) {
    const plan steps = readPlanFile(planPath(name));
    EXPECT_TRUE(steps.readable && steps.wonAt > 0) << "the plan for " << name << " should be readable";
    if (!steps.readable || steps.wonAt <= 0) return 0;

    spiele<W, H> model;
    model.init(text, thoseShape1);
    spiele<W, H> beforeTick = model;
    cameraCell camera;
    planKeys keys(steps.lines.data(), steps.lines.size());
    int tickFrame = p.frames + 1;  // a new view is settled, so its first frame ticks
    bool glideAhead = false;       // the last tick moved something, and the frames after it glide

    while (keys.tick < steps.wonAt + 5) {
        const bool settled = view.updated();
        const frameEvent key = keys.event(settled);
        EXPECT_FALSE(keys.late) << name << ": tick " << keys.tick
                                << " needs two keys but nothing glides before it";
        if (keys.command != noCommand) model.control(keys.command);
        if (glideAhead) {
            // The camera aims at the group as the first gliding frame finds it, after a disband given there.
            const cameraCell from = camera;
            camera = aimCamera(model, from, view.mapW, view.mapH, viewW, viewH);
            tickFrame = p.frames + 1 + glideFrames(beforeTick, model, from, camera);
            glideAhead = false;
        }
        if (!settled) {
            EXPECT_LT(p.frames + 1, tickFrame) << name << ": the view should be settled in frame "
                                               << p.frames + 1 << " for tick " << keys.tick + 1;
            p.frame(key);
            continue;
        }
        EXPECT_EQ(p.frames + 1, tickFrame)
            << name << ": tick " << keys.tick << " should run in frame " << tickFrame;
        beforeTick = model;
        const bool modelWon = model.process();
        p.frame(key);
        const bool won = view.end();
        EXPECT_EQ(won, modelWon) << name << ": the screen and the rules alone should agree on a win at tick "
                                 << keys.tick;
        if (won) {
            EXPECT_EQ(keys.tick, steps.wonAt) << name << " should be won at the tick its plan promises";
            return p.frames;
        }
        glideAhead = anyRobotMoved(beforeTick.bots, model);
        tickFrame = p.frames + 1;
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
    ASSERT_NE(p.game, nullptr) << "the game should start with the dummy drivers in " << BRAKKO_SOURCE_DIR;
    EXPECT_TRUE(p.startKeptDisplay) << "building the game should leave the display's pixels as SDL made them";

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
    const int restsBefore = p.rests;
    // Its robots ride the belts down for about 560 frames, then stand still.
    for (int i = 0; i < 700; ++i)
        p.frame();
    EXPECT_GT(p.rests, restsBefore + 100)
        << "the rage-quit screen should come to rest once its robots settle";
    p.frame(keyEscape);
    EXPECT_FALSE(p.state().running()) << "Escape on the rage-quit screen should end the program's flow";
    RecordProperty("framesInAll", p.frames);
    RecordProperty("framesAtRest", p.rests);

    EXPECT_EQ(p.mismatches, 0) << "of " << p.compared << " frames, " << p.mismatches
                               << " differ from the tile-by-tile drawing";
    EXPECT_EQ(p.compared, p.frames - 1) << "every frame but the last, which quits, should have been compared";
    EXPECT_GT(p.midScroll, 100) << "level 2's plan should have drawn many frames while the scroll lagged";
    RecordProperty("midScrollFrames", p.midScroll);
}

// Random keys (formations, disbands and idle frames) on each screen in turn, over the project's pictures
// and over the painted sheet; every frame drawn as tile by tile would draw it.
TEST(Playthrough, RandomKeysOnEveryScreenDrawAsTileByTile) {
    const unsigned seed = chooseSeeds("random keys", {1}).front();
    RecordProperty("seed", static_cast<int>(seed & 0x7FFFFFFF));
    SCOPED_TRACE("random seed " + std::to_string(seed));
    for (const artwork art : {artwork::project, artwork::painted}) {
        player p(art);
        ASSERT_NE(p.game, nullptr) << "the game should start with the dummy drivers";
        std::mt19937 dice(seed);
        for (const int s : {titleScreen, level1Screen, level2Screen, rageQuitScreen}) {
            // As if a curtain had just opened onto s.
            p.state().screen = s;
            p.state().nextScreen = noTransition;
            p.state().curtain = 0;
            for (int f = 0; f < 300; ++f) {
                const int roll = static_cast<int>(dice() % 40);
                p.frame(roll < 9 ? formationKeys[roll] : roll == 9 ? keySpace : 0);
            }
        }
        EXPECT_EQ(p.mismatches, 0) << "with the " << (art == artwork::project ? "project's" : "painted")
                                   << " sheet, " << p.mismatches << " of " << p.compared
                                   << " frames differ from the tile-by-tile drawing";
    }
}

// The shipped solution as `brakko --solution` plays it: every frame goes through the frame's input with the
// replay in place of SDL's queue. The player presses Escape in every frame, which the replay must ignore;
// once it has handed over, Escape is the player's again.
TEST(Playthrough, TheShippedSolutionWinsBothLevelsAndHandsOverOnTheRageQuitScreen) {
    const auto solution = std::make_unique<replay>();
    replayError error;
    const std::string path = std::string(BRAKKO_SOURCE_DIR) + "/replays/solution.replay";
    ASSERT_TRUE(readReplayFile(path.c_str(), *solution, error))
        << "the shipped solution should be a valid replay, but line " << error.line << ": " << error.reason;

    // Shown every frame as on the desktop, then every third frame as a browser's animation frame may.
    for (const int every : {1, 3}) {
        player p;
        p.comparePictures = false;  // the same plans' frames as the playthrough above
        p.showOnceIn(every);
        p.game->input.playing = solution.get();
        while (p.game->input.replaying() && p.state().running())
            p.frame(frameEvent::keyPress(keyEscape));
        EXPECT_EQ(p.frames, solution->lastFrame) << "the replay should play to its last frame";
        EXPECT_TRUE(p.all().level1.end()) << "the solution should win level 1";
        EXPECT_TRUE(p.all().level2.end()) << "the solution should win level 2";
        EXPECT_EQ(p.state().screen, rageQuitScreen) << "the solution should end on the rage-quit screen";
        EXPECT_EQ(p.state().nextScreen, noTransition)
            << "the rage-quit screen should be open when the keys come back";

        p.frame(frameEvent::keyPress(keyEscape));
        EXPECT_FALSE(p.state().running()) << "after the replay, the player's Escape should quit";
    }
}

// The same solution watched in practice mode, level 1 at a quarter of the speed and level 2 paused and
// stepped a tick at a time: the same game frames must run, so both levels are won at the same game frame.
TEST(Practice, TheSolutionSlowedPausedAndSteppedWinsAtTheSameGameFrames) {
    const auto solution = std::make_unique<replay>();
    replayError error;
    ASSERT_TRUE(readReplayFile((std::string(BRAKKO_SOURCE_DIR) + "/replays/solution.replay").c_str(),
                               *solution, error));
    int wonAt[2][2] = {};  // the game frame of each level's win, at full speed and then slowed
    for (const bool slowed : {false, true}) {
        player p(artwork::project, true);
        p.comparePictures = false;
        p.game->input.playing = solution.get();
        p.paced(slowed ? keySlow : 0);
        p.paced(slowed ? keySlow : 0);
        for (int paced = 0; paced < 8 * solution->lastFrame && p.game->input.replaying(); ++paced) {
            // Stepped a tick at a time through level 2, and played on once it is won.
            if (slowed && p.state().screen == level2Screen && !p.game->time.stepping) p.paced(keyStep);
            if (slowed && p.state().screen == rageQuitScreen && p.game->time.paused) p.paced(keyPause);
            p.paced();
            for (int level = 0; level < 2; ++level)
                if (wonAt[slowed][level] == 0 && (level == 0 ? p.all().level1.end() : p.all().level2.end()))
                    wonAt[slowed][level] = p.game->input.frame;
        }
        EXPECT_EQ(p.state().screen, rageQuitScreen) << "the solution should reach the rage-quit screen";
    }
    for (int level = 0; level < 2; ++level) {
        EXPECT_GT(wonAt[0][level], 0) << "level " << level + 1 << " should be won";
        EXPECT_EQ(wonAt[1][level], wonAt[0][level])
            << "level " << level + 1 << " should be won at the same game frame slowed, paused and stepped";
    }
}

// The title's Climb lesson, pressed as it reads: Space, then s, while the group still glides, once a step.
// Level 2's pair, stood up on the floor of the hall at the bottom right, must climb a cell a step through the
// real frame step, up to the hall's ceiling.
TEST(TitleHints, SpaceThenSOnceAStepClimbsThroughTheAir) {
    std::string map = level2T;
    for (char& c : map)
        if (c == '1' || c == '2') c = ' ';
    map[47 * level2W + 50] = '1', map[48 * level2W + 50] = '2';  // rows 39 to 48 of the hall are free
    spieleUI<level2W, level2H> view(map.c_str(), thoseShape1, nullptr, 40, 25);
    const int s = 4;
    ASSERT_EQ(formationKeys[s], 's');
    auto frame = [&](int command) {  // whether the rules ticked in it
        const bool ticks = view.updated();
        view.step(command);
        return ticks;
    };
    auto top = [&] { return std::min(view.game.bots[0].row(), view.game.bots[1].row()); };
    frame(s);
    for (int f = 0; f < 2000 && !view.updated(); ++f)
        frame(noCommand);
    ASSERT_EQ(top(), 47) << "the pair should stand up on the hall's floor";
    for (int step = 1; step <= 8; ++step) {
        frame(disbandCommand);
        bool ticked = frame(s);
        for (int f = 0; f < 100 && !ticked; ++f)
            ticked = frame(noCommand);
        EXPECT_EQ(view.game.transbot.size(), 2)
            << "after step " << step << " the pair should be one group again";
        EXPECT_EQ(top(), 47 - step) << "step " << step
                                    << " should lift the pair a cell above the step before";
    }
}

// ---------------------------------------------------------------- practice mode

namespace {

// What a view shows and will do, copied by the test itself: the game, the sprites, the camera and scroll.
template <int W, int H>
struct seenView {
    spiele<W, H> game;
    SDL_Rect spritePos[maxRobots] = {};
    int camCol = 0, camRow = 0, scrollX = 0, scrollY = 0;

    explicit seenView(const spieleUI<W, H>& view)
        : game(view.game),
          camCol(view.camCol),
          camRow(view.camRow),
          scrollX(view.scrollX),
          scrollY(view.scrollY) {
        for (int i = 0; i < maxRobots; ++i)
            spritePos[i] = view.spritePos[i];
    }
};

// "" when the view is as seen: the games alike as the copy test compares them (the packed state first), and
// every sprite, the camera and the scroll where they were.
template <int W, int H>
std::string differenceFrom(const seenView<W, H>& seen, const spieleUI<W, H>& view) {
    if (const std::string d = rulesCheck::differenceBetween(seen.game, view.game); !d.empty()) return d;
    for (int i = 0; i < seen.game.botCount; ++i)
        if (seen.spritePos[i].x != view.spritePos[i].x || seen.spritePos[i].y != view.spritePos[i].y)
            return "robot " + std::to_string(i) + "'s sprite stands elsewhere";
    if (seen.camCol != view.camCol || seen.camRow != view.camRow) return "the camera stands elsewhere";
    if (seen.scrollX != view.scrollX || seen.scrollY != view.scrollY) return "the scroll stands elsewhere";
    return "";
}

// Records the run of a game in practice mode from here on into a new scratch file; null if none can be made.
std::FILE* recordPractice(player& p) {
    std::FILE* recording = std::tmpfile();
    if (recording == nullptr || !writeReplayHeader(recording) || !writeReplayPractice(recording))
        return nullptr;
    p.comparePictures = false;
    p.game->input.recording = recording;
    return recording;
}

// Replays what `recording` holds (and closes it) into `again`, a new game in practice mode, up to game frame
// `frames`; `run` keeps the replay for as long as the game reads it.
void replayInto(std::FILE* recording, replay& run, player& again, int frames) {
    std::rewind(recording);
    replayError error;
    ASSERT_TRUE(readReplay(recording, run, error)) << "line " << error.line << ": " << error.reason;
    std::fclose(recording);
    again.comparePictures = false;
    again.game->input.playing = &run;
    while (again.game->input.frame < frames)
        again.frame();
}

// Plays a level's plan in practice mode through the real frame step with Backspace before every line of the
// plan but the first (three times before every seventh): each must give back exactly the view as it was
// before the step taken back, and the plan, picked up again from there, must still win at its tick. Halfway
// it restarts, which must give the level as a fresh view of it begins, and takes the restart back. Returns
// the frame of the win, or 0.
template <int W, int H>
int practiceLevelPlan(player& p, spieleUI<W, H>& view, practiceLevel<W, H>& history, const char* name,
                      const char* text, int viewW, int viewH, int& undos) {
    const plan steps = readPlanFile(planPath(name));
    EXPECT_TRUE(steps.readable && steps.wonAt > 0) << "the plan for " << name << " should be readable";
    if (!steps.readable || steps.wonAt <= 0) return 0;
    struct step {
        planKeys keys;  // the plan's keys as they stood before the step's own
        seenView<W, H> before;
    };
    std::vector<step> taken;
    std::vector<bool> undoneBefore(steps.lines.size(), false);
    bool restarted = false;
    planKeys keys(steps.lines.data(), steps.lines.size());
    for (int guard = 0; guard < 200000; ++guard) {
        const planKeys unpressed = keys;
        const frameEvent key = keys.event(view.updated());
        if (keys.command != noCommand) {
            const std::size_t line = keys.next - 1;
            if (!undoneBefore[line] && !taken.empty()) {
                undoneBefore[line] = true;
                const std::size_t back = line % 7 == 6 ? std::min<std::size_t>(3, taken.size()) : 1;
                for (std::size_t k = 0; k < back; ++k, ++undos)
                    p.frame(keyBackspace);
                const step& target = taken[taken.size() - back];
                const std::string difference = differenceFrom(target.before, view);
                EXPECT_EQ(difference, "") << name << ": " << back << " Backspace before plan line " << line
                                          << " should give back the view before line " << target.keys.next;
                if (!difference.empty()) return 0;
                keys = target.keys;
                taken.erase(taken.end() - static_cast<std::ptrdiff_t>(back), taken.end());
                continue;
            }
            if (!restarted && line == steps.lines.size() / 2) {
                restarted = true;
                const seenView<W, H> beforeRestart(view);
                p.frame(keyRestart);
                const spieleUI<W, H> fresh(text, thoseShape1, nullptr, viewW, viewH);
                EXPECT_EQ(differenceFrom(seenView<W, H>(fresh), view), "")
                    << name << ": r should give the level as a fresh view of it begins";
                p.frame(keyBackspace);
                EXPECT_EQ(differenceFrom(beforeRestart, view), "")
                    << name << ": Backspace after r should give back the view before the restart";
                keys = unpressed;
                continue;
            }
        }
        const seenView<W, H> before(view);
        const int kept = history.count;
        p.frame(key);
        if (history.count > kept) taken.push_back({unpressed, before});
        if (view.end()) {
            EXPECT_EQ(keys.tick, steps.wonAt) << name << " should be won at the tick its plan promises";
            EXPECT_TRUE(restarted) << name << " should have been restarted on the way";
            return p.frames;
        }
    }
    ADD_FAILURE() << name << " was not won in practice mode";
    return 0;
}

// Frames until screen `to` has opened under the curtain.
void reachOpened(player& p, int to) {
    for (int f = 0; f < 1000 && (p.state().screen != to || p.state().nextScreen != noTransition); ++f)
        p.frame();
    EXPECT_EQ(p.state().screen, to) << "screen " << to << " should have opened";
}

}  // namespace

// A browser's loop sleeps while the game is at rest, stepping no frame: a run that slept through a minute's
// rest on the title, recorded, replays on the desktop to the very game of a run that stepped every frame of
// that rest. Its recording holds fewer frames, and no frame it leaves out changed anything.
TEST(Playthrough, ARestSleptThroughReplaysToTheGameOfARestStepped) {
    std::FILE* recording = std::tmpfile();
    ASSERT_TRUE(recording != nullptr && writeReplayHeader(recording));
    const plan steps = readPlanFile(planPath("level1"));
    std::unique_ptr<player> runs[2];
    for (const bool slept : {false, true}) {
        auto& p = runs[slept] = std::make_unique<player>();
        p->comparePictures = false;
        if (slept) p->game->input.recording = recording;
        while (!p->game->atRest() && p->frames < 2000)
            p->frame();
        ASSERT_TRUE(p->game->atRest()) << "the title should come to rest";
        for (int f = 0; !slept && f < 3600; ++f)
            p->frame();
        p->frame(keyReturn);
        reachOpened(*p, level1Screen);
        planKeys keys(steps.lines.data(), steps.lines.size());
        spieleUI<level1W, level1H>& view = p->all().level1;
        while (!view.end() && p->frames < 20000)
            p->frame(keys.event(view.updated()));
        ASSERT_TRUE(view.end()) << "level 1's plan should win it after the rest";
    }
    EXPECT_EQ(runs[0]->frames - runs[1]->frames, 3600)
        << "the slept run should have left the rest's frames out";
    EXPECT_EQ(differenceFrom(seenView(runs[0]->all().level1), runs[1]->all().level1), "");
    const auto run = std::make_unique<replay>();
    player again;
    replayInto(recording, *run, again, runs[1]->game->input.frame);
    EXPECT_EQ(differenceFrom(seenView(runs[1]->all().level1), again.all().level1), "")
        << "the recording of the slept run should replay to its game";
}

// Undo and restart through the game's own frame step, at every step of both winning plans, with the whole run
// recorded; the recording, replayed into a new game in practice mode, must end exactly where this one did.
TEST(Practice, BackspaceGivesBackEveryStepOfBothPlansAndTheRunReplaysExactly) {
    std::FILE* recording = std::tmpfile();
    ASSERT_NE(recording, nullptr);
    ASSERT_TRUE(writeReplayHeader(recording) && writeReplayPractice(recording));
    player p(artwork::project, true);
    ASSERT_NE(p.game, nullptr) << "the game should start in practice mode with the dummy drivers";
    ASSERT_TRUE(p.game->practice.has_value()) << "practice mode should be on";
    p.comparePictures = false;  // its marks lie over the map; the pictures without them are held above
    p.game->input.recording = recording;

    p.frame(keyRestart);  // on the title, r does nothing
    p.frame(keyReturn);
    reachOpened(p, level1Screen);
    int undos = 0;
    ASSERT_GT(practiceLevelPlan(p, p.all().level1, p.game->practice->level1, "level1", level1T, level1W,
                                level1H, undos),
              0);
    reachOpened(p, level2Screen);
    ASSERT_GT(
        practiceLevelPlan(p, p.all().level2, *p.game->practice->level2, "level2", level2T, 40, 25, undos), 0);
    reachOpened(p, rageQuitScreen);
    RecordProperty("undos", undos);
    RecordProperty("frames", p.frames);

    const auto run = std::make_unique<replay>();
    player again(artwork::project, true);
    replayInto(recording, *run, again, p.game->input.frame);
    EXPECT_TRUE(run->practice) << "the recording should say it was made in practice mode";
    EXPECT_EQ(differenceFrom(seenView(p.all().level1), again.all().level1), "")
        << "the replay should leave level 1 as the run did";
    EXPECT_EQ(differenceFrom(seenView(p.all().level2), again.all().level2), "")
        << "the replay should leave level 2 as the run did";
    EXPECT_EQ(again.state().screen, rageQuitScreen) << "the replay should end on the rage-quit screen";
}

// Level 2 as the game draws its frame whole, and as the view alone draws it with the goal's arrow (or the map
// alone): the play area, the window's top-left 800 x 500, must be the same pixels, every sign standing in the
// strip below it.
void expectSignsHideNoPlay(player& p, const std::string& when) {
    const auto playArea = [&] {
        std::vector<Uint32> area;
        SDL_LockSurface(p.display);
        for (int y = 0; y < windowHeight; ++y) {
            const Uint32* row = static_cast<const Uint32*>(p.display->pixels) + y * p.display->pitch / 4;
            area.insert(area.end(), row, row + windowWidth);
        }
        SDL_UnlockSurface(p.display);
        return area;
    };
    ASSERT_TRUE(hasStrip(p.display));
    p.game->draw();
    const std::vector<Uint32> drawn = playArea();
    SDL_FillRect(p.display, nullptr, 0);
    practiceMode& practice = *p.game->practice;
    if (practice.mapShown(p.all(), level2Screen, p.game->time)) {
        practice.drawMap(p.all(), p.display);
    } else {
        p.all().level2.draw(p.display, 0, 0);
        practice.level2->drawGoalArrow(p.all().level2, 0, 0, p.display, p.game->art.practice);
    }
    EXPECT_TRUE(drawn == playArea()) << when << ", a sign stands over level 2's play area";
    p.game->draw();  // the window as the game left it
}

// Level 2 straight from the title, its climb entered while paused (Space, s, then a step to the next tick,
// again and again), then slow motion: the group rises, and the recorded run replays at full speed to the
// same level 2. Pauses and speeds are not in the recording; the game frames are.
TEST(Practice, TheClimbEnteredWhileSteppingRisesAndReplaysExactly) {
    player p(artwork::project, true);
    std::FILE* recording = recordPractice(p);
    ASSERT_NE(recording, nullptr);
    p.paced(keyLevel2);
    reachOpened(p, level2Screen);
    // The row of the group's highest member.
    const auto top = [&] {
        const auto& group = p.all().level2.game.transbot;
        int row = level2H;
        for (int i = 0; i < group.size(); ++i)
            row = std::min(row, group.get(i)->row());
        return row;
    };
    expectSignsHideNoPlay(p, "at rest");
    // The plan up to the foot of the shaft, where it climbs with Space and s before each of ten ticks.
    const plan steps = readPlanFile(planPath("level2"));
    ASSERT_TRUE(steps.readable);
    planKeys keys(steps.lines.data(), steps.lines.size());
    while (keys.next < steps.lines.size() && steps.lines[keys.next].tick < 73)
        p.frame(keys.event(p.all().level2.updated()));
    const int startRow = top();
    p.paced(keyPause);
    for (int climb = 0; climb < 10; ++climb) {
        for (const int key : {keySpace, int('s'), keyStep})
            p.game->time.take(frameEvent::keyPress(key));
        do
            p.game->timedFrame();
        while (p.game->time.stepping);
        expectSignsHideNoPlay(p, "paused, at climbing step " + std::to_string(climb));
    }
    EXPECT_LE(top(), startRow - 8) << "ten steps of Space and s should lift the pair at least eight rows";
    // Paused, the rewinds answer in the next paced frame and time stays still; a pose pressed before them
    // goes with the state it was meant for.
    const seenView climbed(p.all().level2);
    p.paced('d');  // the strip counts it as waiting, in the picture on show
    p.paced(keyRestart);
    EXPECT_NE(differenceFrom(climbed, p.all().level2), "") << "r while paused should restart at once";
    EXPECT_EQ(p.game->time.count, 0) << "a restart while paused should drop the pose waiting for a step";
    p.paced(keyBackspace);
    EXPECT_EQ(differenceFrom(climbed, p.all().level2), "")
        << "Backspace while paused should undo the restart";
    EXPECT_TRUE(p.game->time.paused) << "undo and restart should leave the game paused";
    p.paced(keySlow);
    p.paced(keyPause);
    for (int f = 0; f < 200; ++f)
        p.paced();
    expectSignsHideNoPlay(p, "slowed");
    p.paced(keyMap);
    const int before = p.game->input.frame;
    for (int f = 0; f < 20; ++f)
        p.paced();
    EXPECT_TRUE(p.game->practice->mapShown(p.all(), level2Screen, p.game->time)) << "m should show the map";
    EXPECT_EQ(p.game->input.frame, before) << "the game's time should stand still while the map shows";
    expectSignsHideNoPlay(p, "with the map");
    p.paced(keyMap);

    const auto run = std::make_unique<replay>();
    player again(artwork::project, true);
    replayInto(recording, *run, again, p.game->input.frame);
    EXPECT_EQ(differenceFrom(seenView(p.all().level2), again.all().level2), "")
        << "the replay at full speed should leave level 2 as the paused and slowed run did";

    // Escape while paused leaves at once, and the curtain runs to the rage-quit screen, where time runs.
    p.game->input.recording = nullptr;  // closed by the replay
    p.paced(keyPause);
    p.paced(keyEscape);
    for (int f = 0; f < 300 && p.state().nextScreen != noTransition; ++f)
        p.paced(f == 80 ? keyPause : 0);
    EXPECT_EQ(p.state().screen, rageQuitScreen) << "Escape while paused should lead to the rage-quit screen";
    p.paced(keyPause);
    EXPECT_FALSE(p.game->time.paused) << "the rage-quit screen should not pause";
}

// Hints asked for again and again (each plays a few steps and hands back paused) until the level is won.
template <int W, int H>
void hintUntilWon(player& p, const spieleUI<W, H>& view, const char* from) {
    for (int hints = 0; hints < 100 && !view.end(); ++hints) {
        p.paced(keyHint);
        while (p.game->practice->hint.stage != hintStage::idle)
            p.paced();
        ASSERT_EQ(p.game->practice->hint.sign, hintSign::none) << "a hint " << from << " should find a plan";
    }
    EXPECT_TRUE(view.end()) << "hints alone should win " << from;
}

// The hint through the real frame step wins both levels from their starts, in a recorded run that replays
// exactly, and level 2 from three states on the way of its committed plan; on a level where no two robots
// can ever meet it says there is no way.
TEST(Practice, HintsWinFromEveryStateTriedAndSayWhenThereIsNoWay) {
    player p(artwork::project, true);
    p.showOnceIn(3);
    std::FILE* recording = recordPractice(p);
    ASSERT_NE(recording, nullptr);
    p.paced(keyReturn);
    reachOpened(p, level1Screen);
    hintUntilWon(p, p.all().level1, "from level 1's start");
    reachOpened(p, level2Screen);
    hintUntilWon(p, p.all().level2, "from level 2's start");
    const auto run = std::make_unique<replay>();
    player again(artwork::project, true);
    replayInto(recording, *run, again, p.game->input.frame);
    EXPECT_TRUE(again.all().level2.end()) << "the hints' keys, replayed, should win level 2 again";

    const plan steps = readPlanFile(planPath("level2"));
    for (const int tick : {25, 50, 80}) {
        player on(artwork::project, true);
        on.comparePictures = false;
        on.paced(keyLevel2);
        reachOpened(on, level2Screen);
        planKeys keys(steps.lines.data(), steps.lines.size());
        while (keys.next < steps.lines.size() && steps.lines[keys.next].tick <= tick)
            on.frame(keys.event(on.all().level2.updated()));
        on.paced(keyHint);
        expectSignsHideNoPlay(on, "with the hint's sign");
        hintUntilWon(on, on.all().level2,
                     ("from level 2 after the plan's tick " + std::to_string(tick)).c_str());
    }

    // Level 1's five robots apart on the floor, none on a belt: nothing will ever move or join.
    player stuck(artwork::project, true);
    stuck.paced(keyReturn);
    reachOpened(stuck, level1Screen);
    spieleUI<level1W, level1H>& view = stuck.all().level1;
    const int apart[5] = {1, 4, 7, 20, 30};
    for (int i = 0; i < view.game.botCount; ++i) {
        view.game.bots[i].absMove(apart[i], 18);
        view.spritePos[i] = {static_cast<Sint16>(apart[i] * cellPixels), 18 * cellPixels, cellPixels,
                             cellPixels};
    }
    stuck.paced(keyHint);
    while (stuck.game->practice->hint.stage != hintStage::idle)
        stuck.paced();
    EXPECT_EQ(stuck.game->practice->hint.sign, hintSign::noWay) << "the hint should say there is no way";
}

// What the strip says as the last level is won and on the rage-quit screen, for each way of reaching it: the
// win is the player's, of what was played, or else the replay's.
TEST(Practice, TheEndSaysWhatWasSolvedAndByWhom) {
    const auto solution = std::make_unique<replay>();
    replayError error;
    ASSERT_TRUE(readReplayFile((std::string(BRAKKO_SOURCE_DIR) + "/replays/solution.replay").c_str(),
                               *solution, error));
    static customLevel own;
    levelError levelProblem;
    ASSERT_TRUE(readLevelFile((std::string(BRAKKO_SOURCE_DIR) + "/levels/01-joining.level").c_str(), own,
                              levelProblem));
    enum class how { level2Alone, bothLevels, playersLevel, watched };
    const struct {
        how played;
        const char* news;
        const char* end;
    } rows[] = {
        {how::level2Alone, "Level 2 solved!", "Level 2 solved, in practice mode."},
        {how::bothLevels, "Level 2 solved!", "Both levels solved, in practice mode."},
        {how::playersLevel, "Level solved!", "Your level solved, in practice mode."},
        {how::watched, "The solution won level 2", "The solution played: both levels solved."},
    };
    for (const auto& row : rows) {
        player p(artwork::project, true, row.played == how::playersLevel ? &own : nullptr);
        p.comparePictures = false;
        practiceMode& practice = *p.game->practice;
        const auto playPlan = [&](auto& view, const char* name) {
            const plan steps = readPlanFile(planPath(name));
            planKeys keys(steps.lines.data(), steps.lines.size());
            for (int f = 0; f < 100000 && !view.end(); ++f)
                p.frame(keys.event(view.updated()));
        };
        if (row.played == how::watched) {
            practice.solution = true;
            p.game->input.playing = solution.get();
            for (int f = 0; f < 100000 && !p.all().level2.end(); ++f)
                p.paced();
        } else if (row.played == how::playersLevel) {
            p.paced(keyReturn);
            reachOpened(p, ownLevelScreen);
            hintUntilWon(p, p.all().own, "on the player's level");
        } else {
            p.paced(row.played == how::level2Alone ? keyLevel2 : keyReturn);
            if (row.played == how::bothLevels) {
                reachOpened(p, level1Screen);
                playPlan(p.all().level1, "level1");
            }
            reachOpened(p, level2Screen);
            playPlan(p.all().level2, "level2");
        }
        const char* news = practice.news(row.played == how::playersLevel ? ownLevelScreen : level2Screen);
        EXPECT_STREQ(news != nullptr ? news : "", row.news);
        // A player's level won ends on its solved screen, the game's own levels on screen 8.
        reachOpened(p, row.played == how::playersLevel ? solvedScreen : rageQuitScreen);
        const char* end = practice.endMessage();
        EXPECT_STREQ(end != nullptr ? end : "", row.end);
    }
}

// A pack of two levels played through in practice mode: each win shows its solved screen with its moves, r
// plays the level again from its start, Return the next, and after the last comes the pack solved, where
// Escape quits. A pack whose first level is solved starts at the second.
TEST(Practice, APackIsPlayedThroughItsSolvedScreensToTheEnd) {
    char folder[] = "/tmp/brakko-pack-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string source = std::string(BRAKKO_SOURCE_DIR) + "/levels/";
    for (const char* name : {"01-joining.level", "04-walking-left.level", "pars"})
        ASSERT_EQ(std::system(("cp " + source + name + " " + folder).c_str()), 0);
    static levelPack pack;
    char line[600] = "";
    ASSERT_TRUE(readPack(folder, pack, line, sizeof line)) << line;
    ASSERT_EQ(pack.count, 2);
    EXPECT_EQ(pack.par[1], 8) << "the par should be read from the folder's pars";
    static const int solved[maxPackLevels] = {7};
    player later(artwork::project, true, &pack.levels[0]);
    later.game->playPack(pack, solved);
    EXPECT_EQ(later.state().nextLevel, 1) << "a pack should start at its first level not yet solved";

    player p(artwork::project, true, &pack.levels[0]);
    p.comparePictures = false;
    static const int none[maxPackLevels] = {};
    p.game->playPack(pack, none);
    static progressRecord kept;
    const std::string progressFile = std::string(folder) + "/progress";
    p.game->progressFile = progressFile.c_str();
    p.game->progress = &kept;
    p.paced(keyReturn);
    for (const int key : {keyRestart, keyReturn, keyReturn}) {
        const int level = p.state().level;
        reachOpened(p, ownLevelScreen);
        EXPECT_EQ(p.all().own.moves, 0) << "a level should begin with no move";
        hintUntilWon(p, p.all().own, "on a level of the pack");
        const int moves = p.all().own.moves;
        reachOpened(p, solvedScreen);
        EXPECT_EQ(p.game->solvedMoves, moves) << "the solved screen should show the level's moves";
        EXPECT_GE(moves, pack.par[level]) << "no win should take fewer moves than the par";
        EXPECT_EQ(p.game->best[level] > 0 && p.game->best[level] <= moves, true);
        p.paced(key);
    }
    reachOpened(p, packSolvedScreen);
    static progressRecord read;
    char said[progressLineSize];
    ASSERT_EQ(loadProgress(progressFile.c_str(), read, said, sizeof said), progressState::read) << said;
    for (int i = 0; i < pack.count; ++i) {
        const levelProgress* won = read.find(levelDigest(pack.levels[i]));
        ASSERT_NE(won, nullptr) << "the progress file should hold level " << i + 1 << " solved";
        EXPECT_EQ(won->fewestMoves, p.game->best[i]) << "the progress file should hold the fewest moves";
    }
    p.paced(keyEscape);
    EXPECT_FALSE(p.state().running()) << "Escape on the pack solved should quit";
    ASSERT_EQ(std::system(("rm -r " + std::string(folder)).c_str()), 0);
}

// The ring of steps, without frames: when it is full a new step takes the place of the oldest, and undoing
// then stops at the oldest kept; while nothing has gone, undoing past the first step gives the level's start.
TEST(Practice, AFullHistoryLetsItsOldestStepsGo) {
    spieleUI<level1W, level1H> view(level1T, thoseShape1, nullptr, level1W, level1H);
    practiceLevel<level1W, level1H> history(view);
    const seenView<level1W, level1H> start(view);
    // Each step is told apart by the scroll it left, a value no level ever has.
    for (int k = 1; k <= historySteps + 3; ++k) {
        view.scrollX = k;
        history.push(view);
    }
    view.scrollX = 0;
    for (int k = historySteps + 3; k >= 4; --k) {
        history.undo(view);
        ASSERT_EQ(view.scrollX, k) << "undoing should go through the steps newest first";
    }
    history.undo(view);
    EXPECT_EQ(view.scrollX, 4)
        << "the three oldest steps, and the level's start behind them, should have gone";

    history.restart(view);
    EXPECT_EQ(differenceFrom(start, view), "") << "r should still give the level as it began";
    history.undo(view);
    EXPECT_EQ(view.scrollX, 4) << "Backspace should take the restart back";

    practiceLevel<level1W, level1H> young(view);
    view.scrollX = 7;
    young.push(view);
    young.undo(view);
    young.undo(view);
    EXPECT_EQ(view.scrollX, 4)
        << "with nothing gone, undoing past the first step should give the level's start";
}
