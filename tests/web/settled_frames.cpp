// The desktop game's pictures at rest for the browser test: the title, level 1 after Return and the rage-quit
// screen after Escape, each written as <dir>/<name>.ppm once it stops changing; with --practice the title and
// level 1 in practice mode as the page's canvas shows them (the page shows the signs as text beside it), as
// practice-title and practice-level1. Headless (dummy drivers), through the
// game's own frame step. Usage: settled_frames <project-root> <dir> [--practice]
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <span>
#include <string>

#include "app/app.h"
#include "sdl/platform.h"

namespace {

// What the game last showed, as RGB bytes row by row.
unsigned char shown[windowWidth * windowHeight * 3];
unsigned char before[sizeof shown];

}  // namespace

// The dummy driver shows nothing, so this program takes SDL's place at the flip and keeps what a window would
// have shown: the frame as drawn, before anything of the next one.
extern "C" int SDL_Flip(SDL_Surface* screen) {
    SDL_LockSurface(screen);
    unsigned char* out = shown;
    for (int y = 0; y < windowHeight; ++y) {
        const Uint32* row = static_cast<const Uint32*>(screen->pixels) + y * screen->pitch / 4;
        for (int x = 0; x < windowWidth; ++x, out += 3)
            SDL_GetRGB(row[x], screen->format, &out[0], &out[1], &out[2]);
    }
    SDL_UnlockSurface(screen);
    return 0;
}

namespace {

// Runs frames (the first with `key`, if any) until the picture has stayed the same for a second's worth.
bool settle(app& game, int key) {
    constexpr int restFrames = 125;
    game.step(key != 0 ? frameEvent::keyPress(key) : frameEvent{});
    int still = 0;
    for (int frame = 0; frame < 5000 && still < restFrames; ++frame) {
        std::memcpy(before, shown, sizeof shown);
        game.step({});
        still = std::memcmp(before, shown, sizeof shown) == 0 ? still + 1 : 0;
    }
    return still == restFrames;
}

bool write(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", windowWidth, windowHeight);
    const bool whole = std::fwrite(shown, 1, sizeof shown, file) == sizeof shown;
    return std::fclose(file) == 0 && whole;
}

}  // namespace

int main(int argc, char** argv) {
    const bool practice = argc == 4 && std::strcmp(argv[3], "--practice") == 0;
    if (argc != 3 && !practice) {
        std::fprintf(stderr, "usage: settled_frames <project-root> <dir> [--practice]\n");
        return 2;
    }
    const std::string dir = argv[2];
    if (chdir(argv[1]) != 0) {
        std::fprintf(stderr, "settled_frames: cannot enter %s\n", argv[1]);
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SDL_Surface* display = commencer<windowWidth, windowHeight>("Brakko");
    if (display == nullptr) return 1;
    // A page always reads the practice picture, which holds the words for a touch pad.
    assets art = loadAssets(practice);
    if (art.practice == nullptr) art.practice = ouvrireImage<keyRed, keyGreen, keyBlue>("./img/practice.bmp");
    app game(display, art, practice);

    // Each screen as the key leaves it, with the control in hand; `won` shows screen 8 as a win leaves it,
    // the same robots at rest over the picture of the win.
    struct atRest {
        const char* name;
        int key;
        int controls = controlsKeys;
        bool won = false;
    };
    const atRest asSpecified[] = {{"title", 0},
                                  {"title-touch", 0, controlsTouch},
                                  {"level1", keyReturn},
                                  {"ragequit", keyEscape},
                                  {"won", 0, controlsKeys, true}};
    const atRest inPractice[] = {
        {"practice-title", 0}, {"practice-title-touch", 0, controlsTouch}, {"practice-level1", keyReturn}};
    int status = 0;
    for (const auto& screen :
         practice ? std::span<const atRest>(inPractice) : std::span<const atRest>(asSpecified)) {
        useControls(game, screen.controls);
        game.state.endWon = screen.won;
        game.stale = game.stale || screen.won;
        if (!settle(game, screen.key)) {
            std::fprintf(stderr, "settled_frames: the %s never came to rest\n", screen.name);
            status = 1;
            break;
        }
        if (!write(dir + "/" + screen.name + ".ppm")) {
            std::fprintf(stderr, "settled_frames: cannot write %s/%s.ppm\n", dir.c_str(), screen.name);
            status = 1;
            break;
        }
    }
    game.shutDown();
    return status;
}
