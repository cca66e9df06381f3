// The platform layer: SDL start-up and window, pictures, the mixer and music, and frame pacing.
// Failures are reported in French on standard output and come back as null handles; nothing here exits.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include "rules/flow.h"

// The bodies behind the templates below, so that every instantiation shares one copy of the code.
SDL_Surface* openDisplay(unsigned width, unsigned height, const char* caption, bool fullscreen);
SDL_Surface* openPicture(const char* path, Uint8 red, Uint8 green, Uint8 blue);

// Starts SDL (audio and video) and opens a double-buffered 32-bit window; null when there is no window,
// and null too, after one line on standard error, when SDL found no display and fell back to a driver that
// shows nothing without the player asking for it by SDL_VIDEODRIVER.
// From then on SDL queues only the events the game acts on: key presses, the window's close, and its being
// uncovered. SDL 1.2's queue holds 128 events and drops what comes after, so a burst of mouse motion would
// otherwise cost the keys behind it. On the desktop the window has the class "brakko" and, when
// ./icons/brakko-48.bmp can be read, that icon. `fullscreen` asks for the whole screen instead of a window:
// the same W x H display, which sdl12-compat scales to the screen in proportion with crisp pixels and the
// classic library shows in the nearest video mode; the pointer is hidden there.
template <unsigned W, unsigned H>
SDL_Surface* commencer(const char* caption, bool fullscreen = false) {
    return openDisplay(W, H, caption, fullscreen);
}

// Whether practice mode's signs stand in a strip of the window below the play: on the desktop they do; in a
// browser the page shows them as text beside the canvas, which keeps the play's size.
bool signsBelowPlay();

// Whether the player may take up a touch pad, whose buttons the texts on screen then name: a browser's page
// has one, the desktop only the keyboard.
bool touchPadAround();

// Loads a BMP in the display's pixel format, with pixels of exactly colour R, G, B left transparent (in a
// browser, whose canvas knows no colour key, fully see-through instead). Needs the window open.
// The caller owns the picture; null when it could not be loaded or converted.
template <Uint8 R, Uint8 G, Uint8 B>
SDL_Surface* ouvrireImage(const char* path) {
    return openPicture(path, R, G, B);
}

// A blank w x h surface in the pixel format of `like` (a picture already in the display's format), every
// pixel see-through, for a picture composed once at start-up from others: a map's tiles. The caller frees
// it; null when it cannot be made.
SDL_Surface* newLayer(SDL_Surface* like, int w, int h);

// SDL_UpperBlit for the game's pictures: copies `picture` (the part `from`, or all of it when null) onto
// `target` at `to`, clipped, and writes the clipped rectangle back into `to`. A missing picture is null and
// simply does not appear: nothing is handed to SDL, as not every SDL 1.2 answers a null surface with -1.
inline int blit(SDL_Surface* picture, SDL_Rect* from, SDL_Surface* target, SDL_Rect* to) {
    if (picture == nullptr || target == nullptr) return -1;
    return SDL_UpperBlit(picture, from, target, to);
}

// Start-up only: composes `into` from parts of `from`, pixel for pixel, see-through pixels included, both
// in one pixel format (a layer made by newLayer from `from`). Both stay locked while it lives, so the whole
// composition is one read and one write of their pixels wherever SDL keeps them elsewhere (a browser's
// canvases), not one per part.
struct pixelCopy {
    SDL_Surface* from;
    SDL_Surface* into;

    pixelCopy(SDL_Surface* from, SDL_Surface* into);
    ~pixelCopy();
    pixelCopy(const pixelCopy&) = delete;
    pixelCopy& operator=(const pixelCopy&) = delete;

    // Copies the part `part` of `from` to (x, y) of `into`, clipped to both pictures.
    void copy(SDL_Rect part, int x, int y);
};

