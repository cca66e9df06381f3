// The platform layer against real SDL with the dummy drivers: failure lines byte for byte from standard
// output, the transparent colour, when `play` starts a music, and the browser's checks of damaged files
// against the desktop's loaders. Files are made in a fresh directory.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "headless.h"
#include "sdl/platform.h"
#include "view/sheet.h"

namespace {

// Silence as a one-second WAV; the mixer streams WAV music the same way it streams Ogg.
void writeSilence(const std::string& path) {
    constexpr std::uint32_t rate = 22050, bytes = rate * 4;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.put(char(v >> (8 * i)));
    };
    auto u16 = [&](std::uint16_t v) {
        out.put(char(v));
        out.put(char(v >> 8));
    };
    out << "RIFF";
    u32(36 + bytes);
    out << "WAVEfmt ";
    u32(16);
    u16(1);  // PCM
    u16(2);  // stereo
    u32(rate);
    u32(rate * 4);
    u16(4);
    u16(16);
    out << "data";
    u32(bytes);
    for (std::uint32_t i = 0; i < bytes; ++i)
        out.put(0);
}

using Platform = HeadlessInScratch;

}  // namespace

TEST_F(Platform, AWorkingStartUpWritesNothing) {
    testing::internal::CaptureStdout();
    SDL_Surface* display = commencer<800, 500>("Brakko");
    commencerMixer();
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_NE(display, nullptr) << "the dummy driver should give a display surface";
    EXPECT_EQ(display->w, 800) << "the display should be 800 pixels wide";
    EXPECT_EQ(display->h, 500) << "the display should be 500 pixels high";
    EXPECT_EQ(display->format->BitsPerPixel, 32) << "the display should have 32 bits per pixel";
    EXPECT_EQ(out, "") << "a start-up that works should write nothing";
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    EXPECT_STREQ(title, "Brakko") << "the window caption should be the one passed";
}

TEST_F(Platform, FullScreenOnlyWhenAskedWithCrispScalingUnlessThePlayerChoseOther) {
    unsetenv("SDL12COMPAT_SCALE_METHOD");
    SDL_Surface* window = commencer<800, 500>("Brakko");
    ASSERT_NE(window, nullptr) << "the dummy driver should give a display surface";
    EXPECT_EQ(window->flags & SDL_FULLSCREEN, 0u) << "without the wish the display should be a window";
    EXPECT_EQ(getenv("SDL12COMPAT_SCALE_METHOD"), nullptr) << "a window should ask nothing of sdl12-compat";
    SDL_Quit();

    SDL_Surface* screen = commencer<800, 500>("Brakko", true);
    ASSERT_NE(screen, nullptr) << "the dummy driver should give a full-screen display surface";
    EXPECT_NE(screen->flags & SDL_FULLSCREEN, 0u) << "the display should be full screen when asked";
    EXPECT_EQ(screen->w, 800) << "full screen, the display should still be 800 pixels wide";
    EXPECT_EQ(screen->h, 500) << "full screen, the display should still be 500 pixels high";
    EXPECT_STREQ(getenv("SDL12COMPAT_SCALE_METHOD"), "nearest") << "scaled pixels should stay crisp";
    SDL_Quit();

    setenv("SDL12COMPAT_SCALE_METHOD", "linear", 1);
    commencer<800, 500>("Brakko", true);
    EXPECT_STREQ(getenv("SDL12COMPAT_SCALE_METHOD"), "linear") << "the player's own choice should stand";
    unsetenv("SDL12COMPAT_SCALE_METHOD");
}

TEST_F(Platform, AStartUpWithoutVideoWritesBothMessagesWithNoLineEnd) {
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStdout();
    SDL_Surface* display = commencer<800, 500>("Brakko");
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string error = SDL_GetError();
    EXPECT_EQ(display, nullptr) << "without a video driver there should be no display surface";
    EXPECT_EQ(out, "Erreur lors de l'initialisation de la SDL" + error +
                       "Erreur lors de l'initialisation de la surface desinable" + error)
        << "both start-up failures should be written, each followed by SDL's error text and no line end";
}

TEST_F(Platform, AMissingPictureOrMusicWritesOneLineWithItsPathAndGivesNull) {
    SDL_Surface* display = commencer<800, 500>("Brakko");
    ASSERT_NE(display, nullptr) << "the dummy driver should give a display surface";
    testing::internal::CaptureStdout();
    SDL_Surface* picture = ouvrireImage<keyRed, keyGreen, keyBlue>("./img/title.bmp");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "porbl\xE8me avec le fichier ./img/title.bmp\n")
        << "a missing picture should write its path after the message, with a lone 0xE8 for the accent";
    EXPECT_EQ(picture, nullptr) << "a missing picture should give null";
    commencerMixer();
    testing::internal::CaptureStdout();
    Mix_Music* music = ouvrireMusique("./snd/goof.ogg");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "probleme avec le fichier musical [./snd/goof.ogg]\n")
        << "a missing music should write its path in brackets, unaccented";
    EXPECT_EQ(music, nullptr) << "a missing music should give null";
}

