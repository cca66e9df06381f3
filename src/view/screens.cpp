// The screens' views and their frame steps: which map, formations and view size each screen has.
// Only the current screen runs; the others keep their games frozen until they are shown again.
#include "view/screens.h"

#include <algorithm>

#include "rules/shape.h"

namespace {
// Level 2 is seen through a display-sized window that follows the transbot.
constexpr int level2ViewW = 40;
constexpr int level2ViewH = 25;
}  // namespace

screens::screens(SDL_Surface* sheet, const customLevel* level)
    : title(titleLVL, thoseShape0, sheet, titleW, titleH),
      level1(level1T, thoseShape1, sheet, level1W, level1H),
      level2(level2T, thoseShape1, level != nullptr ? nullptr : sheet, level2ViewW, level2ViewH),
      rageQuit(ragequitT, thoseShape1, sheet, ragequitW, ragequitH),
      own(level != nullptr ? level->map : level2T, thoseShape1, level != nullptr ? sheet : nullptr,
          level2ViewW, level2ViewH) {
    static_assert(customW == level2W && customH == level2H,
                  "a player's level is as large as level 2 at most");
    if (level != nullptr) load(*level);
}

void screens::load(const customLevel& level) {
    own.load(level.map, thoseShape1, level.width, level.height, std::min(level.width, level2ViewW),
             std::min(level.height, level2ViewH));
    ownX = (windowWidth - own.viewW * cellPixels) / 2;
    ownY = (windowHeight - own.viewH * cellPixels) / 2;
}

void screens::releaseLayers() {
    title.releaseLayer();
    level1.releaseLayer();
    level2.releaseLayer();
    rageQuit.releaseLayer();
    own.releaseLayer();
}
