// The practice picture, "./img/practice.bmp": where its parts lie, written down once for the drawing and the
// asset generator. Only practice mode reads it; the game as specified never does. Plain numbers: no SDL here.
#pragma once

// A part of a picture: its top-left corner and its size, in pixels.
struct picturePart {
    int x, y, w, h;
};

constexpr int practiceSheetWidth = 620;
constexpr int practiceSheetHeight = 520;

// "Practice" and what its key on the title does: level 2 at once.
constexpr picturePart titleMark{0, 0, 300, 20};
// "Practice" and its keys on the levels: undo, restart, pause, step, slow motion and the hint.
constexpr picturePart levelMark{0, 210, 620, 20};

// The goal pointer's arrow for a goal that lies off the screen by (dx, dy), each -1, 0 or 1 and not both 0:
// eight arrows in a row, in the order of (dx, dy) row by row.
constexpr int arrowPixels = 20;
constexpr picturePart goalArrow(int dx, int dy) {
    const int k = (dy + 1) * 3 + (dx + 1);
    return {300 + (k < 4 ? k : k - 1) * arrowPixels, 0, arrowPixels, arrowPixels};
}

// The sign of a pose that waits to fit: its key, the pose as the levels have it and "waits" (for w and x,
// which have no pose on the levels, it says so), five to a row.
constexpr int waitSignW = 104;
constexpr int waitSignH = 20;
constexpr picturePart waitSign(int pose) {
    return {(pose % 5) * waitSignW, 20 + (pose / 5) * waitSignH, waitSignW, waitSignH};
}

// The named win, laid over the rage-quit screen's headline when both levels were won.
constexpr picturePart wonBanner{0, 60, 520, 150};
// The same when the one level of a run on a player's level was won.
constexpr picturePart levelWonBanner{0, 370, 520, 150};

// The signs of time: paused (with the keys that step and play), and slowed to a half or a quarter.
constexpr picturePart pausedSign{300, 230, 220, 20};
constexpr picturePart slowSign(int slowness) {
    return {slowness == 2 ? 0 : 110, 230, 110, 20};
}
// "No change", laid over a pose of the pose panel whose key changed nothing.
constexpr picturePart sameMark{220, 230, 80, 20};

// The pose panel's keycaps, q w e a s d z x c, one 20-pixel square each; and the digits 0 to 9, ten pixels
// wide, after "Backspace" that counts the steps it can take back.
constexpr picturePart poseKeycap(int pose) {
    return {pose * 20, 250, 20, 20};
}
constexpr picturePart digitPart(int digit) {
    return {180 + digit * 10, 250, 10, 20};
}
constexpr picturePart undoLabel{280, 250, 120, 20};
// "Poses for this group", the panel's heading.
constexpr picturePart panelHeading{0, 270, 200, 20};

// The hint's signs: it searches; it found no plan within its search; the level can't be won from here, and
// Backspace or r gets back; and "presses" before the key it presses, a pose's keycap or Space's.
constexpr picturePart hintThinking{0, 290, 390, 20};
constexpr picturePart hintNoPlan{0, 310, 390, 20};
constexpr picturePart hintNoWay{0, 330, 390, 20};
constexpr picturePart hintPressing{0, 350, 150, 20};
constexpr picturePart spaceKeycap{150, 350, 60, 20};
