// What showing a frame costs in a real window: frames of a display whose picture changes every frame, timed
// on the wall clock and on this process's CPU clock, drawn alone and drawn and shown, against a frame at
// rest, which draws and shows nothing. Needs a display (run it under Xvfb: bench/window_cpu.sh does). Not a
// test.
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app.h"
#include "platform.h"

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

    // Level 1 with its robots gliding and falling: every frame differs from the one before.
    game.state.screen = level1Screen;
    game.showEachFrame = false;
    for (int i = 0; i < 50; ++i)
        game.step(frameEvent::keyPress(' '));
    const cost draw = each(n, [&](int i) {
        game.step(i % 40 == 0 ? frameEvent::keyPress('d') : frameEvent{});
        game.draw();
    });
    game.showEachFrame = true;
    const cost flip =
        each(n, [&](int i) { game.step(i % 40 == 0 ? frameEvent::keyPress('d') : frameEvent{}); });
    // Level 1 at rest: the picture stays the one on show, and the frame draws nothing.
    while (!game.all.level1.updated() || game.due.view.robots == 0 || !(game.due == game.shown))
        game.step({});
    for (int i = 0; i < 4000; ++i)
        game.step({});
    const cost same = each(n, [&](int) { game.step({}); });

    std::printf("present_cost: %d frames each, in ms per frame (wall, this process's CPU)\n", n);
    std::printf("  step and draw:         %.3f wall, %.3f CPU\n", draw.wall, draw.cpu);
    std::printf("  step, draw and flip:   %.3f wall, %.3f CPU\n", flip.wall, flip.cpu);
    std::printf("  one present:           %.3f wall, %.3f CPU\n", flip.wall - draw.wall, flip.cpu - draw.cpu);
    std::printf("  a frame at rest:       %.3f wall, %.3f CPU\n", same.wall, same.cpu);
    game.shutDown();
    return 0;
}
