// The four screens with their real views, stepped by the game's own frame: which view runs, where it is
// drawn, and what a won level does. Dummy video driver; no window, no files.
#include <gtest/gtest.h>

#include "app/app.h"
#include "view_scene.h"

namespace {

class Screens : public paintedSheet {
  protected:
    // The game over the painted sheet, with no other pictures and no music.
    app game() { return app(display, assets{nullptr, nullptr, sheet, nullptr, nullptr, nullptr, {}}); }

    static void frame(app& game, int key = 0) {
        game.step(key != 0 ? frameEvent::keyPress(key) : frameEvent{});
    }

    // Runs frames until the screen flow rests on a screen, with no transition under way.
    static void runTransition(app& game, int key = 0) {
        for (int i = 0; i < 400 && game.state.nextScreen != noTransition; ++i)
            frame(game, key);
    }
};

TEST_F(Screens, EachScreenDrawsItsOwnMapAtItsOffset) {
    screens all(sheet);
    // Screen s steps, then draws where the loop draws it.
    const auto stepAndDraw = [&](int s, int command) {
        const bool won = all.step(s, command);
        all.with(s, [this](auto& view, int x, int y) {
            view.draw(display, x, y);
            return false;
        });
        return won;
    };

    SDL_FillRect(display, nullptr, 0);
    stepAndDraw(titleScreen, disbandCommand);
    EXPECT_EQ(shownAt(10, 259), "background") << "the title draws nothing above y 260";
    EXPECT_EQ(shownAt(10, 260), "block") << "the title's top-left wall is drawn 260 pixels down";
    EXPECT_EQ(shownAt(310, 300), "background") << "the title is not shifted sideways: it ends at x 300";

    SDL_FillRect(display, nullptr, 0);
    stepAndDraw(level1Screen, noCommand);
    EXPECT_EQ(shownAt(10, 10), "block") << "level 1's top-left wall is drawn unshifted";
    EXPECT_EQ(shownAt(10, 410), "background")
        << "level 1's 20 rows leave the bottom 100 pixel rows to the background";

    SDL_FillRect(display, nullptr, 0);
    stepAndDraw(level2Screen, noCommand);
    EXPECT_EQ(shownAt(10, 10), "block") << "level 2's top-left wall is drawn unshifted";
    EXPECT_EQ(shownAt(790, 490), "bg")
        << "level 2's 40 x 25 window fills the display; cell (39, 24) is empty";

    SDL_FillRect(display, nullptr, 0);
    stepAndDraw(rageQuitScreen, noCommand);
    EXPECT_EQ(shownAt(10, 10), "bg") << "the rage-quit map's open top rows draw the floor tile";
    EXPECT_EQ(shownAt(10, 210), "block") << "the rage-quit boxes start at map row 10, y 200";

    SDL_FillRect(display, nullptr, 0);
    EXPECT_FALSE(stepAndDraw(quitScreen, noCommand)) << "screen -1 runs nothing and wins nothing";
    EXPECT_FALSE(stepAndDraw(5, noCommand)) << "an unknown screen runs nothing and wins nothing";
    EXPECT_EQ(shownAt(10, 10), "background") << "an unknown screen draws nothing";
}

TEST_F(Screens, OnlyTheCurrentScreenRuns) {
    app run = game();
    screens& all = run.all;
    flow& state = run.state;
    for (int i = 0; i < 30; ++i)
        frame(run);
    EXPECT_EQ(all.title.game.bots[0].label, '0') << "the title's robots were relabelled by its ticks";
    EXPECT_EQ(all.level1.game.bots[0].label, '\0') << "level 1 has not ticked while the title runs";
    EXPECT_EQ(all.level2.game.bots[0].label, '\0') << "level 2 has not ticked while the title runs";
    EXPECT_EQ(all.rageQuit.game.bots[0].label, '\0')
        << "the rage-quit screen has not ticked while the title runs";

    frame(run, keyReturn);
    runTransition(run);
    EXPECT_EQ(state.screen, level1Screen) << "Return on the title leads to level 1";
    EXPECT_EQ(all.level1.game.bots[0].label, '0') << "level 1 ticks under the opening curtain";
    EXPECT_EQ(all.level2.game.bots[0].label, '\0') << "level 2 still stands still";
}

TEST_F(Screens, WonLevel1LeadsToLevel2AndEscapeCannotRedirectIt) {
    app run = game();
    screens& all = run.all;
    flow& state = run.state;
    frame(run, keyReturn);
    runTransition(run);
    ASSERT_EQ(state.screen, level1Screen) << "Return on the title leads to level 1";

    // Standing in for a robot on the goal: the rules keep `won` once set.
    all.level1.game.won = 1;
    frame(run);
    EXPECT_EQ(state.nextScreen, level2Screen) << "a won level 1 heads for level 2";
    frame(run, keyEscape);
    EXPECT_EQ(state.nextScreen, level2Screen)
        << "Escape after the win does not redirect to the rage-quit screen";

    for (int i = 0; i < 400 && state.screen == level1Screen; ++i)
        frame(run, keyEscape);
    EXPECT_EQ(state.screen, level2Screen) << "the curtain closed onto level 2 though Escape came every frame";
    runTransition(run);
    EXPECT_EQ(state.screen, level2Screen) << "the curtain opens on level 2";
}

TEST_F(Screens, WonLevel2LeadsToTheRageQuitScreen) {
    app run = game();
    screens& all = run.all;
    flow& state = run.state;
    state.screen = level2Screen;
    all.level2.game.won = 1;
    frame(run);
    EXPECT_EQ(state.nextScreen, rageQuitScreen) << "a won level 2 heads for the rage-quit screen";
    runTransition(run);
    EXPECT_EQ(state.screen, rageQuitScreen) << "the curtain opens on the rage-quit screen";

    // Reached by the win it shows the won picture (the sheet here), and on a touch page the Quit button's
    // words over it, from the practice picture (one colour here).
    run.art.won = sheet;
    run.paintBackground(rageQuitScreen);
    EXPECT_EQ(shownAt(10, 10), "robot picture 0")
        << "the won picture lies under the screen reached by the win";
    SDL_Surface* words = SDL_CreateRGBSurface(SDL_SWSURFACE, practiceSheetWidth, practiceSheetHeight, 32,
                                              0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(words, nullptr, sheetColour(2, 1));
    run.art.practice = words;
    run.controls = controlsTouch;
    run.paintBackground(rageQuitScreen);
    EXPECT_EQ(shownAt(wonQuitTouch.x + 1, wonQuitTouch.y + 1), "sprBody")
        << "the touch words lie over the keys'";
    EXPECT_EQ(shownAt(10, 10), "robot picture 0") << "the touch words cover only the keys' words";
    SDL_FreeSurface(words);
}

}  // namespace
