// libFuzzer target for the level reader: any bytes are a level file. A refusal names a line, a column and a
// reason; a level read keeps the format's promises, reads the same written back, and can be searched.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/levelFile.h"
#include "solver/search.h"
#include "rules/shape.h"

namespace {

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "level fuzz: %s\n", what);
    std::abort();
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

    if (read.width < 1 || read.width > customW || read.height < minLevelH || read.height > customH ||
        std::strlen(read.map) != static_cast<std::size_t>(customW * customH))
        broken("the level's size or its grid's is out of bounds");
    int goals = 0, markers = 0;
    for (int i = 0; i < customW * customH; ++i) {
        const char c = read.map[i];
        if ((i % customW >= read.width || i / customW >= read.height) && c != wallTile)
            broken("a cell outside the level is not a wall");
        if (c == '\0' || (!std::strchr(" #<>!@", c) && !isMarker(c))) broken("a cell the maps do not use");
        goals += c == '@';
        markers += isMarker(c) && std::strchr(read.map, c) == read.map + i;
    }
    if (goals != 1 || markers != read.robots || markers < 2 || markers > maxLevelRobots)
        broken("not one goal, or a robot count out of bounds, or a marker twice");

    // Written back as a player would write it: the headers, then the rows.
    std::string text = std::string("title: ") + read.title + "\nauthor: " + read.author + "\n";
    if (read.tip[0] != '\0') text += std::string("tip: ") + read.tip + "\n";
    if (read.par != 0) text += "par: " + std::to_string(read.par) + "\n";
    for (int y = 0; y < read.height; ++y)
        text.append(read.map + y * customW, static_cast<std::size_t>(read.width)).push_back('\n');
    if (!readLevel(text.data(), text.size(), again, error)) broken("a level written back is refused");
    if (std::memcmp(&read, &again, sizeof read) != 0) broken("a level written back reads otherwise");

    // The solver answers for every level read: its key holds the robots, and a short search runs.
    search<customW, customH> s(read.map, thoseShape1, 256);
    if (!s.layout.fits()) broken("the solver's key cannot hold the level's robots");
    s.run(s.start, false, 64);
    return 0;
}
