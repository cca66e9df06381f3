// The platform functions over SDL 1.2 and SDL_mixer 1.2, and the exact bytes of their failure messages.
// Every failure is written and passed back as a null handle or a flag; none ends the program.
#include "platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#ifdef __EMSCRIPTEN__
#include <emscripten/html5.h>
#endif

#include "sheet.h"

namespace {

// The two start-up messages carry no line end: SDL's own error text follows straight after each.
constexpr char initFailure[] = "Erreur lors de l'initialisation de la SDL";
constexpr char displayFailure[] = "Erreur lors de l'initialisation de la surface desinable";
// Kept byte for byte as the game has always printed them: a lone Latin-1 byte for the accent here, UTF-8
// below.
constexpr char pictureFailure[] =
    "porbl\xE8"
    "me avec le fichier ";
constexpr char audioFailure[] =
    "probl\xC3\xA8"
    "me audio\n";
constexpr char musicFailure[] = "probleme avec le fichier musical [";

#ifndef __EMSCRIPTEN__
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
#endif

#ifdef __EMSCRIPTEN__
// A browser's canvas has no colour key, but it blends alpha: every pixel of the key colour becomes fully
// transparent and every other one fully opaque (SDL reads no alpha from a BMP either), so a blit copies
// exactly what a keyed blit would.
void seeThrough(SDL_Surface* picture, Uint32 key) {
    const Uint32 alpha = picture->format->Amask;
    SDL_LockSurface(picture);
    for (int y = 0; y < picture->h; ++y) {
        Uint32* row = static_cast<Uint32*>(picture->pixels) + y * picture->pitch / 4;
        for (int x = 0; x < picture->w; ++x)
            row[x] = (row[x] & ~alpha) == (key & ~alpha) ? row[x] & ~alpha : row[x] | alpha;
    }
    SDL_UnlockSurface(picture);
}
#endif

}  // namespace

SDL_Surface* openDisplay(unsigned width, unsigned height, const char* caption, bool fullscreen) {
#ifndef __EMSCRIPTEN__
    // The window's class names the game to the desktop, which matches it to the menu entry by it; SDL would
    // take the program's file name, which a wrapper or a renamed copy changes. A class the user chose stands.
    setenv("SDL_VIDEO_X11_WMCLASS", windowClass, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", windowClass, 0);
    // sdl12-compat shows a fullscreen mode scaled to the whole screen, smoothed unless told otherwise; a
    // player's own choice stands here too. The classic library switches the screen's mode and ignores this.
    if (fullscreen) setenv("SDL12COMPAT_SCALE_METHOD", "nearest", 0);
#endif
    const bool started = SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) != -1;
    if (!started) std::cout << initFailure << SDL_GetError();
#ifndef __EMSCRIPTEN__
    char driver[32] = {};
    if (started && showsNoWindow(driver)) {
        std::fprintf(stderr,
                     "brakko: no display to show the game on (SDL found only its \"%s\" video driver)\n",
                     driver);
        return nullptr;
    }
    // SDL 1.2 takes the icon only before the window opens. Without its file the window simply has none.
    if (started) setIcon(iconPath);
#endif
    const Uint32 flags = fullscreen ? SDL_DOUBLEBUF | SDL_FULLSCREEN : SDL_DOUBLEBUF;
    SDL_Surface* display = SDL_SetVideoMode(static_cast<int>(width), static_cast<int>(height), 32, flags);
    if (display == nullptr) std::cout << displayFailure << SDL_GetError();
#ifndef __EMSCRIPTEN__
    // A browser's SDL has no such switch, and its queue has no limit to overflow.
    for (int type = SDL_ACTIVEEVENT; type < SDL_NUMEVENTS; ++type)
        if (type != SDL_KEYDOWN && type != SDL_QUIT && type != SDL_VIDEOEXPOSE)
            SDL_EventState(static_cast<Uint8>(type), SDL_IGNORE);
#endif
    // The game has no use for the pointer, and on a full screen it would sit over the picture.
    if (fullscreen && display != nullptr) SDL_ShowCursor(SDL_DISABLE);
    SDL_WM_SetCaption(caption, nullptr);
    return display;
}

SDL_Surface* openPicture(const char* path, Uint8 red, Uint8 green, Uint8 blue) {
#ifdef __EMSCRIPTEN__
    // The browser's loader would fill a BMP cut short with black.
    SDL_Surface* loaded = wholeBmp(path) ? SDL_LoadBMP_RW(SDL_RWFromFile(path, "rb"), 1) : nullptr;
#else
    SDL_Surface* loaded = SDL_LoadBMP_RW(SDL_RWFromFile(path, "rb"), 1);
#endif
    if (loaded == nullptr) {
        std::cout << pictureFailure << path << std::endl;
        return nullptr;
    }
    // Converting once here spares every blit a conversion; the loaded copy is no longer needed either way.
#ifdef __EMSCRIPTEN__
    SDL_Surface* picture = SDL_DisplayFormatAlpha(loaded);
#else
    SDL_Surface* picture = SDL_DisplayFormat(loaded);
#endif
    SDL_FreeSurface(loaded);
    if (picture == nullptr) return nullptr;
#ifdef __EMSCRIPTEN__
    seeThrough(picture, SDL_MapRGB(picture->format, red, green, blue));
#else
    SDL_SetColorKey(picture, SDL_SRCCOLORKEY, SDL_MapRGB(picture->format, red, green, blue));
#endif
    return picture;
}

