// The four screens of the game (title, level 1, level 2, rage-quit) and their frame steps.
// Built once at start-up; a frame step allocates nothing. The screen flow itself lives in flow.h.
#pragma once

#include <SDL.h>

#include "flow.h"
#include "levelFile.h"
#include "maps.h"
#include "spieleUI.h"

// The title figure stands in the lower half of the title picture; its wall row below lands off the window.
// The other screens are drawn from the display's top-left corner.
constexpr int titleOffsetY = 260;

struct screens {
    // Built in this order at start-up, each with its own map and formation table; never rebuilt or reset.
    spieleUI<titleW, titleH> title;
    spieleUI<level1W, level1H> level1;
    spieleUI<level2W, level2H> level2;
    spieleUI<ragequitW, ragequitH> rageQuit;
    // Where level 2's view is drawn: the display's corner, or a player's level smaller than the display
    // centred on it.
    int level2X = 0, level2Y = 0;

    // Builds every screen's view; the sprite sheet is shared and not owned. With a player's level, that
    // level takes level 2's place, seen through a window of its own size up to the display's.
    explicit screens(SDL_Surface* sheet, const customLevel* level = nullptr);

    // Frees every view's layer, before SDL_Quit.
    void releaseLayers();

    // Runs one frame of screen s (1 title, 2 level 1, 3 level 2, 8 rage-quit) with this frame's command and
    // draws it into the display. True when the level of that screen is won; any other s runs nothing.
    bool frame(int s, SDL_Surface* display, int command);
    // The same frame without drawing it: the main loop draws a frame's picture once the frame is over, and
    // only when it differs from the one on show.
    bool step(int s, int command) {
        return with(s, [command](auto& view, int, int) { return view.step(command); });
    }

    // Hands the view of screen s and where it is drawn to `use(view, offsetX, offsetY)` and answers what it
    // answers; any other s hands over nothing and answers false.
    template <typename Use>
    bool with(int s, Use&& use) {
        switch (s) {
            case titleScreen:
                return use(title, 0, titleOffsetY);
            case level1Screen:
                return use(level1, 0, 0);
            case level2Screen:
                return use(level2, level2X, level2Y);
            case rageQuitScreen:
                return use(rageQuit, 0, 0);
            default:
                return false;
        }
    }
};
