// Drawing on real SDL surfaces: a sheet made here, each 20 x 20 cell a colour of its own, so every display
// pixel tells which sheet cell landed there. Dummy video driver; no window, no files.
#include <gtest/gtest.h>

#include "rules/maps.h"
#include "rules/shape.h"
#include "view/spieleUI.h"
#include "view_scene.h"

namespace {

constexpr int noCommand = 1000;

using Draw = paintedSheet;

// The view's frame step, then its picture where the loop would draw it.
template <typename View>
void frame(View& view, SDL_Surface* display, int command, int offsetX = 0, int offsetY = 0) {
    view.step(command);
    view.draw(display, offsetX, offsetY);
}

TEST_F(Draw, EachMapCharacterDrawsItsTile) {
    testMap<40, 25> map;
    const char drawn[] = {'!', '<', '>', '@', ' ', '1', 'K', 'L', '0', '\x7f'};
    const char* const expected[] = {"casse", "tapisG", "tapisD", "goal", "bg", "bg", "bg", "bg", "bg", "bg"};
    // The first '1' and 'K' in row-major order place the robots; the later ones are plain marked cells.
    map.put(30, 1, '1');
    map.put(31, 1, 'K');
    for (int i = 0; i < 10; ++i)
        map.put(3 + i, 3, drawn[i]);
    map.put(3, 5, '#');
    spieleUI<40, 25> view(map.cells, thoseShape1, sheet, 40, 25);
    view.draw(display, 0, 0);

    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(shownInCell(3 + i, 3), expected[i])
            << "the map character '" << drawn[i] << "' at cell (" << 3 + i << ", 3) draws " << expected[i];
    }
    EXPECT_EQ(shownInCell(3, 5), "block") << "a wall at cell (3, 5) draws block";
    EXPECT_EQ(shownInCell(0, 0), "block") << "the corner wall at cell (0, 0) draws block";
    EXPECT_EQ(shownInCell(39, 24), "block") << "the corner wall at cell (39, 24) draws block";
    EXPECT_EQ(shownAt(0, 0), "block") << "the tile fills its cell from the top-left pixel";
    EXPECT_EQ(shownAt(799, 499), "block") << "the last tile reaches the display's bottom-right pixel";
}

TEST_F(Draw, TitleRobotsWearTheirOwnPicturesTwoHundredSixtyPixelsDown) {
    spieleUI<titleW, titleH> view(titleLVL, thoseShape0, sheet, titleW, titleH);
    frame(view, display, -1, 0, 260);

    for (int i = 0; i < view.game.botCount; ++i) {
        const bot& robot = view.game.bots[i];
        EXPECT_EQ(shownInCell(robot.col(), robot.row(), 260), ownPicture(i))
            << "title robot " << i << " at cell (" << robot.col() << ", " << robot.row()
            << ") shows its own picture";
    }
    EXPECT_EQ(shownInCell(6, 8, 260), "robot picture 5") << "robot 5 is drawn from sheet x 100";
    EXPECT_EQ(shownInCell(8, 10, 260), "robot picture 19") << "robot 19 is drawn from sheet x 380";
    EXPECT_EQ(shownAt(10, 259), "background") << "nothing of the title is drawn above y 260";
    EXPECT_EQ(shownAt(10, 260), "block") << "the title's top wall row starts at y 260";
    EXPECT_EQ(shownAt(30, 499), "tapisD") << "map row 11 reaches the display's bottom edge; row 12 is off it";
    EXPECT_EQ(shownAt(300, 400), "background") << "the 15-column title ends at x 300";
}

TEST_F(Draw, Level1FillsTheTopFourHundredPixelRows) {
    spieleUI<level1W, level1H> view(level1T, thoseShape1, sheet, level1W, level1H);
    frame(view, display, noCommand);
    EXPECT_EQ(shownInCell(4, 12), "goal") << "level 1's goal is drawn at cell (4, 12)";
    EXPECT_EQ(shownInCell(28, 5), "casse") << "level 1's breaker is drawn at cell (28, 5)";
    EXPECT_EQ(shownAt(10, 399), "block") << "level 1's bottom row ends at y 399";
    EXPECT_EQ(shownAt(10, 400), "background") << "below level 1 only the background shows";
}

// A map of seven robots side by side on the floor, the first `members` of them fused in index order.
struct groupCase {
    int members;
    const char* faces[7];
};

TEST_F(Draw, GroupFacesFollowTheLabels) {
    const groupCase cases[] = {
        {1,
         {"sprEyes", "robot picture 1", "robot picture 2", "robot picture 3", "robot picture 4",
          "robot picture 5", "robot picture 6"}},
        {6, {"sprBody", "sprBody", "sprBody", "sprBody", "sprBody", "sprEyes", "robot picture 6"}},
        {7, {"sprBody", "sprBody", "sprTeeth", "sprEyes", "sprBody", "sprBody", "sprBody"}},
    };
    for (const groupCase& c : cases) {
        testMap<40, 25> map;
        for (int i = 0; i < 7; ++i)
            map.put(5 + i, 23, markerChar(i));
        spieleUI<40, 25> view(map.cells, thoseShape1, sheet, 40, 25);
        for (int i = 0; i < c.members; ++i)
            joinTransbot(view.game, i);
        view.game.transbot.unite();
        view.game.nautbot.unite();
        SDL_FillRect(display, nullptr, 0);
        view.draw(display, 0, 0);
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(shownInCell(5 + i, 23), c.faces[i])
                << "in a group of " << c.members << ", robot " << i << " shows " << c.faces[i];
        }

        // Right after a re-form the members carry '0' and glide in their own pictures.
        for (int i = 0; i < c.members; ++i)
            view.game.bots[i].label = '0';
        view.draw(display, 0, 0);
        for (int i = 0; i < c.members; ++i) {
            EXPECT_EQ(shownInCell(5 + i, 23), ownPicture(i))
                << "in a re-formed group of " << c.members << ", member " << i << " shows its own picture";
        }
    }
}

