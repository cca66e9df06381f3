// Frame and tick costs against references measured in the same run: each screen's whole frame against one
// memcpy of a frame, and one rules tick against the level-2 frame. Every ratio is a counter; quote the
// medians of repeated runs.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench_world.h"
#include "rules/maps.h"
#include "rules/shape.h"

namespace {

// A frame against the floor for any frame, copying 800 x 500 pixels of four bytes once. The two alternate,
// so both see the same machine; the reported time is the frame's.
template <typename Frame>
void versusMemcpy(benchmark::State& state, Frame frame) {
    const std::vector<unsigned char> from(windowWidth * windowHeight * 4, 7);
    std::vector<unsigned char> to(from.size());
    long n = 0;
    for (; n < 200; ++n)
        frame(n);
    versus times;
    for (auto _ : state) {
        const double g = nanoseconds([&] { frame(n); });
        const double c = nanoseconds([&] {
            std::memcpy(to.data(), from.data(), from.size());
            benchmark::ClobberMemory();
        });
        ++n;
        times.add(state, g, c);
    }
    times.report(state, "memcpy", "us", 1e3);
}

// Screen number and whether the curtain runs: the whole frame (the screen's step, teeth if any, flip, the
// next background).
void frameVersusMemcpy(benchmark::State& state) {
    const int s = static_cast<int>(state.range(0));
    const bool curtain = state.range(1) != 0;
    running run;
    versusMemcpy(state, [&](long frame) { gameFrame(run.game, s, frame, curtain); });
}
BENCHMARK(frameVersusMemcpy)
    ->ArgNames({"screen", "curtain"})
    ->Args({titleScreen, 0})
    ->Args({level1Screen, 0})
    ->Args({level2Screen, 0})
    ->Args({rageQuitScreen, 0})
    ->Args({titleScreen, 1})
    ->Args({level2Screen, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// Level 2 with its camera held at the map's far corner and the scroll a few pixels short of it, no keys:
// every frame copies the layer's last window mid-scroll, the farthest a frame reaches into the layer.
void level2FarCornerVersusMemcpy(benchmark::State& state) {
    running run;
    spieleUI<level2W, level2H>& view = run.game.all.level2;
    run.game.state.screen = level2Screen;
    versusMemcpy(state, [&](long frame) {
        view.camCol = level2W - displayCols;
        view.camRow = level2H - displayRows;
        view.scrollX = view.camCol * cellPixels - 1 - static_cast<int>(frame % 19);
        view.scrollY = view.camRow * cellPixels - 1 - static_cast<int>(frame % 19);
        run.game.step(frameEvent{});
    });
}
BENCHMARK(level2FarCornerVersusMemcpy)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The level-2 frame that a tick is held against, measured once per process: the mean of 300 frames.
double level2FrameNanoseconds() {
    static double measured = 0;
    if (measured == 0) {
        running run;
        long frame = 0;
        for (; frame < 100; ++frame)
            gameFrame(run.game, level2Screen, frame, false);
        double total = 0;
        for (int i = 0; i < 300; ++i, ++frame)
            total += nanoseconds([&] { gameFrame(run.game, level2Screen, frame, false); });
        measured = total / 300;
    }
    return measured;
}

// Commands for a busy stretch: a formation every third tick, all nine in turn, a disband every 40.
constexpr int busyCommand(int tick) {
    if (tick % 40 == 39) return disbandCommand;
    if (tick % 3 == 0) return (tick / 3) % 9;
    return noCommand;
}

// One tick of the rules. Settled: after 3000 quiet ticks nothing moves any more. Busy: the 50 ticks after
// set-up, while every robot is still falling and the transbot keeps re-forming; each batch starts again
// from a copy of the fresh game, the copy not timed.
template <int W, int H>
void tick(benchmark::State& state, const char* text, const char* const* table) {
    const bool busy = state.range(0) != 0;
    const double frameNs = level2FrameNanoseconds();
    spiele<W, H> fresh;
    fresh.init(text, table);
    spiele<W, H> game = fresh;
    if (!busy) {
        for (int t = 0; t < 3000; ++t)
            game.process();
    }
    constexpr int batch = 50;
    double total = 0;
    long ticks = 0;
    for (auto _ : state) {
        if (busy) {
            game = fresh;
            const double ns = nanoseconds([&] {
                for (int t = 0; t < batch; ++t) {
                    game.control(busyCommand(t));
                    benchmark::DoNotOptimize(game.process());
                }
            });
            total += ns;
            ticks += batch;
            state.SetIterationTime(ns / 1e9);  // the time column is per batch; tick_ns is per tick
        } else {
            const double ns = nanoseconds([&] { benchmark::DoNotOptimize(game.process()); });
            total += ns;
            ++ticks;
            state.SetIterationTime(ns / 1e9);
        }
    }
    state.counters["tick_ns"] = total / static_cast<double>(ticks);
    state.counters["pct_of_level2_frame"] = 100.0 * total / static_cast<double>(ticks) / frameNs;
}
void tickTitle(benchmark::State& state) {
    tick<titleW, titleH>(state, titleLVL, thoseShape0);
}
void tickLevel1(benchmark::State& state) {
    tick<level1W, level1H>(state, level1T, thoseShape1);
}
void tickLevel2(benchmark::State& state) {
    tick<level2W, level2H>(state, level2T, thoseShape1);
}
void tickRageQuit(benchmark::State& state) {
    tick<ragequitW, ragequitH>(state, ragequitT, thoseShape1);
}
BENCHMARK(tickTitle)->ArgName("busy")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kNanosecond);
BENCHMARK(tickLevel1)->ArgName("busy")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kNanosecond);
BENCHMARK(tickLevel2)->ArgName("busy")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kNanosecond);
BENCHMARK(tickRageQuit)->ArgName("busy")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kNanosecond);

}  // namespace
