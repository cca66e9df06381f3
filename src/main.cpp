// Brakko: reads the command line, opens the window, loads the pictures and musics, and runs the main loop
// until the player quits. Only wiring: the loop's frame is in app.cpp, its decisions in flow.cpp, replay
// files in replay.cpp. Every file the command line names is checked before the window opens. In a browser
// the page passes the command line and calls in once per animation frame.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app.h"
#include "platform.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace {

constexpr char usage[] =
    "usage: brakko [--practice] [--replay FILE | --solution] [--record FILE]\n"
    "       brakko --help | --version\n"
    "  --practice     Backspace undoes and r restarts a level; a waiting pose and the goal are shown\n"
    "  --replay FILE  play the run recorded in FILE; after its last event the keys are yours\n"
    "  --solution     watch both levels being won; on the rage-quit screen the keys are yours\n"
    "  --record FILE  write the keys of this run to FILE, which must not exist yet\n";

struct options {
    const char* replayPath = nullptr;
    const char* recordPath = nullptr;
    bool practice = false;
    bool help = false;
    bool version = false;
};

// False for an unknown option, an option given twice, a missing FILE, or both --replay and --solution.
bool readOptions(int argc, char** argv, options& chosen) {
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(option, "--help") == 0 && !chosen.help) {
            chosen.help = true;
        } else if (std::strcmp(option, "--version") == 0 && !chosen.version) {
            chosen.version = true;
        } else if (std::strcmp(option, "--practice") == 0 && !chosen.practice) {
            chosen.practice = true;
        } else if (std::strcmp(option, "--solution") == 0 && chosen.replayPath == nullptr) {
            chosen.replayPath = solutionPath;
        } else if (std::strcmp(option, "--replay") == 0 && hasValue && chosen.replayPath == nullptr) {
            chosen.replayPath = argv[++i];
        } else if (std::strcmp(option, "--record") == 0 && hasValue && chosen.recordPath == nullptr) {
            chosen.recordPath = argv[++i];
        } else {
            return false;
        }
    }
    return true;
}

// A new file for the recording, its header (and the practice line) already written; null after saying why
// on standard error.
std::FILE* startRecording(const char* path, bool practice) {
    // "x": a recording never replaces a file, least of all the replay it may be recording.
    std::FILE* out = std::fopen(path, "wx");
    if (out == nullptr) {
        if (errno == EEXIST)
            std::fprintf(stderr, "brakko: %s: the file exists already, and --record never overwrites one\n",
                         path);
        else
            std::fprintf(stderr, "brakko: %s: cannot create it: %s\n", path, std::strerror(errno));
        return nullptr;
    }
    if (!writeReplayHeader(out) || (practice && !writeReplayPractice(out))) {
        std::fprintf(stderr, "brakko: %s: cannot write it: %s\n", path, std::strerror(errno));
        std::fclose(out);
        return nullptr;
    }
    return out;
}

#ifdef __EMSCRIPTEN__
struct browserRun {
    app& game;
    framePacer<60> pacer;
};

// One animation frame of the browser: the game frames that are due, then, once the player has quit, the
// same shutdown as the desktop's and the page is told how the game ended (its Module.onGameEnd, with 1 when
// level 2 was won and 0 when the player gave up) and that it did (its Module.onExit).
void animationFrame(void* arg) {
    browserRun& run = *static_cast<browserRun*>(arg);
    // Only the frames due when the call began: frames slower than the pacing must still let the page draw.
    const Uint32 now = SDL_GetTicks();
    while (run.game.state.running() && run.pacer.due(now)) {
        const Uint32 begun = SDL_GetTicks();
        run.game.unpacedFrame();
        run.pacer.ran(SDL_GetTicks() - begun);
    }
    if (run.game.state.running()) return;
    emscripten_run_script(run.game.all.level2.end() ? "Module.onGameEnd && Module.onGameEnd(1)"
                                                    : "Module.onGameEnd && Module.onGameEnd(0)");
    emscripten_cancel_main_loop();
    run.game.shutDown();
    emscripten_force_exit(0);
}
#endif

}  // namespace

#ifdef __EMSCRIPTEN__
// The page's touch pad presses keys through here, exactly as if they had been typed.
extern "C" EMSCRIPTEN_KEEPALIVE void pressKey(int sym) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = sym;
    SDL_PushEvent(&event);
}
#endif

int main(int argc, char** argv) {
    options chosen;
    if (!readOptions(argc, argv, chosen)) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (chosen.help) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (chosen.version) {
        std::printf("brakko %s\n", BRAKKO_VERSION);
        return 0;
    }

    // Far too large for a stack (a browser's is small), and read before the window opens: kept static.
    static replay script;
    if (chosen.replayPath != nullptr) {
        replayError error;
        if (!readReplayFile(chosen.replayPath, script, error)) {
            if (error.line > 0)
                std::fprintf(stderr, "brakko: %s: line %d: %s\n", chosen.replayPath, error.line,
                             error.reason);
            else
                std::fprintf(stderr, "brakko: %s: %s\n", chosen.replayPath, error.reason);
            return 2;
        }
    }
    // A replay recorded in practice mode plays in practice mode, or it would go another way.
    const bool practice = chosen.practice || (chosen.replayPath != nullptr && script.practice);
    std::FILE* recording = nullptr;
    if (chosen.recordPath != nullptr) {
        recording = startRecording(chosen.recordPath, practice);
        if (recording == nullptr) return 2;
    }

    SDL_Surface* display = commencer<windowWidth, windowHeight>("Brakko");
    if (display == nullptr) {
        // Without a window there is nothing to draw into; leave rather than run blind.
        if (recording != nullptr) std::fclose(recording);
        Mix_CloseAudio();
        SDL_Quit();
        return 1;
    }
    app game(display, loadAssets(practice), practice);
    if (chosen.replayPath != nullptr) game.input.playing = &script;
    if (recording != nullptr) {
        game.input.recording = recording;
        game.input.recordingPath = chosen.recordPath;
    }
#ifdef __EMSCRIPTEN__
    pauseMusicWhileHidden();
    // Never returns: the browser calls animationFrame from now on, and `game` and `run` stay where they are.
    browserRun run{game, {}};
    emscripten_set_main_loop_arg(animationFrame, &run, 0, 1);
#endif
    while (game.state.running())
        game.frame();
    game.shutDown();
    if (recording != nullptr) std::fclose(recording);
    return 0;
}
