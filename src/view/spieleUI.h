// The view of one map: owns its game, keeps the camera on the transbot, glides sprites one pixel a frame and
// ticks the rules only once the picture has caught up. The first layer that touches SDL: drawing writes
// display pixels and nothing else, and nothing here allocates after construction.
#pragma once

#include <SDL.h>

#include "rules/spiele.h"
#include "sdl/platform.h"
#include "solver/searchState.h"
#include "view/sheet.h"

// The sheet's pictures as blit rectangles; robot i's own picture is sprBot moved right by 20 * i.
constexpr SDL_Rect sheetRect(sheetCell c) {
    return {static_cast<Sint16>(c.x), static_cast<Sint16>(c.y), cellPixels, cellPixels};
}
constexpr SDL_Rect sprBot = sheetRect(sprBotCell);
constexpr SDL_Rect sprTeeth = sheetRect(sprTeethCell);
constexpr SDL_Rect sprEyes = sheetRect(sprEyesCell);
constexpr SDL_Rect sprBody = sheetRect(sprBodyCell);
constexpr SDL_Rect tapisD = sheetRect(tapisDCell);
constexpr SDL_Rect tapisG = sheetRect(tapisGCell);
constexpr SDL_Rect casse = sheetRect(casseCell);
constexpr SDL_Rect block = sheetRect(blockCell);
constexpr SDL_Rect goal = sheetRect(goalCell);
constexpr SDL_Rect bg = sheetRect(bgCell);

// The camera keeps the transbot's average cell this far from the view's top-left corner, and never shows more
// than the display's 40 x 25 cells, so a map at least that large is never left.
constexpr int cameraLeadCols = 20;
constexpr int cameraLeadRows = 13;
constexpr int displayCols = 40;
constexpr int displayRows = 25;

// The map cell in the camera's top-left corner.
struct cameraCell {
    int col = 0, row = 0;
};

// Where the camera aims for a game: the transbot's average cell kept the lead away from the corner, with the
// window held on the map (`mapW` x `mapH`); without a group it stays at `from`. A view narrower or shorter
// than the display never scrolls on that axis. The view's frame step and the tests' glide model both ask it.
template <int W, int H>
cameraCell aimCamera(const spiele<W, H>& game, cameraCell from, int mapW, int mapH, int viewW, int viewH) {
    cameraCell aim = from;
    const int size = game.transbot.size();
    if (size > 0) {
        int sumCol = 0, sumRow = 0;
        for (int i = 0; i < size; ++i) {
            sumCol += game.transbot.get(i)->col();
            sumRow += game.transbot.get(i)->row();
        }
        const int avgCol = sumCol / size, avgRow = sumRow / size;
        aim.col = avgCol < cameraLeadCols          ? 0
                  : avgCol > mapW - cameraLeadCols ? mapW - displayCols
                                                   : avgCol - cameraLeadCols;
        aim.row = avgRow < cameraLeadRows          ? 0
                  : avgRow > mapH - cameraLeadRows ? mapH - displayRows
                                                   : avgRow - cameraLeadRows;
    }
    if (viewW < displayCols) aim.col = 0;
    if (viewH < displayRows) aim.row = 0;
    return aim;
}

// The tile picture for a raw map character; markers and anything unknown show the floor.
constexpr SDL_Rect tileFor(char c) {
    switch (c) {
        case '#':
            return block;
        case '!':
            return casse;
        case '<':
            return tapisG;
        case '>':
            return tapisD;
        case '@':
            return goal;
        default:
            return bg;
    }
}

// Moves a value one step toward its target; used for the scroll and for both axes of every sprite.
constexpr int stepToward(int value, int target) {
    if (value < target) return value + 1;
    if (value > target) return value - 1;
    return value;
}

// Free robots wear their own picture; the group wears bodies, with a face picked by the labels of the last
// relabelling, so a group gliding into a new formation (labels '0') still shows its members' own pictures.
template <int W, int H>
SDL_Rect robotPicture(const spiele<W, H>& game, int i) {
    const char label = game.bots[i].label;
    SDL_Rect picture = sprBody;
    if (label == '0') {
        picture = sheetRect(robotCell(i));
    }
    if (game.transbot.size() <= 6) {
        if (label == game.transbot.lastLabel) picture = sprEyes;
    } else if (label == game.transbot.midLabel) {
        picture = sprEyes;
    } else if (label == game.transbot.preMidLabel) {
        picture = sprTeeth;
    }
    return picture;
}

