// The screens' views and their frame steps: which map, formations, view size and draw offset each screen has.
// Only the current screen runs; the others keep their games frozen until they are shown again.
#include "screens.h"

#include "flow.h"
#include "shape.h"

namespace {
// The title figure stands in the lower half of the title picture; its wall row below lands off the window.
constexpr int titleOffsetY = 260;
// Level 2 is seen through a display-sized window that follows the transbot.
constexpr int level2ViewW = 40;
constexpr int level2ViewH = 25;
}  // namespace

screens::screens(SDL_Surface* sheet)
    : title(titleLVL, thoseShape0, sheet, titleW, titleH),
      level1(level1T, thoseShape1, sheet, level1W, level1H),
      level2(level2T, thoseShape1, sheet, level2ViewW, level2ViewH),
      rageQuit(ragequitT, thoseShape1, sheet, ragequitW, ragequitH) {}

bool screens::frame(int s, SDL_Surface* display, int command) {
    switch (s) {
        case titleScreen:
            return updateGame(display, title, command, 0, titleOffsetY);
        case level1Screen:
            return updateGame(display, level1, command, 0, 0);
        case level2Screen:
            return updateGame(display, level2, command, 0, 0);
        case rageQuitScreen:
            return updateGame(display, rageQuit, command, 0, 0);
        default:
            return false;
    }
}
