// The main loop's frame and the start-up and shutdown around it, wiring SDL to the screen flow.
// Allocates nothing per frame; every handle it uses was made at start-up.
#include "app/app.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "sdl/platform.h"
#include "view/sheet.h"

static_assert(keyReturn == SDLK_RETURN && keyEscape == SDLK_ESCAPE && keySpace == SDLK_SPACE);
static_assert(formationKeys[0] == SDLK_q && formationKeys[8] == SDLK_c);
static_assert(keyBackspace == SDLK_BACKSPACE && keyRestart == SDLK_r);

assets loadAssets(bool practice, bool playersLevel) {
    assets loaded{};
    loaded.title = ouvrireImage<keyRed, keyGreen, keyBlue>("./img/title.bmp");
    loaded.tooth = ouvrireImage<keyRed, keyGreen, keyBlue>("./img/tooth.bmp");
    loaded.sheet = ouvrireImage<keyRed, keyGreen, keyBlue>("./img/bot.bmp");
    loaded.loose = ouvrireImage<keyRed, keyGreen, keyBlue>("./img/loose.bmp");
    if (!playersLevel) loaded.won = ouvrireImage<keyRed, keyGreen, keyBlue>("./img/won.bmp");
    if (practice || playersLevel || touchPadAround())
        loaded.practice = ouvrireImage<keyRed, keyGreen, keyBlue>("./img/practice.bmp");
    commencerMixer();
    loaded.music[musicSlot(titleScreen)] = ouvrireMusique("./snd/goof.ogg");
    loaded.music[musicSlot(level1Screen)] = ouvrireMusique("./snd/robot_wars.ogg");
    if (!playersLevel) loaded.music[musicSlot(level2Screen)] = ouvrireMusique("./snd/vexo.ogg");
    loaded.music[musicSlot(rageQuitScreen)] = ouvrireMusique("./snd/down.ogg");
    play(loaded.music[musicSlot(titleScreen)]);
    return loaded;
}

app::app(SDL_Surface* display, const assets& loaded, bool practiceMode, const customLevel* level)
    : display(display), art(loaded), all(loaded.sheet, level) {
    if (level != nullptr) {
        levels = level;
        state.firstLevel = ownLevelScreen;
        state.levels = 1;
    }
    // The sheet is not encoded: robots are small, and it is read whole by the views' layers.
    for (SDL_Surface* picture : {art.title, art.tooth, art.loose, art.won, all.title.layer, all.level1.layer,
                                 all.level2.layer, all.rageQuit.layer, all.own.layer})
        if (picture != nullptr) readyForDisplay(picture, display);
    readyForBlits(art.sheet, display);
    if (art.practice != nullptr) readyForBlits(art.practice, display);
    // Robots sharing a cell are counted on it where the player asked for more than the game as it was, and
    // on a page, whose players saw a group drawn short.
    if (practiceMode || level != nullptr || touchPadAround())
        all.level1.countShared = all.level2.countShared = all.own.countShared = true;
    if (practiceMode) {
        practice.emplace(all, art.practice, level != nullptr);
        practice->makeMap(all);
        readyForDisplay(practice->halfMap, display);
        readyForBlits(practice->halfSheet, display);
        state.practice = true;
        input.practice = true;
    }
    // Shown once now, as it is (nothing is drawn yet): a library that sets up its presenting at the first
    // flip (sdl12-compat does, allocating) does so at start-up, not in the first frame.
    SDL_Flip(display);
}

