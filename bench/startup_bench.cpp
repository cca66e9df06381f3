// Start-up to the first frame (window, eight assets, four views, one frame shown) against a bare loader
// that opens the same window and loads the same eight files. The two alternate; shutdown is not timed.
#include <benchmark/benchmark.h>

#include <optional>

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
    if (chdir(assetRoot()) != 0) {
        state.SkipWithError("cannot enter the asset root");
        return;
    }
    versus times;
    for (auto _ : state) {
        std::optional<app> game;
        // As main does it (the views draw their layers), then the first frame without pacing (the first
        // pacing call never waits).
        const double g = nanoseconds([&] {
            SDL_Surface* display = openHeadless();
            game.emplace(display, loadAssets());
            gameFrame(*game, titleScreen, 0, false);
        });
        const assets kept = game->art;
        game.reset();
        releaseAll(kept);
        bareLoad loaded{};
        const double b = nanoseconds([&] { loaded = loadBare(); });
        releaseBare(loaded);
        times.add(state, g, b);
    }
    times.report(state, "bare", "ms", 1e6);
}
BENCHMARK(startUpVersusBareLoader)->UseManualTime()->Unit(benchmark::kMillisecond);

// Where the game's start-up goes, step by step in main's order: counters are mean milliseconds per step.
// The views step builds the four views, draws their map layers and readies the pictures for the display.
void startUpSteps(benchmark::State& state) {
    constexpr int steps = 7;
    const char* names[steps] = {"window_ms", "pictures_ms",     "mixer_ms",      "musics_ms",
                                "play_ms",   "views_layers_ms", "first_frame_ms"};
    double totals[steps] = {};
    for (auto _ : state) {
        SDL_Surface* display = nullptr;
        assets art{};
        double t[steps] = {};
        t[0] = nanoseconds([&] { display = openHeadless(); });
        t[1] = nanoseconds([&] {
            art.title = ouvrireImage<keyRed, keyGreen, keyBlue>("./img/title.bmp");
            art.tooth = ouvrireImage<keyRed, keyGreen, keyBlue>("./img/tooth.bmp");
            art.sheet = ouvrireImage<keyRed, keyGreen, keyBlue>("./img/bot.bmp");
            art.loose = ouvrireImage<keyRed, keyGreen, keyBlue>("./img/loose.bmp");
        });
        t[2] = nanoseconds([&] { commencerMixer(); });
        t[3] = nanoseconds([&] {
            art.music[0] = ouvrireMusique("./snd/goof.ogg");
            art.music[1] = ouvrireMusique("./snd/robot_wars.ogg");
            art.music[2] = ouvrireMusique("./snd/vexo.ogg");
            art.music[3] = ouvrireMusique("./snd/down.ogg");
        });
        t[4] = nanoseconds([&] { play(art.music[0]); });
        std::optional<app> game;
        t[5] = nanoseconds([&] { game.emplace(display, art); });
        t[6] = nanoseconds([&] { gameFrame(*game, titleScreen, 0, false); });
        game.reset();
        double total = 0;
        for (int i = 0; i < steps; ++i) {
            totals[i] += t[i];
            total += t[i];
        }
        state.SetIterationTime(total / 1e9);
        releaseAll(art);
    }
    for (int i = 0; i < steps; ++i)
        state.counters[names[i]] = totals[i] / static_cast<double>(state.iterations()) / 1e6;
}
BENCHMARK(startUpSteps)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
