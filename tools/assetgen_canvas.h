// A plain RGB picture in memory and the few drawing strokes the artwork is made of.
// Pure arithmetic on pixels: no SDL, no files, no randomness that is not seeded here.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "view/sheet.h"

namespace art {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Pixels of exactly this colour are never drawn by the game: the background shows through them.
constexpr Rgb key{keyRed, keyGreen, keyBlue};

inline std::uint8_t clampByte(double v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0) + 0.5);
}

inline Rgb rgb(double r, double g, double b) {
    return {clampByte(r), clampByte(g), clampByte(b)};
}

inline Rgb mix(Rgb a, Rgb b, double t) {
    return rgb(a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t);
}

inline Rgb scale(Rgb c, double f) {
    return rgb(c.r * f, c.g * f, c.b * f);
}

// Hue in degrees, saturation and value from 0 to 1.
inline Rgb hsv(double h, double s, double v) {
    h = std::fmod(std::fmod(h, 360.0) + 360.0, 360.0) / 60.0;
    const int sector = static_cast<int>(h);
    const double f = h - sector;
    const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    double r = v, g = t, b = p;
    switch (sector) {
        case 1:
            r = q, g = v, b = p;
            break;
        case 2:
            r = p, g = v, b = t;
            break;
        case 3:
            r = p, g = q, b = v;
            break;
        case 4:
            r = t, g = p, b = v;
            break;
        case 5:
            r = v, g = p, b = q;
            break;
        default:
            break;
    }
    return rgb(r * 255, g * 255, b * 255);
}

// WCAG relative luminance (0 black to 1 white) and the contrast ratio of two colours (1 to 21), by which
// lettering must reach 4.5 : 1 against the colour it sits on.
inline double luminance(Rgb c) {
    auto channel = [](std::uint8_t v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b);
}

inline double contrast(Rgb a, Rgb b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A small linear congruential generator, so that every run scatters the same stars and raindrops.
struct Dice {
    std::uint32_t state;
    std::uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    double unit() { return (next() & 0xFFFF) / 65536.0; }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
};

struct Canvas {
    int w = 0, h = 0;
    std::vector<Rgb> px;

    Canvas(int width, int height, Rgb fill) : w(width), h(height), px(width * height, fill) {}

    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    Rgb at(int x, int y) const { return px[x + y * w]; }

    // Drawn colours never land on the key by accident: only clearKey() makes see-through pixels.
    void set(int x, int y, Rgb c) {
        if (!inside(x, y)) return;
        if (c == key) c.g = 127;
        px[x + y * w] = c;
    }
    void clearKey(int x, int y) {
        if (inside(x, y)) px[x + y * w] = key;
    }
    void blend(int x, int y, Rgb c, double alpha) {
        if (!inside(x, y) || alpha <= 0) return;
        set(x, y, alpha >= 1 ? c : mix(at(x, y), c, alpha));
    }
    void fill(int x, int y, int fw, int fh, Rgb c) {
        for (int j = y; j < y + fh; ++j)
            for (int i = x; i < x + fw; ++i)
                set(i, j, c);
    }
    void fillBlend(int x, int y, int fw, int fh, Rgb c, double alpha) {
        for (int j = y; j < y + fh; ++j)
            for (int i = x; i < x + fw; ++i)
                blend(i, j, c, alpha);
    }
    void hline(int x0, int x1, int y, Rgb c) {
        for (int i = x0; i <= x1; ++i)
            set(i, y, c);
    }
    void vline(int x, int y0, int y1, Rgb c) {
        for (int j = y0; j <= y1; ++j)
            set(x, j, c);
    }
    // A disc with soft edges (4 x 4 samples per pixel), for the large pictures.
    void disc(double cx, double cy, double radius, Rgb c, double alpha = 1) {
        const int x0 = static_cast<int>(cx - radius - 1), x1 = static_cast<int>(cx + radius + 1);
        const int y0 = static_cast<int>(cy - radius - 1), y1 = static_cast<int>(cy + radius + 1);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx) {
                        const double dx = x + (sx + 0.5) / 4 - cx, dy = y + (sy + 0.5) / 4 - cy;
                        hits += dx * dx + dy * dy <= radius * radius;
                    }
                blend(x, y, c, alpha * hits / 16.0);
            }
    }
    // A rectangle with rounded corners and soft edges.
    void roundRect(double x, double y, double rw, double rh, double radius, Rgb c, double alpha = 1) {
        for (int j = static_cast<int>(y); j < static_cast<int>(y + rh + 1); ++j)
            for (int i = static_cast<int>(x); i < static_cast<int>(x + rw + 1); ++i) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx) {
                        const double px_ = i + (sx + 0.5) / 4, py_ = j + (sy + 0.5) / 4;
                        if (px_ < x || py_ < y || px_ > x + rw || py_ > y + rh) continue;
                        const double qx = std::max({x + radius - px_, px_ - (x + rw - radius), 0.0});
                        const double qy = std::max({y + radius - py_, py_ - (y + rh - radius), 0.0});
                        hits += qx * qx + qy * qy <= radius * radius;
                    }
                blend(i, j, c, alpha * hits / 16.0);
            }
    }
    // A thick line with round ends and soft edges.
    void line(double x0, double y0, double x1, double y1, double width, Rgb c, double alpha = 1) {
        const double dx = x1 - x0, dy = y1 - y0, len2 = std::max(dx * dx + dy * dy, 1e-9);
        for (int y = static_cast<int>(std::min(y0, y1) - width - 1);
             y <= static_cast<int>(std::max(y0, y1) + width + 1); ++y)
            for (int x = static_cast<int>(std::min(x0, x1) - width - 1);
                 x <= static_cast<int>(std::max(x0, x1) + width + 1); ++x) {
                const double px_ = x + 0.5, py_ = y + 0.5;
                const double t = std::clamp(((px_ - x0) * dx + (py_ - y0) * dy) / len2, 0.0, 1.0);
                const double d = std::hypot(px_ - (x0 + dx * t), py_ - (y0 + dy * t));
                blend(x, y, c, alpha * std::clamp(width / 2 + 0.5 - d, 0.0, 1.0));
            }
    }
    // Copies another canvas scaled up by a whole factor, leaving its see-through pixels out.
    void stamp(const Canvas& from, int sx, int sy, int sw, int sh, int dx, int dy, int factor) {
        for (int j = 0; j < sh * factor; ++j)
            for (int i = 0; i < sw * factor; ++i) {
                const Rgb c = from.at(sx + i / factor, sy + j / factor);
                if (!(c == key)) set(dx + i, dy + j, c);
            }
    }
};

}  // namespace art
