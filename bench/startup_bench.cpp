// Start-up to the first frame (window, eight assets, four views, one frame shown) against a bare loader
// that opens the same window and loads the same eight files. The two alternate; shutdown is not timed.
#include <benchmark/benchmark.h>

#include "bench_world.h"

namespace {

// What a bare program must do to show a frame with these files: nothing converted, keyed or built.
struct bareLoad {
    SDL_Surface* pictures[4];
    Mix_Music* musics[4];
};

bareLoad loadBare() {
    bareLoad loaded{};
    SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO);
    SDL_Surface* display = SDL_SetVideoMode(windowWidth, windowHeight, 32, SDL_DOUBLEBUF);
    SDL_WM_SetCaption("Brakko", nullptr);
    const char* pictures[4] = {"./img/title.bmp", "./img/tooth.bmp", "./img/bot.bmp", "./img/loose.bmp"};
    for (int i = 0; i < 4; ++i)
        loaded.pictures[i] = SDL_LoadBMP(pictures[i]);
    Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 4096);
    const char* musics[4] = {"./snd/goof.ogg", "./snd/robot_wars.ogg", "./snd/vexo.ogg", "./snd/down.ogg"};
    for (int i = 0; i < 4; ++i)
        loaded.musics[i] = Mix_LoadMUS(musics[i]);
    SDL_Flip(display);
    return loaded;
}

void releaseBare(const bareLoad& loaded) {
    for (SDL_Surface* s : loaded.pictures)
        if (s != nullptr) SDL_FreeSurface(s);
    for (Mix_Music* m : loaded.musics)
        if (m != nullptr) Mix_FreeMusic(m);
    Mix_CloseAudio();
    SDL_Quit();
}

void startUpVersusBareLoader(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (chdir(BRAKKO_SOURCE_DIR) != 0) {
        state.SkipWithError("cannot enter the project root");
        return;
    }
    double gameTotal = 0;
    double bareTotal = 0;
    for (auto _ : state) {
        assets kept{};
        // As main does it, then the first frame without pacing (the first pacing call never waits).
        const double g = nanoseconds([&] {
            SDL_Surface* display = openHeadless();
            app game(display, loadAssets());
            gameFrame(game, titleScreen, 0, false);
            kept = game.art;
        });
        releaseAll(kept);
        bareLoad loaded{};
        const double b = nanoseconds([&] { loaded = loadBare(); });
        releaseBare(loaded);
        gameTotal += g;
        bareTotal += b;
        state.SetIterationTime(g / 1e9);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["game_ms"] = gameTotal / n / 1e6;
    state.counters["bare_ms"] = bareTotal / n / 1e6;
    state.counters["game_over_bare"] = gameTotal / bareTotal;
}
BENCHMARK(startUpVersusBareLoader)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
