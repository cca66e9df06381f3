// The committed pictures and music, loaded the way the game loads them (dummy video and audio drivers):
// sizes, see-through where the background must show, twenty different robots, four loops of 20 to 60 s.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sdl/platform.h"
#include "view/sheet.h"

namespace {

const std::string root = BRAKKO_SOURCE_DIR;

struct Rgb {
    Uint8 r, g, b;
    bool operator==(const Rgb&) const = default;
};
constexpr Rgb key{keyRed, keyGreen, keyBlue};

// The pictures as they are on disk, in their own format: the key is judged before any conversion.
class Picture {
  public:
    explicit Picture(const std::string& name) : surface(SDL_LoadBMP((root + "/img/" + name).c_str())) {}
    ~Picture() {
        if (surface) SDL_FreeSurface(surface);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool loaded() const { return surface != nullptr; }
    // Stored with the colours where the surface keeps them, so that converting it copies pixels as they are.
    // A BMP's fourth byte is read as alpha by some SDL 1.2s (sdl12-compat) and as padding by others; either
    // way converting drops it, so it is not compared.
    bool sameLayoutAs(const SDL_Surface* other) const {
        const SDL_PixelFormat* a = surface->format;
        const SDL_PixelFormat* b = other->format;
        return a->BitsPerPixel == b->BitsPerPixel && a->Rmask == b->Rmask && a->Gmask == b->Gmask &&
               a->Bmask == b->Bmask;
    }
    int w() const { return surface->w; }
    int h() const { return surface->h; }
    Rgb at(int x, int y) const {
        const int bpp = surface->format->BytesPerPixel;
        const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bpp;
        Uint32 value = 0;
        for (int i = 0; i < bpp; ++i)
            value |= static_cast<Uint32>(p[i]) << (8 * i);
        Rgb c{};
        SDL_GetRGB(value, surface->format, &c.r, &c.g, &c.b);
        return c;
    }
    // Key pixels in the rectangle (x, y, w, h), or in one cell of the sheet.
    int keyPixels(int x, int y, int w, int h) const {
        int n = 0;
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                n += at(i, j) == key;
        return n;
    }
    int keyPixels(sheetCell c) const { return keyPixels(c.x, c.y, cellPixels, cellPixels); }
    // Pixels in which two cells of the sheet differ.
    int differing(sheetCell a, sheetCell b) const {
        int n = 0;
        for (int y = 0; y < cellPixels; ++y)
            for (int x = 0; x < cellPixels; ++x)
                n += !(at(a.x + x, a.y + y) == at(b.x + x, b.y + y));
        return n;
    }

  private:
    SDL_Surface* surface;
};

class Assets : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        display = commencer<800, 500>("Brakko");
        commencerMixer();
    }
    static void TearDownTestSuite() {
        Mix_CloseAudio();
        SDL_Quit();
    }
    static SDL_Surface* display;
};
SDL_Surface* Assets::display = nullptr;

// ---------------------------------------------------------------- sprite sheet

TEST_F(Assets, SpriteSheetHasRoomForEveryPicture) {
    const Picture sheet("bot.bmp");
    ASSERT_TRUE(sheet.loaded()) << "img/bot.bmp does not load: " << SDL_GetError();
    EXPECT_GE(sheet.w(), sheetWidth) << "the sheet is too narrow for twenty robots side by side";
    EXPECT_GE(sheet.h(), sheetHeight) << "the sheet is too low for the robots, the creature and the tiles";
}

TEST_F(Assets, EmptyCellLetsTheBackgroundShow) {
    const Picture sheet("bot.bmp");
    ASSERT_TRUE(sheet.loaded());
    // The title and rage-quit maps are mostly empty cells drawn over a picture: all of it must show.
    EXPECT_EQ(sheet.keyPixels(bgCell), cellPixels * cellPixels)
        << "the empty-cell picture at (" << bgCell.x << ", " << bgCell.y << ") hides the background";
}

TEST_F(Assets, TwentyRobotsEachLookTheirOwn) {
    const Picture sheet("bot.bmp");
    ASSERT_TRUE(sheet.loaded());
    for (int i = 0; i < robotPictures; ++i) {
        EXPECT_LT(sheet.keyPixels(robotCell(i)), 200) << "robot " << i << " is mostly see-through";
        for (int k = 0; k < i; ++k)
            EXPECT_GT(sheet.differing(robotCell(i), robotCell(k)), 40)
                << "robot " << i << " looks almost the same as robot " << k;
    }
}