namespace {
// A level's title as the lettering writes it: its own name, or its place in the pack when it has none.
void levelName(const customLevel& level, int index, char* out, std::size_t size) {
    if (level.title[0] != '\0')
        std::snprintf(out, size, "%s", level.title);
    else
        std::snprintf(out, size, "level %d", index + 1);
}

// `text` centred on the play area's width at height y.
void drawCentred(SDL_Surface* picture, glyphInk ink, const char* text, SDL_Surface* display, int y) {
    const int chars = std::min(static_cast<int>(std::strlen(text)), windowWidth / glyphW);
    drawText(picture, ink, text, display, (windowWidth - chars * glyphW) / 2, y);
}

// Keys and what they do, in one line centred at height y.
struct keyDoes {
    const char* key;
    const char* does;
};
void drawKeysCentred(SDL_Surface* picture, std::initializer_list<keyDoes> keys, SDL_Surface* display, int y) {
    int width = 0;
    for (const keyDoes& k : keys)
        width += static_cast<int>(std::strlen(k.key) + std::strlen(k.does) + 1) * glyphW + 2 * capMargin +
                 glyphW / 2;
    int x = (windowWidth - width + glyphW) / 2;
    for (const keyDoes& k : keys)
        x = drawText(picture, textInk, k.does, display, drawKey(picture, k.key, display, x, y), y) + glyphW;
}
}  // namespace

void app::playPack(const levelPack& levelsOf, const int* solved) {
    pack = &levelsOf;
    levels = levelsOf.levels;
    state.pack = true;
    state.levels = levelsOf.count;
    int first = 0;
    for (int i = 0; i < levelsOf.count; ++i)
        best[i] = solved[i];
    while (first < levelsOf.count && best[first] > 0)
        ++first;
    state.level = state.nextLevel = first < levelsOf.count ? first : 0;
    loadPackLevel();
}

void app::loadPackLevel() {
    all.load(levels[state.level]);
    if (practice) practice->levelLoaded(all);
    // A single level keeps the caption it was given at start-up.
    if (pack == nullptr) return;
    // The window's caption names the level played, as it does a level file's.
    char caption[maxLevelTextLength + 48];
    char name[maxLevelTextLength + 16];
    levelName(levels[state.level], state.level, name, sizeof name);
    std::snprintf(caption, sizeof caption, "Brakko: %d. %s", state.level + 1, name);
    SDL_WM_SetCaption(caption, caption);
}

void app::packLevelWon(int moves) {
    solvedMoves = moves;
    int& fewest = best[state.level];
    if (fewest == 0 || moves < fewest) fewest = moves;
    if (progress == nullptr) return;
    char line[progressLineSize];
    // A file that can't be written says so once, and the game plays on with the wins in memory.
    if (saveWin(progressFile, *progress, levelDigest(levels[state.level]), moves, line, sizeof line))
        ++savedWins;
    else
        progress = nullptr;
    if (line[0] != '\0') std::fprintf(stderr, "%s\n", line);
}

bool makeLevel(levelGenerator& generator, levelId& id, bool onward, customLevel& out) {
    // A level's text is kept once: far too large for a browser's stack.
    static generatedLevel made;
    constexpr int seedsTried = 16;
    for (int tried = 0; tried < (onward ? seedsTried : 1); ++tried, ++id.seed) {
        levelError error;
        if (generator.generate(id, made) &&
            readLevel(made.text, static_cast<std::size_t>(made.length), out, error))
            return true;
    }
    return false;
}

void app::playGenerated(levelGenerator& maker, levelId id, customLevel& made) {
    generator = &maker;
    generated = &made;
    generatedId = id;
    state.generated = true;
}

void app::idText(char* out, std::size_t size) const {
    if (generator == nullptr) {
        std::snprintf(out, size, "%s", "");
        return;
    }
    writeLevelId(generatedId, out, size);
}

void app::makeNextLevel() {
    levelsMade = state.made;
    // The curtain is closed: the words go over its teeth, shown before the generator holds the frame.
    constexpr int boxW = 300, boxH = glyphH + 24;
    fillBox(display, (windowWidth - boxW) / 2, (windowHeight - boxH) / 2, boxW, boxH, signGround);
    drawCentred(art.practice, headingInk, "generating a new level...", display, (windowHeight - glyphH) / 2);
    SDL_Flip(display);
    stale = true;
    levelId next = generatedId;
    ++next.seed;
    // None found within a few seeds: the level solved plays again.
    if (!makeLevel(*generator, next, true, *generated)) return;
    generatedId = next;
    best[0] = solvedMoves = 0;
    char id[32], caption[48];
    idText(id, sizeof id);
    std::snprintf(caption, sizeof caption, "Brakko: level %s", id);
    SDL_WM_SetCaption(caption, caption);
}

