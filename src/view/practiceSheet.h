// The practice picture, "./img/practice.bmp": where its parts lie, written down once for the drawing and the
// asset generator. Read for practice mode, a player's levels and a page; the game started without options
// never reads it. Plain numbers: no SDL here.
#pragma once

// A part of a picture: its top-left corner and its size, in pixels.
struct picturePart {
    int x, y, w, h;
};

constexpr int practiceSheetWidth = 472;
constexpr int practiceSheetHeight = 548;

// A colour the picture's parts are drawn on, for the game to fill round them with the same.
struct groundColour {
    int r, g, b;
};
// The ground of every sign, the title's panel colour.
constexpr groundColour signGround{12, 14, 38};
// The face of a key cap.
constexpr groundColour capGround{222, 226, 240};

// The lettering: printable ASCII (32 to 126) in DejaVu Sans Mono Bold at 16 pixels, one fixed cell per
// character, 32 cells to a row, each on its ground so that text covers what it is drawn over. One set of
// rows for each ink: plain text and headings on the signs' ground, and a key's letters on a cap's face. A
// byte outside that range is drawn as '?'.
constexpr int glyphW = 10;
constexpr int glyphH = 20;
constexpr int glyphColumns = 32;
constexpr int glyphRows = 3;  // 95 characters
enum glyphInk { textInk, headingInk, capInk, inkCount };
constexpr picturePart glyph(glyphInk ink, char c) {
    const int k = c >= ' ' && c <= '~' ? c - ' ' : '?' - ' ';
    return {(k % glyphColumns) * glyphW, (ink * glyphRows + k / glyphColumns) * glyphH, glyphW, glyphH};
}
constexpr int glyphsHeight = inkCount * glyphRows * glyphH;

// The goal pointer's arrow for a goal that lies off the screen by (dx, dy), each -1, 0 or 1 and not both 0:
// eight arrows in a row, in the order of (dx, dy) row by row.
constexpr int arrowPixels = 20;
constexpr picturePart goalArrow(int dx, int dy) {
    const int k = (dy + 1) * 3 + (dx + 1);
    return {(k < 4 ? k : k - 1) * arrowPixels, glyphsHeight, arrowPixels, arrowPixels};
}

// On the title, where the words after the Return key stand ("starts level 1"); on a player's level practice
// mode lays "starts the level" over them, in the title's own lettering on its panel's ground, as wide as it
// may be before the Escape key's cap.
constexpr int titleReturnWordsX = 428, titleReturnWordsY = 462;
constexpr picturePart startsTheLevel{8 * arrowPixels, glyphsHeight, 126, arrowPixels};

// "You won!" in large letters, for the player's own win.
constexpr picturePart wonBanner{0, glyphsHeight + arrowPixels, 340, 84};

// The backgrounds' words as a touch page's buttons name them, each laid at (x, y) over the keyboard's words
// baked into its background: the title's Climb lesson and its last row, and the end screens' way to quit
// (the rage-quit picture's and the won picture's, one below the other).
struct wordSwap {
    picturePart part;
    int x, y;
};
constexpr int swapsTop = wonBanner.y + wonBanner.h;
constexpr wordSwap climbTouch{{0, swapsTop, 470, 120}, 316, 150};
constexpr wordSwap titleRowsTouch{{0, climbTouch.part.y + climbTouch.part.h, 472, 40}, 318, 454};
constexpr wordSwap quitTouch{{0, titleRowsTouch.part.y + titleRowsTouch.part.h, 400, 52}, 200, 408};
constexpr wordSwap wonQuitTouch{{0, quitTouch.part.y + quitTouch.part.h, 400, 52}, quitTouch.x, quitTouch.y};

static_assert(glyphColumns * glyphW <= practiceSheetWidth &&
              startsTheLevel.x + startsTheLevel.w <= practiceSheetWidth &&
              titleRowsTouch.part.w <= practiceSheetWidth && climbTouch.part.w <= practiceSheetWidth);
static_assert(wonQuitTouch.part.y + wonQuitTouch.part.h == practiceSheetHeight);
