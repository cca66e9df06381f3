// Draws every picture of the game from code, pixel by pixel, with DejaVu lettering through SDL_ttf.
// The sprite cells are hard-edged pixel art: soft edges against the key colour would leave pink fringes.
#include "assetgen_art.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <png.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "rules/shape.h"
#include "view/practiceSheet.h"

namespace art {
namespace {

constexpr Rgb black{0, 0, 0};
constexpr Rgb white{255, 255, 255};
constexpr int cell = cellPixels;

// ---------------------------------------------------------------- pixel font for the robots' numbers

// 6 x 10 glyphs with two-pixel strokes for the robots' numbers '1' to '9' and 'A' to 'K': half the height of
// a cell, so a number reads at a glance at the game's own size.
constexpr int glyphW = 6, glyphH = 10;
using Glyph = std::array<const char*, glyphH>;
constexpr std::array<Glyph, robotPictures> glyphs{{
    {"..##..", ".###..", "####..", "..##..", "..##..", "..##..", "..##..", "..##..", "..##..", "######"},
    {".####.", "##..##", "....##", "....##", "...##.", "..##..", ".##...", "##....", "##....", "######"},
    {".####.", "##..##", "....##", "....##", "..###.", "....##", "....##", "....##", "##..##", ".####."},
    {"##..##", "##..##", "##..##", "##..##", "######", "....##", "....##", "....##", "....##", "....##"},
    {"######", "##....", "##....", "#####.", "....##", "....##", "....##", "....##", "##..##", ".####."},
    {".####.", "##..##", "##....", "##....", "#####.", "##..##", "##..##", "##..##", "##..##", ".####."},
    {"######", "....##", "....##", "...##.", "...##.", "..##..", "..##..", "..##..", "..##..", "..##.."},
    {".####.", "##..##", "##..##", "##..##", ".####.", "##..##", "##..##", "##..##", "##..##", ".####."},
    {".####.", "##..##", "##..##", "##..##", "##..##", ".#####", "....##", "....##", "##..##", ".####."},
    {".####.", "##..##", "##..##", "##..##", "##..##", "######", "##..##", "##..##", "##..##", "##..##"},
    {"#####.", "##..##", "##..##", "##..##", "#####.", "##..##", "##..##", "##..##", "##..##", "#####."},
    {".####.", "##..##", "##....", "##....", "##....", "##....", "##....", "##....", "##..##", ".####."},
    {"#####.", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", "#####."},
    {"######", "##....", "##....", "##....", "#####.", "##....", "##....", "##....", "##....", "######"},
    {"######", "##....", "##....", "##....", "#####.", "##....", "##....", "##....", "##....", "##...."},
    {".####.", "##..##", "##....", "##....", "##.###", "##..##", "##..##", "##..##", "##..##", ".####."},
    {"##..##", "##..##", "##..##", "##..##", "######", "##..##", "##..##", "##..##", "##..##", "##..##"},
    {"######", "..##..", "..##..", "..##..", "..##..", "..##..", "..##..", "..##..", "..##..", "######"},
    {"...###", "....##", "....##", "....##", "....##", "....##", "....##", "##..##", "##..##", ".####."},
    {"##..##", "##..##", "##.##.", "####..", "###...", "####..", "##.##.", "##..##", "##..##", "##..##"},
}};

void drawGlyph(Canvas& c, int index, int x, int y, Rgb colour) {
    for (int row = 0; row < glyphH; ++row)
        for (int col = 0; col < glyphW; ++col)
            if (glyphs[index][row][col] == '#') c.set(x + col, y + row, colour);
}

// ---------------------------------------------------------------- the twenty free robots

// A free robot stands inside its cell with a see-through margin, a dark outline, feet and an antenna, so that
// free robots side by side stay separate shapes. Each is told apart four ways: its colour, its number (as
// tall as the cell allows), its eyes (five kinds) and its antenna (four kinds).
Rgb robotColour(int i) {
    const double hue = i * 137.508;  // golden angle: neighbours in the list never look alike
    return hsv(hue, i % 2 ? 0.62 : 0.78, i % 3 == 2 ? 0.80 : 0.93);
}

// The rows of a free robot: antenna above the outline, eyes under it, then the number down to the bottom
// outline, feet below.
constexpr int bodyTop = 2, eyesTop = 3, numberTop = 8, bodyBottom = 18;

void drawRobotBody(Canvas& c, int x, int y, Rgb base) {
    const Rgb outline = scale(base, 0.3);
    for (int j = bodyTop; j <= bodyBottom; ++j)
        for (int i = 1; i <= 18; ++i) {
            const bool corner = (i == 1 || i == 18) && (j == bodyTop || j == bodyBottom);
            if (corner) continue;
            const bool edge = i == 1 || i == 18 || j == bodyTop || j == bodyBottom;
            c.set(x + i, y + j, edge ? outline : base);
        }
    c.hline(x + 3, x + 16, y + bodyTop + 1, mix(base, white, 0.45));
    c.vline(x + 2, y + bodyTop + 2, y + bodyBottom - 2, mix(base, white, 0.25));
    c.vline(x + 17, y + bodyTop + 2, y + bodyBottom - 1, scale(base, 0.78));
    c.hline(x + 3, x + 17, y + bodyBottom - 1, scale(base, 0.7));
    // Feet, apart, so the robot stands rather than lies on the floor.
    const Rgb foot = scale(base, 0.3);
    c.hline(x + 3, x + 7, y + 19, foot);
    c.hline(x + 12, x + 16, y + 19, foot);
}

void drawAntenna(Canvas& c, int x, int y, int kind) {
    const Rgb stalk{70, 72, 88};
    const Rgb light = hsv(kind * 90 + 30, 0.7, 1.0);
    switch (kind) {
        case 0:  // one stalk with a bulb
            c.fill(x + 9, y + 1, 2, 1, stalk);
            c.fill(x + 8, y + 0, 4, 1, light);
            break;
        case 1:  // two feelers
            c.set(x + 5, y + 1, stalk), c.set(x + 4, y + 0, light);
            c.set(x + 14, y + 1, stalk), c.set(x + 15, y + 0, light);
            break;
        case 2:  // a glass dome
            c.hline(x + 7, x + 12, y + 0, Rgb{120, 220, 255});
            c.hline(x + 6, x + 13, y + 1, Rgb{70, 170, 220});
            c.set(x + 8, y + 0, white);
            break;
        default:  // a crown of three spikes
            c.hline(x + 6, x + 13, y + 1, stalk);
            c.set(x + 6, y + 0, light), c.set(x + 9, y + 0, light), c.set(x + 10, y + 0, light);
            c.set(x + 13, y + 0, light);
            break;
    }
}

// Eyes in the four rows under the top outline; `look` turns the pupils left, ahead or right.
void drawEyes(Canvas& c, int x, int y, int kind, int look) {
    const Rgb ink{20, 20, 30};
    const int t = y + eyesTop;
    switch (kind) {
        case 0:  // round eyes
            for (int e : {4, 12}) {
                c.fill(x + e, t + 1, 4, 2, white);
                c.fill(x + e + 1, t, 2, 4, white);
                c.fill(x + e + look, t + 1, 2, 2, ink);
            }
            break;
        case 1: {  // a visor with a glowing slit
            c.fill(x + 3, t, 14, 4, ink);
            const Rgb glow = look == 1 ? Rgb{255, 90, 70} : Rgb{90, 255, 220};
            c.fill(x + 4, t + 1, 12, 2, glow);
            c.fill(x + 4 + look * 5, t + 1, 2, 2, white);
            break;
        }
        case 2:  // one big eye
            c.fill(x + 7, t + 1, 6, 2, white);
            c.fill(x + 8, t, 4, 4, white);
            c.fill(x + 8 + look, t + 1, 2, 2, ink);
            break;
        case 3:  // happy eyes, shut
            for (int e : {4, 12}) {
                c.hline(x + e + 1, x + e + 2, t + 1, ink);
                c.set(x + e, t + 2, ink), c.set(x + e + 3, t + 2, ink);
            }
            break;
        default:  // goggles
            for (int e : {3, 11}) {
                c.fill(x + e, t, 6, 4, ink);
                c.fill(x + e + 1, t + 1, 4, 2, Rgb{200, 235, 255});
                c.fill(x + e + 1 + look + (look > 0), t + 1, 2 - (look == 1), 2, ink);
            }
            break;
    }
}

void drawRobot(Canvas& c, int x, int y, int i) {
    const Rgb base = robotColour(i);
    drawRobotBody(c, x, y, base);
    drawAntenna(c, x, y, i % 4);
    drawEyes(c, x, y, i % 5, i % 3);
    // The number straight on the body, in whichever of a near-white and a near-black ink reads better on it.
    const Rgb light = mix(base, white, 0.88), dark = scale(base, 0.16);
    drawGlyph(c, i, x + 7, y + numberTop, contrast(light, base) > contrast(dark, base) ? light : dark);
}

// ---------------------------------------------------------------- the fused creature

// Body, eyes and teeth fill their whole cell and share one hull, so that a group of them reads as one big
// machine: nothing marks a cell's edge. Glowing conduits run from each cell's centre to the middle of all
// four edges, so the conduits of touching members join into one network; the hull plates sit between the
// conduits, each straddling four cells.
constexpr Rgb armour{156, 168, 190};
constexpr Rgb conduitEdge{96, 110, 136}, conduitGlow{90, 220, 255}, conduitCore{210, 250, 255};

// The robot whose face the icons show.
constexpr int iconRobot = 0;

// Conduits cross the cell through columns and rows 8 to 11.
constexpr int conduitFrom = 8, conduitTo = 11;

void drawHull(Canvas& c, int x, int y) {
    c.fill(x, y, cell, cell, armour);
    // Each quarter of the cell is one corner of a plate that continues into the neighbouring cells: lit
    // where the plate begins (its top and left), shaded where it ends.
    const Rgb lit = mix(armour, white, 0.4), shade = scale(armour, 0.72);
    c.hline(x + conduitTo + 1, x + 19, y + conduitTo + 1, lit);
    c.vline(x + conduitTo + 1, y + conduitTo + 1, y + 19, lit);
    c.vline(x + conduitTo + 1, y + 0, y + conduitFrom - 1, lit);
    c.hline(x + 0, x + conduitFrom - 1, y + conduitTo + 1, lit);
    c.hline(x + 0, x + conduitFrom - 1, y + conduitFrom - 1, shade);
    c.vline(x + conduitFrom - 1, y + 0, y + conduitFrom - 1, shade);
    c.hline(x + conduitTo + 1, x + 19, y + conduitFrom - 1, shade);
    c.vline(x + conduitFrom - 1, y + conduitTo + 1, y + 19, shade);
}

// One conduit from the cell's centre to the middle of an edge: dark walls and a glowing core.
void drawConduit(Canvas& c, int x, int y, int dx, int dy) {
    for (int k = 0; k < cell / 2; ++k) {
        for (int w = conduitFrom; w <= conduitTo; ++w) {
            const int along = dx ? (dx > 0 ? cell / 2 + k : cell / 2 - 1 - k) : w;
            const int across = dy ? (dy > 0 ? cell / 2 + k : cell / 2 - 1 - k) : w;
            const bool wall = w == conduitFrom || w == conduitTo;
            c.set(x + along, y + across, wall ? conduitEdge : conduitGlow);
        }
    }
}

void drawCreatureBody(Canvas& c, int x, int y) {
    drawHull(c, x, y);
    for (const auto [dx, dy] : std::array<std::array<int, 2>, 4>{{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}})
        drawConduit(c, x, y, dx, dy);
    // The hub where the four conduits meet.
    c.fill(x + 7, y + 7, 6, 6, conduitEdge);
    c.fill(x + 8, y + 8, 4, 4, conduitGlow);
    c.fill(x + 9, y + 9, 2, 2, conduitCore);
}

// The face band runs from edge to edge, so the conduits of the neighbours on either side plug into it.
void drawFaceBand(Canvas& c, int x, int y, Rgb fill) {
    drawHull(c, x, y);
    drawConduit(c, x, y, 0, -1);
    drawConduit(c, x, y, 0, 1);
    c.fill(x, y + 4, cell, 12, fill);
    c.hline(x, x + 19, y + 3, conduitEdge);
    c.hline(x, x + 19, y + 16, conduitEdge);
}

void drawCreatureEyes(Canvas& c, int x, int y) {
    drawFaceBand(c, x, y, Rgb{28, 24, 36});
    // Two angry glowing eyes, slanted down toward the nose.
    const Rgb rim{200, 30, 20}, mid{255, 140, 30}, core{255, 245, 170};
    for (int side = 0; side < 2; ++side) {
        auto at = [&](int i, int j, Rgb col) { c.set(x + (side ? 19 - i : i), y + j, col); };
        for (int i = 2; i <= 8; ++i) {
            const int top = i <= 4 ? 6 : 6 + (i - 4);
            for (int j = top; j <= 13; ++j)
                at(i, j, rim);
        }
        for (int i = 3; i <= 7; ++i) {
            const int top = i <= 4 ? 7 : 7 + (i - 4);
            for (int j = top; j <= 12; ++j)
                at(i, j, mid);
        }
        for (int i = 3; i <= 5; ++i)
            for (int j = 9; j <= 11; ++j)
                at(i, j, core);
    }
}

void drawCreatureTeeth(Canvas& c, int x, int y) {
    const Rgb mouth{90, 12, 24}, throat{30, 0, 8}, tooth{245, 245, 232}, toothShade{190, 190, 175};
    drawFaceBand(c, x, y, mouth);
    c.fill(x, y + 8, cell, 4, throat);
    // Upper fangs point down, lower fangs point up, set between them so the jaws seem to bite. The pattern
    // repeats every 5 pixels and wraps round the cell, so two mouths side by side make one long grin.
    auto at = [&](int i, int j, Rgb col) { c.set(x + (i + cell) % cell, y + j, col); };
    for (int k = 0; k < 4; ++k) {
        const int u = 5 * k;
        for (int i = 1; i <= 3; ++i)
            at(u + i, 4, tooth), at(u + i, 5, i == 3 ? toothShade : tooth);
        at(u + 2, 6, tooth), at(u + 2, 7, toothShade);
        const int l = u + 3;
        for (int i = 0; i <= 2; ++i)
            at(l + i, 15, tooth), at(l + i, 14, i == 2 ? toothShade : tooth);
        at(l + 1, 13, tooth), at(l + 1, 12, toothShade);
    }
}

// ---------------------------------------------------------------- map tiles

void drawBeltRight(Canvas& c, int x, int y) {
    const Rgb rail{120, 124, 140}, railDark{70, 72, 84}, belt{40, 42, 52};
    c.fill(x, y, cell, cell, belt);
    c.fill(x, y, cell, 3, rail);
    c.fill(x, y + 17, cell, 3, rail);
    c.hline(x, x + 19, y, mix(rail, white, 0.4));
    c.hline(x, x + 19, y + 19, railDark);
    // Treads on the rails, so that rows of belts read as one moving band.
    for (int i = 2; i < cell; i += 5) {
        c.vline(x + i, y + 1, y + 2, railDark);
        c.vline(x + i, y + 17, y + 18, railDark);
    }
    // A bold arrow, outlined in black so that it reads on any neighbour.
    std::array<std::array<bool, cell>, cell> arrow{};
    for (int i = 3; i <= 9; ++i)
        for (int j = 8; j <= 11; ++j)
            arrow[j][i] = true;
    for (int k = 0; k <= 5; ++k)
        for (int j = 4 + k; j <= 15 - k; ++j)
            arrow[j][10 + k] = true;
    const Rgb fill{255, 205, 40}, fillLight{255, 240, 150}, fillDark{225, 150, 20};
    for (int j = 1; j < cell - 1; ++j)
        for (int i = 1; i < cell - 1; ++i) {
            if (arrow[j][i]) {
                c.set(x + i, y + j, j < 9 ? fillLight : j > 11 ? fillDark : fill);
            } else if (arrow[j - 1][i] || arrow[j + 1][i] || arrow[j][i - 1] || arrow[j][i + 1]) {
                c.set(x + i, y + j, black);
            }
        }
}

void mirrorCell(Canvas& c, int fromX, int fromY, int toX, int toY) {
    for (int j = 0; j < cell; ++j)
        for (int i = 0; i < cell; ++i)
            c.px[toX + (cell - 1 - i) + (toY + j) * c.w] = c.at(fromX + i, fromY + j);
}

void drawBreaker(Canvas& c, int x, int y) {
    const Rgb yellow{250, 200, 30}, stripe{30, 28, 30};
    for (int j = 0; j < cell; ++j)
        for (int i = 0; i < cell; ++i)
            c.set(x + i, y + j, ((i + j) / 4) % 2 ? stripe : yellow);
    // A red warning plate with a white exclamation mark: this cell breaks the group apart.
    const Rgb plate{200, 30, 35}, plateDark{110, 10, 15};
    for (int j = 3; j <= 16; ++j)
        for (int i = 4; i <= 15; ++i) {
            const bool corner = (i == 4 || i == 15) && (j == 3 || j == 16);
            if (!corner) c.set(x + i, y + j, (i == 4 || i == 15 || j == 3 || j == 16) ? plateDark : plate);
        }
    c.hline(x + 5, x + 14, y + 4, Rgb{235, 80, 80});
    c.fill(x + 9, y + 5, 2, 7, white);
    c.fill(x + 9, y + 13, 2, 2, white);
}

void drawWall(Canvas& c, int x, int y) {
    const Rgb mortar{34, 36, 50};
    c.fill(x, y, cell, cell, mortar);
    // Two courses of bricks, the lower one shifted by half a brick, so that walls tile seamlessly.
    struct Brick {
        int x0, x1, y0, y1;
        double tint;
    };
    constexpr std::array<Brick, 3> bricks{{{1, 19, 0, 8, 1.0}, {0, 9, 10, 18, 0.92}, {11, 19, 10, 18, 1.06}}};
    const Rgb stone{82, 90, 128};
    for (const Brick& b : bricks) {
        const Rgb face = scale(stone, b.tint);
        for (int j = b.y0; j <= b.y1; ++j)
            for (int i = b.x0; i <= b.x1; ++i)
                c.set(x + i, y + j, face);
        c.hline(x + b.x0, x + b.x1, y + b.y0, mix(face, white, 0.25));
        c.hline(x + b.x0, x + b.x1, y + b.y1, scale(face, 0.7));
    }
    // Left and right ends of the bricks that meet the next tile keep their own edges.
    c.vline(x + 1, y + 1, y + 7, mix(stone, white, 0.12));
    c.vline(x + 9, y + 11, y + 17, scale(stone, 0.75));
    c.vline(x + 11, y + 11, y + 17, mix(stone, white, 0.12));
    c.set(x + 5, y + 4, scale(stone, 0.8)), c.set(x + 14, y + 6, scale(stone, 0.8));
    c.set(x + 4, y + 14, scale(stone, 0.8)), c.set(x + 16, y + 13, scale(stone, 0.85));
}

void drawGoal(Canvas& c, int x, int y) {
    // A glowing landing pad: concentric rings with a star, see-through outside its round edge.
    for (int j = 0; j < cell; ++j)
        for (int i = 0; i < cell; ++i) {
            const double d = std::hypot(i + 0.5 - 10, j + 0.5 - 10);
            Rgb col = key;
            if (d <= 9.8) col = Rgb{20, 90, 50};
            if (d <= 9.8 && d > 8.2) col = Rgb{90, 255, 140};
            if (d <= 6.4 && d > 4.8) col = Rgb{60, 200, 110};
            if (d <= 3.4) col = Rgb{255, 250, 180};
            if (col == key) {
                c.clearKey(x + i, y + j);
            } else {
                c.set(x + i, y + j, col);
            }
        }
    // Star points.
    const Rgb star{255, 250, 180};
    c.vline(x + 9, y + 4, y + 15, star), c.vline(x + 10, y + 4, y + 15, star);
    c.hline(x + 4, x + 15, y + 9, star), c.hline(x + 4, x + 15, y + 10, star);
    c.fill(x + 9, y + 9, 2, 2, white);
}

// ---------------------------------------------------------------- lettering

struct TextStyle {
    Rgb top = white, bottom = white;
    Rgb outline = black;
    int outlineWidth = 0;
    int shadow = 0;
};

int textWidth(TTF_Font* font, const char* text) {
    int w = 0, h = 0;
    TTF_SizeUTF8(font, text, &w, &h);
    return w;
}

// Draws text with its top-left at (x, y): shadow, then outline, then a vertical colour gradient.
void drawText(Canvas& c, TTF_Font* font, const char* text, int x, int y, const TextStyle& style) {
    SDL_Surface* s = TTF_RenderUTF8_Blended(font, text, SDL_Color{255, 255, 255, 0});
    if (!s) return;
    SDL_LockSurface(s);
    const int w = s->w, h = s->h, pad = style.outlineWidth + style.shadow + 1;
    const int mw = w + 2 * pad, mh = h + 2 * pad;
    std::vector<double> alpha(mw * mh, 0.0), grown(mw * mh, 0.0);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const Uint32 p = static_cast<const Uint32*>(s->pixels)[i + j * s->pitch / 4];
            Uint8 r, g, b, a;
            SDL_GetRGBA(p, s->format, &r, &g, &b, &a);
            alpha[(i + pad) + (j + pad) * mw] = a / 255.0;
        }
    SDL_UnlockSurface(s);
    SDL_FreeSurface(s);
    const int ow = style.outlineWidth;
    for (int j = 0; j < mh; ++j)
        for (int i = 0; i < mw; ++i) {
            double m = 0;
            for (int dj = -ow; dj <= ow; ++dj)
                for (int di = -ow; di <= ow; ++di) {
                    const int si = i + di, sj = j + dj;
                    if (si < 0 || sj < 0 || si >= mw || sj >= mh) continue;
                    const double reach = std::clamp(ow + 0.5 - std::hypot(di, dj), 0.0, 1.0);
                    m = std::max(m, alpha[si + sj * mw] * reach);
                }
            grown[i + j * mw] = m;
        }
    const int ox = x - pad, oy = y - pad;
    if (style.shadow)
        for (int j = 0; j < mh; ++j)
            for (int i = 0; i < mw; ++i)
                c.blend(ox + i + style.shadow, oy + j + style.shadow, black, 0.55 * grown[i + j * mw]);
    if (ow)
        for (int j = 0; j < mh; ++j)
            for (int i = 0; i < mw; ++i)
                c.blend(ox + i, oy + j, style.outline, grown[i + j * mw]);
    for (int j = 0; j < mh; ++j) {
        const Rgb col =
            mix(style.top, style.bottom, std::clamp((j - pad) / double(std::max(h - 1, 1)), 0.0, 1.0));
        for (int i = 0; i < mw; ++i)
            c.blend(ox + i, oy + j, col, alpha[i + j * mw]);
    }
}

void drawTextCentred(Canvas& c, TTF_Font* font, const char* text, int cx, int y, const TextStyle& style) {
    drawText(c, font, text, cx - textWidth(font, text) / 2, y, style);
}

// A key cap with its label centred; returns nothing, drawn at (x, y) with the given size.
void drawKeycap(Canvas& c, TTF_Font* font, const char* label, int x, int y, int w, int h) {
    c.roundRect(x + 1, y + 3, w, h, 7, Rgb{8, 8, 16}, 0.6);
    c.roundRect(x, y, w, h, 7, Rgb{70, 74, 100});
    c.roundRect(x + 3, y + 2, w - 6, h - 8, 5, ink::cap);
    c.roundRect(x + 5, y + 3, w - 10, 4, 2, white, 0.6);
    int tw = 0, th = 0;
    TTF_SizeUTF8(font, label, &tw, &th);
    drawText(c, font, label, x + (w - tw) / 2, y + (h - 6 - th) / 2, TextStyle{ink::capText, ink::capText});
}

// Text wrapped at word boundaries to a width, the first line starting `indent` pixels in (after a lead word
// drawn by the caller); returns the y below the last line.
int drawParagraph(Canvas& c, TTF_Font* font, const char* text, int x, int y, int width,
                  const TextStyle& style, int indent = 0) {
    const int lineHeight = TTF_FontLineSkip(font);
    std::string line, word;
    auto flush = [&] {
        drawText(c, font, line.c_str(), x + indent, y, style);
        y += lineHeight;
        indent = 0;
        line.clear();
    };
    for (const char* p = text;; ++p) {
        if (*p != ' ' && *p != '\0') {
            word += *p;
            continue;
        }
        const std::string wider = line.empty() ? word : line + " " + word;
        if (!line.empty() && textWidth(font, wider.c_str()) > width - indent) {
            flush();
            line = word;
        } else {
            line = wider;
        }
        word.clear();
        if (*p == '\0') break;
    }
    if (!line.empty()) flush();
    return y;
}

// A flat dark panel with a light rim: every line of the how-to-play sits on `ink::panel` exactly.
void drawPanel(Canvas& c, int x, int y, int w, int h) {
    c.roundRect(x - 2, y - 2, w + 4, h + 4, 14, Rgb{130, 140, 230}, 0.8);
    c.roundRect(x, y, w, h, 12, ink::panel);
}

// The outline of one cell of a pose not taken yet: every other pixel of its edge.
void dashedSquare(Canvas& c, int x, int y, int size, Rgb col) {
    for (int k = 0; k < size; k += 2) {
        c.set(x + k, y, col), c.set(x + k, y + size - 1, col);
        c.set(x, y + k, col), c.set(x + size - 1, y + k, col);
    }
}

void drawArrow(Canvas& c, int x0, int y, int x1, Rgb col) {
    c.line(x0, y, x1 - 2, y, 3, col);
    c.line(x1 - 8, y - 6, x1, y, 3, col);
    c.line(x1 - 8, y + 6, x1, y, 3, col);
}

// A small drawing of a group standing in a pose: the first `members` cells of the shape, `px` pixels each,
// in the hull of the group's pictures, with the conduits that join touching members and the face where the
// game puts it (the eyes on the last member of a group of six or fewer, else eyes and teeth mid-group).
void drawPose(Canvas& c, const shape& pose, int members, int x, int y, int px) {
    std::array<int, 36> at{};
    at.fill(-1);
    for (int i = 0; i < members; ++i)
        at[pose.col(i) + pose.row(i) * 6] = i;
    const int eyes = members > 6 ? members / 2 : members - 1;
    const int teeth = members > 6 ? members / 2 - 1 : -1;
    const int mid = px / 2;
    const Rgb outline{8, 8, 20};
    for (int pass = 0; pass < 2; ++pass)
        for (int k = 0; k < 36; ++k) {
            if (at[k] < 0) continue;
            const int cx = x + (k % 6) * px, cy = y + (k / 6) * px;
            if (pass == 0) {
                c.fill(cx - 1, cy - 1, px + 2, px + 2, outline);
                continue;
            }
            const int i = at[k];
            if (i == eyes || i == teeth) {
                c.fill(cx, cy, px, px, i == eyes ? Rgb{28, 24, 36} : Rgb{90, 12, 24});
                const Rgb dot = i == eyes ? Rgb{255, 140, 30} : Rgb{245, 245, 232};
                const int e = std::max(1, px / 4);
                c.fill(cx + e / 2 + (i == teeth), cy + mid - e / 2, e, e, dot);
                c.fill(cx + px - e - e / 2 - (i == teeth), cy + mid - e / 2, e, e, dot);
                continue;
            }
            c.fill(cx, cy, px, px, armour);
            c.set(cx + mid, cy + mid, conduitCore);
            auto linked = [&](int dc, int dr) {
                const int nc = k % 6 + dc, nr = k / 6 + dr;
                return nc >= 0 && nc < 6 && nr >= 0 && nr < 6 && at[nc + nr * 6] >= 0;
            };
            if (linked(1, 0)) c.hline(cx + mid, cx + px - 1, cy + mid, conduitGlow);
            if (linked(-1, 0)) c.hline(cx, cx + mid - 1, cy + mid, conduitGlow);
            if (linked(0, 1)) c.vline(cx + mid, cy + mid + 1, cy + px - 1, conduitGlow);
            if (linked(0, -1)) c.vline(cx + mid, cy, cy + mid - 1, conduitGlow);
        }
}

// ---------------------------------------------------------------- practice mode

constexpr Rgb rgbOf(groundColour g) {
    return Rgb{static_cast<std::uint8_t>(g.r), static_cast<std::uint8_t>(g.g),
               static_cast<std::uint8_t>(g.b)};
}
static_assert(rgbOf(signGround) == ink::panel && rgbOf(capGround) == ink::cap,
              "the practice signs' grounds are the title's panel and key cap");

// Every printable character in each ink, centred in its cell on the ink's ground.
void drawGlyphs(Canvas& c, TTF_Font* font) {
    struct Inking {
        glyphInk ink;
        Rgb letter, ground;
    };
    constexpr std::array<Inking, inkCount> inks{{{textInk, ink::text, ink::panel},
                                                 {headingInk, ink::heading, ink::panel},
                                                 {capInk, ink::capText, ink::cap}}};
    for (const Inking& inking : inks)
        for (char ch = ' '; ch <= '~'; ++ch) {
            const picturePart cell = glyph(inking.ink, ch);
            c.fill(cell.x, cell.y, cell.w, cell.h, inking.ground);
            const char text[2] = {ch, '\0'};
            drawText(c, font, text, cell.x + (cell.w - textWidth(font, text)) / 2,
                     cell.y + (cell.h - TTF_FontHeight(font)) / 2, TextStyle{inking.letter, inking.letter});
        }
}

// ---------------------------------------------------------------- backgrounds

void verticalGradient(Canvas& c, Rgb top, Rgb bottom) {
    for (int j = 0; j < c.h; ++j)
        c.fill(0, j, c.w, 1, mix(top, bottom, j / double(c.h - 1)));
}

// A cog wheel outline for the title's backdrop.
void drawGear(Canvas& c, double cx, double cy, double radius, int teeth, Rgb col, double alpha) {
    const double inner = radius * 0.82, hole = radius * 0.38;
    for (int y = static_cast<int>(cy - radius - 2); y <= static_cast<int>(cy + radius + 2); ++y)
        for (int x = static_cast<int>(cx - radius - 2); x <= static_cast<int>(cx + radius + 2); ++x) {
            int hits = 0;
            for (int sy = 0; sy < 3; ++sy)
                for (int sx = 0; sx < 3; ++sx) {
                    const double dx = x + (sx + 0.5) / 3 - cx, dy = y + (sy + 0.5) / 3 - cy;
                    const double d = std::hypot(dx, dy), angle = std::atan2(dy, dx);
                    const bool tooth = std::cos(angle * teeth) > 0.1;
                    hits += d > hole && (d < inner || (tooth && d < radius));
                }
            c.blend(x, y, col, alpha * hits / 9.0);
        }
}

// A 20 x 20 picture written one character a pixel: each character in `inks` paints its colour, any other
// (the dots) leaves the pixel see-through.
struct pixelInk {
    char c;
    Rgb colour;
};
template <std::size_t N>
Canvas pixelArt(const std::array<const char*, 20>& rows, const std::array<pixelInk, N>& inks) {
    Canvas c(20, 20, key);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20 && rows[y][x]; ++x)
            for (const pixelInk& ink : inks)
                if (ink.c == rows[y][x]) c.set(x, y, ink.colour);
    return c;
}

// The rage-quit screen's robot, one character per pixel.
Canvas sadRobot() {
    constexpr std::array<const char*, 20> rows{
        "........aaa.........", "........a..a........", "........a...r.......", "...oooooooooooooo...",
        "..ollllllllllllllo..", "..olbbmmbbbbmmbbso..", "..olmmbbbbbbbbmmso..", "..olbwwwbbbbwwwbso..",
        "..olbwwwbbbbwwwbso..", "..olbwppbbbbppwbso..", "..olbtbbbbbbbbbbso..", "..olbtbbbbbbbbbbso..",
        "..olbbbbmmmmbbbbso..", "..olbtbmbbbbmbbbso..", "..olbtbbbbbbbbbbso..", "..olbbbbbbbbbbbbso..",
        "..olbbbbbbbbbbbbso..", "..osssssssssssssso..", "...oooooooooooooo...", "....ffff....ffff....",
    };
    constexpr std::array<pixelInk, 11> inks{{{'o', {40, 45, 60}},
                                             {'l', {170, 184, 208}},
                                             {'b', {122, 137, 166}},
                                             {'s', {86, 96, 122}},
                                             {'w', {235, 240, 250}},
                                             {'p', {25, 25, 35}},
                                             {'m', {40, 45, 60}},
                                             {'t', {120, 200, 255}},
                                             {'a', {84, 88, 104}},
                                             {'r', {150, 64, 64}},
                                             {'f', {50, 52, 64}}}};
    return pixelArt(rows, inks);
}

// The winner's robot: antenna up with a light, open eyes, a wide smile, arms raised.
Canvas gladRobot() {
    constexpr std::array<const char*, 20> rows{
        ".........y..........", ".........a..........", ".........a..........", "h..oooooooooooooo..h",
        "h.ollllllllllllllo.h", "hholbbbbbbbbbbbbsohh", ".holbwwwbbbbwwwbsoh.", "..olbwpwbbbbwpwbso..",
        "..olbwwwbbbbwwwbso..", "..olbbbbbbbbbbbbso..", "..olbbbbbbbbbbbbso..", "..olbmbbbbbbbbmbso..",
        "..olbbmmmmmmmmbbso..", "..olbbbmmmmmmbbbso..", "..olbbbbbbbbbbbbso..", "..olbbbbbbbbbbbbso..",
        "..olbbbbbbbbbbbbso..", "..osssssssssssssso..", "...oooooooooooooo...", "....ffff....ffff....",
    };
    constexpr std::array<pixelInk, 11> inks{{{'o', {40, 45, 60}},
                                             {'l', {255, 222, 150}},
                                             {'b', {240, 180, 80}},
                                             {'s', {190, 130, 50}},
                                             {'w', {250, 250, 250}},
                                             {'p', {25, 25, 35}},
                                             {'m', {90, 30, 40}},
                                             {'h', {200, 150, 70}},
                                             {'a', {84, 88, 104}},
                                             {'y', {255, 250, 140}},
                                             {'f', {50, 52, 64}}}};
    return pixelArt(rows, inks);
}

// Never leave an exact key pixel in a background: the game would show the previous frame through it.
void banishKey(Canvas& c) {
    for (Rgb& p : c.px)
        if (p == key) p.g = 127;
}

}  // namespace

