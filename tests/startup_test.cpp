// The whole start-up and the main loop's frame, in-process and headless (dummy drivers): what a run with no
// assets writes, events taken one a frame, where the backgrounds and the teeth land on the display, and the
// order of the end of a run.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "app/app.h"
#include "app/seam.h"
#include "files/pack.h"
#include "headless.h"
#include "sdl/platform.h"

namespace {

// A picture of one colour, saved where the game looks for it.
void writePicture(const char* path, int w, int h, Uint8 r, Uint8 g, Uint8 b) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, r, g, b));
    SDL_SaveBMP(s, path);
    SDL_FreeSurface(s);
}

void pushKey(SDLKey sym) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = sym;
    SDL_PushEvent(&event);
}

using StartUp = HeadlessInScratch;

}  // namespace

TEST_F(StartUp, WithEveryAssetMissingItWritesNineLinesAndStillRuns) {
    testing::internal::CaptureStdout();
    SDL_Surface* display = commencer<windowWidth, windowHeight>("Brakko");
    const assets loaded = loadAssets();
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_NE(display, nullptr) << "the dummy driver should give a display surface";
    EXPECT_EQ(out,
              "porbl\xE8me avec le fichier ./img/title.bmp\n"
              "porbl\xE8me avec le fichier ./img/tooth.bmp\n"
              "porbl\xE8me avec le fichier ./img/bot.bmp\n"
              "porbl\xE8me avec le fichier ./img/loose.bmp\n"
              "porbl\xE8me avec le fichier ./img/won.bmp\n"
              "probleme avec le fichier musical [./snd/goof.ogg]\n"
              "probleme avec le fichier musical [./snd/robot_wars.ogg]\n"
              "probleme avec le fichier musical [./snd/vexo.ogg]\n"
              "probleme avec le fichier musical [./snd/down.ogg]\n")
        << "a run with no assets should name each missing file once, pictures first, in loading order";

    app game(display, loaded);
    for (int n = 1; n <= 5; ++n) {
        game.frame();
        ASSERT_TRUE(game.state.running()) << "frame " << n << " of the title should not end the run";
    }
    pushKey(SDLK_RETURN);
    for (int n = 1; n <= 107; ++n)
        game.frame();
    EXPECT_EQ(game.state.screen, level1Screen) << "107 frames after Return the game should show level 1";
    EXPECT_EQ(game.state.nextScreen, noTransition) << "107 frames after Return the curtain should be open";

    SDL_Event closed{};
    closed.type = SDL_QUIT;
    SDL_PushEvent(&closed);
    game.frame();
    EXPECT_FALSE(game.state.running()) << "closing the window should end the run after that frame";
}

TEST_F(StartUp, OneKeyIsTakenEachFrameAndNothingElseTakesAFrame) {
    SDL_Surface* display = commencer<windowWidth, windowHeight>("Brakko");
    ASSERT_NE(display, nullptr);
    app game(display, loadAssets());
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    for (int i = 0; i < 3; ++i)
        SDL_PushEvent(&motion);
    pushKey(SDLK_F1);
    SDL_PushEvent(&motion);
    pushKey(SDLK_RETURN);
    game.frame();
    EXPECT_EQ(game.state.nextScreen, noTransition) << "frame 1 should take F1, passing over the motions";
    game.frame();
    EXPECT_EQ(game.state.nextScreen, level1Screen) << "frame 2 should take the Return queued behind F1";
}

