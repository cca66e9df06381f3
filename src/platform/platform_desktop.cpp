// The desktop's own platform code: the window's class and icon, the refusal to run where nothing shows,
// fullscreen, the event filter, keyed pictures run-length encoded, and the main loop paced by SDL's clock.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "app/seam.h"
#include "sdl/platform.h"
#include "view/sheet.h"

namespace {

constexpr char windowClass[] = "brakko";
constexpr char iconPath[] = "./icons/brakko-48.bmp";

// Video drivers that show no window. Where no display is reachable, SDL 1.2 over SDL2 (sdl12-compat) falls
// back to "offscreen", which draws into memory, and the classic library to colour ASCII art in the terminal
// ("caca", or "aalib"), even when that terminal is a log file: either way the game would run unseen, or
// unplayable, for as long as nobody stops it. Only a driver the player asked for by name runs it there.
// `name` gets the driver's name.
bool showsNoWindow(char (&name)[32]) {
    if (std::getenv("SDL_VIDEODRIVER") != nullptr) return false;
    if (SDL_VideoDriverName(name, sizeof name) == nullptr) return false;
    for (const char* unseen : {"offscreen", "dummy", "caca", "aalib"})
        if (std::strcmp(name, unseen) == 0) return true;
    return false;
}

// The window's icon from a BMP, pixels of the key colour see-through. Quiet: a missing or unreadable icon
// leaves no message and no error text behind for a later failure to report.
void setIcon(const char* path) {
    SDL_Surface* icon = SDL_LoadBMP_RW(SDL_RWFromFile(path, "rb"), 1);
    if (icon == nullptr) {
        SDL_ClearError();
        return;
    }
    SDL_SetColorKey(icon, SDL_SRCCOLORKEY, SDL_MapRGB(icon->format, keyRed, keyGreen, keyBlue));
    // Null mask: SDL makes the icon's shape from its colour key. Both SDLs copy the icon.
    SDL_WM_SetIcon(icon, nullptr);
    SDL_FreeSurface(icon);
}

}  // namespace

bool touchPadAround() {
    return false;
}

bool signsBelowPlay() {
    return true;
}

void beforeVideo(bool fullscreen) {
    // The window's class names the game to the desktop, which matches it to the menu entry by it; SDL would
    // take the program's file name, which a wrapper or a renamed copy changes. A class the user chose stands.
    setenv("SDL_VIDEO_X11_WMCLASS", windowClass, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", windowClass, 0);
    // sdl12-compat shows a fullscreen mode scaled to the whole screen, smoothed unless told otherwise; a
    // player's own choice stands here too. The classic library switches the screen's mode and ignores this.
    if (fullscreen) setenv("SDL12COMPAT_SCALE_METHOD", "nearest", 0);
}

bool videoShows() {
    char driver[32] = {};
    if (showsNoWindow(driver)) {
        std::fprintf(stderr,
                     "brakko: no display to show the game on (SDL found only its \"%s\" video driver)\n",
                     driver);
        return false;
    }
    // SDL 1.2 takes the icon only before the window opens. Without its file the window simply has none.
    setIcon(iconPath);
    return true;
}

void filterEvents() {
    for (int type = SDL_ACTIVEEVENT; type < SDL_NUMEVENTS; ++type)
        if (type != SDL_KEYDOWN && type != SDL_QUIT && type != SDL_VIDEOEXPOSE)
            SDL_EventState(static_cast<Uint8>(type), SDL_IGNORE);
}

SDL_Surface* loadBmp(const char* path) {
    return SDL_LoadBMP_RW(SDL_RWFromFile(path, "rb"), 1);
}

SDL_Surface* inDisplayFormat(SDL_Surface* loaded, Uint8 red, Uint8 green, Uint8 blue) {
    SDL_Surface* picture = SDL_DisplayFormat(loaded);
    if (picture != nullptr)
        SDL_SetColorKey(picture, SDL_SRCCOLORKEY, SDL_MapRGB(picture->format, red, green, blue));
    return picture;
}

Mix_Music* loadMusic(const char* path) {
    return Mix_LoadMUS(path);
}

SDL_Surface* newLayer(SDL_Surface* like, int w, int h) {
    if (like == nullptr) return nullptr;
    const SDL_PixelFormat* format = like->format;
    SDL_Surface* layer = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, format->BitsPerPixel, format->Rmask,
                                              format->Gmask, format->Bmask, format->Amask);
    if (layer == nullptr) return nullptr;
    const Uint32 key = SDL_MapRGB(layer->format, keyRed, keyGreen, keyBlue);
    SDL_FillRect(layer, nullptr, key);
    SDL_SetColorKey(layer, SDL_SRCCOLORKEY, key);
    return layer;
}

void readyForBlits(SDL_Surface* picture, SDL_Surface* display) {
    if (picture == nullptr || display == nullptr) return;
    // One pixel's blit, and that display pixel put back as it was.
    const int bytes = display->format->BytesPerPixel;
    Uint8 kept[4] = {};
    SDL_LockSurface(display);
    std::memcpy(kept, display->pixels, bytes);
    SDL_UnlockSurface(display);
    SDL_Rect pixel{0, 0, 1, 1};
    SDL_Rect place = pixel;
    blit(picture, &pixel, display, &place);
    SDL_LockSurface(display);
    std::memcpy(display->pixels, kept, bytes);
    SDL_UnlockSurface(display);
}

void readyForDisplay(SDL_Surface* picture, SDL_Surface* display) {
    if (picture == nullptr || display == nullptr) return;
    if (picture->flags & SDL_SRCCOLORKEY)
        SDL_SetColorKey(picture, SDL_SRCCOLORKEY | SDL_RLEACCEL, picture->format->colorkey);
    // The encoding too is made at the first blit onto the display.
    readyForBlits(picture, display);
}
void runMainLoop(app& game) {
    while (gameRunning(game))
        pacedFrame(game);
}