// ---------------------------------------------------------------- public drawings

bool Fonts::open() {
    constexpr const char* dir = "/usr/share/fonts/truetype/dejavu/";
    struct Face {
        TTF_Font** slot;
        const char* file;
        int size;
    };
    const std::array<Face, 10> faces{{{&huge, "DejaVuSans-Bold.ttf", 60},
                                      {&big, "DejaVuSans-Bold.ttf", 60},
                                      {&medium, "DejaVuSans-Bold.ttf", 22},
                                      {&text, "DejaVuSans.ttf", 16},
                                      {&textBold, "DejaVuSans-Bold.ttf", 16},
                                      {&italic, "DejaVuSans-Oblique.ttf", 19},
                                      {&keycap, "DejaVuSansMono-Bold.ttf", 20},
                                      {&smallCap, "DejaVuSansMono-Bold.ttf", 16},
                                      {&label, "DejaVuSans-Bold.ttf", 18},
                                      {&glyphs, "DejaVuSansMono-Bold.ttf", 16}}};
    for (const Face& f : faces) {
        char path[256];
        std::snprintf(path, sizeof path, "%s%s", dir, f.file);
        *f.slot = TTF_OpenFont(path, f.size);
        if (!*f.slot) {
            std::printf("brakko-assetgen: cannot open font %s: %s\n", path, TTF_GetError());
            return false;
        }
    }
    return true;
}

