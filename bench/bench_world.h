// The game set up headless for benchmarks (dummy video and audio, the project's own assets), one frame of
// any screen through the game's own step, and the game-versus-reference tally. Benchmarks only.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>
#include <stdlib.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "app/app.h"
#include "sdl/platform.h"
#include "view/sheet.h"

// Where ./img and ./snd are read from: the project root, or BRAKKO_ASSETS to measure other files.
inline const char* assetRoot() {
    const char* given = getenv("BRAKKO_ASSETS");
    return given != nullptr ? given : BRAKKO_SOURCE_DIR;
}

// Opens SDL and the window headless, in the asset root so that ./img and ./snd are found.
inline SDL_Surface* openHeadless() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (chdir(assetRoot()) != 0) return nullptr;
    return commencer<windowWidth, windowHeight>("Brakko");
}

// Frees what a run keeps to its end, so that a benchmark can start the game many times in one process.
inline void releaseAll(const assets& art) {
    stop();
    for (SDL_Surface* s : {art.title, art.tooth, art.sheet, art.loose})
        if (s != nullptr) SDL_FreeSurface(s);
    for (Mix_Music* m : art.music)
        if (m != nullptr) Mix_FreeMusic(m);
    Mix_CloseAudio();
    SDL_Quit();
}

// A whole game, started as main starts it and released when the benchmark is done with it.
struct running {
    SDL_Surface* display;
    app game;

    running() : display(openHeadless()), game(display, loadAssets()) {}
    ~running() { releaseAll(game.art); }
    running(const running&) = delete;
    running& operator=(const running&) = delete;
};

// Keys that keep robots moving: a formation every 30 frames, all nine in turn, and a disband every 400.
constexpr frameEvent eventForFrame(long frame) {
    if (frame % 400 == 399) return frameEvent::keyPress(keySpace);
    if (frame % 30 == 0) return frameEvent::keyPress(formationKeys[(frame / 30) % 9]);
    return {};
}

// One game frame of screen s through the game's own step, without pacing or SDL's queue. With `curtain` the
// teeth stand somewhere in an opening onto s, so that every frame draws them.
inline void gameFrame(app& game, int s, long frame, bool curtain) {
    game.state.screen = s;
    game.state.nextScreen = curtain ? s : noTransition;
    game.state.curtain = curtain ? curtainOpeningStep + static_cast<int>(frame % 244) : 0;
    game.step(eventForFrame(frame));
}

// Nanoseconds that `work` takes, on the steady clock.
template <typename Work>
double nanoseconds(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
}

// The game's time against a reference doing the same job the plain way, measured in the same iterations so
// that both see the same machine load. The benchmark's own time column is the game's.
struct versus {
    double game = 0;
    double reference = 0;

    void add(benchmark::State& state, double gameNs, double referenceNs) {
        game += gameNs;
        reference += referenceNs;
        state.SetIterationTime(gameNs / 1e9);
    }
    // Counters game_<unit>, <name>_<unit> (means per iteration) and game_over_<name>.
    void report(benchmark::State& state, const std::string& name, const std::string& unit,
                double unitNs) const {
        const double n = static_cast<double>(state.iterations());
        state.counters["game_" + unit] = game / n / unitNs;
        state.counters[name + "_" + unit] = reference / n / unitNs;
        state.counters["game_over_" + name] = game / reference;
    }
};
