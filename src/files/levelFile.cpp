// The level file format: header lines, then map rows, read line by line with every check before anything
// plays the level. The first fault in reading order is the one reported. Nothing here allocates.
#include "files/levelFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr char tileChars[] = " #<>!@";
constexpr char goalTile = '@';

bool isTile(char c) {
    return isMarker(c) || (c != '\0' && std::strchr(tileChars, c) != nullptr);
}

int markerNumber(char c) {
    return c <= '9' ? c - '1' : c - 'A' + 9;
}

bool isLowerCase(char c) {
    return c >= 'a' && c <= 'z';
}

// Blank lines may end a file: an editor's habit, not an empty row.
bool onlyLineEnds(const char* text, std::size_t length) {
    for (std::size_t at = 0; at < length; ++at)
        if (text[at] != '\n') return false;
    return true;
}

bool refuse(levelError& error, int line, int column, const char* reason) {
    error.line = line;
    error.column = column;
    std::snprintf(error.reason, sizeof error.reason, "%s", reason);
    return false;
}

// A byte as a message names it: itself in quotes when it can be read, its value otherwise.
void nameByte(char c, char (&out)[16]) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F)
        std::snprintf(out, sizeof out, "\"%c\"", c);
    else
        std::snprintf(out, sizeof out, "byte %d", byte);
}

// The two bytes a text editor may slip into a file unseen, refused with their own reasons.
bool refuseInvisible(char c, int line, int column, levelError& error) {
    if (c == '\t') return refuse(error, line, column, "a tab: a map's empty cells are spaces");
    if (c == '\r')
        return refuse(
            error, line, column,
            "a carriage return: lines end in a line feed alone (save the file with Unix line ends)");
    return true;
}

// Where each goal and marker was first met, for the message about a second one.
struct place {
    int line = 0, column = 0;
};

struct reading {
    customLevel& out;
    levelError& error;
    bool titleSeen = false, authorSeen = false, tipSeen = false, parSeen = false;
    int mapLine = 0;  // the line of the map's first row
    place goal;
    place markers[markerCount];
    char reason[sizeof levelError::reason] = {};

    reading(customLevel& level, levelError& fault) : out(level), error(fault) {}

    // "title: Joining": a lower-case name, a colon, an optional space and the text.
    bool header(const char* row, int length, int line) {
        int name = 0;
        while (name < length && isLowerCase(row[name]))
            ++name;
        if (name == length || row[name] != ':')
            return refuse(error, line, name + 1,
                          "a header line is a name, a colon and a text, like \"title: Joining\"");
        if (name == 3 && std::memcmp(row, "par", 3) == 0) return par(row, length, line);
        char* into = nullptr;
        bool* seen = nullptr;
        if (name == 5 && std::memcmp(row, "title", 5) == 0) {
            into = out.title;
            seen = &titleSeen;
        } else if (name == 6 && std::memcmp(row, "author", 6) == 0) {
            into = out.author;
            seen = &authorSeen;
        } else if (name == 3 && std::memcmp(row, "tip", 3) == 0) {
            into = out.tip;
            seen = &tipSeen;
        } else {
            std::snprintf(reason, sizeof reason,
                          "an unknown header \"%.*s:\"; a level's are title:, author:, tip: and par:",
                          name < 40 ? name : 40, row);
            return refuse(error, line, 1, reason);
        }
        if (*seen) {
            std::snprintf(reason, sizeof reason, "a second \"%.*s:\" line", name, row);
            return refuse(error, line, 1, reason);
        }
        *seen = true;
        int from = name + 1;
        if (from < length && row[from] == ' ') ++from;
        for (int at = from; at < length; ++at) {
            const int column = at + 1;
            if (!refuseInvisible(row[at], line, column, error)) return false;
            const auto byte = static_cast<unsigned char>(row[at]);
            if (byte < 0x20 || byte == 0x7F) {
                std::snprintf(reason, sizeof reason, "a control character (byte %d) in a header", byte);
                return refuse(error, line, column, reason);
            }
            if (at - from == maxLevelTextLength) {
                std::snprintf(reason, sizeof reason, "a header text longer than %d bytes",
                              maxLevelTextLength);
                return refuse(error, line, column, reason);
            }
        }
        std::memcpy(into, row + from, static_cast<std::size_t>(length - from));
        into[length - from] = '\0';
        return true;
    }