// The digits of a cell's robot count, three pixels by five, one bit a pixel, row after row from the top.
constexpr unsigned short countDigits[10] = {
    0b111101101101111, 0b010110010010111, 0b111001111100111, 0b111001111001111, 0b101101111001001,
    0b111100111001111, 0b111100111101111, 0b111001010010010, 0b111101111101111, 0b111101111001111,
};
constexpr int countPixel = 2;  // each pixel of a digit is drawn this large

// The number `count` in a dark box in the top-right corner of a cell whose top-left is (x, y): one sprite
// can hide others, and this says how many robots stand there.
inline void drawCellCount(SDL_Surface* display, int x, int y, int count) {
    const int digits = count >= 10 ? 2 : 1;
    const int w = digits * 4 * countPixel + countPixel, h = 7 * countPixel;
    SDL_Rect box{static_cast<Sint16>(x + cellPixels - w), static_cast<Sint16>(y), static_cast<Uint16>(w),
                 static_cast<Uint16>(h)};
    SDL_FillRect(display, &box, SDL_MapRGB(display->format, 20, 24, 48));
    const Uint32 ink = SDL_MapRGB(display->format, 255, 230, 120);
    for (int d = 0; d < digits; ++d) {
        const unsigned bits = countDigits[d == digits - 1 ? count % 10 : count / 10];
        for (int p = 0; p < 15; ++p) {
            if ((bits >> (14 - p) & 1U) == 0) continue;
            SDL_Rect dot{static_cast<Sint16>(box.x + countPixel + (d * 4 + p % 3) * countPixel),
                         static_cast<Sint16>(box.y + countPixel + (p / 3) * countPixel), countPixel,
                         countPixel};
            SDL_FillRect(display, &dot, ink);
        }
    }
}

// A view's picture as `draw` paints it: the camera's window, the scroll, and where each robot lies and which
// picture of the sheet it wears. Robots past `robots` stay zero, so equal pictures compare equal.
struct viewPicture {
    int camCol = 0, camRow = 0, scrollX = 0, scrollY = 0, robots = 0;
    Sint16 x[maxRobots] = {}, y[maxRobots] = {}, faceX[maxRobots] = {}, faceY[maxRobots] = {};
    bool operator==(const viewPicture&) const = default;
};

// Everything of a view that changes while it plays: the game, where its sprites and camera stand, and the
// moves counted so far. Practice mode's undo keeps copies of it and puts one back whole.
template <int W, int H>
struct viewState {
    spiele<W, H> game;
    SDL_Rect spritePos[maxRobots] = {};
    int camCol = 0, camRow = 0;
    int scrollX = 0, scrollY = 0;
    // Ticks that changed the game since the tick before, its keys' effects included, as the search tells its
    // states apart (`countMove`): a tick after which the game is as it was after the last is no move.
    int moves = 0;
    packedRecord lastTick;
};

template <int W, int H>
struct spieleUI : viewState<W, H> {
    using viewState<W, H>::game;
    using viewState<W, H>::spritePos;
    using viewState<W, H>::camCol;
    using viewState<W, H>::camRow;
    using viewState<W, H>::scrollX;
    using viewState<W, H>::scrollY;
    using viewState<W, H>::moves;
    using viewState<W, H>::lastTick;
    SDL_Surface* sheet;
    int viewW, viewH;
    // The map's own size, where the camera stops: a player's level lies in the top-left corner of a larger
    // grid whose walls beyond it are never worth showing.
    int mapW = W, mapH = H;
    // Where robots share a cell (the rules let a free robot walk into the group, and the group keeps it
    // while its pose waits), that cell shows how many stand there, and the group's face lies on top. Off
    // for the game started without options.
    bool countShared = false;
    // The whole map's tiles, drawn once here from the sheet: the map never changes, so a frame copies the
    // camera's window of it in one blit instead of a blit per cell. Owned; null without a sheet.
    SDL_Surface* layer;