TEST_F(Assets, FreeRobotsStandApartFromTheirNeighbours) {
    const Picture sheet("bot.bmp");
    ASSERT_TRUE(sheet.loaded());
    // Two free robots side by side must read as two: a see-through column on each side of every robot.
    for (int i = 0; i < robotPictures; ++i) {
        const sheetCell c = robotCell(i);
        EXPECT_EQ(sheet.keyPixels(c.x, c.y, 1, cellPixels), cellPixels)
            << "robot " << i << " touches its left edge";
        EXPECT_EQ(sheet.keyPixels(c.x + cellPixels - 1, c.y, 1, cellPixels), cellPixels)
            << "robot " << i << " touches its right edge";
    }
}

TEST_F(Assets, CreatureAndTilesAreSolidAndDistinct) {
    const Picture sheet("bot.bmp");
    ASSERT_TRUE(sheet.loaded());
    // The fused group's members sit edge to edge: no see-through seams between them.
    for (const sheetCell& piece : {sprTeethCell, sprEyesCell, sprBodyCell})
        EXPECT_EQ(sheet.keyPixels(piece), 0) << "the creature's " << piece.name << " picture has holes";
    EXPECT_EQ(sheet.keyPixels(blockCell), 0) << "the wall picture lets the background through";
    // Belts, breaker, wall and goal must each be told apart from each other and from an empty cell.
    const sheetCell tiles[] = {tapisDCell, tapisGCell, casseCell, blockCell, goalCell, bgCell};
    for (int a = 0; a < 6; ++a) {
        for (int b = 0; b < a; ++b) {
            EXPECT_GT(sheet.differing(tiles[a], tiles[b]), 40)
                << "the tiles " << tiles[a].name << " and " << tiles[b].name << " look alike";
        }
    }
}

TEST_F(Assets, EmptyCellStaysSeeThroughOnTheDisplay) {
    ASSERT_NE(display, nullptr) << "no display surface with the dummy video driver";
    SDL_Surface* sheet = ouvrireImage<keyRed, keyGreen, keyBlue>((root + "/img/bot.bmp").c_str());
    ASSERT_NE(sheet, nullptr) << "the game cannot load img/bot.bmp";
    const Uint32 red = SDL_MapRGB(display->format, 200, 0, 0);
    SDL_FillRect(display, nullptr, red);
    SDL_Rect empty{bgCell.x, bgCell.y, cellPixels, cellPixels}, robot{0, 0, cellPixels, cellPixels};
    SDL_Rect to{0, 0, 20, 20};
    SDL_UpperBlit(sheet, &empty, display, &to);
    to = SDL_Rect{40, 0, 20, 20};
    SDL_UpperBlit(sheet, &robot, display, &to);
    SDL_LockSurface(display);
    int shown = 0, covered = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(display->pixels) +
                                                                y * display->pitch);
            shown += row[x] == red;
            covered += row[40 + x] != red;
        }
    SDL_UnlockSurface(display);
    SDL_FreeSurface(sheet);
    EXPECT_EQ(shown, 400) << "an empty cell blitted in the display's format covers the background";
    EXPECT_GT(covered, 200) << "robot 0 blitted in the display's format hardly shows";
}

// ---------------------------------------------------------------- backgrounds and teeth

TEST_F(Assets, BackgroundsFillTheWindowWithNoSeeThroughPixel) {
    for (const char* name : {"title.bmp", "loose.bmp", "won.bmp"}) {
        const Picture picture(name);
        ASSERT_TRUE(picture.loaded()) << "img/" << name << " does not load: " << SDL_GetError();
        EXPECT_EQ(picture.w(), 800) << name << " is not as wide as the window";
        EXPECT_EQ(picture.h(), 500) << name << " is not as high as the window";
        // A key pixel in a background would show the previous frame through it.
        EXPECT_EQ(picture.keyPixels(0, 0, picture.w(), picture.h()), 0) << name << " has see-through pixels";
        ASSERT_NE(display, nullptr) << "no display surface with the dummy video driver";
        EXPECT_TRUE(picture.sameLayoutAs(display))
            << name << " is not stored in the display's 32-bit layout, so loading it converts every pixel";
    }
}

