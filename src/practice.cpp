// Practice mode's frame step: the levels rewind or step, then the marks go over every screen. Nothing here
// allocates; the steps were made when practice mode was.
#include "practice.h"

namespace {

// Where the mark that says practice mode is on stands: on the title, over the top wall of the stage the
// giant stands on; elsewhere in the top-right corner, clear of the waiting sign in the other.
SDL_Rect markPlace(int s) {
    if (s == titleScreen) return {0, static_cast<Sint16>(titleOffsetY), 0, 0};
    return {static_cast<Sint16>(windowWidth - levelMark.w), 0, 0, 0};
}

}  // namespace

practiceMode::practiceMode(const screens& all, SDL_Surface* picture)
    : picture(picture), level1(all.level1), level2(all.level2) {}

bool practiceMode::frame(screens& all, int s, SDL_Surface* display, int command, goBack back) {
    bool won = false;
    if (s == level1Screen) {
        won = level1.frame(all.level1, display, command, back);
        level1.drawMarks(all.level1, display, picture);
    } else if (s == level2Screen) {
        won = level2.frame(all.level2, display, command, back);
        level2.drawMarks(all.level2, display, picture);
    } else {
        won = all.frame(s, display, command);
    }
    if (s == rageQuitScreen && all.level2.end()) {
        // Reached by winning, not by giving up: the banner says so, and that it was in practice mode.
        drawPart(picture, wonBanner, display, (windowWidth - wonBanner.w) / 2, 0);
    } else if (s == titleScreen || s == level1Screen || s == level2Screen || s == rageQuitScreen) {
        const SDL_Rect place = markPlace(s);
        drawPart(picture, s == titleScreen ? titleMark : levelMark, display, place.x, place.y);
    }
    return won;
}
