// The main loop's frame and the start-up and shutdown around it, wiring SDL to the screen flow.
// Allocates nothing per frame; every handle it uses was made at start-up.
#include "app.h"

#include "platform.h"

static_assert(keyReturn == SDLK_RETURN && keyEscape == SDLK_ESCAPE && keySpace == SDLK_SPACE);
static_assert(formationKeys[0] == SDLK_q && formationKeys[8] == SDLK_c);

assets loadAssets() {
    assets loaded{};
    loaded.title = ouvrireImage<255, 128, 255>("./img/title.bmp");
    loaded.tooth = ouvrireImage<255, 128, 255>("./img/tooth.bmp");
    loaded.sheet = ouvrireImage<255, 128, 255>("./img/bot.bmp");
    loaded.loose = ouvrireImage<255, 128, 255>("./img/loose.bmp");
    commencerMixer();
    loaded.music[musicSlot(titleScreen)] = ouvrireMusique("./snd/goof.ogg");
    loaded.music[musicSlot(level1Screen)] = ouvrireMusique("./snd/robot_wars.ogg");
    loaded.music[musicSlot(level2Screen)] = ouvrireMusique("./snd/vexo.ogg");
    loaded.music[musicSlot(rageQuitScreen)] = ouvrireMusique("./snd/down.ogg");
    play(loaded.music[musicSlot(titleScreen)]);
    return loaded;
}

void app::frame() {
    synchronizeMoi<60>();
    // One event a frame; the rest wait in SDL's queue for the frames after.
    SDL_Event event;
    if (SDL_PollEvent(&event)) {
        if (event.type == SDL_KEYDOWN)
            state.key(event.key.keysym.sym);
        else if (event.type == SDL_QUIT)
            state.windowClosed();
    }
    if (all.frame(state.screen, display, state.command)) state.levelWon();
    const curtainMove move = state.endFrame();
    if (move != curtainMove::none) drawTeeth();
    if (move == curtainMove::opened) {
        stop();
        play(art.music[musicSlot(state.screen)]);
    }
    SDL_Flip(display);
    paintBackground();
}

void app::drawTeeth() {
    for (int i = 0; i < toothCount; ++i) {
        // SDL writes the clipped rectangle back, so each blit gets a fresh one.
        SDL_Rect top{static_cast<Sint16>(i * toothWidth), static_cast<Sint16>(topTeethY(state.curtain)), 0,
                     0};
        SDL_UpperBlit(art.tooth, nullptr, display, &top);
        SDL_Rect bottom{static_cast<Sint16>(i * toothWidth), static_cast<Sint16>(bottomTeethY(state.curtain)),
                        0, 0};
        SDL_UpperBlit(art.tooth, nullptr, display, &bottom);
    }
}

void app::paintBackground() {
    SDL_Rect corner{0, 0, 0, 0};
    if (state.screen == titleScreen)
        SDL_UpperBlit(art.title, nullptr, display, &corner);
    else if (state.screen == rageQuitScreen)
        SDL_UpperBlit(art.loose, nullptr, display, &corner);
    else
        SDL_FillRect(display, nullptr, SDL_MapRGB(display->format, 0, 0, 0));
}

void shutDown() {
    stop();
    Mix_CloseAudio();
    SDL_Quit();
}