void Fonts::close() {
    for (TTF_Font** f :
         {&huge, &big, &medium, &text, &textBold, &italic, &keycap, &smallCap, &label, &glyphs}) {
        if (*f) TTF_CloseFont(*f);
        *f = nullptr;
    }
}

Canvas drawSheet() {
    Canvas c(sheetWidth, sheetHeight, key);
    for (int i = 0; i < robotPictures; ++i)
        drawRobot(c, robotCell(i).x, robotCell(i).y, i);
    drawCreatureTeeth(c, sprTeethCell.x, sprTeethCell.y);
    drawCreatureEyes(c, sprEyesCell.x, sprEyesCell.y);
    drawCreatureBody(c, sprBodyCell.x, sprBodyCell.y);
    drawBeltRight(c, tapisDCell.x, tapisDCell.y);
    mirrorCell(c, tapisDCell.x, tapisDCell.y, tapisGCell.x, tapisGCell.y);
    drawBreaker(c, casseCell.x, casseCell.y);
    drawWall(c, blockCell.x, blockCell.y);
    drawGoal(c, goalCell.x, goalCell.y);
    // The floor cell stays all key colour: an empty cell shows whatever lies behind the map.
    return c;
}

Canvas drawTooth() {
    constexpr int w = 100, h = 250, toothH = 22;
    Canvas c(w, h, key);
    const Rgb jaw{92, 96, 116}, gum{170, 40, 60}, gumDark{110, 20, 36};
    const Rgb ivory{246, 240, 220}, ivoryShade{200, 190, 165}, ivoryLight{255, 255, 245};
    // The jaw between the two rows of teeth: riveted metal with a gum band along each edge.
    for (int j = toothH; j < h - toothH; ++j) {
        const double t = (j - toothH) / double(h - 2 * toothH - 1);
        const Rgb base = mix(jaw, scale(jaw, 0.7), std::abs(t - 0.5) * 2);
        c.fill(0, j, w, 1, base);
    }
    for (int band = 0; band < 2; ++band) {
        const int y0 = band ? h - toothH - 12 : toothH;
        c.fill(0, y0, w, 12, gum);
        c.fill(0, band ? y0 : y0 + 10, w, 2, gumDark);
    }
    for (int i = 0; i < w; i += 25)
        for (int j : {toothH + 30, h - toothH - 32}) {
            c.disc(i + 12.5, j, 3.2, scale(jaw, 0.5));
            c.disc(i + 12, j - 0.5, 2.6, mix(jaw, white, 0.5));
        }
    c.fill(0, h / 2 - 2, w, 4, scale(jaw, 0.55));
    c.fill(0, h / 2 - 2, w, 1, mix(jaw, white, 0.3));
    // Four fangs on each edge, 25 pixels apart; between their tips the curtain is see-through. The top
    // edge's fangs sit half a fang along from the bottom edge's (the one on the seam is split between
    // neighbouring pictures), so where the two rows of the curtain meet, the jaws seem to interlock.
    for (int edge = 0; edge < 2; ++edge)
        for (int k = 0; k < 5; ++k) {
            const double cx = k * 25 + (edge ? 12.5 : 0);
            for (int d = 0; d < toothH + 2; ++d) {
                // d counts from the tip (0) back into the jaw.
                const int y = edge ? h - 1 - d : d;
                const double half = std::min(10.5, 1.5 + d * 0.5);
                for (int x = static_cast<int>(cx - half); x < static_cast<int>(cx + half + 1); ++x) {
                    const double rel = (x + 0.5 - cx) / half;
                    if (std::abs(rel) > 1) continue;
                    const Rgb col = rel < -0.45 ? ivoryLight : rel > 0.4 ? ivoryShade : ivory;
                    c.set(x, y, d == 0 ? ivoryShade : col);
                }
            }
        }
    return c;
}

