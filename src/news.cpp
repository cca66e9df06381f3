// The record of what the page is told, read from the game after a frame.
#include "news.h"

#include "posePreview.h"

namespace {
template <int W, int H>
void levelNews(const practiceLevel<W, H>& level, const spiele<W, H>& game, gameNews& news) {
    news.steps = level.count;
    news.waitingPose = level.waitingPose;
    news.samePose = level.sameFrames > 0 ? level.samePose : -1;
    news.members = game.transbot.size();
    news.currentShape = news.members > 0 ? game.currentShape : -1;
}
}  // namespace

void readNews(const app& game, gameNews& news) {
    news = {};
    const int screen = game.state.screen;
    news.screen = screen;
    news.playersLevel = game.state.firstLevel == level2Screen;
    news.level1Won = game.all.level1.end();
    news.level2Won = game.all.level2.end();
    news.replayed = game.input.playing != nullptr;
    posePreview poses[9];
    if (screen == level2Screen)
        previewPoses(game.all.level2.game, poses);
    else
        previewPoses(game.all.level1.game, poses);
    poseText(poses, news.poses, sizeof news.poses);
    if (!game.practice) return;
    const practiceMode& practice = *game.practice;
    news.practice = true;
    news.paused = game.time.paused;
    news.slowness = game.time.slowness;
    news.map = game.time.map;
    news.curtain = game.state.nextScreen != noTransition;
    news.hint = static_cast<int>(practice.hint.sign);
    news.hintKey = practice.hint.pressed;
    if (screen == level1Screen) levelNews(practice.level1, game.all.level1.game, news);
    if (screen == level2Screen) levelNews(practice.level2, game.all.level2.game, news);
}
