// Practice mode's frame step: the levels rewind or step; then its signs, in the strip below the play. Nothing
// here allocates; the steps were made when practice mode was.
#include "view/practice.h"

#include <initializer_list>

practiceMode::practiceMode(const screens& all, SDL_Surface* picture, bool playersLevel)
    : picture(picture), level1(all.level1), playersLevel(playersLevel) {
    if (playersLevel)
        own.emplace(all.own);
    else
        level2.emplace(all.level2);
}

bool practiceMode::frame(screens& all, int s, int command, goBack back) {
    const winner by = replaying ? winner::replay : winner::player;
    const auto play = [&](auto& level, auto& view, winner& won) {
        const bool ended = level.frame(view, command, back);
        if (ended && won == winner::nobody) won = by;
        return ended;
    };
    if (s == level1Screen) return play(level1, all.level1, level1Won);
    if (s == level2Screen && level2) return play(*level2, all.level2, level2Won);
    if (s == ownLevelScreen && own) return play(*own, all.own, ownWon);
    return all.step(s, command);
}

void practiceMode::levelLoaded(const screens& all) {
    if (!own) return;
    own->restartWith(all.own);
    ownWon = winner::nobody;
    hintsTaken = 0;
    halve(all.own.layer, halfMap);
}

namespace {
template <int W, int H>
void levelSigns(const practiceLevel<W, H>& level, const spiele<W, H>& game, signsPicture& seen) {
    seen.waitingPose = level.waitingPose;
    seen.steps = level.count;
    seen.samePose = level.sameFrames > 0 ? level.samePose : -1;
    seen.members = game.transbot.size();
    seen.memberCells = memberCells(game);
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
    seen.level1 = level1Won, seen.level2 = level2Won, seen.own = ownWon;
    seen.map = time.map;
    if (s == level1Screen) levelSigns(level1, all.level1.game, seen);
    if (s == level2Screen && level2) levelSigns(*level2, all.level2.game, seen);
    if (s == ownLevelScreen && own) levelSigns(*own, all.own.game, seen);
    return seen;
}

const char* practiceMode::news(int s) const {
    if (s == level1Screen && level1Won != winner::nobody) {
        if (level1Won == winner::player) return "Level 1 solved!";
        return solution ? "The solution won level 1" : "The replay won level 1";
    }
    if (s == level2Screen && level2Won != winner::nobody) {
        if (level2Won == winner::player) return "Level 2 solved!";
        return solution ? "The solution won level 2" : "The replay won level 2";
    }
    if (s == ownLevelScreen && ownWon != winner::nobody)
        return ownWon == winner::player ? "Level solved!" : "The replay won the level";
    return nullptr;
}

const char* practiceMode::endMessage() const {
    if (playersLevel) {
        if (ownWon == winner::nobody) return nullptr;
        return ownWon == winner::replay ? "The replay played: the level solved."
                                        : "Your level solved, in practice mode.";
    }
    if (level2Won == winner::nobody) return nullptr;
    if (level2Won == winner::replay) {
        if (level1Won != winner::nobody)
            return solution ? "The solution played: both levels solved."
                            : "The replay played: both levels solved.";
        return solution ? "The solution played: level 2 solved." : "The replay played: level 2 solved.";
    }
    if (level1Won == winner::player) return "Both levels solved, in practice mode.";
    return "Level 2 solved, in practice mode.";
}

void practiceMode::makeMap(const screens& all) {
    halfMap = halfSize(large(all).layer);
    halfSheet = halfSize(large(all).sheet);
}

void practiceMode::releaseMap() {
    SDL_FreeSurface(halfMap);
    SDL_FreeSurface(halfSheet);
    halfMap = halfSheet = nullptr;
}

bool practiceMode::mapShown(const screens& all, int s, const timeControl& time) const {
    const auto& view = large(all);
    const bool onIt = s == (playersLevel ? ownLevelScreen : level2Screen);
    return time.map && onIt && (view.mapW > view.viewW || view.mapH > view.viewH);
}

void practiceMode::drawMap(const screens& all, SDL_Surface* display) const {
    const auto& view = large(all);
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
    if (s == level2Screen && level2 && !mapShown(all, s, time))
        level2->drawGoalArrow(all.level2, 0, 0, display, picture);
    if (s == ownLevelScreen && own && !mapShown(all, s, time))
        own->drawGoalArrow(all.own, all.ownX, all.ownY, display, picture);
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
    if (isLevel(s)) drawHint(display);
    if (s == level1Screen) level1.drawSigns(all.level1.game, display, picture);
    if (s == level2Screen && level2) level2->drawSigns(all.level2.game, display, picture);
    if (s == ownLevelScreen && own) own->drawSigns(all.own.game, display, picture);
    if (marks) drawMark(s, display);
    if (const char* said = endMessage(); said != nullptr && s == rageQuitScreen) {
        // The player's own win in large letters; a win watched only says what was played.
        const bool own = (playersLevel ? ownWon : level2Won) == winner::player;
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
    // The rage-quit screen has no keys to learn, and a pack's screens name their own.
    if (s == rageQuitScreen || s == solvedScreen || s == packSolvedScreen) return;
    const int y = markPlace.top(),
              x = drawText(picture, headingInk, "PRACTICE", display, markPlace.left(), y);
    if (s == titleScreen) {
        if (playersLevel)
            line(x + glyphW, y, {{"Return", "starts the level"}});
        else
            line(x + glyphW, y, {{"Return", "starts level 1"}, {"2", "starts level 2"}});
    } else if (isLevel(s)) {
        line(x + glyphW, y, {{"Backspace", "undo"}, {"r", "restart"}, {"p", "pause"}});
        line(x + glyphW, y + glyphH,
             {{"n", "step"}, {"t", "slow"}, {"h", "hint"}, {"m", "map"}, {"Escape", "give up"}});
    }
}

const searchAnswer& practiceMode::solve(screens& all, int s) {
    if (s == ownLevelScreen && own) return own->solve(all.own);
    if (s == level2Screen && level2) return level2->solve(all.level2);
    return level1.solve(all.level1);
}
