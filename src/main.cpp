// Brakko: opens the window, loads the pictures and musics, and runs the main loop until the player quits.
// Only wiring: the loop's frame is in app.cpp, its decisions in flow.cpp.
#include "app.h"
#include "platform.h"

int main() {
    SDL_Surface* display = commencer<windowWidth, windowHeight>("Brakko");
    if (display == nullptr) {
        // Without a window there is nothing to draw into; leave rather than run blind.
        Mix_CloseAudio();
        SDL_Quit();
        return 1;
    }
    app game(display, loadAssets());
    while (game.state.running())
        game.frame();
    shutDown();
    return 0;
}