    // "par: 12": the fewest moves that win the level, a whole number from 1 to maxLevelPar.
    bool par(const char* row, int length, int line) {
        if (parSeen) return refuse(error, line, 1, "a second \"par:\" line");
        parSeen = true;
        int from = 4;
        if (from < length && row[from] == ' ') ++from;
        std::snprintf(reason, sizeof reason,
                      "a par is a whole number of moves from 1 to %d, like \"par: 12\"", maxLevelPar);
        if (from == length) return refuse(error, line, from + 1, reason);
        for (int at = from; at < length; ++at) {
            if (!refuseInvisible(row[at], line, at + 1, error)) return false;
            if (row[at] < '0' || row[at] > '9' || (at == from && row[at] == '0'))
                return refuse(error, line, at + 1, reason);
            out.par = out.par * 10 + (row[at] - '0');
            if (out.par > maxLevelPar) return refuse(error, line, at + 1, reason);
        }
        return true;
    }

    // One row of the map, copied into the grid below the rows before it.
    bool row(const char* cells, int length, int line) {
        if (out.height == 0) mapLine = line;
        if (length == 0)
            return refuse(error, line, 1,
                          "an empty line in the map: every row holds the same number of cells");
        if (isLowerCase(cells[0]))
            return refuse(error, line, 1, "a header line after the map's first row: headers come first");
        if (out.height == customH) {
            std::snprintf(reason, sizeof reason, "a map taller than %d rows, the most a level may have",
                          customH);
            return refuse(error, line, 1, reason);
        }
        for (int x = 0; x < length; ++x) {
            const char c = cells[x];
            const int column = x + 1;
            if (!refuseInvisible(c, line, column, error)) return false;
            if (out.height == 0 && x == customW) {
                std::snprintf(reason, sizeof reason, "a row wider than %d cells, the most a level may have",
                              customW);
                return refuse(error, line, column, reason);
            }
            if (out.height > 0 && x == out.width) return wrongLength(line, column, "longer");
            if (!isTile(c)) {
                char named[16];
                nameByte(c, named);
                std::snprintf(
                    reason, sizeof reason,
                    "an unknown character, %s: a map holds only \"%s\", the markers 1 to 9 and A to K", named,
                    tileChars);
                return refuse(error, line, column, reason);
            }
            if (c == goalTile && !once(goal, line, column, "a second goal \"@\"; a level has one"))
                return false;
            if (isMarker(c) && !marker(c, line, column)) return false;
            out.map[indexFromXY<customW, customH>(x, out.height)] = c;
        }
        if (out.height > 0 && length < out.width) return wrongLength(line, length + 1, "shorter");
        if (out.height == 0) out.width = length;
        ++out.height;
        return true;
    }

    bool wrongLength(int line, int column, const char* which) {
        std::snprintf(reason, sizeof reason, "a row %s than the map's first, which has %d cells", which,
                      out.width);
        return refuse(error, line, column, reason);
    }

    // Notes the first of something a level holds once; refuses the second, naming where the first is.
    bool once(place& first, int line, int column, const char* what) {
        if (first.line == 0) {
            first = place{line, column};
            return true;
        }
        std::snprintf(reason, sizeof reason, "%s (the first is at line %d, column %d)", what, first.line,
                      first.column);
        return refuse(error, line, column, reason);
    }

    bool marker(char c, int line, int column) {
        char what[64];
        std::snprintf(what, sizeof what, "a second robot marker \"%c\"; each marker stands once", c);
        if (!once(markers[markerNumber(c)], line, column, what)) return false;
        if (out.robots == maxLevelRobots) {
            std::snprintf(reason, sizeof reason,
                          "a robot past the %d a level may hold, the most the solver can follow",
                          maxLevelRobots);
            return refuse(error, line, column, reason);
        }
        ++out.robots;
        return true;
    }

