// The record of what the page is told, read from the game after a frame.
#include "app/app.h"
#include "app/seam.h"

#include "solver/posePreview.h"

void readNews(const app& game, gameNews& news) {
    news = {};
    const int screen = game.state.screen;
    news.screen = screen;
    news.playersLevel = game.state.firstLevel == ownLevelScreen;
    news.level1Won = game.all.level1.end();
    news.level2Won = news.playersLevel ? game.all.own.end() : game.all.level2.end();
    news.replayed = game.input.playing != nullptr;
    news.controls = game.controls;
    // A player's level: the moves of its last win against its par, and its fewest.
    if (game.levels != nullptr) {
        news.solvedMoves = game.solvedMoves;
        news.par = game.par();
        news.fewest = game.best[game.state.level];
    }
    if (game.pack != nullptr) {
        news.pack = true;
        news.packLevel = game.state.level;
        news.packLevels = game.state.levels;
        news.savedWins = game.savedWins;
    }
    posePreview poses[9];
    if (screen == level2Screen)
        previewPoses(game.all.level2.game, poses);
    else if (screen == ownLevelScreen)
        previewPoses(game.all.own.game, poses);
    else
        previewPoses(game.all.level1.game, poses);
    poseText(poses, news.poses, sizeof news.poses);
    if (!game.practice) return;
    // The page is told what the strip below the play shows on the desktop, read the same way.
    const signsPicture signs = game.practice->signs(game.all, screen, game.time);
    news.practice = true;
    news.paused = signs.paused;
    news.slowness = signs.slowness;
    news.map = signs.map;
    news.curtain = game.state.nextScreen != noTransition;
    news.hint = static_cast<int>(signs.hint);
    news.hintKey = signs.pressed;
    news.steps = signs.steps;
    news.waitingPose = signs.waitingPose;
    news.samePose = signs.samePose;
    news.members = signs.members;
    news.memberCells = signs.memberCells;
    news.currentShape = signs.members > 0 ? signs.currentShape : -1;
}