int app::par() const {
    return pack != nullptr && pack->par[state.level] > 0 ? pack->par[state.level] : levels[state.level].par;
}

int app::wonAtPar() const {
    int count = 0;
    for (int i = 0; pack != nullptr && i < pack->count; ++i)
        count += best[i] > 0 && pack->par[i] > 0 && best[i] <= pack->par[i];
    return count;
}

frameEvent pollEvent(bool& exposed) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_KEYDOWN) return frameEvent::keyPress(event.key.keysym.sym);
        if (event.type == SDL_QUIT) return frameEvent::windowClose();
        // Classic SDL repaints an uncovered window from the display's pixels on its own; sdl12-compat leaves
        // it blank until the next flip, so the next frame must be shown even when it changes nothing.
        if (event.type == SDL_VIDEOEXPOSE) exposed = true;
        // Nothing else is acted on, so nothing else takes the frame's one event.
    }
    return {};
}

void app::frame() {
    // The frame after a wait is followed at once by the next, whose picture replaces its own before anyone
    // could see it: it is not drawn, as in a browser only the last frame of an animation frame is.
    showEachFrame = !synchronizeMoi<60>();
    unpacedFrame();
}

void app::unpacedFrame() {
    if (!practice) {
        const frameEvent polled = pollEvent(stale);
        eventsWaiting = polled.type != frameEvent::kind::none;
        step(input.take(polled));
        return;
    }
    // Practice mode takes the whole queue at once: the keys of time act now, the others wait their turn.
    for (frameEvent event = pollEvent(stale); event.type != frameEvent::kind::none;
         event = pollEvent(stale)) {
        // What the hint said stays until the player's next key.
        if (practice->hint.stage == hintStage::idle) practice->hint.sign = hintSign::none;
        time.take(event);
    }
    timedFrame();
}

void app::timedFrame() {
    if (time.hintAsked) {
        time.hintAsked = false;
        askHint();
    }
    // Closing the window ends a hint at once: the quit is this frame's.
    if (time.closing) practice->hint.stage = hintStage::idle;
    if (practice->hint.stage != hintStage::idle) {
        hintFrame();
        return;
    }
    if (state.nextScreen != noTransition || (state.screen != titleScreen && !isLevel(state.screen)))
        time.resume();
    // The map is the levels' own.
    if (!isLevel(state.screen)) time.map = false;
    if (!time.due()) {
        redraw();
        return;
    }
    // The rules tick in this frame when the current screen's picture has caught up with them.
    const bool ticks = all.with(state.screen, [](auto& view, int, int) { return view.updated(); });
    step(input.take(time.next()));
    time.ran(ticks);
}

void app::askHint() {
    hintRun& hint = practice->hint;
    const bool onALevel = isLevel(state.screen);
    // A replay's keys are its own, a level being left has nothing to hint, and a hint played under the map
    // would go unseen.
    if (!onALevel || state.nextScreen != noTransition || input.replaying() || hint.stage != hintStage::idle ||
        time.map)
        return;
    hint.stage = hintStage::asked;
    hint.sign = hintSign::thinking;
    if (state.screen == ownLevelScreen) ++practice->hintsTaken;
}