// Two members of a group of three in one cell, the one with the eyes first: as the game always drew it the
// later body hides the eyes; counted, the eyes lie on top and the corner shows the count, no sheet picture.
TEST_F(Draw, SharedCellShowsItsCountWithTheFaceOnTop) {
    testMap<40, 25> map;
    for (int i = 0; i < 3; ++i)
        map.put(5 + i, 23, markerChar(i));
    spieleUI<40, 25> view(map.cells, thoseShape1, sheet, 40, 25);
    for (int i : {2, 0, 1})
        joinTransbot(view.game, i);
    view.game.transbot.unite();
    view.game.bots[2].absMove(6, 23);
    view.placeSprites();
    for (const bool counted : {false, true}) {
        view.countShared = counted;
        view.draw(display, 0, 0);
        EXPECT_EQ(shownAt(6 * 20 + 3, 23 * 20 + 17), counted ? "sprEyes" : "sprBody")
            << "counted: " << counted;
        EXPECT_EQ(shownAt(6 * 20 + 19, 23 * 20) == "sprBody", !counted) << "counted: " << counted;
    }
}

TEST_F(Draw, DisbandShowsOwnPicturesInThatVeryFrame) {
    testMap<40, 25> map;
    for (int i = 0; i < 3; ++i)
        map.put(5 + i, 23, markerChar(i));
    spieleUI<40, 25> view(map.cells, thoseShape1, sheet, 40, 25);
    for (int i = 0; i < 3; ++i)
        joinTransbot(view.game, i);
    view.game.transbot.unite();
    // Robot 2 is still a pixel short of its cell, so the disband frame glides and runs no tick.
    view.spritePos[2].x = static_cast<Sint16>(view.spritePos[2].x - 1);
    frame(view, display, -1);
    ASSERT_EQ(view.game.transbot.size(), 0) << "the disband empties the transbot at once";
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(shownInCell(5 + i, 23), ownPicture(i))
            << "former member " << i << " shows its own picture in the frame of the disband";
    }
}

TEST_F(Draw, HigherRobotIndexLiesOnTopAndEdgesClip) {
    testMap<40, 25> map;
    map.put(5, 5, '1');
    map.put(7, 5, '2');
    map.put(9, 5, '3');
    map.put(11, 5, '4');
    spieleUI<40, 25> view(map.cells, thoseShape1, sheet, 40, 25);
    view.game.nautbot.unite();
    view.spritePos[1].x = static_cast<Sint16>(view.spritePos[0].x + 10);
    view.spritePos[2] = SDL_Rect{-10, -15, 20, 20};
    view.spritePos[3] = SDL_Rect{790, 488, 20, 20};
    SDL_Rect before[4];
    for (int i = 0; i < 4; ++i)
        before[i] = view.spritePos[i];
    view.draw(display, 0, 0);

    EXPECT_EQ(shownAt(105, 110), "robot picture 0") << "robot 0 shows left of where robot 1 overlaps it";
    EXPECT_EQ(shownAt(115, 110), "robot picture 1") << "robot 1 lies over robot 0 where they overlap";
    EXPECT_EQ(shownAt(0, 0), "robot picture 2")
        << "robot 2, half off the top-left corner, shows its visible part";
    EXPECT_EQ(shownAt(10, 5), "block") << "robot 2 is clipped at its own right edge";
    EXPECT_EQ(shownAt(799, 499), "robot picture 3")
        << "robot 3, half off the bottom-right corner, shows its part";
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(view.spritePos[i].x == before[i].x && view.spritePos[i].y == before[i].y &&
                    view.spritePos[i].w == 20 && view.spritePos[i].h == 20)
            << "drawing left robot " << i << "'s sprite position as it was";
    }
}

TEST_F(Draw, ScrollLagShowsBackgroundOnTheEdgeTheCameraLeaves) {
    wideScene scene(20, 0, sheet);
    spieleUI<80, 50>& view = scene.view;
    view.game.bots[0].absMove(21, 13);

    frame(view, display, noCommand);
    ASSERT_EQ(view.camCol, 1) << "the transbot at column 21 moved the camera one column right";
    EXPECT_EQ(shownAt(0, 5), "background")
        << "the scroll lags 19 pixels: pixel column 0 shows the background";
    EXPECT_EQ(shownAt(18, 5), "background")
        << "the scroll lags 19 pixels: pixel column 18 shows the background";
    EXPECT_EQ(shownAt(19, 5), "block") << "map column 1 of the top wall starts at pixel column 19";
    EXPECT_EQ(shownAt(799, 5), "block") << "map column 40 is cut at the display's right edge";

    SDL_FillRect(display, nullptr, 0);
    frame(view, display, noCommand);
    EXPECT_EQ(shownAt(17, 5), "background") << "in the second frame the strip is 18 pixels wide";
    EXPECT_EQ(shownAt(18, 5), "block") << "in the second frame map column 1 starts at pixel column 18";
}

TEST_F(Draw, MissingSheetDrawsNothing) {
    spieleUI<level1W, level1H> view(level1T, thoseShape1, nullptr, level1W, level1H);
    frame(view, display, noCommand);
    EXPECT_EQ(shownAt(10, 10), "background") << "without a sheet the wall at cell (0, 0) is not drawn";
    EXPECT_EQ(shownInCell(2, 4), "background") << "without a sheet robot 0 is not drawn";
}

}  // namespace