// A browser's loaders take damaged files that SDL refuses, so there the game checks each file first: the
// checks must refuse exactly what SDL and SDL_mixer refuse, for the game's own files whole and damaged.
TEST_F(Platform, TheBrowsersFileChecksRefuseWhatTheDesktopsLoadersRefuse) {
    SDL_Surface* display = commencer<800, 500>("Brakko");
    ASSERT_NE(display, nullptr) << "the dummy driver should give a display surface";
    commencerMixer();
    std::mt19937 random(1);
    int whole = 0;
    for (const char* name : {"img/title.bmp", "img/tooth.bmp", "img/bot.bmp", "img/loose.bmp", "snd/goof.ogg",
                             "snd/robot_wars.ogg", "snd/vexo.ogg", "snd/down.ogg"}) {
        std::ifstream in(std::string(BRAKKO_SOURCE_DIR) + "/" + name, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GT(bytes.size(), 200u) << name << " should be there to be damaged";
        std::string noise(bytes.size(), '\0');
        for (char& c : noise)
            c = static_cast<char>(random());
        const bool picture = std::string(name).ends_with(".bmp");
        const struct {
            const char* how;
            std::string bytes;
        } copies[] = {{"whole", bytes},
                      {"empty", ""},
                      {"cut to its first 100 bytes", bytes.substr(0, 100)},
                      {"cut in half", bytes.substr(0, bytes.size() / 2)},
                      {"one byte short", bytes.substr(0, bytes.size() - 1)},
                      {"random bytes", noise}};
        for (const auto& copy : copies) {
            const std::string path = picture ? "copy.bmp" : "copy.ogg";
            std::ofstream(path, std::ios::binary) << copy.bytes;
            bool loads = false;
            if (picture) {
                SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
                loads = loaded != nullptr;
                SDL_FreeSurface(loaded);
                EXPECT_EQ(wholeBmp(path.c_str()), loads)
                    << name << " " << copy.how << ": SDL " << (loads ? "loads" : "refuses") << " it";
            } else {
                Mix_Music* loaded = Mix_LoadMUS(path.c_str());
                loads = loaded != nullptr;
                if (loaded != nullptr) Mix_FreeMusic(loaded);
                EXPECT_EQ(vorbisHeaders(path.c_str()), loads)
                    << name << " " << copy.how << ": SDL_mixer " << (loads ? "loads" : "refuses") << " it";
            }
            whole += loads && std::string(copy.how) == "whole";
        }
    }
    EXPECT_EQ(whole, 8) << "every file of the game should load whole";
}

TEST_F(Platform, AnAudioDeviceThatWontOpenWritesOneUtf8Line) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStdout();
    commencerMixer();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "probl\xC3\xA8me audio\n") << "a failed audio device should write one UTF-8 line";
}

TEST_F(Platform, APictureThatCannotBeConvertedGivesNullQuietly) {
    // Video without a video mode: the file loads but has no display format to be converted to.
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    SDL_Surface* source = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_EQ(SDL_SaveBMP(source, "small.bmp"), 0);
    SDL_FreeSurface(source);
    testing::internal::CaptureStdout();
    SDL_Surface* picture = ouvrireImage<keyRed, keyGreen, keyBlue>("small.bmp");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(picture, nullptr) << "a picture that could not be converted should give null";
    EXPECT_EQ(out, "") << "a failed conversion is not a missing file and should write nothing";
}