Canvas drawTitle(const Canvas& sheet, const Fonts& f, bool touch) {
    Canvas c(800, 500, black);
    verticalGradient(c, Rgb{14, 18, 50}, Rgb{52, 24, 76});
    Dice dice{7};
    for (int s = 0; s < 160; ++s) {
        const int x = dice.below(800), y = dice.below(500);
        c.blend(x, y, Rgb{220, 230, 255}, 0.25 + 0.6 * dice.unit());
    }
    drawGear(c, 70, 70, 110, 12, Rgb{150, 160, 255}, 0.08);
    drawGear(c, 760, 120, 80, 10, Rgb{150, 160, 255}, 0.08);
    drawGear(c, 640, 30, 50, 8, Rgb{150, 160, 255}, 0.06);

    // The name, over the sandbox where the poses are tried.
    drawTextCentred(c, f.huge, "Brakko", 150, 0,
                    TextStyle{Rgb{255, 236, 130}, ink::name, ink::nameOutline, 5, 5});

    // The stage for the title map (15 x 13 cells drawn at x 0, y 260): a spotlight behind its robots.
    for (int j = 280; j < 480; ++j)
        for (int i = 20; i < 280; ++i) {
            const double d = std::hypot((i - 150) / 1.3, j - 250) / 230.0;
            c.blend(i, j, Rgb{150, 130, 220}, std::clamp(0.55 - d * 0.55, 0.0, 1.0));
        }

    // The nine keys, each beside the pose it asks of the twenty robots below.
    drawPanel(c, 6, 76, 288, 180);
    drawTextCentred(c, f.label, "Nine poses: try them below", 150, 80, TextStyle{ink::heading, ink::heading});
    constexpr std::array<const char*, 9> letters{"q", "w", "e", "a", "s", "d", "z", "x", "c"};
    for (int k = 0; k < 9; ++k) {
        const int x = 14 + (k % 3) * 94, y = 104 + (k / 3) * 48;
        drawKeycap(c, f.keycap, letters[k], x, y + 9, 30, 30);
        shape pose;
        pose.build(thoseShape0[k]);
        drawPose(c, pose, pose.size(), x + 38, y, 8);
    }

    // How to play: what each move does, with the pictures the game shows.
    const int px = 306, pw = 488;
    drawPanel(c, px, 6, pw, 488);
    const TextStyle plain{ink::text, ink::text};
    drawText(c, f.medium, "How to play", px + 16, 12, TextStyle{ink::heading, ink::heading});
    const int pictureX = px + 12, textX = px + 104, textW = px + pw - 12 - textX;
    int y = 44;
    // Each lesson: its picture on the left, twice the game's size, and on the right its word in bold, then
    // the sentence.
    const TextStyle lead{ink::heading, ink::heading};
    // A lesson in the touch pad's words takes the room of the keyboard's, so that every lesson below stands
    // where it always does: `keysText` is the keyboard's, measured on a scratch canvas.
    auto lesson = [&](int pictureH, const char* word, const char* text, const char* keysText = nullptr) {
        drawText(c, f.textBold, word, textX, y, lead);
        const int indent = textWidth(f.textBold, word) + textWidth(f.text, " ");
        int below = drawParagraph(c, f.text, text, textX, y, textW, plain, indent);
        if (keysText != nullptr) {
            Canvas scratch(c.w, c.h, black);
            const int keysBelow = drawParagraph(scratch, f.text, keysText, textX, y, textW, plain, indent);
            if (below > keysBelow)
                std::printf("brakko-assetgen: the touch words of \"%s\" take more lines\n", word);
            below = keysBelow;
        }
        y = std::max(below, y + pictureH) + 6;
    };
    auto picture = [&](sheetCell from, int x, int top) {
        c.stamp(sheet, from.x, from.y, cell, cell, x, top, 2);
    };

    // Joining: a free robot touching the group's face.
    picture(robotCell(2), pictureX, y);
    picture(sprEyesCell, pictureX + 40, y);
    lesson(40, "Join:", "with no group, a pose key joins two touching robots; more join when they touch it.");

    // Walking: in the levels the eyes mark the robot that joined last, where the next pose starts.
    picture(sprBodyCell, pictureX, y);
    picture(sprEyesCell, pictureX + 40, y);
    drawArrow(c, pictureX + 4, y + 50, pictureX + 80, ink::hint);
    lesson(56, "Walk:",
           "in the levels a new pose grows from where the eyes are: c and d in turn walk right, a and z walk "
           "left.");

    // Climbing: Space and s, and the pair they lift, drawn at three steps in a row, each a cell higher. A
    // group that has just let go takes its next pose without falling first, and s stands the second robot
    // on the first: so every step, let go and stood up, gains a cell. A step without both falls a cell, and
    // the pair only bobs.
    // On a touch screen the pad's buttons: "let go" and the s pose.
    if (touch) {
        drawKeycap(c, f.smallCap, "let go", pictureX, y, 64, 24);
        drawKeycap(c, f.smallCap, "s", pictureX + 66, y, 24, 24);
    } else {
        drawKeycap(c, f.smallCap, "Space", pictureX, y, 58, 24);
        drawKeycap(c, f.smallCap, "s", pictureX + 62, y, 24, 24);
    }
    for (int k = 0; k < 3; ++k) {
        const int sx = pictureX + 2 + k * 22, sy = y + 50 - k * 10;
        c.stamp(sheet, sprEyesCell.x, sprEyesCell.y, cell, cell, sx, sy, 1);
        c.stamp(sheet, sprBodyCell.x, sprBodyCell.y, cell, cell, sx, sy + cell, 1);
        if (k < 2) c.fillBlend(sx, sy, cell, 2 * cell, ink::panel, 0.55 - 0.25 * k);
    }
    c.line(pictureX + 79, y + 86, pictureX + 79, y + 31, 3, ink::hint);
    c.line(pictureX + 73, y + 37, pictureX + 79, y + 30, 3, ink::hint);
    c.line(pictureX + 85, y + 37, pictureX + 79, y + 30, 3, ink::hint);
    constexpr const char* climbKeys =
        "Space, then s, while the group still glides: it lets go and two of its robots stand a cell higher. "
        "Once a step, about six times a second, it climbs the air; slower or faster only bobs. In practice "
        "mode p pauses and n steps: Space, s, n climbs at any pace.";
    if (touch)
        lesson(
            90, "Climb:",
            "let go, then s, while the group still glides: it lets go and two of its robots stand a cell "
            "higher. Once a step, about six times a second, it climbs the air; slower or faster only bobs. "
            "In practice mode Pause, then let go, s, Step climbs at any pace.",
            climbKeys);
    else
        lesson(90, "Climb:", climbKeys);

    // Waiting: a pose drawn as an outline, asked for but not yet taken.
    {
        shape waiting;
        waiting.build(thoseShape1[0]);
        waiting.adjust(0, 1);  // its two rows from the top of the picture
        for (int i = 0; i < waiting.size(); ++i)
            dashedSquare(c, pictureX + 20 + waiting.col(i) * 13, y + waiting.row(i) * 13, 13, ink::hint);
    }
    lesson(26, "Wait:",
           "a pose that does not fit yet is taken as soon as it fits. The levels have no w or x pose.");

    picture(tapisDCell, pictureX + 20, y);
    lesson(40, "Belt:", "carries free robots and the whole group, one cell at a time.");
    picture(casseCell, pictureX + 20, y);
    lesson(40, "Striped block:",
           "a group on it falls apart; free robots on it are pushed left and right in turn.");
    picture(goalCell, pictureX + 20, y);
    lesson(40, "Goal:", "a robot of your group standing on it wins.");

    struct Row {
        const char* key;
        const char* what;
    };
    constexpr std::array<Row, 2> rows{{{"Return", "starts level 1"}, {"Escape", "gives up"}}};
    for (int r = 0; r < 2; ++r) {
        const int rx = px + 16 + r * 236, ry = 458;
        // The pad's start button, and its give-up button, whose name says what it does.
        if (touch && r == 0) drawKeycap(c, f.keycap, "start", rx, ry, 96, 30);
        if (touch && r == 1) drawKeycap(c, f.smallCap, "hold to give up", rx, ry, 170, 30);
        if (touch) {
            if (r == 0) drawText(c, f.text, rows[r].what, rx + 106, ry + 4, plain);
            continue;
        }
        drawKeycap(c, f.keycap, rows[r].key, rx, ry, 96, 30);
        drawText(c, f.text, rows[r].what, rx + 106, ry + 4, plain);
    }
    static_assert(px + 16 + 106 == titleReturnWordsX && 458 + 4 == titleReturnWordsY,
                  "practice mode covers the title's words after Return where they are");
    banishKey(c);
    return c;
}