void app::hintFrame() {
    hintRun& hint = practice->hint;
    const bool settled = all.with(state.screen, [](auto& view, int, int) { return view.updated(); });
    switch (hint.stage) {
        case hintStage::asked:
            // The sign shows before the search holds the frame.
            hint.stage = hintStage::catchingUp;
            redraw();
            return;
        case hintStage::catchingUp: {
            // The search starts at a tick boundary: the frames up to it run as they would with no key.
            if (!settled) {
                step(input.take({}));
                return;
            }
            const searchAnswer& answer = practice->solve(all, state.screen);
            if (answer.outcome == searchOutcome::won) {
                hint.follow(answer);
            } else {
                hint.stage = hintStage::idle;
                hint.sign = answer.outcome == searchOutcome::noWay ? hintSign::noWay : hintSign::noPlan;
                time.paused = true;
                time.stepping = time.tickPassed = false;
            }
            redraw();
            return;
        }
        case hintStage::playing: {
            if (hint.phase++ % hintSlowness != 0) {
                redraw();
                return;
            }
            const frameEvent event = hint.keys.event(settled);
            if (event.type == frameEvent::kind::key) hint.pressed = event.sym;
            step(input.take(event));
            if (!hint.ran() && state.nextScreen == noTransition) return;
            // Control goes back paused, unless the level was won and its curtain runs.
            hint.stage = hintStage::idle;
            hint.sign = hintSign::none;
            time.paused = state.nextScreen == noTransition;
            time.stepping = time.tickPassed = false;
            return;
        }
        case hintStage::idle:
            return;
    }
}

void app::redraw() {
    // The same frame as the last one, with the signs as they stand now.
    due.background = due.screen = state.screen;
    due.teeth = state.nextScreen != noTransition ? state.curtain : -1;
    if (showEachFrame) present();
}

curtainMove app::step(const frameEvent& event) {
    // The background is the one the last frame left: a screen changes only at the end of a frame, under a
    // closed curtain. The very first frame has none.
    due.background = backgroundDue ? state.screen : 0;
    backgroundDue = true;
    if (practice) practice->replaying = input.replaying();
    const int shownScreen = state.screen;
    const curtainMove move = state.frame(event, [this](int screen, int command) {
        due.screen = screen;
        const bool won =
            practice ? practice->frame(all, screen, command, state.back) : all.step(screen, command);
        // A player's level counts as won once, as the curtain starts to close over it.
        if (won && screen == ownLevelScreen && levels != nullptr && state.nextScreen == noTransition)
            packLevelWon(all.own.moves);
        return won;
    });
    // The pack's next level, or the same again, begins as the curtain closes over the screen before it; a
    // single level, built at start-up, begins afresh only when it is played again.
    if (levels != nullptr && state.screen == ownLevelScreen && shownScreen != ownLevelScreen &&
        (pack != nullptr || shownScreen == solvedScreen)) {
        if (generator != nullptr && state.made != levelsMade) makeNextLevel();
        loadPackLevel();
    }
    due.teeth = move != curtainMove::none ? state.curtain : -1;
    if (move == curtainMove::opened) {
        stop();
        play(art.music[musicSlot(state.screen)]);
    }
    if (showEachFrame) present();
    return move;
}

bool app::atRest() const {
    // The frame after the first paints the background, and the frame after an opening takes the teeth away.
    if (!backgroundDue || due.background != state.screen || due.teeth >= 0 || due.controls != controls ||
        eventsWaiting || input.replaying() || state.nextScreen != noTransition ||
        state.command != noCommand || state.back != goBack::none)
        return false;
    if (practice) {
        if (practice->hint.stage != hintStage::idle || time.hintAsked || time.closing || time.count > 0 ||
            time.stepping)
            return false;
        // Paused, or under the map, the game runs no frame at all.
        if (time.paused || time.map) return true;
        // A sign shown for a while counts down in the level's frames.
        if ((practice->level2 && practice->level2->sameFrames > 0) ||
            (practice->own && practice->own->sameFrames > 0) || practice->level1.sameFrames > 0)
            return false;
    }
    // A screen with no view (a pack's solved screens) has nothing that moves.
    bool hasView = false;
    const bool still = all.with(state.screen, [&hasView](const auto& view, int, int) {
        hasView = true;
        return view.atRest();
    });
    return !hasView || still;
}

