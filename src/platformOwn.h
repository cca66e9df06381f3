// What each platform's own file does for the platform code that both share: the desktop's (the window's
// class and icon, fullscreen, the event filter) in platform_desktop.cpp, the browser's (the load checks, the
// canvas, the hidden tab and the animation-frame driver) in platform_browser.cpp. The build compiles one.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

// Before SDL starts: what the platform asks of it for this window.
void beforeVideo(bool fullscreen);
// Once SDL has started, before the window opens: false, after one line on standard error, when SDL found
// nowhere to show the game that the player did not ask for.
bool videoShows();
// Once the window is open: which events SDL queues.
void filterEvents();
// A BMP as SDL reads it; null when it cannot.
SDL_Surface* loadBmp(const char* path);
// `loaded` in the display's format, pixels of exactly `key` see-through; null when it cannot be converted.
// The caller frees both.
SDL_Surface* inDisplayFormat(SDL_Surface* loaded, Uint8 red, Uint8 green, Uint8 blue);
// A music file as the mixer reads it; null when it cannot.
Mix_Music* loadMusic(const char* path);
