// A plan's run as a replay, through the game's one frame step; see planRun.h.
#include "app/planRun.h"

#include "app/app.h"
#include "files/replay.h"
#include "solver/planKeys.h"

namespace {

// The title shows for about a second before Return (frames come about 120 a second), so that a player
// watching sees where the run starts.
constexpr int titleFrames = 120;
// Far more frames than any stage takes: a stage that runs out of them never ends.
constexpr int stageFrames = 100000;

void frame(app& game, const frameEvent& event = {}) {
    game.step(game.input.take(event));
}

// Plain frames until the screen flow rests on `screen` with no transition under way, or at least until it
// shows `screen`.
bool reach(app& game, int screen, bool rested) {
    for (int i = 0; i < stageFrames; ++i) {
        if (game.state.screen == screen && (!rested || game.state.nextScreen == noTransition)) return true;
        frame(game);
    }
    std::fprintf(stderr, "a plan's run: screen %d never came\n", screen);
    return false;
}

template <int W, int H>
bool win(app& game, spieleUI<W, H>& view, const planLines& steps, const char* name) {
    planKeys keys(steps.lines, steps.count);
    for (int i = 0; i < stageFrames && !view.end(); ++i) {
        frame(game, keys.event(view.updated()));
        if (keys.late) {
            std::fprintf(stderr, "a plan's run: %s: two commands for tick %d but no frame between ticks\n",
                         name, keys.tick);
            return false;
        }
    }
    if (!view.end()) std::fprintf(stderr, "a plan's run: %s: the plan does not win the level\n", name);
    return view.end();
}

}  // namespace

bool recordPlanRun(std::FILE* out, SDL_Surface* display, const planLines& level1, const planLines& level2,
                   const customLevel* level) {
    if (display == nullptr || !writeReplayHeader(out) ||
        (level != nullptr && !writeReplayLevel(out, levelDigest(*level))))
        return false;
    // No pictures and no music, and nothing shown: what a frame takes depends on none of them.
    app game(display, assets{}, false, level);
    game.showEachFrame = false;
    game.input.recording = out;
    game.input.recordingPath = "a plan's run";
    for (int i = 1; i < titleFrames; ++i)
        frame(game);
    frame(game, frameEvent::keyPress(keyReturn));
    bool played = false;
    if (level != nullptr)
        played = reach(game, ownLevelScreen, false) && win(game, game.all.own, level2, "the level");
    else
        played = reach(game, level1Screen, false) && win(game, game.all.level1, level1, "level 1") &&
                 reach(game, level2Screen, false) && win(game, game.all.level2, level2, "level 2");
    // A player's level ends on its solved screen, the game's own two on screen 8.
    return played && reach(game, level != nullptr ? solvedScreen : rageQuitScreen, true) &&
           game.input.recording != nullptr && writeReplayEnd(out, game.input.frame);
}
