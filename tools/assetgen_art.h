// The pictures of the game, drawn from code: sprite sheet, teeth of the curtain, title, rage-quit screen,
// icons. Writes only into the directory it is given; every run draws the same pixels.
#pragma once

#include "assetgen_canvas.h"

struct _TTF_Font;

namespace art {

// The lettering: DejaVu faces at the sizes the pictures use, opened once and closed at the end.
struct Fonts {
    _TTF_Font* huge = nullptr;    // the game's name
    _TTF_Font* big = nullptr;     // headlines
    _TTF_Font* medium = nullptr;  // key names and sub-headlines
    _TTF_Font* text = nullptr;    // explanations
    _TTF_Font* italic = nullptr;  // asides
    _TTF_Font* keycap = nullptr;  // letters on key caps
    _TTF_Font* label = nullptr;   // short captions
    bool open();                  // false, with a message, when a font is missing
    void close();
};

// 400 x 60: twenty robots, the fused creature's teeth, eyes and body, then the six map tiles.
Canvas drawSheet();

// 100 x 250: teeth along both the top and the bottom edge, see-through around the tips.
Canvas drawTooth();

// 800 x 500 backgrounds. They need the sheet for the small pictures of tiles and robots they show.
Canvas drawTitle(const Canvas& sheet, const Fonts& fonts);
Canvas drawLoose(const Canvas& sheet, const Fonts& fonts);

// A square icon of the given size with a robot face from the sheet, see-through outside the robot.
Canvas drawIcon(const Canvas& sheet, int size);

// Writers: true on success. The BMP keeps the key colour as is; the PNG makes key pixels transparent.
bool saveBmp(const Canvas& canvas, const char* path);
bool savePng(const Canvas& canvas, const char* path);

}  // namespace art