    // What only the whole map can tell.
    bool finish() {
        if (out.height == 0) return refuse(error, 1, 1, "no map: a level's rows follow its header lines");
        if (out.height < minLevelH) {
            std::snprintf(
                reason, sizeof reason,
                "a map of one row: a robot stands on the goal from the row above, so a level has at "
                "least %d",
                minLevelH);
            return refuse(error, mapLine, 1, reason);
        }
        if (goal.line == 0) return refuse(error, mapLine, 1, "the map has no goal \"@\"");
        if (out.robots < 2) {
            std::snprintf(reason, sizeof reason,
                          "the map has %d robot marker%s; a level needs at least 2 (\"1\" to \"9\", \"A\" to "
                          "\"K\")",
                          out.robots, out.robots == 1 ? "" : "s");
            return refuse(error, mapLine, 1, reason);
        }
        return true;
    }
};

}  // namespace

bool readLevel(const char* text, std::size_t length, customLevel& out, levelError& error) {
    out = customLevel{};
    error = levelError{};
    if (length == 0) return refuse(error, 1, 1, "the file is empty: a level is a map, one row a line");
    if (length > static_cast<std::size_t>(maxLevelBytes)) {
        int line = 1, column = 1;
        for (int at = 0; at < maxLevelBytes; ++at) {
            column = text[at] == '\n' ? 1 : column + 1;
            line += text[at] == '\n';
        }
        char reason[sizeof error.reason];
        std::snprintf(reason, sizeof reason, "the file goes on past %d bytes, far more than any level holds",
                      maxLevelBytes);
        return refuse(error, line, column, reason);
    }
    std::memset(out.map, wallTile, sizeof out.map - 1);
    out.map[customW * customH] = '\0';

    reading r(out, error);
    int line = 0;
    for (std::size_t at = 0; at < length;) {
        ++line;
        std::size_t end = at;
        while (end < length && text[end] != '\n')
            ++end;
        const char* row = text + at;
        const int rowLength = static_cast<int>(end - at);
        if (rowLength == 0 && out.height > 0 && onlyLineEnds(text + end, length - end)) break;
        at = end + 1;
        if (out.height == 0 && rowLength == 0) continue;
        if (out.height == 0 && isLowerCase(row[0])) {
            if (!r.header(row, rowLength, line)) return false;
            continue;
        }
        if (!r.row(row, rowLength, line)) return false;
    }
    return r.finish();
}

bool readSmallFile(const char* path, char* into, std::size_t size, std::size_t& length, char* reason,
                   std::size_t reasonSize) {
    length = 0;
    // Opened without waiting, so that a FIFO or a device under a level's name is refused rather than waited
    // on; for a regular file the flag changes nothing.
    const int in = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in < 0) {
        std::snprintf(reason, reasonSize, "cannot open it: %s", std::strerror(errno));
        return false;
    }
    struct stat about;
    if (fstat(in, &about) != 0 || !S_ISREG(about.st_mode)) {
        close(in);
        std::snprintf(reason, reasonSize, "not a regular file");
        return false;
    }
    while (length < size) {
        const ssize_t got = read(in, into + length, size - length);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int why = errno;
            close(in);
            std::snprintf(reason, reasonSize, "cannot read it: %s", std::strerror(why));
            return false;
        }
        if (got == 0) break;
        length += static_cast<std::size_t>(got);
    }
    close(in);
    return true;
}

bool readLevelFile(const char* path, customLevel& out, levelError& error) {
    error = levelError{};
    // One byte past the bound tells a file that is too long from one that just fits.
    char text[maxLevelBytes + 1];
    std::size_t length = 0;
    if (!readSmallFile(path, text, sizeof text, length, error.reason, sizeof error.reason)) return false;
    return readLevel(text, length, out, error);
}

void describeLevelError(const char* name, const levelError& error, char* out, std::size_t size) {
    if (error.line > 0)
        std::snprintf(out, size, "%s: line %d, column %d: %s", name, error.line, error.column, error.reason);
    else
        std::snprintf(out, size, "%s: %s", name, error.reason);
}

std::uint64_t levelDigest(const customLevel& level) {
    std::uint64_t digest = 14695981039346656037ull;
    for (int i = 0; i < customW * customH; ++i) {
        digest ^= static_cast<unsigned char>(level.map[i]);
        digest *= 1099511628211ull;
    }
    return digest;
}
