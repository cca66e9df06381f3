// The progress file: read whole and checked before any of it counts, written only after a win, whole, under
// a lock, by a rename, so that a reader never sees half a file and two copies of the game lose neither's win.
// What the file held is never lost: a file this game cannot read is left alone or moved aside, not replaced.
#include "files/progress.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// PATH_MAX and room for the longest suffix, ".damaged".
constexpr std::size_t maxPathBytes = 4096 + 16;

// What the reader found and, when it is not `read`, why: "line 3: ..." for a damaged file.
struct finding {
    progressState state = progressState::none;
    char why[160] = {};
};

finding found(progressState state, int line, const char* why) {
    finding f;
    f.state = state;
    if (line > 0)
        std::snprintf(f.why, sizeof f.why, "line %d: %s", line, why);
    else
        std::snprintf(f.why, sizeof f.why, "%s", why);
    return f;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The decimal number of `length` digits at `text`, or -1 when it is not one or passes INT_MAX.
long long decimal(const char* text, std::size_t length) {
    if (length == 0 || length > 10) return -1;
    long long value = 0;
    for (std::size_t at = 0; at < length; ++at) {
        if (!isDigit(text[at])) return -1;
        value = value * 10 + (text[at] - '0');
    }
    return value <= INT_MAX ? value : -1;
}

// "brakko progress N": the version N, or 0 when the line is something else.
long long headerVersion(const char* line, std::size_t length) {
    constexpr std::size_t prefix = sizeof progressFormat - 1;
    if (length <= prefix + 1 || std::memcmp(line, progressFormat, prefix) != 0 || line[prefix] != ' ')
        return 0;
    const long long version = decimal(line + prefix + 1, length - prefix - 1);
    return version > 0 ? version : 0;
}

// One level's line, without its line end: "DIGEST MOVES".
const char* readLevelLine(const char* line, std::size_t length, std::uint64_t& digest, int& moves) {
    if (std::memchr(line, '\0', length) != nullptr) return "a NUL byte";
    if (length < 18 || line[16] != ' ') return "a line is 16 lower-case hex digits, a space and a number";
    digest = 0;
    for (int at = 0; at < 16; ++at) {
        const int digit = hexValue(line[at]);
        if (digit < 0) return "a digest is 16 lower-case hex digits";
        digest = digest << 4 | static_cast<std::uint64_t>(digit);
    }
    const long long value = decimal(line + 17, length - 17);
    if (value < 0) return "the moves are a number from 0 to 2147483647";
    moves = static_cast<int>(value);
    return nullptr;
}

// Checks `length` bytes of a file and reads its levels into `out`; `whole` is false when the file goes on
// past them. Every fault is found before `out` counts: on anything but `read` it is left empty.
finding readProgress(const char* text, std::size_t length, bool whole, progressRecord& out) {
    out.count = 0;
    const char* end = static_cast<const char*>(std::memchr(text, '\n', length));
    const std::size_t first = end != nullptr ? static_cast<std::size_t>(end - text) : length;
    const long long version = headerVersion(text, first);
    char why[160];
    if (version > progressVersion) {
        std::snprintf(why, sizeof why, "is from a newer Brakko (progress version %lld)", version);
        return found(progressState::newer, 0, why);
    }
    if (version != progressVersion) return found(progressState::damaged, 1, "not \"brakko progress 1\"");
    if (end == nullptr)
        return found(progressState::damaged, 1, "cut short: the file ends without a line end");
    if (!whole) return found(progressState::newer, 0, "holds more levels than this game keeps");
    int lineNumber = 1;
    for (std::size_t at = first + 1; at < length;) {
        ++lineNumber;
        end = static_cast<const char*>(std::memchr(text + at, '\n', length - at));
        if (end == nullptr) {
            out.count = 0;
            return found(progressState::damaged, lineNumber, "cut short: the file ends without a line end");
        }
        const std::size_t size = static_cast<std::size_t>(end - (text + at));
        std::uint64_t digest = 0;
        int moves = 0;
        const char* fault = readLevelLine(text + at, size, digest, moves);
        if (fault == nullptr && out.count > 0 && digest <= out.levels[out.count - 1].digest)
            fault = digest == out.levels[out.count - 1].digest ? "a second line for one level"
                                                               : "the levels are out of order";
        if (fault != nullptr) {
            out.count = 0;
            return found(progressState::damaged, lineNumber, fault);
        }
        if (out.count == maxProgressLevels) {
            out.count = 0;
            return found(progressState::newer, 0, "holds more levels than this game keeps");
        }
        out.levels[out.count++] = {digest, moves};
        at += size + 1;
    }
    return found(progressState::read, 0, "");
}

// Reads at most maxProgressBytes + 1 bytes of the file into `text` and checks them. A file that cannot be
// opened or read says why in the finding: none when it is not there, unreadable otherwise.
finding inspect(const char* path, char (&text)[maxProgressBytes + 1], progressRecord& out) {
    out.count = 0;
    const int in = open(path, O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return found(errno == ENOENT ? progressState::none : progressState::unreadable, 0,
                     std::strerror(errno));
    std::size_t length = 0;
    while (length < sizeof text) {
        const ssize_t got = read(in, text + length, sizeof text - length);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int why = errno;
            close(in);
            return found(progressState::unreadable, 0, std::strerror(why));
        }
        if (got == 0) break;
        length += static_cast<std::size_t>(got);
    }
    close(in);
    // One byte past the bound tells a file that is too long from one that just fits.
    return readProgress(text, length < sizeof text ? length : maxProgressBytes, length < sizeof text, out);
}

bool writeAll(int out, const char* text, std::size_t length) {
    while (length > 0) {
        const ssize_t put = write(out, text, length);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        text += put;
        length -= static_cast<std::size_t>(put);
    }
    return true;
}

// Makes the folders above the file that are missing, each only for its owner (0700), as a state folder is.
bool makeFolders(const char* path, int& why) {
    char folder[maxPathBytes];
    std::snprintf(folder, sizeof folder, "%s", path);
    for (char* slash = std::strchr(folder + 1, '/'); slash != nullptr; slash = std::strchr(slash + 1, '/')) {
        *slash = '\0';
        // What is there already must be a folder: mkdir() says EEXIST of a file as well.
        struct stat there;
        if (mkdir(folder, 0700) != 0 && (stat(folder, &there) != 0 || !S_ISDIR(there.st_mode))) {
            why = errno == EEXIST ? ENOTDIR : errno;
            return false;
        }
        *slash = '/';
    }
    return true;
}

// Makes the rename itself survive a crash: the folder's entry is written as well as the file.
bool syncFolder(const char* path) {
    char folder[maxPathBytes];
    std::snprintf(folder, sizeof folder, "%s", path);
    char* slash = std::strrchr(folder, '/');
    if (slash == nullptr)
        std::snprintf(folder, sizeof folder, ".");
    else
        slash[slash == folder ? 1 : 0] = '\0';
    const int in = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (in < 0) return false;
    const bool synced = fsync(in) == 0;
    close(in);
    return synced;
}

// The record as the file holds it, into `text`; its length.
std::size_t formatProgress(const progressRecord& record, char (&text)[maxProgressBytes + 1]) {
    int length = std::snprintf(text, sizeof text, "%s %d\n", progressFormat, progressVersion);
    for (int i = 0; i < record.count; ++i)
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), "%016llx %d\n",
                                static_cast<unsigned long long>(record.levels[i].digest),
                                record.levels[i].fewestMoves);
    return static_cast<std::size_t>(length);
}

