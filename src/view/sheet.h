// The sprite sheet's layout and its see-through colour, written down once for the drawing, the asset
// generator, the tests and the scripts (which read it from `brakko-sheet`). Plain numbers: no SDL here.
#pragma once

#include "rules/shared.h"

// A cell is this many pixels square, on the map and in the sheet alike.
constexpr int cellPixels = 20;

// Pixels of exactly this colour are never copied by a blit: whatever lies beneath shows through.
constexpr unsigned char keyRed = 255;
constexpr unsigned char keyGreen = 128;
constexpr unsigned char keyBlue = 255;

// One picture of the sheet, named as the drawing names it, by the top-left corner of its cell.
struct sheetCell {
    const char* name;
    int x, y;
};

// The top row holds one picture per robot index, robot i's own at x = 20 * i; it is worn while the robot is
// free. The row below holds the group's pictures, the bottom row the map tiles.
constexpr int robotPictures = maxRobots;
constexpr sheetCell sprBotCell{"sprBot", 0, 0};
constexpr sheetCell sprTeethCell{"sprTeeth", 0, 20};
constexpr sheetCell sprEyesCell{"sprEyes", 20, 20};
constexpr sheetCell sprBodyCell{"sprBody", 40, 20};
constexpr sheetCell tapisDCell{"tapisD", 0, 40};   // belt to the right, '>'
constexpr sheetCell tapisGCell{"tapisG", 20, 40};  // belt to the left, '<'
constexpr sheetCell casseCell{"casse", 40, 40};    // breaker, '!'
constexpr sheetCell blockCell{"block", 60, 40};    // wall, '#'
constexpr sheetCell goalCell{"goal", 80, 40};      // goal, '@'
constexpr sheetCell bgCell{"bg", 100, 40};         // everything else: the floor, all key colour in our art

constexpr sheetCell robotCell(int i) {
    return {sprBotCell.name, sprBotCell.x + cellPixels * i, sprBotCell.y};
}

// Every named picture but the robots' own, in the order of the sheet's rows.
constexpr sheetCell sheetCells[] = {sprTeethCell, sprEyesCell, sprBodyCell, tapisDCell, tapisGCell,
                                    casseCell,    blockCell,   goalCell,    bgCell};

constexpr int sheetWidth = robotPictures * cellPixels;
constexpr int sheetHeight = 3 * cellPixels;
