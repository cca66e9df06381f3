// The browser's own platform code: the checks a file must pass before the browser's loaders see it, pictures
// made see-through for a canvas, the music paused in a hidden tab, what the page is told, and the main loop
// driven by the browser's animation frames.
#include <emscripten.h>
#include <emscripten/html5.h>

#include "app/seam.h"
#include "sdl/platform.h"

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

struct browserRun {
    app* game = nullptr;
    framePacer<60> pacer;
    gameNews told;
    // The main loop is paused: the game was at rest, and nothing has happened since.
    bool asleep = false;
};
browserRun run;

// Module.asleep: whether the main loop sleeps, for the page to show or wait for.
EM_JS(void, asleepToPage, (int asleep), { Module.asleep = asleep != 0; });

// Anything that may change the game wakes a sleeping loop, once: its next animation frame takes the event.
void wake() {
    if (!run.asleep) return;
    run.asleep = false;
    asleepToPage(0);
    emscripten_resume_main_loop();
}

EM_BOOL visibilityChanged(int, const EmscriptenVisibilityChangeEvent* page, void*) {
    // Nothing to resume when no music plays (halted, or never loaded).
    if (page->hidden) {
        Mix_PauseMusic();
    } else {
        Mix_ResumeMusic();
        wake();
    }
    return EM_FALSE;
}

// SDL's own handler only queues a key; this one, heard first, wakes the loop that will take it.
EM_BOOL keyPressed(int, const EmscriptenKeyboardEvent*, void*) {
    wake();
    return EM_FALSE;
}

// The page's Module.onNews, when it is defined, called with the whole record as one object: each field a
// number, the poses a text.
EM_JS(void, newsToPage,
      (int screen, int practice, int playersLevel, int level1Won, int level2Won, int replayed, int pack,
       int packLevel, int packLevels, int solvedMoves, int par, int fewest, int savedWins, int paused,
       int slowness, int map, int curtain, int hint, int hintKey, int steps, int waitingPose,
       int currentShape, int members, int memberCells, int samePose, int controls, const char* poses),
      {
          if (!Module.onNews) return;
          Module.onNews({
              screen,
              practice,
              playersLevel,
              level1Won,
              level2Won,
              replayed,
              pack,
              packLevel,
              packLevels,
              solvedMoves,
              par,
              fewest,
              savedWins,
              paused,
              slowness,
              map,
              curtain,
              hint,
              hintKey,
              steps,
              waitingPose,
              currentShape,
              members,
              memberCells,
              samePose,
              controls,
              poses : UTF8ToString(poses)
          });
      });

// Tells the page what changed since it was last told: the whole record, only when a field differs.
void tellPage(const app& game, gameNews& told) {
    gameNews now;
    readNews(game, now);
    if (now == told) return;
    told = now;
    newsToPage(now.screen, now.practice, now.playersLevel, now.level1Won, now.level2Won, now.replayed,
               now.pack, now.packLevel, now.packLevels, now.solvedMoves, now.par, now.fewest, now.savedWins,
               now.paused, now.slowness, now.map, now.curtain, now.hint, now.hintKey, now.steps,
               now.waitingPose, now.currentShape, now.members, now.memberCells, now.samePose, now.controls,
               now.poses);
}

// One animation frame of the browser: the game frames that are due, each without its picture, then the last
// one's picture, the only one the page will show, and the news. Once the player has quit, the same shutdown
// as the desktop's; the page learns that the game ended from its Module.onExit, and how from the last news.
void animationFrame(void*) {
    app& game = *run.game;
    // Only the frames due when the call began: frames slower than the pacing must still let the page draw.
    const Uint32 now = SDL_GetTicks();
    bool stepped = false;
    while (gameRunning(game) && run.pacer.due(now)) {
        const Uint32 begun = SDL_GetTicks();
        unpacedFrame(game);
        run.pacer.ran(SDL_GetTicks() - begun);
        stepped = true;
    }
    presentFrame(game);
    tellPage(game, run.told);
    if (gameRunning(game)) {
        // At rest the loop sleeps: the frames it leaves out would change nothing, and none is caught up when
        // it wakes. Only after a frame here, whose look at SDL's queue found it empty: no event comes in
        // during an animation frame, so none waits unheard.
        if (stepped && atRest(game)) {
            run.asleep = true;
            asleepToPage(1);
            emscripten_pause_main_loop();
        }
        return;
    }
    emscripten_cancel_main_loop();
    endRun(game);
    emscripten_force_exit(0);
}

}  // namespace

// The page's touch pad presses keys through here, exactly as if they had been typed.
extern "C" EMSCRIPTEN_KEEPALIVE void pressKey(int sym) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = sym;
    SDL_PushEvent(&event);
    wake();
}

// The page says which control its player used last, a key or its touch pad (controlsKeys or controlsTouch),
// and the texts on the canvas name that control's buttons from the next frame on.
extern "C" EMSCRIPTEN_KEEPALIVE void setControls(int controls) {
    if (run.game == nullptr) return;
    useControls(*run.game, controls);
    wake();
}

// The page's sound button: the music goes silent, or plays at its full volume again.
extern "C" EMSCRIPTEN_KEEPALIVE void setMuted(int muted) {
    muteMusic(muted != 0);
}

bool touchPadAround() {
    return true;
}

bool signsBelowPlay() {
    return false;
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
    // Heard on the way down to the page, before any handler below could stop it.
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, keyPressed);
    presentOnlyWhenAsked(game);
    // Never returns: the browser calls animationFrame from now on, and `game` stays where it is.
    run.game = &game;
    emscripten_set_main_loop_arg(animationFrame, &run, 0, 1);
}