// The end screens' last row: the key that quits, or on a touch screen the page's Quit button.
void drawQuitRow(Canvas& c, const Fonts& f, bool touch) {
    const int rowY = 418;
    const char* before = touch ? "Tap" : "Press";
    const char* after = "to quit.";
    const int wb = textWidth(f.medium, before), wa = textWidth(f.medium, after), capW = 110;
    const int x0 = 400 - (wb + 14 + capW + 14 + wa) / 2;
    const TextStyle say{Rgb{235, 238, 250}, Rgb{200, 206, 230}, Rgb{10, 10, 20}, 2, 0};
    drawText(c, f.medium, before, x0, rowY + 2, say);
    drawKeycap(c, f.keycap, touch ? "Quit" : "Escape", x0 + wb + 14, rowY - 2, capW, 36);
    drawText(c, f.medium, after, x0 + wb + 14 + capW + 14, rowY + 2, say);
}

// What screen 8's two pictures say and show over their own sky: the heading, two lines under it, the pits'
// labels for the robots left over, and the big robot in the middle.
struct endLook {
    const char* heading;
    TextStyle headingStyle;
    const char* lines[2];
    TextStyle lineStyle;
    const char* pits[2];
    double pitShade;
    TextStyle pitStyle;
    const Canvas& robot;
};

