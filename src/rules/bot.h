// One robot: its cell, the size of its map and its one-byte label. Robots are owned by the game;
// lists only point at them. Knows nothing of tiles: the rules decide what a cell means.
#pragma once

struct bot {
    int x, y, mapW, mapH;
    char label;

    void init(int x, int y, int mapW, int mapH);
    void absMove(int x, int y);
    void relMove(int dx, int dy);
    int indexWithRel(int dx, int dy) const;
    int index() const;
    int col() const;
    int row() const;
    // True when the cell at (dx, dy) from this robot lies on the map and is other's cell. A probe off the
    // map touches nothing, so a robot on the right edge never meets one at the start of the next row.
    bool collideWithRel(const bot* other, int dx, int dy) const;
    bool onMapWithRel(int dx, int dy) const;
};
