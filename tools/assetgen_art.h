// The pictures of the game, drawn from code: sprite sheet, teeth of the curtain, title, rage-quit screen,
// icons. Writes only into the directory it is given; every run draws the same pixels.
#pragma once

#include <array>

#include "assetgen_canvas.h"

struct _TTF_Font;

namespace art {

// The lettering: DejaVu faces at the sizes the pictures use, opened once and closed at the end.
struct Fonts {
    _TTF_Font* huge = nullptr;      // the game's name
    _TTF_Font* big = nullptr;       // headlines
    _TTF_Font* medium = nullptr;    // key names and sub-headlines
    _TTF_Font* text = nullptr;      // explanations
    _TTF_Font* textBold = nullptr;  // the word that opens an explanation
    _TTF_Font* italic = nullptr;    // asides
    _TTF_Font* keycap = nullptr;    // letters on key caps
    _TTF_Font* smallCap = nullptr;  // letters on small key caps
    _TTF_Font* label = nullptr;     // short captions
    _TTF_Font* glyphs = nullptr;    // the practice signs' lettering, one fixed cell a character
    bool open();                    // false, with a message, when a font is missing
    void close();
};

// The title's lettering: each ink with the flat colour it is drawn on. The title paints exactly these, and
// the tests hold every pair to a contrast of at least 4.5 : 1.
namespace ink {
constexpr Rgb panel{12, 14, 38};       // behind every line of the title's how-to-play
constexpr Rgb text{232, 236, 252};     // what the player reads
constexpr Rgb heading{255, 206, 96};   // headlines
constexpr Rgb hint{176, 200, 255};     // arrows and outlines in the drawings, never lettering
constexpr Rgb cap{222, 226, 240};      // the face of a key cap
constexpr Rgb capText{30, 32, 50};     // its letter
constexpr Rgb name{255, 150, 40};      // the game's name, at its darkest
constexpr Rgb nameOutline{46, 16, 8};  // and the outline it sits on
}  // namespace ink

struct Lettering {
    const char* what;
    Rgb ink, ground;
};
constexpr std::array<Lettering, 4> titleLettering{{{"text", ink::text, ink::panel},
                                                   {"headline", ink::heading, ink::panel},
                                                   {"key cap", ink::capText, ink::cap},
                                                   {"name", ink::name, ink::nameOutline}}};

// 400 x 60: twenty robots, the fused creature's teeth, eyes and body, then the six map tiles.
Canvas drawSheet();

// 100 x 250: teeth along both the top and the bottom edge, see-through around the tips.
Canvas drawTooth();

// 800 x 500 backgrounds. They need the sheet for the small pictures of tiles and robots they show.
// Each in the keyboard's words or, `touch`, in the words of a touch page's buttons.
Canvas drawTitle(const Canvas& sheet, const Fonts& fonts, bool touch = false);
Canvas drawLoose(const Canvas& sheet, const Fonts& fonts, bool touch = false);
// The end after a win: the rage-quit screen's map over it, its two pits in the same places.
Canvas drawWon(const Canvas& sheet, const Fonts& fonts, bool touch = false);

// The practice picture (layout in practiceSheet.h): the lettering of the signs, the goal arrows, the win,
// and the backgrounds' words for a touch screen. Zero-sized, with a message, when those words would change
// more of a background than their parts cover.
Canvas drawPractice(const Canvas& sheet, const Fonts& fonts);

// A square icon of the given size with a robot face from the sheet, see-through outside the robot.
Canvas drawIcon(const Canvas& sheet, int size);

// Writers: true on success. The BMPs keep the key colour as is; the PNG makes key pixels transparent.
// saveBmp writes 24 bits a pixel. saveBmp32 writes 32, blue, green, red and a zero byte, which is the
// display's own layout: the game converts such a picture with a plain copy.
bool saveBmp(const Canvas& canvas, const char* path);
bool saveBmp32(const Canvas& canvas, const char* path);
bool savePng(const Canvas& canvas, const char* path);

}  // namespace art
