// The progress file: what each file on disk loads as and what a win then leaves there (nothing a file held
// is ever lost), where the file lives, wins kept across runs, and copies of the game winning at once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>

#include "files/progress.h"

namespace {

const std::string head = "brakko progress 1\n";
const std::string won = head + "00000000000000a1 7\n";  // what a first win on level a1 in 7 moves writes

struct tempFolder {  // removed, with what it holds, at the end of the test
    char name[32] = "/tmp/brakko-progress-XXXXXX";
    std::string path = mkdtemp(name);
    ~tempFolder() { std::system(("rm -rf " + path).c_str()); }
};

// A file's text, or "<none>" or "<folder>".
std::string contents(const std::string& path) {
    struct stat there;
    if (stat(path.c_str(), &there) != 0) return "<none>";
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return S_ISDIR(there.st_mode) ? "<folder>" : text.str();
}

void place(const std::string& path, const std::string& text) {
    if (text == "<folder>") mkdir(path.c_str(), 0700);
    if (text != "<folder>" && text != "<none>") std::ofstream(path, std::ios::binary) << text;
}

// A file of `levels` lines, each with `moves`.
std::string many(int levels, const char* moves) {
    std::ostringstream text;
    text << head << std::hex << std::setfill('0');
    for (int i = 0; i < levels; ++i)
        text << std::setw(16) << i << ' ' << moves << '\n';
    return text.str();
}

// A file (its text, "<none>", "<folder>" or "<folder is a file>"), whether a win on level a1 in 7 moves is
// written, what loading and the win say, and the file and PATH.damaged after the win ("=": as they were).
struct fileCase {
    std::string file;
    progressState state;
    bool saved;
    const char *loadSays, *saveSays;
    std::string after = "=", damagedAfter = "=", damaged = "<none>";
    bool linkless = false;  // on a file system without hard links
};

bool noHardLinks = false;

// A damaged file: moved aside whole at the win, and the win written afresh.
fileCase damaged(const std::string& file, const char* says) {
    return {file, progressState::damaged, true, says, "moved aside", won, file};
}

}  // namespace

// The file system of a row that has no hard links, as a browser's has none.
extern "C" int link(const char* from, const char* to) noexcept {
    if (!noHardLinks) return linkat(AT_FDCWD, from, AT_FDCWD, to, 0);
    errno = EMLINK;
    return -1;
}

