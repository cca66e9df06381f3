// brakko-sheet: prints the sprite sheet's layout for scripts, so that none of them spells it out again:
// `cell 20`, `key 255 128 255`, then one `name x y` line per picture (the robots' own as robot0..robot19).
#include <cstdio>

#include "view/sheet.h"

int main() {
    std::printf("cell %d\n", cellPixels);
    std::printf("key %d %d %d\n", keyRed, keyGreen, keyBlue);
    for (int i = 0; i < robotPictures; ++i)
        std::printf("robot%d %d %d\n", i, robotCell(i).x, robotCell(i).y);
    for (const sheetCell& c : sheetCells)
        std::printf("%s %d %d\n", c.name, c.x, c.y);
    return 0;
}
