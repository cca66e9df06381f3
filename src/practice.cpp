// Practice mode's frame step: the levels rewind or step; then its signs, in the strip below the play. Nothing
// here allocates; the steps were made when practice mode was.
#include "practice.h"

#include <initializer_list>

practiceMode::practiceMode(const screens& all, SDL_Surface* picture)
    : picture(picture), level1(all.level1), level2(all.level2) {}

bool practiceMode::frame(screens& all, int s, int command, goBack back) {
    const winner by = replaying ? winner::replay : winner::player;
    if (s == level1Screen) {
        const bool won = level1.frame(all.level1, command, back);
        if (won && level1Won == winner::nobody) level1Won = by;
        return won;
    }
    if (s == level2Screen) {
        const bool won = level2.frame(all.level2, command, back);
        if (won && level2Won == winner::nobody) level2Won = by;
        return won;
    }
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
    seen.push = level.nextPush(game);
}
}  // namespace

signsPicture practiceMode::signs(const screens& all, int s, const timeControl& time) const {
    signsPicture seen;
    seen.marks = marks;
    seen.paused = time.paused, seen.slowness = time.slowness;
    seen.keysWaiting = time.paused ? time.count : 0;
    seen.hint = hint.sign, seen.pressed = hint.pressed;
    seen.level1 = level1Won, seen.level2 = level2Won;
    seen.map = time.map;
    if (s == level1Screen) levelSigns(level1, all.level1.game, seen);
    if (s == level2Screen) levelSigns(level2, all.level2.game, seen);
    return seen;
}

const char* practiceMode::news(int s) const {
    const bool watched = (s == level1Screen ? level1Won : level2Won) == winner::replay;
    if (s == level1Screen && level1Won != winner::nobody)
        return watched ? (solution ? "The solution won level 1" : "The replay won level 1")
                       : "Level 1 solved!";
    if (s != level2Screen || level2Won == winner::nobody) return nullptr;
    if (watched)
        return playersLevel ? "The replay won the level"
               : solution   ? "The solution won level 2"
                            : "The replay won level 2";
    return playersLevel ? "Your level solved!" : "Level 2 solved!";
}

const char* practiceMode::endMessage() const {
    if (level2Won == winner::nobody) return nullptr;
    if (level2Won == winner::replay) {
        if (playersLevel) return "The replay played: the level solved.";
        if (level1Won != winner::nobody)
            return solution ? "The solution played: both levels solved."
                            : "The replay played: both levels solved.";
        return solution ? "The solution played: level 2 solved." : "The replay played: level 2 solved.";
    }
    if (playersLevel) return "Your level solved, in practice mode.";
    if (level1Won == winner::player) return "Both levels solved, in practice mode.";
    return "Level 2 solved, in practice mode.";
}

void practiceMode::makeMap(const screens& all) {
    halfMap = halfSize(all.level2.layer);
    halfSheet = halfSize(all.level2.sheet);
}

void practiceMode::releaseMap() {
    SDL_FreeSurface(halfMap);
    SDL_FreeSurface(halfSheet);
    halfMap = halfSheet = nullptr;
}

bool practiceMode::mapShown(const screens& all, int s, const timeControl& time) const {
    const auto& view = all.level2;
    return time.map && s == level2Screen && (view.mapW > view.viewW || view.mapH > view.viewH);
}

void practiceMode::drawMap(const screens& all, SDL_Surface* display) const {
    const auto& view = all.level2;
    constexpr int half = cellPixels / 2;
    SDL_Rect whole{0, 0, static_cast<Uint16>(view.mapW * half), static_cast<Uint16>(view.mapH * half)};
    SDL_Rect corner{0, 0, 0, 0};
    blit(halfMap, &whole, display, &corner);
    for (int i = 0; i < view.game.botCount; ++i) {
        const SDL_Rect face = robotPicture(view.game, i);
        SDL_Rect from{static_cast<Sint16>(face.x / 2), static_cast<Sint16>(face.y / 2), half, half};
        SDL_Rect to{static_cast<Sint16>((view.spritePos[i].x + view.scrollX) / 2),
                    static_cast<Sint16>((view.spritePos[i].y + view.scrollY) / 2), 0, 0};
        blit(halfSheet, &from, display, &to);
    }
}

