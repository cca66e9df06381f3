// The screens' views and their frame steps: which map, formations and view size each screen has.
// Only the current screen runs; the others keep their games frozen until they are shown again.
#include "screens.h"

#include "shape.h"

namespace {
// Level 2 is seen through a display-sized window that follows the transbot.
constexpr int level2ViewW = 40;
constexpr int level2ViewH = 25;
}  // namespace

screens::screens(SDL_Surface* sheet)
    : title(titleLVL, thoseShape0, sheet, titleW, titleH),
      level1(level1T, thoseShape1, sheet, level1W, level1H),
      level2(level2T, thoseShape1, sheet, level2ViewW, level2ViewH),
      rageQuit(ragequitT, thoseShape1, sheet, ragequitW, ragequitH) {}

void screens::releaseLayers() {
    title.releaseLayer();
    level1.releaseLayer();
    level2.releaseLayer();
    rageQuit.releaseLayer();
}

bool screens::frame(int s, SDL_Surface* display, int command) {
    return with(s, [&](auto& view, int offsetX, int offsetY) {
        return updateGame(display, view, command, offsetX, offsetY);
    });
}
