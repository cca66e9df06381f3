// The browser's own platform code: the checks a file must pass before the browser's loaders see it, pictures
// made see-through for a canvas, the music paused in a hidden tab, what the page is told, and the main loop
// driven by the browser's animation frames.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstring>

#include "app.h"
#include "platform.h"
#include "platformOwn.h"
#include "posePreview.h"

namespace {

// A browser's canvas has no colour key, but it blends alpha: every pixel of the key colour becomes fully
// transparent and every other one fully opaque (SDL reads no alpha from a BMP either), so a blit copies
// exactly what a keyed blit would.
void seeThrough(SDL_Surface* picture, Uint32 key) {
    const Uint32 alpha = picture->format->Amask;
    SDL_LockSurface(picture);
    for (int y = 0; y < picture->h; ++y) {
        Uint32* row = static_cast<Uint32*>(picture->pixels) + y * picture->pitch / 4;
        for (int x = 0; x < picture->w; ++x)
            row[x] = (row[x] & ~alpha) == (key & ~alpha) ? row[x] & ~alpha : row[x] | alpha;
    }
    SDL_UnlockSurface(picture);
}

EM_BOOL visibilityChanged(int, const EmscriptenVisibilityChangeEvent* page, void*) {
    // Nothing to resume when no music plays (halted, or never loaded).
    if (page->hidden)
        Mix_PauseMusic();
    else
        Mix_ResumeMusic();
    return EM_FALSE;
}

// What the page shows beside the game, as last told: the screen, the poses the pad draws for the group as it
// stands, practice mode's hold on time, and whether level 2 is won.
struct pageNews {
    int screen = 0;
    bool won = false;
    bool paused = false;
    int slowness = 0;
    char poses[600] = {};
};

struct browserRun {
    app* game = nullptr;
    framePacer<60> pacer;
    pageNews told;
};

// Tells the page what changed since it was last told, through its Module.onScreen(screen),
// Module.onPoses(text) (see poseText), Module.onTime(paused, slowness) and Module.onLevel2Won(), each called
// only when the page defined it.
void tellPage(app& game, pageNews& told) {
    char script[700];
    const int screen = game.state.screen;
    if (screen != told.screen) {
        told.screen = screen;
        std::snprintf(script, sizeof script, "Module.onScreen && Module.onScreen(%d)", screen);
        emscripten_run_script(script);
    }
    // On the title and the rage-quit screen the pad shows level 1's poses for a new pair.
    posePreview poses[9];
    if (screen == level2Screen)
        previewPoses(game.all.level2.game, poses);
    else
        previewPoses(game.all.level1.game, poses);
    char text[sizeof told.poses];
    poseText(poses, text, sizeof text);
    if (std::strcmp(text, told.poses) != 0) {
        std::memcpy(told.poses, text, sizeof text);
        std::snprintf(script, sizeof script, "Module.onPoses && Module.onPoses('%s')", text);
        emscripten_run_script(script);
    }
    if (game.time.paused != told.paused || game.time.slowness != told.slowness) {
        told.paused = game.time.paused, told.slowness = game.time.slowness;
        std::snprintf(script, sizeof script, "Module.onTime && Module.onTime(%d, %d)", told.paused ? 1 : 0,
                      told.slowness);
        emscripten_run_script(script);
    }
    if (game.all.level2.end() && !told.won) {
        told.won = true;
        emscripten_run_script("Module.onLevel2Won && Module.onLevel2Won()");
    }
}

// One animation frame of the browser: the game frames that are due, each without its picture, then the last
// one's picture, the only one the page will show. Once the player has quit, the same shutdown as the
// desktop's, and the page is told how the game ended (its Module.onGameEnd, with 1 when level 2 was won and
// 0 when the player gave up) and that it did (its Module.onExit).
void animationFrame(void* arg) {
    browserRun& run = *static_cast<browserRun*>(arg);
    app& game = *run.game;
    // Only the frames due when the call began: frames slower than the pacing must still let the page draw.
    const Uint32 now = SDL_GetTicks();
    while (game.state.running() && run.pacer.due(now)) {
        const Uint32 begun = SDL_GetTicks();
        game.unpacedFrame();
        run.pacer.ran(SDL_GetTicks() - begun);
    }
    game.present();
    tellPage(game, run.told);
    if (game.state.running()) return;
    emscripten_run_script(game.all.level2.end() ? "Module.onGameEnd && Module.onGameEnd(1)"
                                                : "Module.onGameEnd && Module.onGameEnd(0)");
    emscripten_cancel_main_loop();
    game.shutDown();
    emscripten_force_exit(0);
}

}  // namespace

// The page's touch pad presses keys through here, exactly as if they had been typed.
extern "C" EMSCRIPTEN_KEEPALIVE void pressKey(int sym) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = sym;
    SDL_PushEvent(&event);
}

// The page's sound button: the music goes silent, or plays at its full volume again.
extern "C" EMSCRIPTEN_KEEPALIVE void setMuted(int muted) {
    muteMusic(muted != 0);
}

void beforeVideo(bool) {}

bool videoShows() {
    return true;
}

// A browser's SDL has no switch for the events it queues, and its queue has no limit to overflow.
void filterEvents() {}

SDL_Surface* loadBmp(const char* path) {
    // The browser's loader would fill a BMP cut short with black.
    return wholeBmp(path) ? SDL_LoadBMP_RW(SDL_RWFromFile(path, "rb"), 1) : nullptr;
}

SDL_Surface* inDisplayFormat(SDL_Surface* loaded, Uint8 red, Uint8 green, Uint8 blue) {
    SDL_Surface* picture = SDL_DisplayFormatAlpha(loaded);
    if (picture != nullptr) seeThrough(picture, SDL_MapRGB(picture->format, red, green, blue));
    return picture;
}

Mix_Music* loadMusic(const char* path) {
    // The browser's mixer takes any file and fails only when it plays one it cannot decode.
    return vorbisHeaders(path) ? Mix_LoadMUS(path) : nullptr;
}

SDL_Surface* newLayer(SDL_Surface* like, int w, int h) {
    if (like == nullptr) return nullptr;
    const SDL_PixelFormat* format = like->format;
    // A browser's surface is a canvas, and a new one is wholly see-through already. Made as a hardware
    // surface its pixels live in that canvas alone until a lock first copies them out.
    return SDL_CreateRGBSurface(SDL_HWSURFACE, w, h, format->BitsPerPixel, format->Rmask, format->Gmask,
                                format->Bmask, format->Amask);
}

// A browser draws one canvas onto another as it is: there is no key to encode, and a layer's first draw was
// measured to hold up no frame, so nothing is done ahead.
void readyForDisplay(SDL_Surface*, SDL_Surface*) {}
void readyForBlits(SDL_Surface*, SDL_Surface*) {}

void runMainLoop(app& game) {
    // A hidden tab gets no animation frames, so the game stands still there, and so does its music.
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, visibilityChanged);
    game.showEachFrame = false;
    // Never returns: the browser calls animationFrame from now on, and `game` and `run` stay where they are.
    static browserRun run;
    run.game = &game;
    emscripten_set_main_loop_arg(animationFrame, &run, 0, 1);
}
