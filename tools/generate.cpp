// brakko-generate: prints a level made from a seed and a difficulty, proven winnable with its par, or grades
// level files by the same measures. A thin main over the solver's generator.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "files/levelFile.h"
#include "solver/generate.h"

namespace {

constexpr int found = 0;
constexpr int badArguments = 2;
constexpr int noneFound = 3;

int usage() {
    std::fprintf(stderr,
                 "usage: brakko-generate --seed N --difficulty easy|medium|hard [--size WxH]\n"
                 "       brakko-generate --grade FILE...\n"
                 "  N: 0 to 4294967295; WxH: the map's size, 5x5 to %dx%d\n"
                 "exit status: 0 a level was printed, 2 a bad command line or file, 3 none found within the "
                 "budget\n",
                 customW, customH);
    return badArguments;
}

bool parseNumber(const char* text, unsigned long long most, unsigned long long& out) {
    if (text[0] < '0' || text[0] > '9') return false;
    char* end = nullptr;
    out = std::strtoull(text, &end, 10);
    return *end == '\0' && out <= most && std::strlen(text) <= 10;
}

bool parseSize(const char* text, int& width, int& height) {
    char w[16] = {}, h[16] = {};
    const char* x = std::strchr(text, 'x');
    if (x == nullptr || x - text >= 15 || std::strlen(x + 1) >= 15) return false;
    std::memcpy(w, text, static_cast<std::size_t>(x - text));
    std::strcpy(h, x + 1);
    unsigned long long a = 0, b = 0;
    if (!parseNumber(w, customW, a) || !parseNumber(h, customH, b) || a < 5 || b < 5) return false;
    width = static_cast<int>(a);
    height = static_cast<int>(b);
    return true;
}

// One row a file: its measures, its ideas and the band they put it in.
int grade(int count, char** files) {
    const auto generator = std::make_unique<levelGenerator>();
    static customLevel level;
    int status = found;
    std::printf("%-36s %5s %5s %9s  %-7s %s\n", "level", "par", "keys", "states", "grade", "ideas");
    for (int i = 0; i < count; ++i) {
        levelError error;
        if (!readLevelFile(files[i], level, error)) {
            char message[sizeof error.reason + 256];
            describeLevelError(files[i], error, message, sizeof message);
            std::fprintf(stderr, "brakko-generate: %s\n", message);
            status = badArguments;
            continue;
        }
        levelMeasures m;
        if (!generator->measure(level.map, level.width, level.height, m)) {
            std::printf("%-36s not proven within the budget, or won by two keys\n", files[i]);
            status = noneFound;
            continue;
        }
        char ideas[96];
        writeIdeas(m.ideas, ideas, sizeof ideas);
        const char* name = std::strrchr(files[i], '/');
        std::printf("%-36s %5d %5d %9lld  %-7s %s\n", name ? name + 1 : files[i], m.par, m.keys, m.states,
                    difficultyName(gradeLevel(m)), ideas[0] ? ideas : "-");
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--grade") == 0) return grade(argc - 2, argv + 2);
    levelId id;
    bool haveSeed = false, haveDifficulty = false;
    int width = 0, height = 0;
    for (int i = 1; i < argc; ++i) {
        unsigned long long seed = 0;
        if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc &&
            parseNumber(argv[i + 1], 0xFFFFFFFFull, seed)) {
            id.seed = static_cast<std::uint32_t>(seed);
            haveSeed = true;
            ++i;
        } else if (std::strcmp(argv[i], "--difficulty") == 0 && i + 1 < argc &&
                   parseDifficulty(argv[i + 1], id.difficulty)) {
            haveDifficulty = true;
            ++i;
        } else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc &&
                   parseSize(argv[i + 1], width, height)) {
            ++i;
        } else {
            return usage();
        }
    }
    if (!haveSeed || !haveDifficulty) return usage();
    const auto generator = std::make_unique<levelGenerator>();
    static generatedLevel level;
    char name[32];
    writeLevelId(id, name, sizeof name);
    if (!generator->generate(id, level, width, height)) {
        std::fprintf(stderr,
                     "brakko-generate: no %s level was found for %s within the budget of candidates\n",
                     difficultyName(id.difficulty), name);
        return noneFound;
    }
    std::fwrite(level.text, 1, static_cast<std::size_t>(level.length), stdout);
    char ideas[96];
    writeIdeas(level.measures.ideas, ideas, sizeof ideas);
    std::fprintf(stderr, "%s: par %d, %d keys, %lld states, ideas: %s\n", name, level.measures.par,
                 level.measures.keys, level.measures.states, ideas[0] ? ideas : "-");
    return found;
}
