// Formations: up to twenty cells read from a 6 x 6 pattern, sized to the group and anchored on the map by
// cell 0; plus the seventeen built-in patterns and the two nine-entry tables indexed by command number.
// A shape only copies cells out of a pattern; it never reads the map.
#pragma once

#include "rules/grid.h"

struct shape {
    int cols[maxRobots], rows[maxRobots];
    int count, dx, dy, activeSize;

    void build(const char* pattern);
    void reset();
    bool resize(int n);
    void adjust(int col, int row);
    int col(int i) const;
    int row(int i) const;
    int size() const;
};

constexpr int patternW = 6;
constexpr int patternH = 6;

// Level formations, six cells each (`shapePas` has none, so its commands never re-form).
inline constexpr char shapeQ2_6[] =
    "      "
    "      "
    "      "
    "      "
    "236   "
    "145   ";
inline constexpr char shapePas[] =
    "      "
    "      "
    "      "
    "      "
    "      "
    "      ";
inline constexpr char shapeE2_6[] =
    "      "
    "      "
    "      "
    "      "
    "  632 "
    "  541 ";
inline constexpr char shapeA3_6[] =
    "      "
    "      "
    "      "
    "      "
    " 543  "
    "   216";
inline constexpr char shapeS2_6[] =
    "   6  "
    "   5  "
    "   4  "
    "   3  "
    "   2  "
    "   1  ";
inline constexpr char shapeD3_6[] =
    "      "
    "      "
    "      "
    "      "
    "   345"
    " 612  ";
inline constexpr char shapeZ2_6[] =
    "      "
    "      "
    "      "
    "      "
    "      "
    "654321";
inline constexpr char shapeC2_6[] =
    "      "
    "      "
    "      "
    "      "
    "      "
    "123456";

// Title poses of the twenty-robot giant, twenty cells each.
inline constexpr char robotShapeLF[] =
    "  B9  "
    "76ACFG"
    "8 5D H"
    "  4E  "
    " 3  I "
    "21  KJ";
inline constexpr char robotShapeLU[] =
    "  9B H"
    "DC6AFG"
    "E 58  "
    "  47I "
    " 3  KJ"
    "21    ";
inline constexpr char robotShapeRF[] =
    "  9B  "
    "EDCA67"
    "F G5 8"
    "  H4  "
    " I  3 "
    "JK  12";
inline constexpr char robotShapeL1[] =
    "  B8  "
    " DA79 "
    "FEG6C "
    "  H5  "
    " I 432"
    "JK   1";
inline constexpr char robotShapeRU[] =
    "H B9  "
    "GFA6CD"
    "  85 E"
    " I74  "
    "JK  3 "
    "    12";
inline constexpr char robotShapeR1[] =
    "  8B  "
    " 97AD "
    " C6GEF"
    "  5H  "
    "234 I "
    "1   KJ";
inline constexpr char robotShapeL2[] =
    "  B7  "
    " EA69C"
    "GF85 D"
    "  H4  "
    "  I32 "
    " JK 1 ";
inline constexpr char robotShapeX[] =
    "9 CB F"
    "876ADE"
    "  5G  "
    "  4H  "
    " 3  I "
    "21  KJ";
inline constexpr char robotShapeR2[] =
    "  7B  "
    "C96AE "
    "D 58FG"
    "  4H  "
    " 23I  "
    " 1 KJ ";

// Indexed by command number 0..8: the title's poses and the levels' formations.
extern const char* const thoseShape0[9];
extern const char* const thoseShape1[9];
