// Practice mode's frame step: the levels rewind or step, then the marks go over every screen. Nothing here
// allocates; the steps were made when practice mode was.
#include "practice.h"

practiceMode::practiceMode(const screens& all, SDL_Surface* picture)
    : picture(picture), level1(all.level1), level2(all.level2) {}

bool practiceMode::frame(screens& all, int s, int command, goBack back) {
    if (s == level1Screen) return level1.frame(all.level1, command, back);
    if (s == level2Screen) return level2.frame(all.level2, command, back);
    return all.step(s, command);
}

namespace {
template <int W, int H>
void levelSigns(const practiceLevel<W, H>& level, const spiele<W, H>& game, signsPicture& seen) {
    seen.waitingPose = level.waitingPose;
    seen.steps = level.count;
    seen.samePose = level.sameFrames > 0 ? level.samePose : -1;
    seen.members = game.transbot.size();
    seen.currentShape = game.currentShape;
}
}  // namespace

signsPicture practiceMode::signs(const screens& all, int s, const timeControl& time) const {
    signsPicture seen;
    seen.marks = marks, seen.underTeeth = underTeeth, seen.won = all.level2.end();
    seen.paused = time.paused, seen.slowness = time.slowness;
    seen.hint = hint.sign, seen.pressed = hint.pressed;
    if (s == level1Screen) levelSigns(level1, all.level1.game, seen);
    if (s == level2Screen) levelSigns(level2, all.level2.game, seen);
    return seen;
}

void practiceMode::drawSigns(screens& all, int s, SDL_Surface* display, const timeControl& time) const {
    signPlaces places;
    if (s == rageQuitScreen && all.level2.end()) {
        // Reached by winning, not by giving up: the banner says so, and that it was in practice mode.
        const picturePart banner = playersLevel ? levelWonBanner : wonBanner;
        const int x = (windowWidth - banner.w) / 2;
        drawPart(picture, banner, display, x, 0);
        places.hold(x, 0, banner.w, banner.h);
    }
    if (s == titleScreen && marks) {
        // Over the top wall of the stage the giant stands on.
        drawPart(picture, titleMark, display, 0, titleOffsetY);
        places.hold(0, titleOffsetY, titleMark.w, titleMark.h);
    }
    all.with(s, [&](auto& view, int offsetX, int offsetY) {
        if ((time.paused || time.slowed()) && !underTeeth) {
            const picturePart sign = time.paused ? pausedSign : slowSign(time.slowness);
            if (const SDL_Rect* at = places.place(view, offsetX, offsetY, timeDock))
                drawPart(picture, sign, display, at->x, at->y);
        }
        return false;
    });
    if (hint.sign != hintSign::none && (s == level1Screen || s == level2Screen))
        all.with(s, [&](auto& view, int offsetX, int offsetY) {
            if (const SDL_Rect* at = places.place(view, offsetX, offsetY, hintDock))
                drawHintSign(display, *at);
            return false;
        });
    if (s == level1Screen) level1.drawSigns(all.level1, 0, 0, display, picture, places);
    if (s == level2Screen) level2.drawSigns(all.level2, all.level2X, all.level2Y, display, picture, places);
    // The levels' mark goes last, so that it gives way to the signs of play.
    if (marks && (s == level1Screen || s == level2Screen))
        all.with(s, [&](auto& view, int offsetX, int offsetY) {
            if (const SDL_Rect* at = places.place(view, offsetX, offsetY, markDock))
                drawPart(picture, levelMark, display, at->x, at->y);
            return false;
        });
}

void practiceMode::drawHintSign(SDL_Surface* display, const SDL_Rect& at) const {
    switch (hint.sign) {
        case hintSign::thinking:
            drawPart(picture, hintThinking, display, at.x, at.y);
            break;
        case hintSign::noPlan:
            drawPart(picture, hintNoPlan, display, at.x, at.y);
            break;
        case hintSign::noWay:
            drawPart(picture, hintNoWay, display, at.x, at.y);
            break;
        case hintSign::pressing:
            drawPart(picture, hintPressing, display, at.x, at.y);
            if (hint.pressed == keySpace)
                drawPart(picture, spaceKeycap, display, at.x + hintPressing.w, at.y);
            for (int k = 0; k < 9; ++k)
                if (hint.pressed == formationKeys[k])
                    drawPart(picture, poseKeycap(k), display, at.x + hintPressing.w, at.y);
            break;
        case hintSign::none:
            break;
    }
}

const searchAnswer& practiceMode::solve(screens& all, int s) {
    return s == level1Screen ? level1.solve(all.level1) : level2.solve(all.level2);
}

void practiceMode::drawTimeOverTeeth(SDL_Surface* display, const timeControl& time) const {
    if (!time.paused && !time.slowed()) return;
    const picturePart sign = time.paused ? pausedSign : slowSign(time.slowness);
    drawPart(picture, sign, display, (windowWidth - sign.w) / 2, (windowHeight - sign.h) / 2);
}