SDL_Surface* newLayer(SDL_Surface* like, int w, int h) {
    if (like == nullptr) return nullptr;
    const SDL_PixelFormat* format = like->format;
#ifdef __EMSCRIPTEN__
    // A browser's surface is a canvas, and a new one is wholly see-through already. Made as a hardware
    // surface its pixels live in that canvas alone until a lock first copies them out.
    return SDL_CreateRGBSurface(SDL_HWSURFACE, w, h, format->BitsPerPixel, format->Rmask, format->Gmask,
                                format->Bmask, format->Amask);
#else
    SDL_Surface* layer = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, format->BitsPerPixel, format->Rmask,
                                              format->Gmask, format->Bmask, format->Amask);
    if (layer == nullptr) return nullptr;
    const Uint32 key = SDL_MapRGB(layer->format, keyRed, keyGreen, keyBlue);
    SDL_FillRect(layer, nullptr, key);
    SDL_SetColorKey(layer, SDL_SRCCOLORKEY, key);
    return layer;
#endif
}

pixelCopy::pixelCopy(SDL_Surface* from, SDL_Surface* into) : from(from), into(into) {
    SDL_LockSurface(from);
    SDL_LockSurface(into);
}

pixelCopy::~pixelCopy() {
    SDL_UnlockSurface(into);
    SDL_UnlockSurface(from);
}

void pixelCopy::copy(SDL_Rect part, int x, int y) {
    // Clip the part to its own picture, then the place to the other, moving both together.
    int sx = part.x, sy = part.y, w = part.w, h = part.h;
    if (sx < 0) w += sx, x -= sx, sx = 0;
    if (sy < 0) h += sy, y -= sy, sy = 0;
    if (x < 0) w += x, sx -= x, x = 0;
    if (y < 0) h += y, sy -= y, y = 0;
    if (sx + w > from->w) w = from->w - sx;
    if (sy + h > from->h) h = from->h - sy;
    if (x + w > into->w) w = into->w - x;
    if (y + h > into->h) h = into->h - y;
    if (w <= 0 || h <= 0) return;
    const int bytes = into->format->BytesPerPixel;
    for (int row = 0; row < h; ++row)
        std::memcpy(static_cast<Uint8*>(into->pixels) + (y + row) * into->pitch + x * bytes,
                    static_cast<const Uint8*>(from->pixels) + (sy + row) * from->pitch + sx * bytes,
                    static_cast<size_t>(w * bytes));
}

#ifdef __EMSCRIPTEN__
// A browser draws one canvas onto another as it is: there is no key to encode, and a layer's first draw was
// measured to hold up no frame, so nothing is done ahead.
void readyForDisplay(SDL_Surface*, SDL_Surface*) {}
void readyForBlits(SDL_Surface*, SDL_Surface*) {}
#else
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
#endif

#ifdef __EMSCRIPTEN__
void shownPicture::open(SDL_Surface*) {}
shownPicture::~shownPicture() = default;
bool shownPicture::show(SDL_Surface* display) {
    SDL_Flip(display);
    return true;
}
#else
void shownPicture::open(SDL_Surface* display) {
    std::free(pixels);
    const size_t size = static_cast<size_t>(display->h) * display->pitch;
    pixels = static_cast<Uint8*>(std::malloc(size));
    stale = true;
    if (pixels == nullptr) return;
    // Shown once now, as it is (nothing is drawn yet): a library that sets up its presenting at the first
    // flip (sdl12-compat does, allocating) does so at start-up, not in the first frame.
    SDL_LockSurface(display);
    std::memcpy(pixels, display->pixels, size);
    SDL_UnlockSurface(display);
    SDL_Flip(display);
    stale = false;
}

shownPicture::~shownPicture() {
    std::free(pixels);
}

bool shownPicture::show(SDL_Surface* display) {
    const size_t size = static_cast<size_t>(display->h) * display->pitch;
    if (pixels != nullptr) {
        SDL_LockSurface(display);
        const bool same = !stale && std::memcmp(pixels, display->pixels, size) == 0;
        if (!same) std::memcpy(pixels, display->pixels, size);
        SDL_UnlockSurface(display);
        if (same) return false;
    }
    stale = false;
    SDL_Flip(display);
    return true;
}

#endif

void commencerMixer() {
    if (Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 4096) == -1) std::cout << audioFailure;
}

