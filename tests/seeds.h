// The seeds of the randomised tests: under CTest a fixed list, so that a failure is a fault and never luck;
// by hand, BRAKKO_SEED=<n> replays one seed and BRAKKO_SEED=random explores with a new one.
#pragma once

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <random>
#include <vector>

inline std::vector<unsigned> chooseSeeds(const char* what, std::vector<unsigned> fixed) {
    const char* given = std::getenv("BRAKKO_SEED");
    if (given != nullptr && std::strcmp(given, "random") == 0)
        fixed = {std::random_device{}()};
    else if (given != nullptr)
        fixed = {static_cast<unsigned>(std::strtoul(given, nullptr, 10))};
    for (unsigned seed : fixed)
        std::cout << what << " seed: " << seed << " (BRAKKO_SEED=" << seed << " replays it)\n";
    return fixed;
}
