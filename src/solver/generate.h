// The level generator: from a seed and a difficulty, a small level proven winnable by the breadth-first
// search, with its par, the ideas it needs and a grade measured from that proof. The same seed gives the
// same level on every machine: its own random numbers, no clock, no floating point. Its memory is all taken
// when it is built; a generation allocates nothing. No SDL.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rules/shared.h"

enum class levelDifficulty { easy, medium, hard };
const char* difficultyName(levelDifficulty d);  // "easy", "medium", "hard"
bool parseDifficulty(const char* text, levelDifficulty& out);

// A level's ID: its difficulty and seed, written "medium:1234".
struct levelId {
    levelDifficulty difficulty = levelDifficulty::easy;
    std::uint32_t seed = 0;
};
bool parseLevelId(const char* text, levelId& out);  // "medium:1234"; false for anything else
void writeLevelId(levelId id, char* out, std::size_t size);

// What a generated level measures, as the proof found it.
struct levelMeasures {
    int par = 0;
    int keys = 0;
    long long states = 0;
    unsigned ideas = 0;
};

// The ideas a level needs, as bits of `levelMeasures::ideas`, and their names in one line.
enum levelIdea : unsigned {
    ideaClimb = 1,
    ideaLetGo = 2,
    ideaWait = 4,
    ideaBelt = 8,
    ideaStriped = 16,
    ideaWalkLeft = 32
};
void writeIdeas(unsigned ideas, char* out, std::size_t size);

// The band a level's measures put it in.
levelDifficulty gradeLevel(const levelMeasures& measures);

struct generatedLevel {
    char text[maxLevelBytes + 1] = {};
    int length = 0;
    levelMeasures measures;
};

struct generatorMemory;

// Its memory is taken when it is built (one heap allocation at start-up, as the search's); then `generate`
// allocates nothing.
struct levelGenerator {
    levelGenerator();
    ~levelGenerator();
    levelGenerator(const levelGenerator&) = delete;
    levelGenerator& operator=(const levelGenerator&) = delete;
    // False when no level was found within its budget of candidates.
    bool generate(levelId id, generatedLevel& out, int width = 0, int height = 0);
    // Proves and measures a level already made: `map` holds its width x height cells in the top-left
    // corner of a level 2 sized grid, as the level reader places them. False when the search does not win
    // it, or two keys do.
    bool measure(const char* map, int width, int height, levelMeasures& out);
    // Whether taking away any one belt, striped block, step or robot of such a map changes its par or its
    // answer.
    bool everyElementMatters(const char* map, int width, int height, int par);

    generatorMemory* memory = nullptr;
};
