// Nothing is allocated after start-up: this program replaces the global allocation functions and wraps
// glibc's malloc family, then runs thousands of frames of every screen and counts what the frames allocate.
// Only the main thread is counted (SDL's audio thread is not ours). Never built into the sanitized tree.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <new>
#include <thread>

#include "app/app.h"
#include "rules/maps.h"
#include "sdl/platform.h"
#include "solver/search.h"
#include "rules/shape.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* p);
}

namespace {

// Two tallies, so that a failure says whose allocation it was: our C++ (operator new) or C code, ours or
// SDL's, that went to malloc directly.
std::atomic<long> newCalls{0};
std::atomic<long> mallocCalls{0};
thread_local bool counting = false;

void* counted(std::size_t size) {
    if (counting) ++newCalls;
    void* p = __libc_malloc(size == 0 ? 1 : size);
    return p;
}

void* countedAligned(std::size_t size, std::align_val_t alignment) {
    if (counting) ++newCalls;
    return __libc_memalign(static_cast<std::size_t>(alignment), size == 0 ? 1 : size);
}

}  // namespace

extern "C" {
void* malloc(std::size_t size) noexcept {
    if (counting) ++mallocCalls;
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
    if (counting) ++mallocCalls;
    return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size) noexcept {
    if (counting) ++mallocCalls;
    return __libc_realloc(p, size);
}
void* memalign(std::size_t alignment, std::size_t size) noexcept {
    if (counting) ++mallocCalls;
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
    if (counting) ++mallocCalls;
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) noexcept {
    if (counting) ++mallocCalls;
    void* p = __libc_memalign(alignment, size);
    if (p == nullptr) return ENOMEM;
    *out = p;
    return 0;
}
void free(void* p) noexcept {
    __libc_free(p);
}
}

