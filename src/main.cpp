// Brakko: reads the command line, opens the window, loads the pictures and musics, and runs the main loop
// until the player quits. Only wiring: the loop's frame is in app.cpp, its decisions in flow.cpp, replay
// files in replay.cpp. Every file the command line names is checked before the window opens.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app.h"
#include "platform.h"

namespace {

constexpr char usage[] =
    "usage: brakko [--replay FILE | --solution] [--record FILE]\n"
    "       brakko --help | --version\n"
    "  --replay FILE  play the run recorded in FILE; after its last event the keys are yours\n"
    "  --solution     watch both levels being won; on the rage-quit screen the keys are yours\n"
    "  --record FILE  write the keys of this run to FILE, which must not exist yet\n";

struct options {
    const char* replayPath = nullptr;
    const char* recordPath = nullptr;
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

// A new file for the recording, its header already written; null after saying why on standard error.
std::FILE* startRecording(const char* path) {
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
    if (!writeReplayHeader(out)) {
        std::fprintf(stderr, "brakko: %s: cannot write it: %s\n", path, std::strerror(errno));
        std::fclose(out);
        return nullptr;
    }
    return out;
}

}  // namespace

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

    replay script;
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
    std::FILE* recording = nullptr;
    if (chosen.recordPath != nullptr) {
        recording = startRecording(chosen.recordPath);
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
    app game(display, loadAssets());
    if (chosen.replayPath != nullptr) game.input.playing = &script;
    if (recording != nullptr) {
        game.input.recording = recording;
        game.input.recordingPath = chosen.recordPath;
    }
    while (game.state.running())
        game.frame();
    shutDown();
    if (recording != nullptr) std::fclose(recording);
    return 0;
}