void drawEnd(Canvas& c, const Fonts& f, bool touch, const endLook& look) {
    drawTextCentred(c, f.big, look.heading, 400, 14, look.headingStyle);
    drawTextCentred(c, f.italic, look.lines[0], 400, 100, look.lineStyle);
    drawTextCentred(c, f.italic, look.lines[1], 400, 128, look.lineStyle);
    // The two boxes (cells 0 to 9 and 30 to 39 of rows 10 to 24) are pits for the left-over robots.
    for (int box = 0; box < 2; ++box) {
        const int bx = box ? 620 : 20;
        c.fillBlend(bx, 220, 160, 260, Rgb{6, 8, 16}, look.pitShade);
        drawTextCentred(c, f.label, look.pits[box], bx + 80, 172, look.pitStyle);
    }
    // The big robot in the middle, pixel art eight times larger, on its shadow.
    c.roundRect(340, 382, 120, 12, 6, black, 0.35);
    c.stamp(look.robot, 0, 0, 20, 20, 320, 230, 8);
    drawQuitRow(c, f, touch);
    banishKey(c);
}

Canvas drawLoose(const Canvas&, const Fonts& f, bool touch) {
    Canvas c(800, 500, black);
    verticalGradient(c, Rgb{18, 20, 34}, Rgb{44, 48, 66});
    // Rain.
    Dice dice{2024};
    for (int s = 0; s < 420; ++s) {
        const double x = dice.below(860) - 30, y = dice.below(520) - 20, len = 8 + dice.below(10);
        c.line(x, y, x - len * 0.3, y + len, 1.2, Rgb{150, 170, 220}, 0.16 + 0.16 * dice.unit());
    }
    // A sad robot: drooping antenna, raised brows, a tear.
    drawEnd(c, f, touch,
            {"Rage quit.",
             TextStyle{Rgb{215, 222, 240}, Rgb{120, 130, 170}, Rgb{10, 10, 20}, 4, 5},
             {"The robots will ride the belts without you.", "They say they are fine. They are not fine."},
             TextStyle{Rgb{190, 198, 225}, Rgb{170, 178, 210}},
             {"Left behind", "Also left behind"},
             0.55,
             TextStyle{Rgb{160, 170, 205}, Rgb{130, 140, 180}, black, 2, 0},
             sadRobot()});
    return c;
}