// Failing to allocate would be its own fault; these tests only need the count, so a null is passed on.
void* operator new(std::size_t size) {
    return counted(size);
}
void* operator new[](std::size_t size) {
    return counted(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return counted(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return counted(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return countedAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return countedAligned(size, alignment);
}
void operator delete(void* p) noexcept {
    __libc_free(p);
}
void operator delete[](void* p) noexcept {
    __libc_free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    __libc_free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    __libc_free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    __libc_free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    __libc_free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    __libc_free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    __libc_free(p);
}

namespace {

struct tally {
    long news = 0;
    long mallocs = 0;
    long total() const { return news + mallocs; }
};

// Counts what `work` allocates on this thread; nothing may assert inside, since a message allocates.
template <typename Work>
tally count(Work work) {
    const long news = newCalls.load();
    const long mallocs = mallocCalls.load();
    counting = true;
    work();
    counting = false;
    return tally{newCalls.load() - news, mallocCalls.load() - mallocs};
}

void pushKey(int sym) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = static_cast<SDLKey>(sym);
    SDL_PushEvent(&event);
}

// Keeps the robots busy: a formation key every 30 frames, cycling through all nine, and a disband every
// 400, so groups form, fall, ride belts and break up again.
int keyForFrame(int frame) {
    if (frame % 400 == 399) return keySpace;
    if (frame % 30 == 0) return formationKeys[(frame / 30) % 9];
    return 0;
}

class Allocation : public ::testing::Test {
  protected:
    char before[4096] = {};
    SDL_Surface* display = nullptr;

    // The real pictures and musics, read from the project, so every blit and music change is the game's own.
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_NE(getcwd(before, sizeof before), nullptr);
        ASSERT_EQ(chdir(BRAKKO_SOURCE_DIR), 0) << "the project root should hold img/ and snd/";
        display = commencer<windowWidth, windowHeight>("Brakko");
        ASSERT_NE(display, nullptr) << "the dummy video driver should give a display";
    }
    void TearDown() override {
        closePlatform();
        ASSERT_EQ(chdir(before), 0);
    }
};

}  // namespace

// The counter itself: were the replacements not the ones linked, every other test here would pass blind.
TEST(AllocationCounter, SeesOperatorNewAndMallocOnThisThreadOnly) {
    static void* volatile kept = nullptr;  // volatile, so the compiler cannot drop the pair
    const tally mine = count([] {
        int* one = new int(7);
        kept = one;
        delete one;
        void* block = malloc(64);
        kept = block;
        free(block);
    });
    EXPECT_EQ(mine.news, 1) << "one operator new on this thread should be counted once";
    EXPECT_EQ(mine.mallocs, 1) << "one malloc on this thread should be counted once";
    // The thread is started before counting, since starting one allocates on the starting thread.
    std::atomic<int> stage{0};
    std::thread elsewhere([&] {
        while (stage.load() == 0) {
        }
        void* block = malloc(64);
        kept = block;
        free(block);
        stage = 2;
    });
    const tally other = count([&] {
        stage = 1;
        while (stage.load() != 2) {
        }
    });
    elsewhere.join();
    EXPECT_EQ(other.mallocs, 0) << "a malloc on another thread should not be counted";
    EXPECT_NE(kept, nullptr) << "the blocks were really allocated";
}

constexpr int framesPerScreen = 2000;

// Every music played once (only a music's very first start sets up its decoder), then framesPerScreen frames
// of each screen, the first ones under the curtain opening onto it, with `keyFor(frame)` pressed (0: none).
// Hands `check` each screen, what its frames allocated, and how often the curtain opened.
template <typename Key, typename Check>
void eachScreen(app& game, Key keyFor, Check check) {
    for (Mix_Music* music : game.art.music) {
        stop();
        play(music);
    }
    for (const int s : {titleScreen, level1Screen, level2Screen, rageQuitScreen}) {
        game.state.screen = s;
        game.state.nextScreen = s;
        game.state.curtain = curtainClosed;
        int opened = 0;
        const tally frames = count([&] {
            for (int f = 0; f < framesPerScreen; ++f) {
                const int sym = keyFor(f);
                opened +=
                    game.step(sym != 0 ? frameEvent::keyPress(sym) : frameEvent{}) == curtainMove::opened;
            }
        });
        check(s, frames, opened);
    }
}

// The game's frame step, everything but the pacing and SDL's queue: two thousand frames of each screen, the
// first ones under the curtain opening onto it and ending with its music's start. Every music has played
// once before counting, since only a music's very first start sets up its decoder (see the test below).
TEST_F(Allocation, OurFrameStepAllocatesNothingOnAnyScreen) {
    const tally startUp = count([&] {
        app game(display, loadAssets());
        (void)game;
    });
    std::printf("start-up (assets and the four screens) made %ld operator new and %ld malloc-family calls\n",
                startUp.news, startUp.mallocs);

    app game(display, loadAssets());
    eachScreen(game, keyForFrame, [](int s, const tally& frames, int opened) {
        EXPECT_EQ(opened, 1) << "the curtain should have opened onto screen " << s << " once";
        EXPECT_EQ(frames.news, 0) << framesPerScreen << " frames of screen " << s << " called operator new "
                                  << frames.news << " times";
        EXPECT_EQ(frames.mallocs, 0) << framesPerScreen << " frames of screen " << s << " called malloc "
                                     << frames.mallocs << " times";
    });
}

// Practice mode's frames: the same keys with Backspace and r among them, on every screen. Its steps were made
// with the game; no frame adds to them.
TEST_F(Allocation, PracticeFramesAllocateNothing) {
    // With the strip of signs below the play, as on the desktop.
    display = commencer<windowWidth, windowHeight + stripHeight>("Brakko");
    ASSERT_TRUE(display != nullptr && hasStrip(display));
    app game(display, loadAssets(true), true);
    ASSERT_NE(game.art.practice, nullptr) << "the practice picture should load";
    // The rage-quit screen is reached by a win, so that it names it.
    game.all.level2.game.won = 1;
    game.practice->level2Won = winner::player;
    const auto practiceKeys = [](int f) {
        return f % 97 == 96 ? keyBackspace : f % 701 == 700 ? keyRestart : keyForFrame(f);
    };
    eachScreen(game, practiceKeys, [](int s, const tally& frames, int) {
        EXPECT_EQ(frames.total(), 0) << framesPerScreen << " practice frames of screen " << s << " made "
                                     << frames.news << " operator new and " << frames.mallocs
                                     << " malloc-family calls";
    });
    // Paused, stepped and slowed on level 2, keys held meanwhile: the pictures drawn again allocate nothing.
    game.state.screen = level2Screen;
    const tally timed = count([&] {
        for (int f = 0; f < framesPerScreen; ++f) {
            const int sym = f % 50 == 0    ? keyPause
                            : f % 50 == 20 ? keyStep
                            : f % 300 == 7 ? keySlow
                                           : keyForFrame(f);
            if (sym != 0) game.time.take(frameEvent::keyPress(sym));
            game.timedFrame();
        }
    });
    EXPECT_EQ(timed.total(), 0) << "paused, stepped and slowed frames made " << timed.news
                                << " operator new and " << timed.mallocs << " malloc-family calls";
}

// The whole frame as the game runs it (pacing, one event, the step, the curtain, flip, background), through
// every screen and every transition, keys arriving as SDL events. Only the frame that starts a screen's
// music may allocate, and only inside SDL_mixer, which sets up its decoder again whenever a music starts.
TEST_F(Allocation, WholeFramesAllocateOnlyWhereAMusicStarts) {
    app game(display, loadAssets());
    constexpr int most = 1000;
    int frame = 0;
    int musicStarts = 0;
    int strayFrames[most] = {};
    long strayCounts[most] = {};
    int strays = 0;
    auto run = [&](int frames) {
        for (int f = 0; f < frames && game.state.running(); ++f, ++frame) {
            if (const int sym = keyForFrame(frame)) pushKey(sym);
            const bool opening = game.state.nextScreen != noTransition;
            const tally one = count([&] { game.frame(); });
            if (opening && game.state.nextScreen == noTransition) {
                std::printf("frame %d starts the music of screen %d: %ld allocations\n", frame,
                            game.state.screen, one.total());
                ++musicStarts;
            } else if (one.total() != 0 && strays < most) {
                strayFrames[strays] = frame;
                strayCounts[strays++] = one.total();
            }
        }
    };
    run(150);
    pushKey(keyReturn);
    run(250);  // the curtain closes and opens onto level 1
    game.state.levelWon();
    run(250);  // level 1 counts as won: on to level 2
    pushKey(keyEscape);
    run(250);  // given up: the rage-quit screen
    pushKey(keyEscape);
    run(5);

    ASSERT_FALSE(game.state.running()) << "Escape on the rage-quit screen should have ended the run";
    EXPECT_EQ(musicStarts, 3) << "three curtains should have opened, each starting its screen's music";
    for (int i = 0; i < strays; ++i)
        ADD_FAILURE() << "frame " << strayFrames[i] << " made " << strayCounts[i]
                      << " allocations without starting a music";

    // Where those allocations come from, for the record: a music that has never played, halted and started
    // on its own. The decoder is set up on its first start; later starts of the same music reuse it.
    Mix_Music* fresh = ouvrireMusique("./snd/vexo.ogg");
    const tally halt = count([] { stop(); });
    const tally first = count([&] { play(fresh); });
    stop();
    const tally again = count([&] { play(fresh); });
    std::printf(
        "%d whole frames; malloc-family calls in SDL_mixer: %ld to halt, %ld for a music's first start, "
        "%ld to start it again\n",
        frame, halt.mallocs, first.mallocs, again.mallocs);
}

// The search takes all its memory when it is built: runs from a level's start and from a state some ticks on,
// to a win and out of budget, allocate nothing.
TEST(SearchAllocation, RunsAllocateNothingAfterConstruction) {
    search<level1W, level1H> one(level1T, thoseShape1, 1 << 16);
    search<level2W, level2H> two(level2T, thoseShape1, 1 << 16);
    spiele<level2W, level2H> onTheWay = two.start;
    onTheWay.control(0);
    for (int t = 0; t < 20; ++t)
        onTheWay.process();
    searchOutcome outcomes[4] = {};
    const tally runs = count([&] {
        outcomes[0] = one.run(one.start, false, 30000, 4).outcome;
        outcomes[1] = two.run(two.start, false, 30000, 4).outcome;
        outcomes[2] = two.run(onTheWay, true, 30000, 4).outcome;
        outcomes[3] = two.run(two.start, false, 10).outcome;
    });
    EXPECT_EQ(runs.total(), 0) << "four searches made " << runs.news << " operator new and " << runs.mallocs
                               << " malloc-family calls";
    EXPECT_EQ(outcomes[0], searchOutcome::won) << "level 1 should be won from its start";
    EXPECT_EQ(outcomes[1], searchOutcome::won) << "level 2 should be won from its start";
    EXPECT_EQ(outcomes[3], searchOutcome::outOfBudget) << "ten states should not win level 2";
}
