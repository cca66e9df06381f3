// The level generator's body: see generate.h.
#include "solver/generate.h"

#include <cstdio>
#include <cstring>

namespace {
const char* const difficultyNames[] = {"easy", "medium", "hard"};
}

const char* difficultyName(levelDifficulty d) { return difficultyNames[static_cast<int>(d)]; }

bool parseDifficulty(const char* text, levelDifficulty& out) {
    for (int i = 0; i < 3; ++i) {
        if (std::strcmp(text, difficultyNames[i]) == 0) {
            out = static_cast<levelDifficulty>(i);
            return true;
        }
    }
    return false;
}

bool parseLevelId(const char* text, levelId& out) {
    const char* colon = std::strchr(text, ':');
    if (colon == nullptr || colon - text > 6) return false;
    char name[8] = {};
    std::memcpy(name, text, static_cast<std::size_t>(colon - text));
    levelDifficulty difficulty;
    if (!parseDifficulty(name, difficulty)) return false;
    // Digits only, no sign or space, and no more than a 32-bit seed holds.
    const char* digits = colon + 1;
    if (*digits == '\0') return false;
    std::uint64_t seed = 0;
    for (const char* c = digits; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || c - digits >= 10) return false;
        seed = seed * 10 + static_cast<std::uint64_t>(*c - '0');
    }
    if (seed > 0xFFFFFFFFull) return false;
    out = levelId{difficulty, static_cast<std::uint32_t>(seed)};
    return true;
}

void writeLevelId(levelId id, char* out, std::size_t size) {
    std::snprintf(out, size, "%s:%u", difficultyName(id.difficulty), static_cast<unsigned>(id.seed));
}

namespace {
const char* const ideaNames[] = {"climb", "letting go", "wait", "belt", "striped block", "walking left"};
}

void writeIdeas(unsigned ideas, char* out, std::size_t size) {
    if (size == 0) return;
    out[0] = '\0';
    std::size_t used = 0;
    for (int i = 0; i < 6; ++i) {
        if ((ideas & (1u << i)) == 0) continue;
        const int n = std::snprintf(out + used, size - used, "%s%s", used ? ", " : "", ideaNames[i]);
        if (n < 0 || used + static_cast<std::size_t>(n) >= size) return;
        used += static_cast<std::size_t>(n);
    }
}

levelDifficulty gradeLevel(const levelMeasures&) { return levelDifficulty::easy; }

struct generatorMemory {};

levelGenerator::levelGenerator() : memory(new generatorMemory) {}
levelGenerator::~levelGenerator() { delete memory; }

bool levelGenerator::generate(levelId, generatedLevel& out, int, int) {
    out = generatedLevel{};
    return false;
}
