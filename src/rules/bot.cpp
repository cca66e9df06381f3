// The robot record's arithmetic: moves and row-major cell indexes. No bounds are enforced on moves;
// the rules only move a robot into a cell they found empty.
#include "rules/bot.h"

void bot::init(int x_, int y_, int mapW_, int mapH_) {
    x = x_;
    y = y_;
    mapW = mapW_;
    mapH = mapH_;
    label = '\0';
}

void bot::absMove(int x_, int y_) {
    x = x_;
    y = y_;
}

void bot::relMove(int dx, int dy) {
    x += dx;
    y += dy;
}

int bot::indexWithRel(int dx, int dy) const {
    return (x + dx) + (y + dy) * mapW;
}

int bot::index() const {
    return x + y * mapW;
}

int bot::col() const {
    return x;
}

int bot::row() const {
    return y;
}

bool bot::onMapWithRel(int dx, int dy) const {
    return x + dx >= 0 && x + dx < mapW && y + dy >= 0 && y + dy < mapH;
}

bool bot::collideWithRel(const bot* other, int dx, int dy) const {
    return onMapWithRel(dx, dy) && other->index() == indexWithRel(dx, dy);
}