void app::present() {
    due.controls = controls;
    due.view = {};
    all.with(due.screen, [this](auto& view, int, int) {
        due.view = view.picture();
        return false;
    });
    if (practice) due.signs = practice->signs(all, due.screen, time);
    if (!stale && due == shown) return;
    draw();
    SDL_Flip(display);
    shown = due;
    stale = false;
}

void app::draw() {
    // Above a strip of signs the play keeps to its area; the curtain too. Without a strip nothing is clipped.
    const bool strip = practice && hasStrip(display);
    SDL_Rect play{0, 0, windowWidth, windowHeight};
    if (strip) SDL_SetClipRect(display, &play);
    if (due.background != 0) paintBackground(due.background);
    if (practice && practice->mapShown(all, due.screen, time))
        practice->drawMap(all, display);
    else
        all.with(due.screen, [this](auto& view, int offsetX, int offsetY) {
            view.draw(display, offsetX, offsetY);
            return false;
        });
    // The goal's arrow lies under the teeth, as the play does; the strip stays clear of them.
    if (practice) practice->drawSigns(all, due.screen, display, time);
    if (strip) SDL_SetClipRect(display, &play);
    if (due.teeth >= 0) drawTeeth(due.teeth);
    if (strip) SDL_SetClipRect(display, nullptr);
}

void app::drawTeeth(int curtain) {
    for (int i = 0; i < toothCount; ++i) {
        // SDL writes the clipped rectangle back, so each blit gets a fresh one.
        SDL_Rect top{static_cast<Sint16>(i * toothWidth), static_cast<Sint16>(topTeethY(curtain)), 0, 0};
        blit(art.tooth, nullptr, display, &top);
        SDL_Rect bottom{static_cast<Sint16>(i * toothWidth), static_cast<Sint16>(bottomTeethY(curtain)), 0,
                        0};
        blit(art.tooth, nullptr, display, &bottom);
    }
}

void app::paintBackground(int screen) {
    SDL_Rect corner{0, 0, 0, 0};
    if (screen == titleScreen) {
        blit(art.title, nullptr, display, &corner);
        drawTouchWords(screen);
        if (levels != nullptr) drawTitleLevel();
    } else if (screen == rageQuitScreen) {
        blit(state.endWon ? art.won : art.loose, nullptr, display, &corner);
        drawTouchWords(screen);
    } else if (screen == solvedScreen) {
        drawSolved();
    } else if (screen == packSolvedScreen) {
        drawPackSolved();
    } else {
        SDL_FillRect(display, nullptr, SDL_MapRGB(display->format, 0, 0, 0));
    }
}

void app::drawTouchWords(int screen) {
    if (controls != controlsTouch) return;
    const auto lay = [this](const wordSwap& swap) {
        drawPart(art.practice, swap.part, display, swap.x, swap.y);
    };
    if (screen == titleScreen) {
        lay(climbTouch);
        lay(titleRowsTouch);
    } else if (screen == rageQuitScreen) {
        lay(state.endWon ? wonQuitTouch : quitTouch);
    }
}

