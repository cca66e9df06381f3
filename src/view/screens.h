// The screens of the game (title, level 1, level 2, rage-quit, and a player's level) and their frame steps.
// Built once at start-up; a frame step allocates nothing. The screen flow itself lives in flow.h.
#pragma once

#include <SDL.h>

#include "files/levelFile.h"
#include "rules/flow.h"
#include "rules/maps.h"
#include "view/spieleUI.h"

// The title figure stands in the lower half of the title picture; its wall row below lands off the window.
// The other screens are drawn from the display's top-left corner.
constexpr int titleOffsetY = 260;

struct screens {
    // Built in this order at start-up, each with its own map and formation table; never rebuilt or reset.
    spieleUI<titleW, titleH> title;
    spieleUI<level1W, level1H> level1;
    spieleUI<level2W, level2H> level2;
    spieleUI<ragequitW, ragequitH> rageQuit;
    // A player's level: one view that each level of a run is loaded into in turn. A run has either level 2
    // or a player's levels, never both, and only the one it plays has a layer: each is 6.4 MB.
    spieleUI<customW, customH> own;
    // Where the player's level is drawn: centred on the display when smaller than it.
    int ownX = 0, ownY = 0;

    // Builds every screen's view; the sprite sheet is shared and not owned. With a player's level, the run
    // plays it and not level 2.
    explicit screens(SDL_Surface* sheet, const customLevel* level = nullptr);

    // The player's level as it begins, seen through a window of its own size up to the display's.
    void load(const customLevel& level);

    // Frees every view's layer, before SDL_Quit.
    void releaseLayers();

    // Runs one frame of screen s (1 title, 2 level 1, 3 level 2, 4 a player's level, 8 rage-quit) with this
    // frame's command, without drawing it: the main loop draws a frame's picture once the frame is over, and
    // only when it differs from the one on show. True when the level of that screen is won; any other s runs
    // nothing.
    bool step(int s, int command) {
        return with(s, [command](auto& view, int, int) { return view.step(command); });
    }

    // Hands the view of screen s and where it is drawn to `use(view, offsetX, offsetY)` and answers what it
    // answers; any other s hands over nothing and answers false.
    template <typename Use>
    bool with(int s, Use&& use) {
        return visit(*this, s, use);
    }
    template <typename Use>
    bool with(int s, Use&& use) const {
        return visit(*this, s, use);
    }

  private:
    template <typename Screens, typename Use>
    static bool visit(Screens& all, int s, Use& use) {
        switch (s) {
            case titleScreen:
                return use(all.title, 0, titleOffsetY);
            case level1Screen:
                return use(all.level1, 0, 0);
            case level2Screen:
                return use(all.level2, 0, 0);
            case ownLevelScreen:
                return use(all.own, all.ownX, all.ownY);
            case rageQuitScreen:
                return use(all.rageQuit, 0, 0);
            default:
                return false;
        }
    }
};
