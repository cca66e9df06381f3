// Scenes for the view, drawing and screen tests: maps made in the test, robots put into the transbot by hand,
// and a sprite sheet whose every cell is a colour of its own so that a display pixel names its sheet cell.
// Test code only; the game never includes this.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "rules/shape.h"
#include "view/spieleUI.h"

// Walls all round and empty inside; the test puts markers and tiles where it needs them.
template <int W, int H>
struct testMap {
    char cells[W * H + 1];

    testMap() {
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                cells[x + y * W] = (x == 0 || y == 0 || x == W - 1 || y == H - 1) ? '#' : ' ';
            }
        }
        cells[W * H] = '\0';
    }

    void put(int x, int y, char c) { cells[x + y * W] = c; }
    // A wall under the cell, so that a robot started there stands still through every tick.
    void standOn(int x, int y, char marker) {
        put(x, y, marker);
        put(x, y + 1, '#');
    }
};

// Takes robot i out of the free robots and appends it to the transbot, where it stands.
template <int W, int H>
void joinTransbot(spiele<W, H>& game, int i) {
    for (int slot = 0; slot < game.nautbot.size(); ++slot) {
        if (game.nautbot.get(slot) == &game.bots[i]) {
            game.transbot.push(game.nautbot.remove(slot));
            return;
        }
    }
    ADD_FAILURE() << "robot " << i << " is not a free robot";
}

// A map twice the display each way, seen through a display-sized view: robot 1 stands in the transbot at
// (groupCol, 13) and, where `freeCol` is given, robot 2 stands free at (freeCol, 13). The camera has not
// moved yet.
struct wideScene {
    testMap<80, 50> map;
    spieleUI<80, 50> view;

    explicit wideScene(int groupCol, int freeCol = 0, SDL_Surface* sheet = nullptr)
        : map(robotsOnRow13(groupCol, freeCol)), view(map.cells, thoseShape1, sheet, 40, 25) {
        joinTransbot(view.game, 0);
    }

  private:
    static testMap<80, 50> robotsOnRow13(int groupCol, int freeCol) {
        testMap<80, 50> placed;
        placed.standOn(groupCol, 13, '1');
        if (freeCol != 0) placed.standOn(freeCol, 13, '2');
        return placed;
    }
};

// Sheet cell (cx, cy) is painted red cx+1, green cy+1, blue 0x80; the display starts black.
inline Uint32 sheetColour(int cx, int cy) {
    return static_cast<Uint32>(((cx + 1) << 16) | ((cy + 1) << 8) | 0x80);
}

// The name the drawing code uses for a sheet cell, so that failures read in its words.
inline std::string sheetName(int cx, int cy) {
    for (int i = 0; i < robotPictures; ++i)
        if (robotCell(i).x == cx * cellPixels && robotCell(i).y == cy * cellPixels)
            return "robot picture " + std::to_string(i);
    for (const sheetCell& c : sheetCells)
        if (c.x == cx * cellPixels && c.y == cy * cellPixels) return c.name;
    return "sheet cell (" + std::to_string(cx) + ", " + std::to_string(cy) + ")";
}

inline std::string ownPicture(int i) {
    return sheetName(i, 0);
}

// The sheet with every cell painted its own colour, in the display's 32-bit layout and without a key.
inline SDL_Surface* paintSheet() {
    SDL_Surface* sheet =
        SDL_CreateRGBSurface(SDL_SWSURFACE, sheetWidth, sheetHeight, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    if (sheet == nullptr) return nullptr;
    for (int cy = 0; cy < sheetHeight / cellPixels; ++cy) {
        for (int cx = 0; cx < sheetWidth / cellPixels; ++cx) {
            SDL_Rect cell = {static_cast<Sint16>(cx * cellPixels), static_cast<Sint16>(cy * cellPixels),
                             cellPixels, cellPixels};
            SDL_FillRect(sheet, &cell, sheetColour(cx, cy));
        }
    }
    return sheet;
}

// The reference drawing the map layers must match: one blit per cell of the camera's window, placed at
// the current scroll, then the robots in index order. Test code only, to hold the game's picture against.
template <int W, int H>
void drawTileByTile(const spieleUI<W, H>& view, SDL_Surface* display, int offsetX, int offsetY) {
    for (int i = 0; i < view.viewW; ++i) {
        for (int j = 0; j < view.viewH; ++j) {
            const int col = view.camCol + i;
            const int row = view.camRow + j;
            SDL_Rect source = tileFor(view.game.at(col, row));
            SDL_Rect place = {static_cast<Sint16>(col * cellPixels - view.scrollX + offsetX),
                              static_cast<Sint16>(row * cellPixels - view.scrollY + offsetY), cellPixels,
                              cellPixels};
            blit(view.sheet, &source, display, &place);
        }
    }
    for (int i = 0; i < view.game.botCount; ++i) {
        SDL_Rect source = robotPicture(view.game, i);
        SDL_Rect place = {static_cast<Sint16>(view.spritePos[i].x + offsetX),
                          static_cast<Sint16>(view.spritePos[i].y + offsetY), cellPixels, cellPixels};
        blit(view.sheet, &source, display, &place);
    }
}

// A black 800 x 500 display and the painted sheet, on SDL's dummy video driver.
class paintedSheet : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0)
            << "SDL starts with the dummy video driver: " << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    void SetUp() override {
        display = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 500, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        sheet = paintSheet();
        ASSERT_NE(display, nullptr) << "a display surface can be made";
        ASSERT_NE(sheet, nullptr) << "a sheet surface can be made";
        SDL_FillRect(display, nullptr, 0);
    }

    void TearDown() override {
        SDL_FreeSurface(display);
        SDL_FreeSurface(sheet);
    }

    // Which sheet cell the display shows at pixel (x, y), by name; "background" where nothing was drawn.
    std::string shownAt(int x, int y) const {
        const Uint32 pixel = static_cast<const Uint32*>(display->pixels)[y * display->pitch / 4 + x];
        if (pixel == 0) return "background";
        return sheetName(static_cast<int>((pixel >> 16) & 0xFF) - 1,
                         static_cast<int>((pixel >> 8) & 0xFF) - 1);
    }

    // What the display shows in the middle of map cell (col, row) of an unscrolled view drawn offsetY down.
    std::string shownInCell(int col, int row, int offsetY = 0) const {
        return shownAt(col * 20 + 10, row * 20 + 10 + offsetY);
    }

    SDL_Surface* display = nullptr;
    SDL_Surface* sheet = nullptr;
};