// Writes the record to `temporary` by way of `text`, on disk before it is renamed over `path`.
bool replaceFile(const char* path, const char* temporary, const progressRecord& record,
                 char (&text)[maxProgressBytes + 1], char* line, std::size_t lineSize) {
    const std::size_t length = formatProgress(record, text);
    const int out = open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    bool written = out >= 0 && writeAll(out, text, length) && fsync(out) == 0;
    int why = errno;
    if (out >= 0 && close(out) != 0 && written) {
        written = false;
        why = errno;
    }
    if (!written) {
        std::snprintf(line, lineSize, "brakko: cannot write %s (%s): progress is not written", temporary,
                      std::strerror(why));
        unlink(temporary);
        return false;
    }
    if (rename(temporary, path) != 0) {
        std::snprintf(line, lineSize, "brakko: cannot replace %s (%s): progress is not written", path,
                      std::strerror(errno));
        unlink(temporary);
        return false;
    }
    if (!syncFolder(path))
        std::snprintf(line, lineSize, "brakko: %s is written but its folder could not be synced (%s)", path,
                      std::strerror(errno));
    return true;
}

// Moves a damaged file aside to `damaged`, never over an earlier one: link() refuses to replace a file, where
// rename() would. Where the file system has no hard links (a browser's memory file system says EMLINK, others
// EPERM or EOPNOTSUPP), it is renamed once no earlier file is there: under the lock, no other copy of the
// game makes one in between. 0, or why the file stays where it is.
int moveAside(const char* path, const char* damaged) {
    if (link(path, damaged) == 0) {
        unlink(path);
        return 0;
    }
    if (errno != EMLINK && errno != EPERM && errno != EOPNOTSUPP) return errno;
    struct stat there;
    if (lstat(damaged, &there) == 0) return EEXIST;
    if (errno != ENOENT) return errno;
    return rename(path, damaged) == 0 ? 0 : errno;
}