void app::drawTitleLevel() {
    // The title's words after its Return key name level 1: they give way to the level Return starts, and
    // the Escape key after them is written again in the same lettering.
    constexpr int left = titleReturnWordsX - 4, right = 788;
    fillBox(display, left, titleReturnWordsY - 8, right + 4 - left, glyphH + 16, signGround);
    char line[maxLevelTextLength + 16] = "starts the level";
    if (state.pack) std::snprintf(line, sizeof line, "starts level %d", state.nextLevel + 1);
    drawText(art.practice, textInk, line, display, titleReturnWordsX, titleReturnWordsY);
    // The way to give up after them: the Escape key, or the touch pad's button, whose name says it all.
    if (controls == controlsTouch) {
        constexpr char hold[] = "hold to give up";
        drawKey(art.practice, hold, display, right - (sizeof hold - 1) * glyphW - 2 * capMargin,
                titleReturnWordsY);
    } else {
        constexpr int escapeW = 6 * glyphW + 2 * capMargin + glyphW / 2 + 8 * glyphW;
        drawText(art.practice, textInk, "gives up", display,
                 drawKey(art.practice, "Escape", display, right - escapeW, titleReturnWordsY),
                 titleReturnWordsY);
    }

    // Its name on a plate in the sky above the title's robots, which no pose of theirs reaches: its place in
    // the pack, then its title on up to two lines, broken at a space.
    // A tip for the level takes one more line below them.
    // The title map's walls (columns 0 and 14) lie over the plate's edges: its text keeps between them.
    constexpr int plateX = 10, plateY = 286, plateChars = 26;
    const char* tip = levels[state.nextLevel].tip;
    fillBox(display, plateX, plateY, plateChars * glyphW + 20, (tip[0] != '\0' ? 4 : 3) * glyphH + 12,
            signGround);
    if (state.pack)
        std::snprintf(line, sizeof line, "Level %d of %d", state.nextLevel + 1, state.levels);
    else if (packPlace > 0)
        std::snprintf(line, sizeof line, "Level %d of %d", packPlace, packSize);
    else if (generator != nullptr) {
        char id[32];
        idText(id, sizeof id);
        std::snprintf(line, sizeof line, "Level %s", id);
    } else
        std::snprintf(line, sizeof line, "A single level");
    if (tip[0] != '\0') {
        // Cut at the plate's edge, at a space where one is near, and then marked cut.
        char cut[plateChars + 1];
        int length = static_cast<int>(std::strlen(tip));
        if (length > plateChars) {
            length = plateChars - 3;
            while (length > plateChars / 2 && tip[length] != ' ')
                --length;
            std::snprintf(cut, sizeof cut, "%.*s...", length, tip);
        } else {
            std::snprintf(cut, sizeof cut, "%.*s", length, tip);
        }
        drawText(art.practice, headingInk, cut, display, plateX + 10, plateY + 4 + 3 * glyphH);
    }
    drawText(art.practice, headingInk, line, display, plateX + 10, plateY + 4);
    levelName(levels[state.nextLevel], state.nextLevel, line, sizeof line);
    const char* rest = line;
    for (int row = 1; row <= 2 && *rest != '\0'; ++row) {
        int length = static_cast<int>(std::strlen(rest));
        if (length > plateChars) {
            int cut = plateChars;
            while (cut > 0 && rest[cut] != ' ')
                --cut;
            length = cut > 0 ? cut : plateChars;
        }
        char part[plateChars + 1];
        std::snprintf(part, sizeof part, "%.*s", length, rest);
        // A title longer than two lines ends in an ellipsis.
        if (row == 2 && rest[length] != '\0')
            std::snprintf(part + std::min(length, plateChars - 3), 4, "...");
        drawText(art.practice, textInk, part, display, plateX + 10, plateY + 4 + row * glyphH);
        rest += length;
        while (*rest == ' ')
            ++rest;
    }
}

