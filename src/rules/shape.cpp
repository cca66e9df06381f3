// Reading formation patterns and placing them; the two formation tables. Pure arithmetic on the shape's
// own cells: whether a placed formation fits the map is the game's question, not this file's.
#include "rules/shape.h"

#include "rules/grid.h"

const char* const thoseShape0[9] = {robotShapeLF, robotShapeLU, robotShapeRF, robotShapeL1, robotShapeRU,
                                    robotShapeR1, robotShapeL2, robotShapeX,  robotShapeR2};
const char* const thoseShape1[9] = {shapeQ2_6, shapePas,  shapeE2_6, shapeA3_6, shapeS2_6,
                                    shapeD3_6, shapeZ2_6, shapePas,  shapeC2_6};

void shape::build(const char* pattern) {
    count = 0;
    // Markers must run without a gap: a missing one ends the formation, whatever follows it.
    for (int k = 0; k < markerCount; ++k) {
        int index = findIndex<patternW, patternH>(pattern, markerChar(k));
        if (index < 0) break;
        cols[k] = xFromIndex<patternW, patternH>(index);
        rows[k] = yFromIndex<patternW, patternH>(index);
        count = k + 1;
    }
    reset();
}

void shape::reset() {
    dx = 0;
    dy = 0;
    activeSize = count;
}

bool shape::resize(int n) {
    if (n > count) return false;
    activeSize = n;
    return true;
}

void shape::adjust(int col, int row) {
    dx = col - cols[0];
    dy = row - rows[0];
}

int shape::col(int i) const {
    return cols[i] + dx;
}

int shape::row(int i) const {
    return rows[i] + dy;
}

int shape::size() const {
    return activeSize;
}