// Under the lock: the file as it is now merged into `record` (a damaged one moved aside first), then the
// merge written over it. False, with `line`, when the file must stay as it is.
bool mergeAndWrite(const char* path, progressRecord& record, char* line, std::size_t lineSize) {
    char temporary[maxPathBytes], damaged[maxPathBytes];
    std::snprintf(temporary, sizeof temporary, "%s.new", path);
    std::snprintf(damaged, sizeof damaged, "%s.damaged", path);
    // Static: together they are larger than a browser's whole stack may be.
    static char text[maxProgressBytes + 1];
    static progressRecord onDisk;
    onDisk = {};
    const finding now = inspect(path, text, onDisk);
    switch (now.state) {
        case progressState::none:
            break;
        case progressState::read:
            for (int i = 0; i < onDisk.count; ++i)
                if (!record.add(onDisk.levels[i].digest, onDisk.levels[i].fewestMoves)) {
                    std::snprintf(line, lineSize,
                                  "brakko: %s and this game's wins hold more than %d levels together: "
                                  "progress is not written",
                                  path, maxProgressLevels);
                    return false;
                }
            break;
        case progressState::newer:
            std::snprintf(line, lineSize, "brakko: %s %s: it is left as it is and this win is not written",
                          path, now.why);
            return false;
        case progressState::unreadable:
            std::snprintf(line, lineSize, "brakko: cannot read %s (%s): this win is not written", path,
                          now.why);
            return false;
        case progressState::damaged:
            if (const int why = moveAside(path, damaged); why != 0) {
                if (why == EEXIST)
                    std::snprintf(line, lineSize,
                                  "brakko: %s is damaged (%s) and %s is there already: both are left as they "
                                  "are and progress is not written",
                                  path, now.why, damaged);
                else
                    std::snprintf(
                        line, lineSize,
                        "brakko: %s is damaged (%s) and cannot be moved aside (%s): progress is not "
                        "written",
                        path, now.why, std::strerror(why));
                return false;
            }
            break;
    }
    if (!replaceFile(path, temporary, record, text, line, lineSize)) return false;
    if (now.state == progressState::damaged)
        std::snprintf(line, lineSize, "brakko: %s was damaged (%s): it is moved aside to %s", path, now.why,
                      damaged);
    return true;
}

}  // namespace

const levelProgress* progressRecord::find(std::uint64_t digest) const {
    int low = 0, high = count;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (levels[middle].digest < digest)
            low = middle + 1;
        else
            high = middle;
    }
    return low < count && levels[low].digest == digest ? &levels[low] : nullptr;
}

