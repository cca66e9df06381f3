// The platform functions that the desktop and the browser share over SDL 1.2 and SDL_mixer 1.2, and the
// exact bytes of their failure messages; what differs lives in each platform's own file (the end of
// platform.h). Every failure is written and passed back as a null handle or a flag; none ends the program.
#include "sdl/platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

// The two start-up messages carry no line end: SDL's own error text follows straight after each.
constexpr char initFailure[] = "Erreur lors de l'initialisation de la SDL";
constexpr char displayFailure[] = "Erreur lors de l'initialisation de la surface desinable";
// Byte for byte as the game prints them: a lone Latin-1 byte for the accent here, UTF-8 below.
constexpr char pictureFailure[] =
    "porbl\xE8"
    "me avec le fichier ";
constexpr char audioFailure[] =
    "probl\xC3\xA8"
    "me audio\n";
constexpr char musicFailure[] = "probleme avec le fichier musical [";

}  // namespace

SDL_Surface* openDisplay(unsigned width, unsigned height, const char* caption, bool fullscreen) {
    beforeVideo(fullscreen);
    const bool started = SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) != -1;
    if (!started) std::cout << initFailure << SDL_GetError();
    if (started && !videoShows()) return nullptr;
    const Uint32 flags = fullscreen ? SDL_DOUBLEBUF | SDL_FULLSCREEN : SDL_DOUBLEBUF;
    SDL_Surface* display = SDL_SetVideoMode(static_cast<int>(width), static_cast<int>(height), 32, flags);
    if (display == nullptr) std::cout << displayFailure << SDL_GetError();
    filterEvents();
    // The game has no use for the pointer, and on a full screen it would sit over the picture.
    if (fullscreen && display != nullptr) SDL_ShowCursor(SDL_DISABLE);
    SDL_WM_SetCaption(caption, nullptr);
    return display;
}

SDL_Surface* openPicture(const char* path, Uint8 red, Uint8 green, Uint8 blue) {
    SDL_Surface* loaded = loadBmp(path);
    if (loaded == nullptr) {
        std::cout << pictureFailure << path << std::endl;
        return nullptr;
    }
    // Converting once here spares every blit a conversion; the loaded copy is no longer needed either way.
    SDL_Surface* picture = inDisplayFormat(loaded, red, green, blue);
    SDL_FreeSurface(loaded);
    return picture;
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

void commencerMixer() {
    if (Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 4096) == -1) std::cout << audioFailure;
}

Mix_Music* ouvrireMusique(const char* path) {
    Mix_Music* music = loadMusic(path);
    if (music == nullptr) std::cout << musicFailure << path << "]\n";
    return music;
}

bool play(Mix_Music* music) {
    if (Mix_PlayingMusic()) return false;
    // Not every mixer answers a null music with -1: a browser's fails on it.
    if (music == nullptr) return true;
    return Mix_PlayMusic(music, -1) == -1;
}

void stop() {
    Mix_HaltMusic();
}

void muteMusic(bool muted) {
    Mix_VolumeMusic(muted ? 0 : MIX_MAX_VOLUME);
}

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