TEST_F(StartUp, BackgroundsAndTeethLandWhereTheyBelong) {
    ASSERT_EQ(mkdir("img", 0755), 0);
    SDL_Surface* display = commencer<windowWidth, windowHeight>("Brakko");
    ASSERT_NE(display, nullptr);
    writePicture("img/title.bmp", 800, 500, 0, 160, 0);
    writePicture("img/tooth.bmp", 100, 250, 200, 0, 0);
    writePicture("img/loose.bmp", 800, 500, 0, 0, 160);
    app game(display, loadAssets());

    game.unpacedFrame();
    EXPECT_EQ(pixelAt(display, 400, 250).g, 0)
        << "the first frame should show the display as the window opened";
    game.unpacedFrame();
    EXPECT_EQ(pixelAt(display, 400, 250).g, 160) << "the second title frame should lie on the title picture";

    game.drawTeeth(100);
    EXPECT_EQ(pixelAt(display, 799, 99).r, 200) << "at curtain 100 the top teeth should reach row 99";
    EXPECT_EQ(pixelAt(display, 0, 100).g, 160) << "at curtain 100 row 100 should still show the title";
    EXPECT_EQ(pixelAt(display, 0, 399).g, 160) << "at curtain 100 row 399 should still show the title";
    EXPECT_EQ(pixelAt(display, 799, 400).r, 200) << "at curtain 100 the bottom teeth should start at row 400";

    game.drawTeeth(curtainClosed);
    for (int y : {0, 249, 250, 499})
        EXPECT_EQ(pixelAt(display, 450, y).r, 200) << "a closed curtain should cover row " << y;

    game.paintBackground(rageQuitScreen);
    EXPECT_EQ(pixelAt(display, 400, 250).b, 160) << "the rage-quit screen should get the loose picture";
    game.paintBackground(level1Screen);
    const SDL_Color black = pixelAt(display, 400, 250);
    EXPECT_EQ(black.r + black.g + black.b, 0) << "a level should get a black background";
}

TEST_F(StartUp, TheEndOfARunFreesTheViewsLayersBeforeSDLCloses) {
    ASSERT_EQ(mkdir("img", 0755), 0);
    SDL_Surface* display = commencer<windowWidth, windowHeight>("Brakko");
    ASSERT_NE(display, nullptr);
    writePicture("img/bot.bmp", 160, 160, 0, 0, 200);
    app game(display, loadAssets());
    ASSERT_NE(game.all.level2.layer, nullptr) << "with a sprite sheet every view should draw its map's layer";
    game.frame();
    game.shutDown();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "the end of the run should close SDL";
    int left = 0;
    for (SDL_Surface* layer :
         {game.all.title.layer, game.all.level1.layer, game.all.level2.layer, game.all.rageQuit.layer})
        left += layer != nullptr;
    EXPECT_EQ(left, 0)
        << "no view should keep a layer past SDL_Quit, which takes the display it was readied for";
}

// A pack's run through the seam a platform knows it by: what the page is told of the pack and the control in
// use, a rest in which a frame changes nothing told, and the levels counted as won at par (the fewest moves
// at par or below).
TEST_F(StartUp, APacksRunTellsThePageItsLevelAndComesToRest) {
    SDL_Surface* display = commencer<windowWidth, windowHeight>("Brakko");
    ASSERT_NE(display, nullptr);
    static levelPack pack;
    char line[600] = "";
    ASSERT_TRUE(readPack((std::string(BRAKKO_SOURCE_DIR) + "/levels").c_str(), pack, line, sizeof line))
        << line;
    int solved[maxPackLevels] = {pack.par[0], pack.par[1] + 1};
    app game(display, loadAssets(), false, &pack.levels[0]);
    game.playPack(pack, solved);
    useControls(game, controlsTouch);
    for (int frame = 0; frame < 2000 && !atRest(game); ++frame)
        unpacedFrame(game);
    ASSERT_TRUE(atRest(game)) << "the title should come to rest";
    gameNews news, after;
    readNews(game, news);
    unpacedFrame(game);
    readNews(game, after);
    EXPECT_TRUE(after == news) << "a frame at rest should change nothing the page is told";
    EXPECT_TRUE(news.pack && news.packLevel == 2 && news.packLevels == pack.count &&
                news.par == pack.par[2] && news.fewest == 0 && news.controls == controlsTouch)
        << "the pack should go on at its first level not won, named with the touch controls";
    EXPECT_EQ(game.wonAtPar(), 1) << "a level won in its par counts, one won in more does not";
}
