// Transitions of the screen flow: keys, a won level, and the curtain's step at the end of each frame.
// Pure arithmetic on four numbers; nothing here draws, plays or reads the clock.
#include "rules/flow.h"

void flow::take(const frameEvent& event) {
    if (event.type == frameEvent::kind::key)
        key(event.sym);
    else if (event.type == frameEvent::kind::close)
        windowClosed();
}

void flow::key(int sym) {
    // The solved screens: Return on to a pack's next level (or the pack solved), a single level again and a
    // generated one to a new level, r
    // this level again, and Escape out of the game, a pack's progress already kept. The curtain still closing
    // over the level has no say.
    if ((screen == solvedScreen || screen == packSolvedScreen) && nextScreen == noTransition) {
        if (sym == keyReturn && screen == solvedScreen) {
            nextLevel = pack ? level + 1 : level;
            renew = generated;
            nextScreen = nextLevel < levels ? ownLevelScreen : packSolvedScreen;
        } else if (sym == keyRestart && screen == solvedScreen) {
            nextLevel = level;
            renew = false;
            nextScreen = ownLevelScreen;
        } else if (sym == keyEscape) {
            screen = quitScreen;
        }
        return;
    }
    if (sym == keyReturn) {
        // Only the title has somewhere to go on Return; the levels are left by winning or giving up.
        if (screen == titleScreen) nextScreen = firstLevel;
        return;
    }
    if (sym == keyEscape) {
        if (screen == rageQuitScreen || screen == solvedScreen || screen == packSolvedScreen) {
            screen = quitScreen;
        } else {
            nextScreen = rageQuitScreen;
            endWon = false;
        }
        return;
    }
    if (sym == keySpace) {
        command = disbandCommand;
        return;
    }
    // A level the curtain is closing over has been left: it is not taken back any more.
    const bool leaving = nextScreen != noTransition && nextScreen != screen;
    if (practice && !leaving && (sym == keyBackspace || sym == keyRestart)) {
        back = sym == keyBackspace ? goBack::undo : goBack::restart;
        return;
    }
    if (practice && sym == keyLevel2) {
        if (screen == titleScreen && firstLevel == level1Screen) nextScreen = level2Screen;
        return;
    }
    for (int i = 0; i < 9; ++i) {
        if (sym == formationKeys[i]) command = i;
    }
}

void flow::levelWon() {
    if (screen == level1Screen)
        nextScreen = level2Screen;
    else if (screen == level2Screen) {
        nextScreen = rageQuitScreen;
        endWon = true;
    } else if (screen == ownLevelScreen) {
        nextScreen = solvedScreen;
    }
}

curtainMove flow::endFrame() {
    command = noCommand;
    back = goBack::none;
    if (nextScreen == noTransition) return curtainMove::none;
    if (nextScreen != screen) {
        if (curtain < curtainClosed)
            curtain += curtainClosingStep;
        else if (screen != quitScreen) {  // a quit asked for in the switch frame still quits
            screen = nextScreen;
            if (screen == ownLevelScreen) {
                level = nextLevel;
                made += renew ? 1 : 0;
                renew = false;
            }
        }
        return curtainMove::moved;
    }
    if (curtain > 0) {
        curtain -= curtainOpeningStep;
        return curtainMove::moved;
    }
    nextScreen = noTransition;
    return curtainMove::opened;
}

void timeControl::take(const frameEvent& event) {
    if (event.type == frameEvent::kind::close) {
        closing = true;
        return;
    }
    if (event.type != frameEvent::kind::key) return;
    if (event.sym == keyPause) {
        paused = !paused;
        stepping = tickPassed = false;
        phase = 0;
    } else if (event.sym == keyStep) {
        // From play, a step pauses first.
        paused = true;
        stepping = true;
    } else if (event.sym == keyHint) {
        hintAsked = true;
    } else if (event.sym == keyMap) {
        map = !map;
    } else if (event.sym == keySlow) {
        slowness = slowness == 1 ? 2 : slowness == 2 ? 4 : 1;
        phase = 0;
    } else {
        if (paused && (event.sym == keyBackspace || event.sym == keyRestart))
            count = 0;
        else if (paused && actsWhilePaused(event.sym))
            resume();
        if (count < heldKeys) held[(first + count++) % heldKeys] = event;
    }
}

bool timeControl::due() {
    if (closing) return true;
    if (map) return count > 0 && actsWhilePaused(held[first].sym);
    if (paused) return stepping || (count > 0 && actsWhilePaused(held[first].sym));
    // The first paced frame of each period runs, so that leaving pause or changing speed answers at once.
    const bool runs = phase == 0;
    phase = (phase + 1) % slowness;
    return runs;
}

frameEvent timeControl::next() {
    if (closing) return frameEvent::windowClose();
    if (count == 0) return {};
    const frameEvent event = held[first];
    first = (first + 1) % heldKeys;
    --count;
    return event;
}

void timeControl::ran(bool ticked) {
    if (!stepping) return;
    // The frame after the tick is run too: a tick's moves show only as the sprites start to glide.
    if (tickPassed)
        stepping = tickPassed = false;
    else
        tickPassed = ticked;
}