TEST_F(Platform, OnlyTheKeyColourIsLeftOutOfABlit) {
    SDL_Surface* display = commencer<800, 500>("Brakko");
    ASSERT_NE(display, nullptr);
    SDL_Surface* source = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    Uint32* pixels = static_cast<Uint32*>(source->pixels);
    pixels[0] = SDL_MapRGB(source->format, keyRed, keyGreen, keyBlue);
    pixels[1] = SDL_MapRGB(source->format, 10, 20, 30);
    pixels[2] = SDL_MapRGB(source->format, keyRed, keyGreen,
                           keyBlue - 1);  // one step off the key is an ordinary colour
    ASSERT_EQ(SDL_SaveBMP(source, "keyed.bmp"), 0);
    SDL_FreeSurface(source);

    SDL_Surface* picture = ouvrireImage<keyRed, keyGreen, keyBlue>("keyed.bmp");
    ASSERT_NE(picture, nullptr) << "a good picture should load";
    EXPECT_EQ(picture->format->BitsPerPixel, display->format->BitsPerPixel)
        << "a picture should come in the display's pixel format";
    SDL_FillRect(display, nullptr, SDL_MapRGB(display->format, 0, 0, 200));
    SDL_Rect at{0, 0, 0, 0};
    SDL_UpperBlit(picture, nullptr, display, &at);

    const SDL_Color keyed = pixelAt(display, 0, 0), plain = pixelAt(display, 1, 0),
                    near = pixelAt(display, 2, 0);
    EXPECT_EQ(keyed.b, 200) << "the pixel in the key colour should leave the background showing";
    EXPECT_EQ(keyed.r, 0) << "the pixel in the key colour should leave the background showing";
    EXPECT_EQ(plain.r, 10) << "an ordinary pixel should be copied";
    EXPECT_EQ(plain.g, 20) << "an ordinary pixel should be copied";
    EXPECT_EQ(plain.b, 30) << "an ordinary pixel should be copied";
    EXPECT_EQ(near.r, 255) << "a pixel one step off the key colour should be copied";
    EXPECT_EQ(near.b, 254) << "a pixel one step off the key colour should be copied";
    SDL_FreeSurface(picture);
}

TEST_F(Platform, PlayStartsOnlyWhenNothingPlays) {
    SDL_Surface* display = commencer<800, 500>("Brakko");
    ASSERT_NE(display, nullptr) << "the dummy driver should give a display surface";
    commencerMixer();
    writeSilence("quiet.wav");
    Mix_Music* music = ouvrireMusique("quiet.wav");
    ASSERT_NE(music, nullptr) << "a WAV file should load as music";

    testing::internal::CaptureStdout();
    EXPECT_TRUE(play(nullptr)) << "play of a music that failed to load, with nothing playing, should be true";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "")
        << "a music that will not start should write nothing";
    EXPECT_FALSE(Mix_PlayingMusic()) << "nothing should play after a failed start";

    EXPECT_FALSE(play(music)) << "play of a good music with nothing playing should be false";
    EXPECT_TRUE(Mix_PlayingMusic()) << "the good music should be playing";
    EXPECT_FALSE(play(nullptr)) << "play while a music plays should be false and change nothing";
    EXPECT_TRUE(Mix_PlayingMusic()) << "the music already playing should play on";

    stop();
    EXPECT_FALSE(Mix_PlayingMusic()) << "nothing should play after stop";
    EXPECT_FALSE(play(music)) << "play after stop should start the music";
    EXPECT_TRUE(Mix_PlayingMusic()) << "the music should play again after stop and play";
    stop();
    Mix_FreeMusic(music);
}

namespace {

// Frames run over `seconds`, each taking `cost` ms: by the desktop loop's own waits, or by a browser calling
// every 1000/60 ms and asking the pacer which frames are due.
int desktopFrames(int seconds, std::uint32_t cost) {
    std::uint32_t next = 0, clock = 1000;
    int frames = 0;
    for (;;) {
        clock += paceFrame(next, clock, 16);
        if (clock > 1000u + 1000u * seconds) return frames;
        clock += cost;
        ++frames;
    }
}

int browserFrames(int seconds, std::uint32_t cost) {
    framePacer<60> pacer;
    int frames = 0;
    std::uint32_t time = 1000;
    for (int call = 0;; ++call) {
        // A call comes at its animation frame, or once the frames of the call before are done.
        time = std::max<std::uint32_t>(time, 1000 + call * 1000 / 60);
        if (time > 1000u + 1000u * seconds) return frames;
        for (const std::uint32_t now = time; pacer.due(now); ++frames) {
            pacer.ran(cost);
            time += cost;
        }
    }
}

}  // namespace

TEST(BrowserPacing, AnimationFramesRunAsManyFramesAsTheDesktopLoopWould) {
    for (std::uint32_t cost : {0u, 1u, 3u, 16u, 40u}) {
        const int desktop = desktopFrames(10, cost), browser = browserFrames(10, cost);
        EXPECT_NEAR(browser, desktop, 2) << "with frames of " << cost << " ms the browser should run "
                                         << desktop << " frames in 10 s, as the desktop does";
    }
}

TEST(BrowserPacing, TimeWithoutAnimationFramesIsNotMadeUp) {
    framePacer<60> pacer;
    int frames = 0;
    for (std::uint32_t now : {1000u, 1017u, 6017u}) {
        while (pacer.due(now)) {
            pacer.ran(0);
            ++frames;
        }
    }
    EXPECT_LE(frames, 6) << "a browser that stopped calling for 5 s should not get 600 frames at once";
}