Canvas drawWon(const Canvas&, const Fonts& f, bool touch) {
    Canvas c(800, 500, black);
    verticalGradient(c, Rgb{22, 26, 70}, Rgb{70, 34, 92});
    // Confetti.
    Dice dice{2025};
    for (int s = 0; s < 260; ++s) {
        const int x = dice.below(800), y = dice.below(500);
        const Rgb colour = hsv(dice.below(360), 0.6, 1.0);
        if (dice.below(2))
            c.fillBlend(x, y, 4, 2, colour, 0.55);
        else
            c.fillBlend(x, y, 2, 4, colour, 0.55);
    }
    // The same pits as the rage-quit screen's, where the robots left over ride their belts; a glad robot.
    drawEnd(c, f, touch,
            {"You won!",
             TextStyle{Rgb{255, 236, 130}, ink::name, ink::nameOutline, 4, 5},
             {"Both levels are done, and the robots are free.", "They ride the belts for fun now."},
             TextStyle{Rgb{240, 236, 210}, Rgb{225, 215, 190}},
             {"Victory lap", "Also on a lap"},
             0.45,
             TextStyle{Rgb{255, 214, 120}, Rgb{240, 180, 90}, black, 2, 0},
             gladRobot()});
    return c;
}

// Copies the touch variant's rectangles of a background into the practice picture, after making sure that
// the two variants differ nowhere else; false, with where they do, when they do.
bool swapIn(Canvas& c, std::initializer_list<wordSwap> swaps, const Canvas& keys, const Canvas& touch,
            const char* name) {
    int outside = 0, x0 = keys.w, y0 = keys.h;
    for (int y = 0; y < keys.h; ++y)
        for (int x = 0; x < keys.w; ++x) {
            if (keys.at(x, y) == touch.at(x, y)) continue;
            bool covered = false;
            for (const wordSwap& s : swaps)
                covered |= x >= s.x && x < s.x + s.part.w && y >= s.y && y < s.y + s.part.h;
            if (covered) continue;
            ++outside;
            x0 = std::min(x0, x), y0 = std::min(y0, y);
        }
    if (outside > 0) {
        std::printf(
            "brakko-assetgen: the touch words of %s differ in %d pixels outside their parts, the "
            "first at (%d, %d)\n",
            name, outside, x0, y0);
        return false;
    }
    for (const wordSwap& s : swaps)
        for (int y = 0; y < s.part.h; ++y)
            for (int x = 0; x < s.part.w; ++x)
                c.set(s.part.x + x, s.part.y + y, touch.at(s.x + x, s.y + y));
    return true;
}

