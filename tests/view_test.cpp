// The view's camera, scroll and sprite glide, and how the picture paces the rules: frame counts, not pixels
// on a screen. Nothing is drawn here (no display, no sheet); draw_test.cpp looks at pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "../tools/solve_plan.h"
#include "files/levelFile.h"
#include "files/pack.h"
#include "rules/maps.h"
#include "rules/shape.h"
#include "solver/planKeys.h"
#include "solver/posePreview.h"
#include "view/practice.h"
#include "view/spieleUI.h"
#include "view_scene.h"

namespace {

// Moves the camera and scroll to (col, row) and every sprite onto its robot's cell: a settled view.
template <int W, int H>
void settleAt(spieleUI<W, H>& view, int col, int row) {
    view.camCol = col;
    view.camRow = row;
    view.scrollX = col * 20;
    view.scrollY = row * 20;
    for (int i = 0; i < view.game.botCount; ++i) {
        view.spritePos[i].x = static_cast<Sint16>((view.game.bots[i].col() - col) * 20);
        view.spritePos[i].y = static_cast<Sint16>((view.game.bots[i].row() - row) * 20);
    }
}

// Runs frames with no command until the view is settled again; answers how many frames that took.
template <int W, int H>
int framesUntilSettled(spieleUI<W, H>& view, int limit = 500) {
    int frames = 0;
    while (!view.updated() && frames < limit) {
        view.step(noCommand);
        ++frames;
    }
    return frames;
}

// Robot 1 in the transbot at column 30 and robot 2 free at column 35 of row 13, under a camera settled at
// column 10; both are put on new columns of the row at once. How many frames the view takes to settle again,
// and where its camera ends.
struct glideEnd {
    int frames, camCol;
};

glideEnd glideGroupAndFreeRobot(int groupTo, int freeTo) {
    wideScene scene(30, 35);
    spieleUI<80, 50>& view = scene.view;
    settleAt(view, 10, 0);
    view.game.bots[0].absMove(groupTo, 13);
    view.game.bots[1].absMove(freeTo, 13);
    const int frames = framesUntilSettled(view);
    return glideEnd{frames, view.camCol};
}

// Level 2's camera for a transbot of one robot standing at (col, row).
struct cameraCase {
    int col, row;
    int camCol, camRow;
};

TEST(Camera, Level2PutsTheTransbotAverageTwentyColumnsAndThirteenRowsIn) {
    const cameraCase cases[] = {
        {19, 12, 0, 0},   {20, 13, 0, 0},   {21, 14, 1, 1},  {60, 38, 40, 25},
        {61, 49, 40, 25}, {78, 48, 40, 25}, {35, 20, 15, 7},
    };
    for (const cameraCase& c : cases) {
        spieleUI<level2W, level2H> view(level2T, thoseShape1, nullptr, 40, 25);
        view.game.bots[0].absMove(c.col, c.row);
        joinTransbot(view.game, 0);
        view.update();
        EXPECT_EQ(view.camCol, c.camCol)
            << "a transbot at column " << c.col << " puts the camera at column " << c.camCol;
        EXPECT_EQ(view.camRow, c.camRow)
            << "a transbot at row " << c.row << " puts the camera at row " << c.camRow;
    }
}

TEST(Camera, AverageTruncatesOverEveryMember) {
    spieleUI<level2W, level2H> view(level2T, thoseShape1, nullptr, 40, 25);
    view.game.bots[0].absMove(30, 20);
    view.game.bots[1].absMove(31, 21);
    joinTransbot(view.game, 0);
    joinTransbot(view.game, 1);
    view.update();
    EXPECT_EQ(view.camCol, 10) << "members at columns 30 and 31 average to column 30, so the camera is at 10";
    EXPECT_EQ(view.camRow, 7) << "members at rows 20 and 21 average to row 20, so the camera is at 7";
}

TEST(Camera, EmptyTransbotLeavesTheCameraWhereItWas) {
    spieleUI<level2W, level2H> view(level2T, thoseShape1, nullptr, 40, 25);
    EXPECT_EQ(view.camCol, 0) << "a new view starts with its camera at column 0";
    EXPECT_EQ(view.camRow, 0) << "a new view starts with its camera at row 0";
    view.camCol = 12;
    view.camRow = 9;
    view.update();
    EXPECT_EQ(view.camCol, 12) << "with no transbot the camera keeps its column";
    EXPECT_EQ(view.camRow, 9) << "with no transbot the camera keeps its row";
}

TEST(Camera, SmallViewsArePinnedToTheMapCorner) {
    spieleUI<titleW, titleH> title(titleLVL, thoseShape0, nullptr, titleW, titleH);
    for (int i = 0; i < title.game.botCount; ++i)
        joinTransbot(title.game, i);
    title.update();
    EXPECT_EQ(title.camCol, 0) << "the title camera stays at column 0";
    EXPECT_EQ(title.camRow, 0) << "the title camera stays at row 0";

    spieleUI<level1W, level1H> level1(level1T, thoseShape1, nullptr, level1W, level1H);
    level1.game.bots[4].absMove(35, 15);
    joinTransbot(level1.game, 4);
    level1.update();
    EXPECT_EQ(level1.camCol, 0) << "level 1 is as wide as the display, so its camera column can only be 0";
    EXPECT_EQ(level1.camRow, 0)
        << "level 1's view is 20 rows, so its camera row is pinned to 0 even at row 15";

    spieleUI<ragequitW, ragequitH> rageQuit(ragequitT, thoseShape1, nullptr, ragequitW, ragequitH);
    rageQuit.game.bots[11].absMove(38, 23);
    joinTransbot(rageQuit.game, 11);
    rageQuit.update();
    EXPECT_EQ(rageQuit.camCol, 0) << "the rage-quit camera stays at column 0";
    EXPECT_EQ(rageQuit.camRow, 0) << "the rage-quit camera stays at row 0";

    spieleUI<level2W, level2H> narrow(level2T, thoseShape1, nullptr, 30, 20);
    narrow.game.bots[0].absMove(60, 40);
    joinTransbot(narrow.game, 0);
    narrow.update();
    EXPECT_EQ(narrow.camCol, 0) << "a view narrower than the display is pinned to column 0 on a wide map";
    EXPECT_EQ(narrow.camRow, 0) << "a view shorter than the display is pinned to row 0 on a tall map";
}

TEST(Scroll, ThreeCellCameraJumpTakesSixtyFramesWithoutATick) {
    wideScene scene(20);
    spieleUI<80, 50>& view = scene.view;
    ASSERT_TRUE(view.updated()) << "a new view is settled";

    view.game.bots[0].absMove(23, 13);
    for (int frame = 1; frame <= 60; ++frame) {
        ASSERT_FALSE(view.updated()) << "frame " << frame << " should still be scrolling, so no tick runs";
        view.step(noCommand);
        EXPECT_EQ(view.scrollX, frame) << "the scroll climbs one pixel in frame " << frame;
        EXPECT_EQ(view.scrollY, 0) << "the scroll keeps its row in frame " << frame;
    }
    EXPECT_EQ(view.camCol, 3) << "the transbot at column 23 puts the camera at column 3";
    EXPECT_TRUE(view.updated()) << "after 60 frames the scroll reached the camera and the robot its cell";
    EXPECT_EQ(view.spritePos[0].x, 400)
        << "the transbot's sprite ends where the camera keeps it, 20 columns in";
}

TEST(Glide, SpriteOffOnBothAxesGlidesDiagonally) {
    testMap<40, 25> map;
    map.standOn(5, 5, '1');
    spieleUI<40, 25> view(map.cells, thoseShape1, nullptr, 40, 25);
    view.game.bots[0].absMove(6, 6);
    for (int frame = 1; frame <= 20; ++frame) {
        view.step(noCommand);
        EXPECT_EQ(view.spritePos[0].x, 100 + frame) << "robot 0 moves one pixel right in frame " << frame;
        EXPECT_EQ(view.spritePos[0].y, 100 + frame) << "robot 0 moves one pixel down in frame " << frame;
    }
    EXPECT_TRUE(view.updated()) << "robot 0 reached its cell after 20 frames";
}

TEST(Glide, RobotAndCameraMovingTogetherSettleInTwentyFrames) {
    wideScene scene(30);
    spieleUI<80, 50>& view = scene.view;
    settleAt(view, 10, 0);

    view.game.bots[0].absMove(31, 13);
    int farthest = view.spritePos[0].x;
    int frames = 0;
    while (!view.updated() && frames < 100) {
        view.step(noCommand);
        farthest = std::max(farthest, static_cast<int>(view.spritePos[0].x));
        ++frames;
    }
    EXPECT_EQ(frames, 20) << "the transbot and the camera each move one cell right in 20 frames";
    EXPECT_EQ(farthest, 410) << "on the display the transbot goes 10 pixels right and back";
    EXPECT_EQ(view.camCol, 11) << "the camera follows the transbot one column right";
}

TEST(Glide, RobotAndCameraMovingApartSettleInFortyFrames) {
    const glideEnd glide = glideGroupAndFreeRobot(29, 36);
    EXPECT_EQ(glide.frames, 40)
        << "free robot 1 moving right while the camera moves left needs 40 frames to settle";
    EXPECT_EQ(glide.camCol, 9) << "the camera follows the transbot one column left";
}

TEST(Glide, CameraThreeCellsWithARobotOneCellTheSameWayTakesSixtyFrames) {
    const glideEnd glide = glideGroupAndFreeRobot(33, 36);
    EXPECT_EQ(glide.frames, 60) << "the camera's 3-cell scroll decides: 60 frames";
    EXPECT_EQ(glide.camCol, 13) << "the camera follows the transbot three columns right";
}

TEST(Pacing, RobotFallingEveryTickAdvancesOneCellEveryTwentyOneFrames) {
    testMap<40, 25> map;
    map.put(7, 2, '1');
    spieleUI<40, 25> view(map.cells, thoseShape1, nullptr, 40, 25);

    int lastRow = view.game.bots[0].row();
    int changes = 0;
    for (int frame = 1; frame <= 21 * 5; ++frame) {
        const int spriteBefore = view.spritePos[0].y;
        const bool ticks = view.updated();
        view.step(noCommand);
        const int row = view.game.bots[0].row();
        EXPECT_EQ(ticks, frame % 21 == 1) << "a tick runs in frame " << frame << " only if it is 1 + 21k";
        if (row != lastRow) {
            ++changes;
            EXPECT_EQ(row, lastRow + 1) << "robot 0 falls one row in the tick of frame " << frame;
            EXPECT_EQ(view.spritePos[0].y, spriteBefore)
                << "the frame of a tick shows robot 0 where it was, frame " << frame;
            lastRow = row;
        }
    }
    EXPECT_EQ(changes, 5) << "in 105 frames robot 0 falls five cells";
}

TEST(Pacing, CommandReachesTheGameWhileSpritesGlide) {
    testMap<40, 25> map;
    map.put(7, 2, '1');
    map.standOn(3, 20, '2');
    spieleUI<40, 25> view(map.cells, thoseShape1, nullptr, 40, 25);
    view.step(noCommand);
    ASSERT_FALSE(view.updated()) << "robot 0 fell in the first tick, so the view is gliding";

    view.step(4);
    EXPECT_EQ(view.game.wantedShape, 4) << "formation 4 asked for during a glide is recorded in that frame";

    joinTransbot(view.game, 1);
    view.step(-1);
    EXPECT_EQ(view.game.transbot.size(), 0) << "a disband during a glide empties the transbot in that frame";
    EXPECT_FALSE(view.updated()) << "the disband frame still glides robot 0";
}

TEST(Pacing, MapWithoutRobotsTicksEveryFrame) {
    testMap<40, 25> map;
    spieleUI<40, 25> view(map.cells, thoseShape1, nullptr, 40, 25);
    for (int frame = 1; frame <= 5; ++frame) {
        EXPECT_TRUE(view.updated()) << "with no robots frame " << frame << " is settled and ticks";
        EXPECT_FALSE(view.step(noCommand)) << "a map without a goal is not won";
    }
}

TEST(Pacing, GoalReachedReportsTheLevelWon) {
    testMap<40, 25> map;
    map.put(5, 10, '1');
    map.put(5, 11, '@');
    spieleUI<40, 25> view(map.cells, thoseShape1, nullptr, 40, 25);
    joinTransbot(view.game, 0);
    EXPECT_TRUE(view.step(noCommand))
        << "a transbot robot over the goal wins in that frame";
    EXPECT_TRUE(view.end()) << "the view reports the level won";
}

// Pack levels where a free robot walks into the group and joins it there: after these keys, one a tick
// ("_" Space, "." none), robots of the group share a cell, and the group shows fewer robots than it has
// unless each cell shows its count.
TEST(SharedCell, PackLevelsPutTwoRobotsOfTheGroupInOneCell) {
    const struct {
        const char *level, *keys;
        int members, cells;
    } rows[] = {
        {"03-waiting", "da", 3, 2},
        {"09-stairs", "cw.dxdcdqq..c.d..ccdq.aaq.c", 4, 3},
        {"02-up-a-wall", "weqzd.wewds.qx.c_dxq", 4, 2},
    };
    for (const auto& r : rows) {
        customLevel own;
        levelError error;
        ASSERT_TRUE(readLevelFile((std::string(BRAKKO_SOURCE_DIR) + "/levels/" + r.level + ".level").c_str(),
                                  own, error));
        const auto view = std::make_unique<spieleUI<customW, customH>>(own.map, thoseShape1, nullptr, 40, 25);
        for (const char* key = r.keys; *key != '\0'; ++key) {
            const char* pose = std::strchr("qweasdzxc", *key);
            view->game.control(*key == '_'   ? -1
                               : *key == '.' ? noCommand
                                             : static_cast<int>(pose - "qweasdzxc"));
            view->game.process();
        }
        EXPECT_EQ(view->game.transbot.size(), r.members) << r.level;
        EXPECT_EQ(memberCells(view->game), r.cells) << r.level << ": robots of the group share a cell";
    }
}

// Every level of the pack, its committed shortest plan (tests/plans/, made by brakko-solve, which the level_
// tests hold to the same par) played through the view's frame step in practice mode: the moves the game
// counts are its par, and Backspace takes them back with the steps.
TEST(Moves, EachPackLevelsShortestPlanTakesItsParOfMoves) {
    const std::string folder = std::string(BRAKKO_SOURCE_DIR) + "/levels";
    static levelPack pack;
    char line[600] = "";
    ASSERT_TRUE(readPack(folder.c_str(), pack, line, sizeof line)) << line;
    std::ifstream parsFile(folder + "/pars");
    const std::string pars((std::istreambuf_iterator<char>(parsFile)), std::istreambuf_iterator<char>());
    std::istringstream rows(pars);
    int played = 0;
    for (std::string row; std::getline(rows, row);) {
        if (row.empty() || row[0] == '#') continue;
        const std::string file = row.substr(0, row.find(' ')), name = file.substr(0, file.size() - 6);
        const int par = parIn(pars.data(), pars.size(), file.c_str());
        EXPECT_EQ(pack.par[played], par) << file << ": the pack's par, in the pack's order";
        const plan steps = readPlanFile(std::string(BRAKKO_SOURCE_DIR) + "/tests/plans/" + name + ".plan");
        EXPECT_EQ(steps.wonAt, par) << name << ".plan should be won at its par";
        const auto view = std::make_unique<spieleUI<customW, customH>>(pack.levels[played++].map, thoseShape1,
                                                                       nullptr, 40, 25);
        const auto history = std::make_unique<practiceLevel<customW, customH>>(*view);
        planKeys keys(steps.lines.data(), steps.lines.size());
        int movesBeforeLastStep = -1;
        for (int frame = 0; frame < 100000 && !view->end(); ++frame) {
            keys.event(view->updated());
            const int moves = view->moves, kept = history->count;
            history->frame(*view, keys.command, goBack::none);
            if (history->count > kept) movesBeforeLastStep = moves;
        }
        EXPECT_TRUE(view->end() && keys.tick == par) << file << " should be won at tick " << par;
        EXPECT_EQ(view->moves, par) << file << ": the game's count of moves";
        history->frame(*view, noCommand, goBack::undo);
        EXPECT_EQ(view->moves, movesBeforeLastStep)
            << file << ": Backspace should take the last step's moves back";
    }
    EXPECT_EQ(played, pack.count) << "every level of the pack should have a par";
}

// The striped blocks' sign names the way a robot on a block will go: a push blocked by a wall still turns
// the alternation, so a robot with a wall on its left goes right, though the next push is to the left.
TEST(StripedSign, NamesTheWayTheRobotOnABlockWillGo) {
    for (const bool wallOnLeft : {true, false}) {
        testMap<40, 25> map;
        map.put(5, 10, '!');
        map.put(5, 9, '1');
        map.standOn(20, 9, '2');
        if (wallOnLeft) map.put(4, 9, '#');
        const spieleUI<40, 25> view(map.cells, thoseShape1, nullptr, 40, 25);
        const practiceLevel<40, 25> level(view);
        ASSERT_EQ(view.game.breakerFlip, 0) << "the first push of a level goes left";
        EXPECT_EQ(level.nextPush(view.game), wallOnLeft ? 1 : -1)
            << (wallOnLeft ? "with a wall on its left, robot 1 goes right" : "robot 1 goes left");
    }
}

}  // namespace
