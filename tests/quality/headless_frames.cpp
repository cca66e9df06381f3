// A headless run of the real game for memory checkers: start-up, then a few hundred whole frames of every
// screen with keys arriving as SDL events, every transition, and Escape, Escape to quit.
// Usage: headless_frames <project-root> [frames-per-screen]. Exits 0 after a clean shutdown.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

#include "app/app.h"
#include "sdl/platform.h"

namespace {

void pushKey(int sym) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = static_cast<SDLKey>(sym);
    SDL_PushEvent(&event);
}

// A formation key every 25 frames, all nine in turn, and a disband every 150, so robots keep moving.
void runFrames(app& game, int frames, int& frame) {
    for (int f = 0; f < frames && game.state.running(); ++f, ++frame) {
        if (frame % 150 == 149)
            pushKey(keySpace);
        else if (frame % 25 == 0)
            pushKey(formationKeys[(frame / 25) % 9]);
        game.frame();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || chdir(argv[1]) != 0) {
        std::fprintf(stderr, "usage: headless_frames <project-root> [frames-per-screen]\n");
        return 2;
    }
    const int perScreen = argc > 2 ? atoi(argv[2]) : 200;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    SDL_Surface* display = commencer<windowWidth, windowHeight>("Brakko");
    if (display == nullptr) return 1;
    app game(display, loadAssets());
    // A curtain takes 107 frames; each screen then runs on its own for perScreen frames.
    constexpr int transition = 110;
    int frame = 0;
    runFrames(game, perScreen, frame);
    pushKey(keyReturn);
    runFrames(game, transition + perScreen, frame);
    game.state.levelWon();  // stands in for solving level 1
    runFrames(game, transition + perScreen, frame);
    pushKey(keyEscape);
    runFrames(game, transition + perScreen, frame);
    pushKey(keyEscape);
    runFrames(game, 5, frame);
    const bool quit = !game.state.running();
    game.shutDown();
    std::printf("headless_frames: %d frames, %s\n", frame, quit ? "quit on Escape, Escape" : "still running");
    return quit ? 0 : 1;
}