Canvas drawPractice(const Canvas& sheet, const Fonts& f) {
    Canvas c(practiceSheetWidth, practiceSheetHeight, key);
    // The backgrounds' words on a touch screen: each swap covers all that differs from the keyboard's.
    const Canvas title = drawTitle(sheet, f, false), titleTouch = drawTitle(sheet, f, true);
    const Canvas loose = drawLoose(sheet, f, false), looseTouch = drawLoose(sheet, f, true);
    const Canvas won = drawWon(sheet, f, false), wonTouch = drawWon(sheet, f, true);
    const bool swapped = swapIn(c, {climbTouch, titleRowsTouch}, title, titleTouch, "the title") &&
                         swapIn(c, {quitTouch}, loose, looseTouch, "the rage-quit picture") &&
                         swapIn(c, {wonQuitTouch}, won, wonTouch, "the won picture");
    if (!swapped) return Canvas(0, 0, key);
    drawGlyphs(c, f.glyphs);

    // The goal pointer: a gold arrow on a dark disc, for each of the eight directions.
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            if (dx == 0 && dy == 0) continue;
            const picturePart a = goalArrow(dx, dy);
            const double cx = a.x + a.w / 2.0, cy = a.y + a.h / 2.0;
            for (int j = 0; j < a.h; ++j)
                for (int i = 0; i < a.w; ++i)
                    if (std::hypot(a.x + i + 0.5 - cx, a.y + j + 0.5 - cy) <= 9.6)
                        c.set(a.x + i, a.y + j,
                              std::hypot(a.x + i + 0.5 - cx, a.y + j + 0.5 - cy) > 8.6 ? ink::heading
                                                                                       : ink::panel);
            const double len = std::hypot(dx, dy), ux = dx / len, uy = dy / len;
            const double tipX = cx + ux * 5.5, tipY = cy + uy * 5.5;
            c.line(cx - ux * 5, cy - uy * 5, tipX, tipY, 2.2, ink::heading);
            c.line(tipX, tipY, tipX - ux * 4 - uy * 3.5, tipY - uy * 4 + ux * 3.5, 2.2, ink::heading);
            c.line(tipX, tipY, tipX - ux * 4 + uy * 3.5, tipY - uy * 4 - ux * 3.5, 2.2, ink::heading);
        }

    // The title's words after Return on a player's level, in the title's lettering on its panel's ground.
    c.fill(startsTheLevel.x, startsTheLevel.y, startsTheLevel.w, startsTheLevel.h, ink::panel);
    drawText(c, f.text, "starts the level", startsTheLevel.x, startsTheLevel.y,
             TextStyle{ink::text, ink::text});

    // The player's win, on the signs' ground so that its outline blends into what it is shown on.
    c.fill(wonBanner.x, wonBanner.y, wonBanner.w, wonBanner.h, ink::panel);
    drawTextCentred(c, f.big, "You won!", wonBanner.x + wonBanner.w / 2, wonBanner.y + 2,
                    TextStyle{Rgb{255, 236, 130}, ink::name, ink::nameOutline, 4, 4});
    return c;
}

Canvas drawIcon(const Canvas& sheet, int size) {
    // The sheet's robot, cheerful and without a number: the face of the game on a desktop.
    Canvas face(20, 20, key);
    face.stamp(sheet, robotCell(iconRobot).x, robotCell(iconRobot).y, cell, cell, 0, 0, 1);
    const Rgb base = robotColour(iconRobot);
    // The number plate becomes a wide grin.
    face.fill(7, numberTop, glyphW, bodyBottom - 1 - numberTop, base);
    const Rgb mouth = scale(base, 0.25);
    face.fill(6, 10, 8, 4, mouth);
    face.set(5, 9, mouth), face.set(14, 9, mouth);
    face.hline(7, 12, 11, Rgb{250, 250, 240});
    face.hline(7, 12, 14, scale(base, 0.85));
    Canvas c(size, size, key);
    const int factor = size / 20, offset = (size - 20 * factor) / 2;
    c.stamp(face, 0, 0, 20, 20, offset, offset, factor);
    return c;
}

bool saveBmp(const Canvas& canvas, const char* path) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, canvas.w, canvas.h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    if (!s) return false;
    SDL_LockSurface(s);
    for (int j = 0; j < canvas.h; ++j) {
        auto* row = static_cast<Uint8*>(s->pixels) + j * s->pitch;
        for (int i = 0; i < canvas.w; ++i) {
            const Rgb p = canvas.at(i, j);
            row[3 * i] = p.r, row[3 * i + 1] = p.g, row[3 * i + 2] = p.b;
        }
    }
    SDL_UnlockSurface(s);
    const bool ok = SDL_SaveBMP(s, path) == 0;
    SDL_FreeSurface(s);
    return ok;
}

bool saveBmp32(const Canvas& canvas, const char* path) {
    // SDL 1.2 writes only 24-bit BMPs, so the bytes are laid out here: a 14-byte file header, a 40-byte
    // info header with no compression (which readers take as 8 bits each of red, green and blue in the
    // low three bytes), then the rows from the bottom up, little-endian throughout.
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(canvas.w) * canvas.h * 4;
    std::vector<Uint8> bytes(54 + pixelBytes);
    const auto put = [&](std::size_t at, std::uint32_t value, int width) {
        for (int i = 0; i < width; ++i)
            bytes[at + i] = static_cast<Uint8>(value >> (8 * i));
    };
    bytes[0] = 'B', bytes[1] = 'M';
    put(2, static_cast<std::uint32_t>(bytes.size()), 4);
    put(10, 54, 4);  // where the pixels start
    put(14, 40, 4);  // the info header's size
    put(18, static_cast<std::uint32_t>(canvas.w), 4);
    put(22, static_cast<std::uint32_t>(canvas.h), 4);
    put(26, 1, 2);   // planes
    put(28, 32, 2);  // bits a pixel
    put(34, pixelBytes, 4);
    std::size_t at = 54;
    for (int j = canvas.h - 1; j >= 0; --j) {
        for (int i = 0; i < canvas.w; ++i, at += 4) {
            const Rgb p = canvas.at(i, j);
            bytes[at] = p.b, bytes[at + 1] = p.g, bytes[at + 2] = p.r, bytes[at + 3] = 0;
        }
    }
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

namespace {

// libpng reports a failed write by jumping back to the setjmp below. Nothing in this frame has a destructor
// for that jump to skip, which is why the pixels are made into rows by the caller.
bool writePngRows(std::FILE* file, int w, int h, const png_byte* rgba) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int j = 0; j < h; ++j)
        png_write_row(png, rgba + 4 * w * j);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool savePng(const Canvas& canvas, const char* path) {
    std::vector<png_byte> rgba(4 * canvas.w * canvas.h);
    for (int j = 0; j < canvas.h; ++j) {
        for (int i = 0; i < canvas.w; ++i) {
            const Rgb p = canvas.at(i, j);
            const bool clear = p == key;
            png_byte* out = &rgba[4 * (i + j * canvas.w)];
            out[0] = clear ? 0 : p.r, out[1] = clear ? 0 : p.g, out[2] = clear ? 0 : p.b;
            out[3] = clear ? 0 : 255;
        }
    }
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const bool written = writePngRows(file, canvas.w, canvas.h, rgba.data());
    // A small file sits in stdio's buffer until the close, so a full disk often shows only there.
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

}  // namespace art