Mix_Music* ouvrireMusique(const char* path) {
#ifdef __EMSCRIPTEN__
    // The browser's mixer takes any file and fails only when it plays one it cannot decode.
    Mix_Music* music = vorbisHeaders(path) ? Mix_LoadMUS(path) : nullptr;
#else
    Mix_Music* music = Mix_LoadMUS(path);
#endif
    if (music == nullptr) std::cout << musicFailure << path << "]\n";
    return music;
}

bool play(Mix_Music* music) {
    if (Mix_PlayingMusic()) return false;
#ifdef __EMSCRIPTEN__
    // The browser's mixer fails on a null music instead of answering -1.
    if (music == nullptr) return true;
#endif
    return Mix_PlayMusic(music, -1) == -1;
}

void stop() {
    Mix_HaltMusic();
}

void muteMusic(bool muted) {
    Mix_VolumeMusic(muted ? 0 : MIX_MAX_VOLUME);
}

#ifdef __EMSCRIPTEN__
namespace {
EM_BOOL visibilityChanged(int, const EmscriptenVisibilityChangeEvent* page, void*) {
    // Nothing to resume when no music plays (halted, or never loaded).
    if (page->hidden)
        Mix_PauseMusic();
    else
        Mix_ResumeMusic();
    return EM_FALSE;
}
}  // namespace

void pauseMusicWhileHidden() {
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, visibilityChanged);
}
#endif

namespace {

// Little-endian numbers in a file's header.
Uint32 le32(const unsigned char* at) {
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<Uint32>(at[3]) << 24;
}
Uint16 le16(const unsigned char* at) {
    return static_cast<Uint16>(at[0] | at[1] << 8);
}

}  // namespace

bool wholeBmp(const char* path) {
    std::FILE* in = std::fopen(path, "rb");
    if (in == nullptr) return false;
    // The file header, then the info header: 12 bytes in the oldest form, 40 or more in the others.
    unsigned char head[14 + 40] = {};
    const size_t got = std::fread(head, 1, sizeof head, in);
    std::fseek(in, 0, SEEK_END);
    const long size = std::ftell(in);
    std::fclose(in);
    if (got < 14 + 12 || head[0] != 'B' || head[1] != 'M') return false;
    const Uint32 pixelsAt = le32(head + 10);
    const Uint32 infoSize = le32(head + 14);
    long width = 0, height = 0;
    int bits = 0;
    Uint32 compression = 0;
    if (infoSize == 12) {
        width = le16(head + 18);
        height = le16(head + 20);
        bits = le16(head + 24);
    } else {
        if (got < 14 + 40 || infoSize < 40) return false;
        width = static_cast<Sint32>(le32(head + 18));
        height = static_cast<Sint32>(le32(head + 22));  // negative: rows from the top down
        bits = le16(head + 28);
        compression = le32(head + 30);
    }
    if (height < 0) height = -height;
    // Uncompressed (0) or bit fields (3): SDL 1.2 reads no other.
    if (width <= 0 || (compression != 0 && compression != 3) || bits < 1 || bits > 32) return false;
    const long long row = (static_cast<long long>(width) * bits + 31) / 32 * 4;
    return static_cast<long long>(pixelsAt) + row * height <= size;
}

bool vorbisHeaders(const char* path) {
    std::FILE* in = std::fopen(path, "rb");
    if (in == nullptr) return false;
    constexpr unsigned char headerTypes[3] = {1, 3, 5};  // identification, comment, setup
    int packets = 0;                                     // whole packets read
    long inPacket = 0;                                   // bytes of the packet being read
    char start[7] = {};                                  // its first bytes: the type and "vorbis"
    bool sound = true;
    while (sound && packets < 3) {
        // A page: "OggS", version 0, flags, position, stream, sequence and checksum, then the lacing values,
        // each the length of one segment; a segment shorter than 255 bytes ends its packet.
        unsigned char page[27];
        unsigned char lacing[255];
        if (std::fread(page, 1, sizeof page, in) != sizeof page || std::memcmp(page, "OggS", 4) != 0 ||
            page[4] != 0 || std::fread(lacing, 1, page[26], in) != page[26]) {
            sound = false;
            break;
        }
        for (int s = 0; s < page[26] && sound && packets < 3; ++s) {
            unsigned char segment[255];
            if (std::fread(segment, 1, lacing[s], in) != lacing[s]) {
                sound = false;
                break;
            }
            for (int i = 0; i < lacing[s] && inPacket + i < 7; ++i)
                start[inPacket + i] = static_cast<char>(segment[i]);
            inPacket += lacing[s];
            if (lacing[s] == 255) continue;
            sound = inPacket >= 7 && static_cast<unsigned char>(start[0]) == headerTypes[packets] &&
                    std::memcmp(start + 1, "vorbis", 6) == 0;
            ++packets;
            inPacket = 0;
        }
    }
    std::fclose(in);
    return sound && packets == 3;
}
