// What each pose key would ask of the group as it stands now: the formation cut to the group's size, with
// its cells counted from the anchor, the member the new pose grows from (the one with the eyes). For the
// practice panel and the page's pad; the rules never read it, and nothing here allocates.
#pragma once

#include <cstdio>

#include "rules/spiele.h"

struct posePreview {
    int count = 0;  // 0 when the key asks for nothing here: no such pose, or one too small for the group
    int cols[maxRobots] = {}, rows[maxRobots] = {};  // cell i from the anchor, which is cell 0 at (0, 0)
};

// A group of two or more re-forms as it is; with no group, a pose key seeds one from two touching robots.
template <int W, int H>
int previewMembers(const spiele<W, H>& game) {
    return game.transbot.size() < 2 ? 2 : game.transbot.size();
}

template <int W, int H>
void previewPoses(const spiele<W, H>& game, posePreview (&out)[9]) {
    const int members = previewMembers(game);
    for (int k = 0; k < 9; ++k) {
        const shape& pose = game.shapes[k];
        out[k].count = pose.count < members ? 0 : members;
        for (int i = 0; i < out[k].count; ++i) {
            out[k].cols[i] = pose.cols[i] - pose.cols[0];
            out[k].rows[i] = pose.rows[i] - pose.rows[0];
        }
    }
}

// How many cells the group's members stand in: fewer than its size where some share one, as a free robot
// that walked into the group and joined it does until the group re-forms.
template <int W, int H>
int memberCells(const spiele<W, H>& game) {
    int cells = 0;
    for (int i = 0; i < game.transbot.size(); ++i) {
        bool before = false;
        for (int j = 0; j < i && !before; ++j)
            before = game.transbot.get(j)->index() == game.transbot.get(i)->index();
        if (!before) ++cells;
    }
    return cells;
}

// The previews as one line of text for the page: nine fields split by "|", each the cells "col,row" from the
// anchor split by spaces, an empty field for a key with no pose. Cut short rather than overflow `out`.
inline void poseText(const posePreview (&poses)[9], char* out, int size) {
    int at = 0;
    out[0] = '\0';
    for (int k = 0; k < 9 && at < size; ++k) {
        if (k > 0) at += std::snprintf(out + at, size - at, "|");
        for (int i = 0; i < poses[k].count && at < size; ++i)
            at += std::snprintf(out + at, size - at, i == 0 ? "%d,%d" : " %d,%d", poses[k].cols[i],
                                poses[k].rows[i]);
    }
}