// Start-up only: `picture` is finished and from now on is only blitted onto `display`, never drawn into.
// Keyed pictures are then kept run-length encoded, so that a blit skips their see-through runs and copies the
// rest row by row instead of testing every pixel; the encoding is made here, so that no frame pays or
// allocates for it. A browser has nothing to prepare. Null handles are passed over.
void readyForDisplay(SDL_Surface* picture, SDL_Surface* display);

// Start-up only: `picture` will be blitted onto `display` in parts (the sprite sheet). SDL sets a picture
// up for a destination at its first blit there, and some SDL 1.2s (sdl12-compat) allocate in doing so: that
// first blit is made now, and leaves the display as it was. Null handles are passed over.
void readyForBlits(SDL_Surface* picture, SDL_Surface* display);

// What SDL 1.2 and SDL_mixer ask of a file before they load it, for a browser, whose loaders take what they
// can of a damaged file and fail later or not at all: there a file these refuse is not handed to the loader,
// and the game goes on without it as on the desktop. Built everywhere, so that the desktop's tests can hold
// them against the desktop's own loaders.
// A BMP that SDL reads: uncompressed or bit fields, 1 to 32 bits a pixel, every row (padded to four bytes)
// inside the file.
bool wholeBmp(const char* path);
// An Ogg Vorbis stream that SDL_mixer opens: Ogg pages whose first three packets, whole, are the Vorbis
// identification, comment and setup headers. (The sound after them may be cut short; it plays as far as it
// goes.)
bool vorbisHeaders(const char* path);

// Opens the audio device for music: 22050 Hz, signed 16-bit little-endian, stereo.
void commencerMixer();

// Loads a music file; null when it cannot be read. The caller owns it.
Mix_Music* ouvrireMusique(const char* path);

// Starts the music looping unless one is already playing, which then plays on untouched.
// True only when nothing was playing and this music would not start.
bool play(Mix_Music* music);

// Halts the music, so that the next `play` starts its own.
void stop();

// Silences the music, or gives it its full volume back; a music started later keeps the setting.
void muteMusic(bool muted);

// Returns when the next frame may begin. Frames come in pairs: one waits until 1000 / FPS ms after the frame
// before it began, the next goes at once. A pair takes 1000 / FPS ms plus one frame's work, so <60> runs
// about 120 frames a second (125 when frames cost nothing), not 60; paceFrame holds the arithmetic.
// True when it waited: the frame that follows then goes at once after this one.
template <unsigned FPS>
bool synchronizeMoi() {
    static Uint32 next = 0;
    const Uint32 wait = paceFrame(next, SDL_GetTicks(), 1000 / FPS);
    if (wait != 0) SDL_Delay(wait);
    return wait != 0;
}

// A browser can't wait inside a frame: it calls the game once per animation frame (about 60 a second), and
// the game runs the frames that the loop above would have begun by then. The loop's clock is kept here: it
// moves on by each wait that paceFrame asks for and by the time each frame really took.
template <unsigned FPS>
struct framePacer {
    Uint32 next = 0;      // paceFrame's deadline
    Uint32 clock = 0;     // where the loop would stand
    bool waited = false;  // the coming frame's wait is on the clock already

    // True when the coming frame would have begun by `now`.
    bool due(Uint32 now) {
        if (!waited) {
            // A browser that stopped calling (a hidden tab) is a stalled desktop: the time isn't made up.
            if (clock + 100 < now) clock = now;
            clock += paceFrame(next, clock, 1000 / FPS);
            waited = true;
        }
        return clock <= now;
    }

    // The frame that was due has run, taking `ms` milliseconds.
    void ran(Uint32 ms) {
        clock += ms;
        waited = false;
    }
};

// What each platform's own file does for the platform code that both share: the desktop's (the window's
// class and icon, fullscreen, the event filter) in platform_desktop.cpp, the browser's (the load checks, the
// canvas, the hidden tab and the animation-frame driver) in platform_browser.cpp. The build compiles one;
// each also runs the main loop (runMainLoop, in seam.h).

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