void app::drawSolved() {
    fillBox(display, 0, 0, windowWidth, windowHeight, signGround);
    // A win watched is the replay's, never the player's.
    if (input.playing == nullptr)
        drawPart(art.practice, wonBanner, display, (windowWidth - wonBanner.w) / 2, 50);
    else
        drawCentred(art.practice, headingInk, "The replay played: the level solved.", display, 90);
    char line[maxLevelTextLength + 64];
    levelName(levels[state.level], state.level, line, sizeof line);
    drawCentred(art.practice, headingInk, line, display, 170);
    char id[32];
    idText(id, sizeof id);
    if (pack != nullptr)
        std::snprintf(line, sizeof line, "level %d of %d solved", state.level + 1, state.levels);
    else if (id[0] != '\0')
        std::snprintf(line, sizeof line, "level %s solved", id);
    else
        std::snprintf(line, sizeof line, "level solved");
    drawCentred(art.practice, textInk, line, display, 200);
    // The par counts what the moves count, so the two compare.
    if (const int par = this->par(); par > 0)
        std::snprintf(line, sizeof line, "%d move%s, par %d move%s%s", solvedMoves,
                      solvedMoves == 1 ? "" : "s", par, par == 1 ? "" : "s",
                      solvedMoves == par  ? ": at par"
                      : solvedMoves < par ? ": under par!"
                                          : "");
    else
        std::snprintf(line, sizeof line, "%d move%s", solvedMoves, solvedMoves == 1 ? "" : "s");
    drawCentred(art.practice, headingInk, line, display, 260);
    // A win that hints helped to is said so: its moves are not the player's alone.
    if (const int hints = practice ? practice->hintsTaken : 0; hints > 0) {
        std::snprintf(line, sizeof line, "with %d hint%s", hints, hints == 1 ? "" : "s");
        drawCentred(art.practice, textInk, line, display, 290);
    }
    if (best[state.level] < solvedMoves) {
        std::snprintf(line, sizeof line, "your best: %d moves", best[state.level]);
        drawCentred(art.practice, textInk, line, display, 320);
    }
    drawCentred(art.practice, textInk, "a move: a step of the game in which something moved", display, 350);
    const bool last = state.level + 1 >= state.levels;
    // The keys, or on a touch screen the page's buttons: start reads "next" here, Restart "Again".
    if (controls == controlsTouch && pack != nullptr)
        drawKeysCentred(art.practice,
                        {{"next", last ? "on" : "next level"}, {"Again", "this level"}, {"Quit", "the game"}},
                        display, 390);
    else if (controls == controlsTouch)
        drawKeysCentred(art.practice, {{"Again", "play it again"}, {"Quit", "the game"}}, display, 390);
    else if (generator != nullptr)
        drawKeysCentred(art.practice, {{"Return", "a new level"}, {"r", "again"}, {"Escape", "quit"}},
                        display, 390);
    else if (pack != nullptr)
        drawKeysCentred(art.practice,
                        {{"Return", last ? "on" : "next level"}, {"r", "again"}, {"Escape", "quit"}}, display,
                        390);
    else
        drawKeysCentred(art.practice, {{"Return", "again"}, {"Escape", "quit"}}, display, 390);
    // What comes next in a pack, with its tip: the next level starts straight from here, with no title.
    if (pack != nullptr && !last) {
        const customLevel& next = levels[state.level + 1];
        char name[maxLevelTextLength + 16];
        levelName(next, state.level + 1, name, sizeof name);
        std::snprintf(line, sizeof line, "next: %.60s", name);
        drawCentred(art.practice, textInk, line, display, 440);
        if (next.tip[0] != '\0') drawCentred(art.practice, headingInk, next.tip, display, 465);
    }
}

void app::drawPackSolved() {
    fillBox(display, 0, 0, windowWidth, windowHeight, signGround);
    drawPart(art.practice, wonBanner, display, (windowWidth - wonBanner.w) / 2, 50);
    drawCentred(art.practice, headingInk, "The pack is solved!", display, 190);
    char line[64];
    std::snprintf(line, sizeof line, "%d of %d levels won at par", wonAtPar(), state.levels);
    drawCentred(art.practice, textInk, line, display, 230);
    if (controls == controlsTouch)
        drawKeysCentred(art.practice, {{"Quit", "the game"}}, display, 380);
    else
        drawKeysCentred(art.practice, {{"Escape", "quit"}}, display, 380);
}

void app::shutDown() {
    all.releaseLayers();
    if (practice) practice->releaseMap();
    closePlatform();
}

bool gameRunning(const app& game) {
    return game.state.running();
}
void pacedFrame(app& game) {
    game.frame();
}
void unpacedFrame(app& game) {
    game.unpacedFrame();
}
void presentOnlyWhenAsked(app& game) {
    game.showEachFrame = false;
}
void presentFrame(app& game) {
    game.present();
}
void useControls(app& game, int controls) {
    game.controls = controls;
}
bool atRest(const app& game) {
    return game.atRest();
}
void endRun(app& game) {
    game.shutDown();
}

void closePlatform() {
    stop();
    Mix_CloseAudio();
    SDL_Quit();
}