bool progressRecord::add(std::uint64_t digest, int moves) {
    if (moves < 0) return false;
    int at = 0;
    while (at < count && levels[at].digest < digest)
        ++at;
    if (at < count && levels[at].digest == digest) {
        if (moves < levels[at].fewestMoves) levels[at].fewestMoves = moves;
        return true;
    }
    if (count == maxProgressLevels) return false;
    for (int i = count; i > at; --i)
        levels[i] = levels[i - 1];
    levels[at] = {digest, moves};
    ++count;
    return true;
}

bool progressPath(char* out, std::size_t size, char* line, std::size_t lineSize) {
    line[0] = '\0';
    // A relative XDG_STATE_HOME is to be ignored, as if it were not set.
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    int length = 0;
    if (state != nullptr && state[0] == '/')
        length = std::snprintf(out, size, "%s/brakko/progress", state);
    else if (home != nullptr && home[0] != '\0')
        length = std::snprintf(out, size, "%s/.local/state/brakko/progress", home);
    else {
        std::snprintf(line, lineSize, "brakko: neither XDG_STATE_HOME nor HOME is set: progress is not kept");
        return false;
    }
    if (length < 0 || static_cast<std::size_t>(length) + sizeof ".damaged" > size ||
        static_cast<std::size_t>(length) + sizeof ".damaged" > maxPathBytes) {
        std::snprintf(line, lineSize, "brakko: the progress file's path is too long: progress is not kept");
        return false;
    }
    return true;
}

progressState loadProgress(const char* path, progressRecord& out, char* line, std::size_t lineSize) {
    line[0] = '\0';
    static char text[maxProgressBytes + 1];
    const finding f = inspect(path, text, out);
    switch (f.state) {
        case progressState::none:
        case progressState::read:
            break;
        case progressState::damaged:
            std::snprintf(line, lineSize,
                          "brakko: %s is damaged (%s): playing on from nothing solved; it is moved aside to "
                          "%s.damaged at the next win",
                          path, f.why, path);
            break;
        case progressState::newer:
            std::snprintf(line, lineSize, "brakko: %s %s: playing on without it, and it is left as it is",
                          path, f.why);
            break;
        case progressState::unreadable:
            std::snprintf(line, lineSize, "brakko: cannot read %s (%s): playing on without progress", path,
                          f.why);
            break;
    }
    return f.state;
}

bool saveWin(const char* path, progressRecord& record, std::uint64_t digest, int moves, char* line,
             std::size_t lineSize) {
    line[0] = '\0';
    if (!record.add(digest, moves)) {
        std::snprintf(line, lineSize,
                      "brakko: this game keeps at most %d solved levels: this win is not kept",
                      maxProgressLevels);
        return false;
    }
    if (std::strlen(path) + sizeof ".damaged" > maxPathBytes) {
        std::snprintf(line, lineSize,
                      "brakko: the progress file's path is too long: progress is not written");
        return false;
    }
    int why = 0;
    if (!makeFolders(path, why)) {
        std::snprintf(line, lineSize, "brakko: cannot make the folder of %s (%s): progress is not written",
                      path, std::strerror(why));
        return false;
    }
    char lockPath[maxPathBytes];
    std::snprintf(lockPath, sizeof lockPath, "%s.lock", path);
    const int lock = open(lockPath, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    int locked = lock < 0 ? -1 : flock(lock, LOCK_EX);
    while (locked != 0 && lock >= 0 && errno == EINTR)
        locked = flock(lock, LOCK_EX);
    if (locked != 0) {
        std::snprintf(line, lineSize, "brakko: cannot lock %s (%s): progress is not written", lockPath,
                      std::strerror(errno));
        if (lock >= 0) close(lock);
        return false;
    }
    const bool written = mergeAndWrite(path, record, line, lineSize);
    close(lock);  // which unlocks it
    return written;
}