    spieleUI(const char* mapText, const char* const* shapeTable, SDL_Surface* sheet, int viewW, int viewH)
        : viewState<W, H>(), sheet(sheet), viewW(viewW), viewH(viewH), layer(nullptr) {
        game.init(mapText, shapeTable);
        lastTick = packedState(game);
        placeSprites();
        if (sheet != nullptr) layer = newLayer(sheet, W * cellPixels, H * cellPixels);
        paintTiles();
    }

    // Another map of the same grid size into the same view and layer, as it begins: a player's levels take
    // turns on one view rather than each making a layer of its own. The map is `mapW` x `mapH` in the grid's
    // top-left corner, seen through a window of `viewW` x `viewH` cells.
    void load(const char* mapText, const char* const* shapeTable, int mapW_, int mapH_, int viewW_,
              int viewH_) {
        game.init(mapText, shapeTable);
        mapW = mapW_, mapH = mapH_, viewW = viewW_, viewH = viewH_;
        camCol = camRow = scrollX = scrollY = 0;
        moves = 0;
        lastTick = packedState(game);
        placeSprites();
        paintTiles();
    }

    void placeSprites() {
        for (int i = 0; i < game.botCount; ++i) {
            spritePos[i] = SDL_Rect{static_cast<Sint16>((game.bots[i].col() - camCol) * cellPixels),
                                    static_cast<Sint16>((game.bots[i].row() - camRow) * cellPixels),
                                    cellPixels, cellPixels};
        }
    }

    // Tiles never overlap, so each is copied as it is: its see-through pixels stay see-through in the layer
    // and the background still shows through them on the display.
    void paintTiles() {
        if (layer == nullptr) return;
        pixelCopy tiles(sheet, layer);
        for (int col = 0; col < W; ++col)
            for (int row = 0; row < H; ++row)
                tiles.copy(tileFor(game.at(col, row)), col * cellPixels, row * cellPixels);
    }
    ~spieleUI() { releaseLayer(); }
    // Frees the layer while SDL still runs (SDL_Quit takes the display it was readied for); the view draws
    // no map afterwards.
    void releaseLayer() {
        SDL_FreeSurface(layer);
        layer = nullptr;
    }
    // One owner per layer: a copy would free it twice.
    spieleUI(const spieleUI&) = delete;
    spieleUI& operator=(const spieleUI&) = delete;

    // Every frame, gliding or not: a disband must be felt at once, not after the glide.
    void control(int command) { game.control(command); }

    // Settled: the scroll stands on the camera and every sprite on its robot's cell.
    bool updated() const {
        for (int i = 0; i < game.botCount; ++i) {
            if (spritePos[i].x != (game.bots[i].col() - camCol) * cellPixels ||
                spritePos[i].y != (game.bots[i].row() - camRow) * cellPixels ||
                scrollX != camCol * cellPixels || scrollY != camRow * cellPixels) {
                return false;
            }
        }
        return true;
    }

    // One moving frame: retarget the camera, then one pixel of scroll and of every sprite, both axes at once.
    void update() {
        const cameraCell aim = aimCamera(game, cameraCell{camCol, camRow}, mapW, mapH, viewW, viewH);
        camCol = aim.col;
        camRow = aim.row;

        scrollX = stepToward(scrollX, camCol * cellPixels);
        scrollY = stepToward(scrollY, camRow * cellPixels);

        // Sprites aim at their cell as seen through this frame's scroll, so a scroll drags them along.
        for (int i = 0; i < game.botCount; ++i) {
            spritePos[i].x =
                static_cast<Sint16>(stepToward(spritePos[i].x, game.bots[i].col() * cellPixels - scrollX));
            spritePos[i].y =
                static_cast<Sint16>(stepToward(spritePos[i].y, game.bots[i].row() * cellPixels - scrollY));
        }
    }

    void process() { game.process(); }