TEST_F(Assets, ToothHasTipsOnBothEdgesAndASolidJaw) {
    const Picture tooth("tooth.bmp");
    ASSERT_TRUE(tooth.loaded()) << "img/tooth.bmp does not load: " << SDL_GetError();
    ASSERT_EQ(tooth.w(), 100) << "eight teeth pictures must span the 800-pixel window";
    ASSERT_EQ(tooth.h(), 250) << "two rows of teeth must meet in the middle of the 500-pixel window";
    for (int y : {0, 249}) {
        const int see = tooth.keyPixels(0, y, 100, 1);
        EXPECT_GT(see, 10) << "row " << y << " of the tooth has no see-through gaps between the tips";
        EXPECT_LT(see, 100) << "row " << y << " of the tooth has no tips";
    }
    // Once closed, the curtain must hide the screen behind it except between the tips.
    EXPECT_EQ(tooth.keyPixels(0, 30, 100, 190), 0) << "the jaw of the tooth picture has see-through holes";
    // The same picture is every tooth of a row: its left and right edges must join without a step.
    int seam = 0;
    for (int y = 30; y < 220; ++y)
        seam += !(tooth.at(0, y) == tooth.at(99, y));
    EXPECT_LT(seam, 20) << "neighbouring tooth pictures do not join at their left and right edges";
}

// ---------------------------------------------------------------- music

// Playing time of an Ogg Vorbis file: the last page's granule position over the sample rate.
double oggSeconds(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                           std::istreambuf_iterator<char>()};
    if (bytes.size() < 64) return -1;
    const auto u32 = [&](std::size_t at) {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
               static_cast<std::uint32_t>(bytes[at + 3]) << 24;
    };
    const std::uint32_t rate = u32(28 + 12);  // identification header: after the page header and "\x01vorbis"
    std::int64_t granule = -1;
    for (std::size_t i = 0; i + 14 <= bytes.size(); ++i)
        if (bytes[i] == 'O' && bytes[i + 1] == 'g' && bytes[i + 2] == 'g' && bytes[i + 3] == 'S')
            granule = static_cast<std::int64_t>(u32(i + 6)) | static_cast<std::int64_t>(u32(i + 10)) << 32;
    return rate ? static_cast<double>(granule) / rate : -1;
}

TEST_F(Assets, FourDistinctTunesLoadAndLoopFor20To60Seconds) {
    const char* const names[] = {"goof.ogg", "robot_wars.ogg", "vexo.ogg", "down.ogg"};
    std::vector<std::string> contents;
    for (const char* name : names) {
        const std::string path = root + "/snd/" + name;
        Mix_Music* music = ouvrireMusique(path.c_str());
        EXPECT_NE(music, nullptr) << "snd/" << name << " does not load as music";
        if (music) Mix_FreeMusic(music);
        const double seconds = oggSeconds(path);
        EXPECT_GE(seconds, 20) << "snd/" << name << " lasts only " << seconds << " s";
        EXPECT_LE(seconds, 60) << "snd/" << name << " lasts " << seconds << " s";
        std::ifstream in(path, std::ios::binary);
        contents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        for (std::size_t k = 0; k + 1 < contents.size(); ++k)
            EXPECT_NE(contents[k], contents.back())
                << "snd/" << name << " is the same file as snd/" << names[k];
    }
}

// ---------------------------------------------------------------- icons

TEST_F(Assets, IconsAreSquarePngsOfTheirNamedSize) {
    for (int size : {48, 128}) {
        const std::string path = root + "/icons/brakko-" + std::to_string(size) + ".png";
        std::ifstream in(path, std::ios::binary);
        unsigned char head[24] = {};
        in.read(reinterpret_cast<char*>(head), sizeof head);
        ASSERT_TRUE(in) << path << " is missing or too short";
        EXPECT_EQ(std::string(reinterpret_cast<char*>(head + 1), 3), "PNG") << path << " is not a PNG";
        const auto u32be = [&](int at) {
            return head[at] << 24 | head[at + 1] << 16 | head[at + 2] << 8 | head[at + 3];
        };
        EXPECT_EQ(u32be(16), size) << path << " has the wrong width";
        EXPECT_EQ(u32be(20), size) << path << " has the wrong height";
    }
}

}  // namespace