TEST(Progress, LoadsEachFileAndAWinLosesNothingItHeld) {
    const std::string a1 = "00000000000000a1 ";
    const fileCase rows[] = {
        {"<none>", progressState::none, true, "", "", won},
        {head + a1 + "5\n", progressState::read, true, "", ""},
        {head + a1 + "9\n", progressState::read, true, "", "", won},
        {head + "0000000000000001 2\n", progressState::read, true, "", "",
         head + "0000000000000001 2\n" + a1 + "7\n"},
        damaged("hello\n", "line 1: not"),
        damaged(head + "00000000000000zz 1\n", "line 2: a digest"),
        damaged(head + "00000000000000A1 1\n", "a digest"),
        damaged(head + a1 + "5", "line 2: cut short"),
        damaged(head + a1 + "-5\n", "moves"),
        damaged(head + a1 + "2147483648\n", "moves"),
        damaged(head + a1 + "5\r\n", "moves"),
        damaged(head + a1 + std::string("5\0\n", 3), "NUL"),
        damaged(head + a1 + "5\n" + a1 + "5\n", "line 3: a second"),
        damaged(head + a1 + "5\n0000000000000001 2\n", "out of order"),
        {"brakko progress 2\nanything\n", progressState::newer, false, "newer", "newer"},
        {many(maxProgressLevels + 1, "0"), progressState::newer, false, "more levels", "more"},
        {many(maxProgressLevels + 9, "2147483647"), progressState::newer, false, "more", "more"},
        {"hello\n", progressState::damaged, false, "damaged", "there already", "=", "=", "old\n"},
        {"hello\n", progressState::damaged, true, "line 1", "moved aside", won, "hello\n", "<none>", true},
        {"hello\n", progressState::damaged, false, "damaged", "there already", "=", "=", "old\n", true},
        {"<folder>", progressState::unreadable, false, "cannot read", "cannot read"},
        {"<folder is a file>", progressState::unreadable, false, "cannot read", "cannot make"},
    };
    for (const auto& r : rows) {
        const tempFolder folder;
        const std::string path = folder.path + "/in/progress";
        place(folder.path + "/in", r.file == "<folder is a file>" ? "" : "<folder>");
        place(path, r.file);
        place(path + ".damaged", r.damaged);
        place(path + ".new", std::string(100, '#'));  // left by a copy that stopped while writing
        const std::string before = contents(path);
        noHardLinks = r.linkless;
        SCOPED_TRACE("with the file " + r.file.substr(0, 60));
        static progressRecord record;
        char line[progressLineSize];
        EXPECT_EQ(loadProgress(path.c_str(), record, line, sizeof line), r.state) << line;
        EXPECT_NE(std::string(line).find(r.loadSays), std::string::npos) << "loading says " << line;
        EXPECT_TRUE(r.state == progressState::read || record.count == 0) << "nothing should count";
        EXPECT_EQ(saveWin(path.c_str(), record, 0xa1, 7, line, sizeof line), r.saved) << line;
        EXPECT_NE(std::string(line).find(r.saveSays), std::string::npos) << "the win says " << line;
        EXPECT_TRUE(record.solved(0xa1)) << "the win should be kept in the game";
        EXPECT_EQ(contents(path), r.after == "=" ? before : r.after) << "the file after the win";
        EXPECT_EQ(contents(path + ".damaged"), r.damagedAfter == "=" ? r.damaged : r.damagedAfter)
            << "the damaged file after the win";
    }
}

TEST(Progress, LivesInTheStateFolder) {
    // XDG_STATE_HOME, HOME (null: unset) and the path (null: none).
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"/s", "/h", "/s/brakko/progress"},
        {"relative", "/h", "/h/.local/state/brakko/progress"},
        {nullptr, nullptr, nullptr},
    };
    char path[4096], line[progressLineSize];
    for (const auto& [state, home, expected] : rows) {
        state ? setenv("XDG_STATE_HOME", state, 1) : unsetenv("XDG_STATE_HOME");
        home ? setenv("HOME", home, 1) : unsetenv("HOME");
        EXPECT_EQ(progressPath(path, sizeof path, line, sizeof line), expected != nullptr) << line;
        EXPECT_EQ(expected ? std::strcmp(path, expected) : std::strncmp(line, "brakko: ", 8), 0)
            << path << line;
    }
}

// Each copy wins its own levels, each twice, in more moves the second time: every win is kept, in its fewest.
TEST(Progress, CopiesWinningAtOnceLoseNoWin) {
    const tempFolder folder;
    const std::string path = folder.path + "/state/brakko/progress";
    constexpr int copies = 4, wins = 40;
    pid_t children[copies];
    const auto record = std::make_unique<progressRecord>();  // each copy's own after the fork
    char line[progressLineSize];
    for (int copy = 0; copy < copies; ++copy)
        if ((children[copy] = fork()) == 0) {
            bool all = true;
            for (int win = 0; win < 2 * wins; ++win)
                all = saveWin(path.c_str(), *record, copy * wins + win % wins, win, line, sizeof line) && all;
            _exit(all ? 0 : 1);
        }
    for (pid_t child : children) {
        int status = -1;
        EXPECT_TRUE(waitpid(child, &status, 0) == child && status == 0) << "every save should succeed";
    }
    ASSERT_EQ(loadProgress(path.c_str(), *record, line, sizeof line), progressState::read) << line;
    for (int level = 0; level < copies * wins; ++level)
        EXPECT_EQ(record->find(level) ? record->find(level)->fewestMoves : -1, level % wins)
            << "level " << level;
    struct stat there;
    EXPECT_TRUE(stat((folder.path + "/state").c_str(), &there) == 0 && (there.st_mode & 0777) == 0700)
        << "the state folder should be the player's alone";
}
