// Brakko: reads the command line, opens the window, loads the pictures and musics, and runs the main loop
// until the player quits. Only wiring: the loop's frame is in app.cpp, its decisions in flow.cpp, replay
// files in replay.cpp, the loop itself in each platform's own file. Every file the command line names is
// checked before the window opens. In a browser the page passes the command line and calls in once per
// animation frame.
#include <getopt.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iterator>

#include "app/app.h"
#include "sdl/platform.h"

namespace {

constexpr char usage[] =
    "usage: brakko [--level FILE | --pack[=DIR]] [--practice] [--replay FILE | --solution] [--record FILE]\n"
    "              [--fullscreen] [--mute] [--touch]\n"
    "       brakko --generate[=D | =ID] | --daily  [--practice] [--record FILE] [--fullscreen] [--mute]\n"
    "       brakko --help | --version\n"
    "  --level FILE   play the level in FILE (a level file) instead of the game's two levels\n"
    "  --pack[=DIR]   play the pack of levels in turn (the level files of DIR in file-name order, else the\n"
    "                 game's own), from the first not yet solved; after each win its moves (the ticks that\n"
    "                 changed the game) against its par (the fewest that win it). Progress is kept in\n"
    "                 $XDG_STATE_HOME/brakko/progress (~/.local/state/brakko/progress without it)\n"
    "  --generate[=D] play a new level made for this run, of difficulty D (easy, medium or hard; easy\n"
    "                 without it); Return on its solved screen makes the next. --generate=ID plays the\n"
    "                 level an ID names (as medium:1234, shown on the title and the solved screen)\n"
    "  --daily        play today's level: the medium level of the date in UTC (as medium:20261208), the\n"
    "                 same for everyone that day\n"
    "  --practice     Backspace undoes and r restarts a level, p pauses and plays, n steps to the next\n"
    "                 tick, t slows to 1/2 and 1/4, h plays a hint's next steps, m shows the level's map,\n"
    "                 2 on the title starts level 2; the signs stand in a strip below the play\n"
    "  --replay FILE  play the run recorded in FILE; after its last event the keys are yours\n"
    "  --solution     watch both levels being won; on the rage-quit screen the keys are yours\n"
    "  --record FILE  write the keys of this run to FILE, which must not exist yet (not with --pack)\n"
    "  --fullscreen   play on the whole screen instead of in a window\n"
    "  --mute         play without music\n"
    "  --touch        leave out the practice marks that name keys (a touch page names its buttons)\n"
    "  --help         print this and exit\n"
    "  --version      print the version and exit\n"
    "FILE may also follow an equals sign (--replay=FILE); -- ends the options.\n";

// The game's own pack, beside its pictures and music.
constexpr char installedPack[] = "./levels";

struct options {
    const char* levelPath = nullptr;
    const char* replayPath = nullptr;
    const char* recordPath = nullptr;
    const char* packPath = nullptr;
    const char* generatePath = nullptr;  // --generate's D or ID, null without one
    int pack = 0;
    int generate = 0;
    int daily = 0;
    int practice = 0;
    int solution = 0;
    int fullscreen = 0;
    int mute = 0;
    int touch = 0;
    int help = 0;
    int version = 0;
};

// True when the command-line word that getopt_long just took is the whole option name, not an
// abbreviation: the launcher recognises --replay and --record by their full names only, to make their files
// absolute, so the game must not take a shorter spelling that the launcher would pass on untouched.
bool spelledOut(const char* word, const char* name) {
    const std::size_t length = std::strlen(name);
    return std::strncmp(word, "--", 2) == 0 && std::strncmp(word + 2, name, length) == 0 &&
           (word[2 + length] == '\0' || word[2 + length] == '=');
}

// getopt_long's rules: FILE as the next word (even one starting with a dash) or after "="; "--" ends the
// options. False for an unknown or abbreviated option, one given twice, a missing FILE, a word that is not
// an option (the game takes none), or both --replay and --solution.
bool readOptions(int argc, char** argv, options& chosen) {
    // A flag is one line here: getopt_long sets it when its option is given.
    const option table[] = {
        {"replay", required_argument, nullptr, 'r'},        {"record", required_argument, nullptr, 'c'},
        {"solution", no_argument, &chosen.solution, 1},     {"practice", no_argument, &chosen.practice, 1},
        {"fullscreen", no_argument, &chosen.fullscreen, 1}, {"help", no_argument, &chosen.help, 1},
        {"version", no_argument, &chosen.version, 1},       {"mute", no_argument, &chosen.mute, 1},
        {"touch", no_argument, &chosen.touch, 1},           {"level", required_argument, nullptr, 'l'},
        {"pack", optional_argument, nullptr, 'p'},          {"generate", optional_argument, nullptr, 'g'},
        {"daily", no_argument, &chosen.daily, 1},           {nullptr, 0, nullptr, 0},
    };
    int given[std::size(table)] = {};
    opterr = 0;  // the usage says it all
    int index = 0;
    // "+": stop at the first word that is not an option, rather than look past it for more.
    for (int got; (got = getopt_long(argc, argv, "+", table, &index)) != -1;) {
        if (got == '?') return false;
        // The word holding the option: the last one taken, unless that was the option's FILE (an optional
        // one is always in the same word).
        const char* word =
            optarg != nullptr && optarg == argv[optind - 1] ? argv[optind - 2] : argv[optind - 1];
        if (!spelledOut(word, table[index].name) || given[index]++ > 0) return false;
        if (got == 'r') chosen.replayPath = optarg;
        if (got == 'c') chosen.recordPath = optarg;
        if (got == 'l') chosen.levelPath = optarg;
        if (got == 'g') {
            chosen.generate = 1;
            chosen.generatePath = optarg;
        }
        if (got == 'p') {
            chosen.pack = 1;
            chosen.packPath = optarg != nullptr ? optarg : installedPack;
        }
    }
    if (optind < argc) return false;
    if (chosen.solution) {
        if (chosen.replayPath != nullptr) return false;
        chosen.replayPath = solutionPath;
    }
    return true;
}

// A new file for the recording, its header (and the practice line) already written; null after saying why
// on standard error.
std::FILE* startRecording(const char* path, bool practice, const customLevel* level) {
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
    if (!writeReplayHeader(out) || (practice && !writeReplayPractice(out)) ||
        (level != nullptr && !writeReplayLevel(out, levelDigest(*level)))) {
        std::fprintf(stderr, "brakko: %s: cannot write it: %s\n", path, std::strerror(errno));
        std::fclose(out);
        return nullptr;
    }
    return out;
}

// A seed no other run is likely to have, taken before any window opens.
std::uint32_t freshSeed() {
    std::uint32_t seed = 0;
    std::FILE* random = std::fopen("/dev/urandom", "rb");
    const bool read = random != nullptr && std::fread(&seed, sizeof seed, 1, random) == 1;
    if (random != nullptr) std::fclose(random);
    if (!read)
        seed = static_cast<std::uint32_t>(std::time(nullptr)) ^ static_cast<std::uint32_t>(std::clock());
    return seed;
}

// Today's date in UTC as a number, 20261208 for 8 December 2026: the daily level's seed.
std::uint32_t today() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    return static_cast<std::uint32_t>((utc.tm_year + 1900) * 10000 + (utc.tm_mon + 1) * 100 + utc.tm_mday);
}

