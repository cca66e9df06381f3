// Map texts as grids of cells: row-major indexes, the tile characters and the one safe reader of a cell.
// Any cell off the grid or past the end of a text reads as a wall; no read here ever leaves a text.
#pragma once

#include "rules/shared.h"

// The robot start markers, one per robot: '1' to '9' then 'A' to 'K'; marker k is robot k of a map or cell k
// of a formation pattern.
constexpr int markerCount = maxRobots;
constexpr char markerChar(int k) {
    return k < 9 ? static_cast<char>('1' + k) : static_cast<char>('A' + (k - 9));
}
constexpr bool isMarker(char c) {
    return (c >= '1' && c <= '9') || (c >= 'A' && c <= 'K');
}

constexpr char wallTile = '#';

template <int W, int H>
constexpr int indexFromXY(int x, int y) {
    return x + y * W;
}

template <int W, int H>
constexpr int xFromIndex(int index) {
    return index % W;
}

template <int W, int H>
constexpr int yFromIndex(int index) {
    return index / W;
}

template <int W, int H>
constexpr bool onGrid(int x, int y) {
    return x >= 0 && x < W && y >= 0 && y < H;
}

// Reads cell (x, y) of a text that holds at least W*H characters; off the grid it answers a wall.
template <int W, int H>
constexpr char getChar(const char* text, int x, int y) {
    return onGrid<W, H>(x, y) ? text[indexFromXY<W, H>(x, y)] : wallTile;
}

// The first cell, in row-major order, that holds c; -1 when none does. A text that ends early ends the
// search, so a short text is never read past its terminator.
template <int W, int H>
constexpr int findIndex(const char* text, char c) {
    for (int i = 0; i < W * H; ++i) {
        if (text[i] == c) return i;
        if (text[i] == '\0') return -1;
    }
    return -1;
}

// A read-only view of one map text. `length` is how many of the W*H cells the text really holds.
template <int W, int H>
struct level {
    const char* text = nullptr;
    int length = 0;

    void init(const char* t) {
        text = t;
        length = 0;
        while (length < W * H && t[length] != '\0')
            ++length;
    }

    char at(int x, int y) const { return onGrid<W, H>(x, y) ? at(indexFromXY<W, H>(x, y)) : wallTile; }

    char at(int index) const { return index >= 0 && index < length ? text[index] : wallTile; }
};
