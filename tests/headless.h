// Shared by the tests that run real SDL without a window: the dummy drivers, a scratch working directory
// (so the game finds no img/ or snd/ unless a test writes them there), and reading back a display pixel.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

// The colour of pixel (x, y) of a 32-bit surface.
inline SDL_Color pixelAt(SDL_Surface* surface, int x, int y) {
    SDL_LockSurface(surface);
    const Uint32 value = static_cast<Uint32*>(surface->pixels)[y * surface->pitch / 4 + x];
    SDL_UnlockSurface(surface);
    SDL_Color c{};
    SDL_GetRGB(value, surface->format, &c.r, &c.g, &c.b);
    return c;
}

// Each test runs headless in an empty directory of its own, and leaves SDL and the mixer closed.
class HeadlessInScratch : public ::testing::Test {
  protected:
    std::string home;
    char before[4096] = {};

    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_NE(getcwd(before, sizeof before), nullptr);
        char pattern[] = "/tmp/brakko-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr) << "could not make a scratch directory";
        home = pattern;
        ASSERT_EQ(chdir(home.c_str()), 0);
    }
    void TearDown() override {
        Mix_HaltMusic();
        Mix_CloseAudio();
        SDL_Quit();
        ASSERT_EQ(chdir(before), 0);
        const std::string clean = "rm -rf '" + home + "'";
        EXPECT_EQ(system(clean.c_str()), 0);
    }
};
