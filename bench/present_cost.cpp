// What showing a frame costs in a real window, timed on the wall clock and on this process's CPU clock: a
// picture drawn whole, and drawn and shown, as each frame that changes the picture is, against a frame at
// rest, which draws and shows nothing. Needs a display (run it under Xvfb: bench/window_cpu.sh does). Not a
// test.
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/app.h"
#include "sdl/platform.h"

namespace {

double seconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct cost {
    double wall = 0;
    double cpu = 0;
};

// Runs `frame(i)` n times and returns the mean cost of one, in milliseconds.
template <typename Frame>
cost each(int n, Frame frame) {
    const double wall = seconds(CLOCK_MONOTONIC);
    const double cpu = seconds(CLOCK_PROCESS_CPUTIME_ID);
    for (int i = 0; i < n; ++i)
        frame(i);
    return {(seconds(CLOCK_MONOTONIC) - wall) * 1e3 / n, (seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu) * 1e3 / n};
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 600;
    if (argc > 2 && chdir(argv[2]) != 0) return 2;
    SDL_Surface* display = commencer<windowWidth, windowHeight>("Brakko");
    if (display == nullptr) return 1;
    app game(display, loadAssets());
    stop();

    // Level 1 at rest: a frame there finds its picture on show and draws nothing.
    game.step(frameEvent::keyPress(keyReturn));
    while (game.state.screen != level1Screen || game.state.nextScreen != noTransition)
        game.step({});
    for (int i = 0; i < 600; ++i)
        game.step({});
    const cost same = each(n, [&](int) { game.step({}); });
    // The same picture drawn whole, and drawn and shown, as every frame that changes it is.
    const cost draw = each(n, [&](int) { game.draw(); });
    const cost flip = each(n, [&](int) {
        game.stale = true;
        game.present();
    });

    std::printf("present_cost: %d frames each, in ms per frame (wall, this process's CPU)\n", n);
    std::printf("  draw whole:            %.3f wall, %.3f CPU\n", draw.wall, draw.cpu);
    std::printf("  draw whole and show:   %.3f wall, %.3f CPU\n", flip.wall, flip.cpu);
    std::printf("  one present:           %.3f wall, %.3f CPU\n", flip.wall - draw.wall, flip.cpu - draw.cpu);
    std::printf("  a frame at rest:       %.3f wall, %.3f CPU\n", same.wall, same.cpu);
    game.shutDown();
    return 0;
}