    // The camera's window of tiles, where the scroll is heading, placed where the scroll now is: SDL's
    // clipping cuts what falls off the display, and while the scroll lags the strip it leaves uncovered
    // shows the background. Then every robot in index order, so that the higher index lies on top. SDL
    // writes the clipped rectangle back into the destination, hence a fresh one per blit.
    void draw(SDL_Surface* display, int offsetX, int offsetY) const {
        SDL_Rect window = {static_cast<Sint16>(camCol * cellPixels), static_cast<Sint16>(camRow * cellPixels),
                           static_cast<Uint16>(viewW * cellPixels), static_cast<Uint16>(viewH * cellPixels)};
        SDL_Rect place = {static_cast<Sint16>(camCol * cellPixels - scrollX + offsetX),
                          static_cast<Sint16>(camRow * cellPixels - scrollY + offsetY), 0, 0};
        blit(layer, &window, display, &place);

        for (int i = 0; i < game.botCount; ++i) {
            SDL_Rect source = robotPicture(game, i);
            SDL_Rect dest = {static_cast<Sint16>(spritePos[i].x + offsetX),
                             static_cast<Sint16>(spritePos[i].y + offsetY), cellPixels, cellPixels};
            blit(sheet, &source, display, &dest);
        }
        if (countShared) drawSharedCells(display, offsetX, offsetY);
    }

    // Each place where several sprites lie as one, seen once from its lowest robot: the face of the group
    // drawn again on top, then the count.
    void drawSharedCells(SDL_Surface* display, int offsetX, int offsetY) const {
        for (int i = 0; i < game.botCount; ++i) {
            int count = 1, face = -1;
            bool seen = false;
            for (int j = 0; j < game.botCount && !seen; ++j) {
                if (j == i || spritePos[j].x != spritePos[i].x || spritePos[j].y != spritePos[i].y) continue;
                seen = j < i;
                ++count;
            }
            if (seen || count == 1) continue;
            for (int j = i; j < game.botCount; ++j) {
                const SDL_Rect picture = robotPicture(game, j);
                const bool faced = picture.x == sprEyes.x && picture.y == sprEyes.y;
                const bool teeth = picture.x == sprTeeth.x && picture.y == sprTeeth.y;
                if (spritePos[j].x == spritePos[i].x && spritePos[j].y == spritePos[i].y &&
                    (faced || teeth) && (face < 0 || faced))
                    face = j;
            }
            const Sint16 x = static_cast<Sint16>(spritePos[i].x + offsetX),
                         y = static_cast<Sint16>(spritePos[i].y + offsetY);
            if (face >= 0) {
                SDL_Rect source = robotPicture(game, face);
                SDL_Rect dest = {x, y, cellPixels, cellPixels};
                blit(sheet, &source, display, &dest);
            }
            drawCellCount(display, x, y, count);
        }
    }

    bool end() const { return game.won != 0; }

    // Whether a frame with no command would leave the view as it is: settled, and its tick would count no
    // move and change no robot, list, pose, face or camera. Such frames may be left out.
    bool atRest() const {
        if (!updated() || !(packedState(game) == lastTick)) return false;
        spiele<W, H> next = game;
        next.process();
        if (!(packedState(next) == lastTick)) return false;
        for (int i = 0; i < game.botCount; ++i) {
            const SDL_Rect now = robotPicture(game, i), then = robotPicture(next, i);
            if (now.x != then.x || now.y != then.y) return false;
        }
        const cameraCell aim = aimCamera(next, cameraCell{camCol, camRow}, mapW, mapH, viewW, viewH);
        return aim.col == camCol && aim.row == camRow;
    }

    // The frame step without its picture: the command, then a tick if the picture has caught up or one
    // pixel of animation if not. True once the level is won.
    bool step(int command) {
        control(command);
        if (updated()) {
            process();
            moves += countMove(game, lastTick);
        } else {
            update();
        }
        return end();
    }

    // What `draw` would paint, in a few numbers: the map and the sheet never change, so two frames with the
    // same picture here put the same pixels on the display.
    viewPicture picture() const {
        viewPicture seen;
        seen.camCol = camCol, seen.camRow = camRow, seen.scrollX = scrollX, seen.scrollY = scrollY;
        seen.robots = game.botCount;
        for (int i = 0; i < game.botCount; ++i) {
            const SDL_Rect face = robotPicture(game, i);
            seen.x[i] = spritePos[i].x, seen.y[i] = spritePos[i].y;
            seen.faceX[i] = face.x, seen.faceY[i] = face.y;
        }
        return seen;
    }
};