// The level --generate or --daily asks for, made into `level`; the exit status when it can't be (0 when
// made), after saying why on standard error.
// The generator, built once for the whole run, only once the command line is found good.
int generateLevel(const options& chosen, levelGenerator*& generator, levelId& id, customLevel& level) {
    const char* asked = chosen.generate ? "--generate" : "--daily";
    const char* clash = chosen.levelPath != nullptr         ? "--level"
                        : chosen.pack                       ? "--pack"
                        : chosen.replayPath == solutionPath ? "--solution"
                        : chosen.replayPath != nullptr      ? "--replay"
                        : chosen.generate && chosen.daily   ? "--daily"
                                                            : nullptr;
    if (clash != nullptr) {
        std::fprintf(stderr, "brakko: %s plays a level it makes and takes no %s\n", asked, clash);
        return 2;
    }
    // An ID names one level exactly; a difficulty, or none, starts from a fresh seed, and the day from its
    // date, each taking the next seed while the generator finds no level.
    bool onward = true;
    if (chosen.daily) {
        id = {levelDifficulty::medium, today()};
    } else if (chosen.generatePath == nullptr) {
        id = {levelDifficulty::easy, freshSeed()};
    } else if (parseLevelId(chosen.generatePath, id)) {
        onward = false;
    } else if (parseDifficulty(chosen.generatePath, id.difficulty)) {
        id.seed = freshSeed();
    } else {
        std::fprintf(stderr,
                     "brakko: --generate=%s: neither easy, medium, hard nor an ID such as medium:1234\n",
                     chosen.generatePath);
        return 2;
    }
    // A player at a terminal is told why the window is a while coming.
    if (isatty(STDERR_FILENO))
        std::fprintf(stderr, "brakko: generating a%s %s level...\n", chosen.daily ? "" : " new",
                     difficultyName(id.difficulty));
    char name[32];
    writeLevelId(id, name, sizeof name);
    static levelGenerator made;
    generator = &made;
    if (made.memory == nullptr || !makeLevel(made, id, onward, level)) {
        std::fprintf(stderr, "brakko: %s: the generator found no level within its budget\n", name);
        return 3;
    }
    return 0;
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

    // Far too large for a stack (a browser's is small), and read before the window opens: kept static.
    static customLevel level;
    packPlace inPack;
    // A generated level is made before the window opens, and takes no level file, pack or replay.
    levelGenerator* generator = nullptr;
    levelId generatedId;
    if (chosen.generate || chosen.daily) {
        if (const int status = generateLevel(chosen, generator, generatedId, level); status != 0)
            return status;
    }
    if (chosen.levelPath != nullptr) {
        levelError error;
        if (!readLevelFile(chosen.levelPath, level, error)) {
            char line[400];
            describeLevelError(chosen.levelPath, error, line, sizeof line);
            std::fprintf(stderr, "brakko: %s\n", line);
            return 2;
        }
        // A level of a pack's folder, played on its own, is named by its place in the pack, and has the par
        // the folder gives it unless it names one.
        inPack = placeInPack(chosen.levelPath);
        if (level.par == 0) level.par = inPack.par;
    }
    // A pack is read whole before the window opens, and played alone: a level file, a replay or a
    // recording would each name one level of it.
    static levelPack pack;
    if (chosen.pack) {
        const char* clash = chosen.levelPath != nullptr         ? "--level"
                            : chosen.replayPath == solutionPath ? "--solution"
                            : chosen.replayPath != nullptr      ? "--replay"
                            : chosen.recordPath != nullptr      ? "--record"
                                                                : nullptr;
        if (clash != nullptr) {
            std::fprintf(stderr,
                         "brakko: --pack plays a pack through and takes no %s: record or replay one "
                         "level with --level FILE\n",
                         clash);
            return 2;
        }
        char line[600];
        if (!readPack(chosen.packPath, pack, line, sizeof line)) {
            std::fprintf(stderr, "brakko: %s\n", line);
            return 2;
        }
    }
    const customLevel* playersLevel = chosen.levelPath != nullptr || generator != nullptr ? &level
                                      : chosen.pack                                       ? &pack.levels[0]
                                                                                          : nullptr;
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
        // A run made on another level would go another way here.
        const bool sameLevel =
            playersLevel == nullptr ? !script.onLevel : script.onLevel && script.level == levelDigest(level);
        if (!sameLevel) {
            std::fprintf(stderr, "brakko: %s: %s\n", chosen.replayPath,
                         playersLevel != nullptr
                             ? "a replay made on another level than this one"
                             : "a replay made on a level of its own: play it with --level and that level");
            return 2;
        }
    }
    // A replay recorded in practice mode plays in practice mode, or it would go another way.
    const bool practice = chosen.practice || (chosen.replayPath != nullptr && script.practice);
    std::FILE* recording = nullptr;
    if (chosen.recordPath != nullptr) {
        recording = startRecording(chosen.recordPath, practice, playersLevel);
        if (recording == nullptr) return 2;
    }

    // A player's level is named in the caption, by its title or else its file.
    char caption[sizeof level.title + 400] = "Brakko";
    if (chosen.levelPath != nullptr)
        std::snprintf(caption, sizeof caption, "Brakko: %s",
                      level.title[0] != '\0' ? level.title : chosen.levelPath);
    if (generator != nullptr) {
        char name[32];
        writeLevelId(generatedId, name, sizeof name);
        std::snprintf(caption, sizeof caption, "Brakko: level %s", name);
    }
    // Practice mode's signs stand in a strip below the play where the platform has room for one; a
    // browser's page shows them beside the canvas instead.
    const bool strip = practice && signsBelowPlay();
    SDL_Surface* display =
        strip ? commencer<windowWidth, windowHeight + stripHeight>(caption, chosen.fullscreen != 0)
              : commencer<windowWidth, windowHeight>(caption, chosen.fullscreen != 0);
    if (display == nullptr) {
        // Without a window there is nothing to draw into; leave rather than run blind.
        if (recording != nullptr) std::fclose(recording);
        closePlatform();
        return 1;
    }
    app game(display, loadAssets(practice, playersLevel != nullptr), practice, playersLevel);
    if (chosen.mute) muteMusic(true);
    game.packPlace = inPack.place;
    game.packSize = inPack.of;
    if (generator != nullptr) game.playGenerated(*generator, generatedId, level);
    if (game.practice) {
        game.practice->marks = chosen.touch == 0;
        game.practice->solution = chosen.replayPath == solutionPath;
    }
    if (chosen.pack) {
        static int solved[maxPackLevels];
        static progressRecord kept;
        static char path[progressLineSize];
        char line[progressLineSize] = "";
        // Without a place for it, or with a file that is newer or can't be read, the game keeps no
        // progress; a damaged file is moved aside at the first win, and the game plays on from nothing.
        if (progressPath(path, sizeof path, line, sizeof line)) {
            const progressState found = loadProgress(path, kept, line, sizeof line);
            if (found == progressState::none || found == progressState::read ||
                found == progressState::damaged) {
                game.progressFile = path;
                game.progress = &kept;
            }
        }
        if (line[0] != '\0') std::fprintf(stderr, "%s\n", line);
        for (int i = 0; i < pack.count; ++i)
            if (const levelProgress* won = kept.find(levelDigest(pack.levels[i])))
                solved[i] = won->fewestMoves;
        game.playPack(pack, solved);
    }
    if (chosen.replayPath != nullptr) game.input.playing = &script;
    if (recording != nullptr) {
        game.input.recording = recording;
        game.input.recordingPath = chosen.recordPath;
    }
    // In a browser this never returns: the page calls the game from then on, and ends it.
    runMainLoop(game);
    game.shutDown();
    if (recording != nullptr) std::fclose(recording);
    return 0;
}
