// Reading a pack's folder: its level files in name order, and their pars.
#include "files/pack.h"

#include <dirent.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool endsWith(const char* name, const char* end) {
    const std::size_t length = std::strlen(name), tail = std::strlen(end);
    return length > tail && std::strcmp(name + length - tail, end) == 0;
}

// The names of the level files, kept while the folder is read and sorted after (a file name has at most
// 255 bytes); static, as they are large.
char names[maxPackLevels][256];

int byName(const void* a, const void* b) {
    return std::strcmp(static_cast<const char*>(a), static_cast<const char*>(b));
}

}  // namespace

int parIn(const char* pars, std::size_t length, const char* name) {
    const std::size_t nameLength = std::strlen(name);
    for (std::size_t at = 0; at < length;) {
        std::size_t end = at;
        while (end < length && pars[end] != '\n')
            ++end;
        const char* row = pars + at;
        const std::size_t rowLength = end - at;
        at = end + 1;
        if (rowLength <= nameLength + 1 || std::strncmp(row, name, nameLength) != 0 || row[nameLength] != ' ')
            continue;
        int par = 0;
        for (std::size_t i = nameLength + 1; i < rowLength && row[i] >= '0' && row[i] <= '9' && par < 100000;
             ++i)
            par = par * 10 + (row[i] - '0');
        return par;
    }
    return 0;
}

bool readPack(const char* folder, levelPack& out, char* line, std::size_t size) {
    out.count = 0;
    DIR* listing = opendir(folder);
    if (listing == nullptr) {
        std::snprintf(line, size, "%s: cannot read the folder: %s", folder, std::strerror(errno));
        return false;
    }
    int found = 0;
    bool tooMany = false;
    for (const dirent* entry = readdir(listing); entry != nullptr; entry = readdir(listing)) {
        if (!endsWith(entry->d_name, ".level")) continue;
        if (found == maxPackLevels) {
            tooMany = true;
            break;
        }
        std::snprintf(names[found++], sizeof names[0], "%s", entry->d_name);
    }
    closedir(listing);
    if (tooMany) {
        std::snprintf(line, size, "%s: more than %d level files, the most a pack may hold", folder,
                      maxPackLevels);
        return false;
    }
    if (found == 0) {
        std::snprintf(line, size, "%s: no level files in it (a pack is a folder of FILE.level files)",
                      folder);
        return false;
    }
    std::qsort(names, static_cast<std::size_t>(found), sizeof names[0], byName);

    if (std::strlen(folder) + 1 + sizeof names[0] > static_cast<std::size_t>(maxPackPath)) {
        std::snprintf(line, size, "%.80s...: the folder's path is longer than a pack's may be", folder);
        return false;
    }
    char path[maxPackPath];
    static char pars[maxLevelBytes];
    std::size_t parsLength = 0;
    std::snprintf(path, sizeof path, "%.4095s/pars", folder);
    // A folder without pars has none; one whose pars is no regular file is refused, as a level would be.
    if (char reason[80]; !readSmallFile(path, pars, sizeof pars, parsLength, reason, sizeof reason) &&
                         std::strcmp(reason, "not a regular file") == 0) {
        std::snprintf(line, size, "%s: %s", path, reason);
        return false;
    }
    for (int i = 0; i < found; ++i) {
        std::snprintf(path, sizeof path, "%.4095s/%.255s", folder, names[i]);
        levelError error;
        if (!readLevelFile(path, out.levels[i], error)) {
            describeLevelError(path, error, line, size);
            return false;
        }
        out.par[i] = parIn(pars, parsLength, names[i]);
    }
    out.count = found;
    return true;
}

packPlace placeInPack(const char* levelPath) {
    packPlace where;
    const char* slash = std::strrchr(levelPath, '/');
    const char* name = slash != nullptr ? slash + 1 : levelPath;
    const int folder = slash != nullptr ? static_cast<int>(slash - levelPath) : 0;
    char path[maxPackPath];
    if (folder + 6 >= maxPackPath) return where;
    std::snprintf(path, sizeof path, "%.*s%s", folder, levelPath, slash != nullptr ? "/pars" : "pars");
    static char pars[maxLevelBytes];
    std::size_t length = 0;
    char reason[80];
    if (!readSmallFile(path, pars, sizeof pars, length, reason, sizeof reason)) return where;
    const int par = parIn(pars, length, name);
    if (par == 0) return where;
    int rows = 0, found = 0;
    const std::size_t nameLength = std::strlen(name);
    for (std::size_t at = 0; at < length;) {
        std::size_t end = at;
        while (end < length && pars[end] != '\n')
            ++end;
        if (end > at && pars[at] != '#') {
            ++rows;
            if (found == 0 && end - at > nameLength && std::strncmp(pars + at, name, nameLength) == 0 &&
                pars[at + nameLength] == ' ')
                found = rows;
        }
        at = end + 1;
    }
    where.place = found;
    where.of = rows;
    where.par = par;
    return where;
}
