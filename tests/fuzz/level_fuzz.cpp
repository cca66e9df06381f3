// libFuzzer target for the level reader: any bytes are read as a level file. A refusal must name a line, a
// column and a reason; an accepted level must keep the format's promises, read the same again when written
// back, and be one that the game can set up and the solver can search. A broken promise aborts with a
// sentence.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "levelFile.h"
#include "search.h"
#include "shape.h"

namespace {

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "level fuzz: %s\n", what);
    std::abort();
}

// The level as a player would write it: both headers, then its rows.
std::string written(const customLevel& level) {
    std::string text = std::string("title: ") + level.title + "\nauthor: " + level.author + "\n";
    for (int y = 0; y < level.height; ++y)
        text.append(level.map + y * customW, static_cast<std::size_t>(level.width)).push_back('\n');
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static customLevel read;
    static customLevel again;
    levelError error;
    if (!readLevel(reinterpret_cast<const char*>(data), size, read, error)) {
        if (error.line < 1 || error.column < 1 || error.reason[0] == '\0')
            broken("a refusal names no line or column or gives no reason");
        return 0;
    }

    if (read.width < 1 || read.width > customW || read.height < minLevelH || read.height > customH)
        broken("the size is out of bounds");
    if (std::strlen(read.map) != static_cast<std::size_t>(customW * customH))
        broken("the grid is not customW x customH cells");
    int goals = 0, markers = 0;
    for (int i = 0; i < customW * customH; ++i) {
        const char c = read.map[i];
        const bool inside = i % customW < read.width && i / customW < read.height;
        if (!inside && c != wallTile) broken("a cell outside the level is not a wall");
        if (c != ' ' && c != '#' && c != '<' && c != '>' && c != '!' && c != '@' && !isMarker(c))
            broken("a cell holds a character the maps do not use");
        goals += c == '@';
        markers += isMarker(c);
    }
    if (goals != 1) broken("the level has no goal or more than one");
    for (int k = 0; k < markerCount; ++k)
        if (std::strchr(read.map, markerChar(k)) != std::strrchr(read.map, markerChar(k)))
            broken("a marker stands twice");
    if (markers != read.robots || markers < 2 || markers > maxLevelRobots)
        broken("the robot count is out of bounds");

    const std::string text = written(read);
    if (!readLevel(text.data(), text.size(), again, error)) broken("a level written back is refused");
    if (std::memcmp(&read, &again, sizeof read) != 0) broken("a level written back reads otherwise");

    // The solver answers for every level read: its key holds the robots, and a short search runs.
    search<customW, customH> s(read.map, thoseShape1, 256);
    if (!s.layout.fits()) broken("the solver's key cannot hold the level's robots");
    s.run(s.start, false, 64);
    return 0;
}