void practiceMode::drawSigns(screens& all, int s, SDL_Surface* display, const timeControl& time) const {
    if (s == level1Screen) level1.drawGoalArrow(all.level1, 0, 0, display, picture);
    if (s == level2Screen && !mapShown(all, s, time))
        level2.drawGoalArrow(all.level2, all.level2X, all.level2Y, display, picture);
    if (!hasStrip(display)) return;
    SDL_Rect strip{0, static_cast<Sint16>(stripTop), static_cast<Uint16>(windowWidth),
                   static_cast<Uint16>(stripHeight)};
    SDL_SetClipRect(display, &strip);
    fillBox(display, 0, stripTop, windowWidth, stripHeight, signGround);
    if (time.map) {
        const int x = drawText(picture, headingInk, "MAP", display, timePlace.left(), timePlace.top()) + 10;
        drawText(picture, textInk, "back to play", display,
                 drawKey(picture, "m", display, x, timePlace.top()), timePlace.top());
    } else if (time.paused) {
        const int x =
            drawText(picture, headingInk, "PAUSED", display, timePlace.left(), timePlace.top()) + 10;
        drawText(picture, textInk, "steps", display, drawKey(picture, "n", display, x, timePlace.top()),
                 timePlace.top());
        drawText(picture, textInk, "plays", display,
                 drawKey(picture, "p", display, x + 10 * glyphW, timePlace.top()), timePlace.top());
        // Keys pressed while paused, and the speed chosen, answer here at once, though they act later.
        if (news(s) == nullptr) drawPausedWaits(time, display);
    } else if (time.slowed()) {
        drawText(picture, headingInk, "SLOW", display, timePlace.left(), timePlace.top());
        drawText(picture, textInk, time.slowness == 2 ? "1/2 speed" : "1/4 speed", display,
                 timePlace.left() + 5 * glyphW, timePlace.top());
    }
    if (const char* said = news(s))
        drawText(picture, headingInk, said, display, newsPlace.left(), newsPlace.top());
    if (s == level1Screen || s == level2Screen) drawHint(display);
    if (s == level1Screen) level1.drawSigns(all.level1.game, display, picture);
    if (s == level2Screen) level2.drawSigns(all.level2.game, display, picture);
    if (marks) drawMark(s, display);
    if (const char* said = endMessage(); said != nullptr && s == rageQuitScreen) {
        // The player's own win in large letters; a win watched only says what was played.
        const bool own = level2Won == winner::player;
        if (own) drawPart(picture, wonBanner, display, 0, stripTop + glyphH);
        const int chars = static_cast<int>(std::strlen(said));
        const int x = own ? endPlace.left() : (windowWidth - chars * glyphW) / 2;
        drawText(picture, headingInk, said, display, x, endPlace.top() - glyphH / 2, endPlace.chars);
    }
    SDL_SetClipRect(display, nullptr);
}

void practiceMode::drawPausedWaits(const timeControl& time, SDL_Surface* display) const {
    const char* speed = time.slowness == 2 ? "1/2 speed" : "1/4 speed";
    char line[32] = "";
    if (time.count > 0 && time.slowed())
        std::snprintf(line, sizeof line, "%d key%s wait; %s", time.count, time.count == 1 ? "" : "s", speed);
    else if (time.count > 0)
        std::snprintf(line, sizeof line, "%d key%s for a step", time.count,
                      time.count == 1 ? " waits" : "s wait");
    else if (time.slowed())
        std::snprintf(line, sizeof line, "slowed to %s", speed);
    drawText(picture, textInk, line, display, newsPlace.left(), newsPlace.top(), newsPlace.chars);
}

void practiceMode::drawHint(SDL_Surface* display) const {
    const int y = hintPlace.top();
    if (hint.sign == hintSign::none) return;
    const int x = drawText(picture, headingInk, "HINT", display, hintPlace.left(), y) + glyphW;
    switch (hint.sign) {
        case hintSign::thinking:
            drawText(picture, textInk, "thinking...", display, x, y);
            break;
        case hintSign::noPlan:
            drawText(picture, textInk, "no plan found in its search", display, x, y);
            break;
        case hintSign::noWay: {
            int at = drawText(picture, textInk, "can't be won from here:", display, x, y) + glyphW;
            at = drawText(picture, textInk, "or", display, drawKey(picture, "Backspace", display, at, y), y);
            drawText(picture, textInk, "go back", display, drawKey(picture, "r", display, at + glyphW, y), y);
            break;
        }
        case hintSign::pressing:
            drawKey(picture, keyName(hint.pressed), display,
                    drawText(picture, textInk, "presses", display, x, y) + glyphW, y);
            break;
        case hintSign::none:
            break;
    }
}

void practiceMode::drawMark(int s, SDL_Surface* display) const {
    struct keyDoes {
        const char* key;
        const char* does;
    };
    const auto line = [&](int x, int y, std::initializer_list<keyDoes> keys) {
        for (const keyDoes& k : keys)
            x = drawText(picture, textInk, k.does, display, drawKey(picture, k.key, display, x, y), y) +
                glyphW;
    };
    if (s == rageQuitScreen) return;
    const int y = markPlace.top(),
              x = drawText(picture, headingInk, "PRACTICE", display, markPlace.left(), y);
    if (s == titleScreen) {
        if (playersLevel)
            line(x + glyphW, y, {{"Return", "starts the level"}});
        else
            line(x + glyphW, y, {{"Return", "starts level 1"}, {"2", "starts level 2"}});
    } else if (s == level1Screen || s == level2Screen) {
        line(x + glyphW, y, {{"Backspace", "undo"}, {"r", "restart"}, {"p", "pause"}});
        line(x + glyphW, y + glyphH,
             {{"n", "step"}, {"t", "slow"}, {"h", "hint"}, {"m", "map"}, {"Escape", "give up"}});
    }
}

const searchAnswer& practiceMode::solve(screens& all, int s) {
    return s == level1Screen ? level1.solve(all.level1) : level2.solve(all.level2);
}
