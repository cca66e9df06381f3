// brakko-assetcmp: says whether two pictures (BMP, PNG) or two tunes (Ogg Vorbis) look and sound the same
// once decoded, for assetgen_e2e when the libraries and fonts differ from those the committed assets were
// made with. Usage: brakko-assetcmp <committed> <generated>; exit 0 alike, 1 different (with why), 2
// unreadable.
#include <SDL.h>
#include <png.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Pictures: a renderer's upgrade moves the edges of letters by a shade or two; a changed drawing moves more.
constexpr int channelTolerance = 8;
constexpr double pixelsWithinShare = 0.995;
// Tunes: an encoder's upgrade changes its rounding, not the length or the loudness.
constexpr double lengthToleranceSeconds = 0.010;
constexpr double loudnessToleranceDb = 1.0;

struct Picture {
    int w = 0, h = 0;
    std::vector<unsigned char> rgba;  // 4 bytes a pixel, rows from the top
};

bool endsWith(const std::string& s, const char* tail) {
    const std::string t = tail;
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

bool loadBmp(const char* path, Picture& out) {
    SDL_Surface* s = SDL_LoadBMP(path);
    if (!s) return false;
    out.w = s->w, out.h = s->h;
    out.rgba.assign(4 * out.w * out.h, 0);
    SDL_LockSurface(s);
    const int bytes = s->format->BytesPerPixel;
    for (int j = 0; j < s->h; ++j) {
        for (int i = 0; i < s->w; ++i) {
            const Uint8* p = static_cast<const Uint8*>(s->pixels) + j * s->pitch + i * bytes;
            // A pixel is a native-order integer of 1, 2 or 4 bytes; of 3 bytes, in the machine's byte order.
            Uint32 value = 0;
            if (bytes == 3)
                value = SDL_BYTEORDER == SDL_LIL_ENDIAN ? p[0] | p[1] << 8 | p[2] << 16
                                                        : p[2] | p[1] << 8 | p[0] << 16;
            else if (bytes == 2)
                value = *reinterpret_cast<const Uint16*>(p);
            else if (bytes == 4)
                value = *reinterpret_cast<const Uint32*>(p);
            else
                value = *p;
            unsigned char* o = &out.rgba[4 * (i + j * out.w)];
            SDL_GetRGBA(value, s->format, &o[0], &o[1], &o[2], &o[3]);
        }
    }
    SDL_UnlockSurface(s);
    SDL_FreeSurface(s);
    return true;
}

bool loadPng(const char* path, Picture& out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGBA;
    out.w = static_cast<int>(image.width), out.h = static_cast<int>(image.height);
    out.rgba.assign(PNG_IMAGE_SIZE(image), 0);
    return png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr) != 0;
}

int comparePictures(const char* committed, const char* generated) {
    const bool png = endsWith(committed, ".png");
    Picture a, b;
    for (auto [path, picture] : {std::pair{committed, &a}, std::pair{generated, &b}}) {
        if (!(png ? loadPng(path, *picture) : loadBmp(path, *picture))) {
            std::printf("cannot decode %s\n", path);
            return 2;
        }
    }
    if (a.w != b.w || a.h != b.h) {
        std::printf("%dx%d pixels, generated %dx%d\n", a.w, a.h, b.w, b.h);
        return 1;
    }
    long within = 0;
    int worst = 0;
    for (std::size_t p = 0; p < a.rgba.size(); p += 4) {
        int far = 0;
        for (int c = 0; c < 4; ++c)
            far = std::max(far, std::abs(a.rgba[p + c] - b.rgba[p + c]));
        within += far <= channelTolerance;
        worst = std::max(worst, far);
    }
    const long total = static_cast<long>(a.w) * a.h;
    const double share = total ? static_cast<double>(within) / total : 1.0;
    const bool alike = share >= pixelsWithinShare;
    std::printf("%.2f%% of pixels within %d a channel (%s %.1f%%), worst %d\n", 100 * share, channelTolerance,
                alike ? "at least" : "fewer than", 100 * pixelsWithinShare, worst);
    return alike ? 0 : 1;
}

struct Sound {
    double seconds = 0, rmsDb = 0;
    int channels = 0;
    long rate = 0;
};

bool loadOgg(const char* path, Sound& out) {
    OggVorbis_File file;
    if (ov_fopen(path, &file) != 0) return false;
    const vorbis_info* info = ov_info(&file, -1);
    out.channels = info->channels, out.rate = info->rate;
    double sumOfSquares = 0;
    long frames = 0;
    for (;;) {
        float** pcm = nullptr;
        int section = 0;
        const long got = ov_read_float(&file, &pcm, 4096, &section);
        if (got < 0) {
            ov_clear(&file);
            return false;
        }
        if (got == 0) break;
        for (int c = 0; c < out.channels; ++c)
            for (long i = 0; i < got; ++i)
                sumOfSquares += static_cast<double>(pcm[c][i]) * pcm[c][i];
        frames += got;
    }
    ov_clear(&file);
    out.seconds = static_cast<double>(frames) / out.rate;
    const double meanSquare = frames ? sumOfSquares / (static_cast<double>(frames) * out.channels) : 0;
    out.rmsDb = 10 * std::log10(std::max(meanSquare, 1e-20));
    return true;
}

int compareTunes(const char* committed, const char* generated) {
    Sound a, b;
    for (auto [path, sound] : {std::pair{committed, &a}, std::pair{generated, &b}}) {
        if (!loadOgg(path, *sound)) {
            std::printf("cannot decode %s\n", path);
            return 2;
        }
    }
    if (a.channels != b.channels || a.rate != b.rate) {
        std::printf("%d channels at %ld Hz, generated %d at %ld Hz\n", a.channels, a.rate, b.channels,
                    b.rate);
        return 1;
    }
    const bool lengthAlike = std::abs(a.seconds - b.seconds) <= lengthToleranceSeconds;
    const bool loudnessAlike = std::abs(a.rmsDb - b.rmsDb) <= loudnessToleranceDb;
    std::printf(
        "%.3f s, generated %.3f s (%s %.0f ms apart); RMS %.2f dB, generated %.2f dB (%s %.1f dB apart)\n",
        a.seconds, b.seconds, lengthAlike ? "at most" : "more than", 1000 * lengthToleranceSeconds, a.rmsDb,
        b.rmsDb, loudnessAlike ? "at most" : "more than", loudnessToleranceDb);
    return lengthAlike && loudnessAlike ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::printf("usage: brakko-assetcmp <committed> <generated>\n");
        return 2;
    }
    if (endsWith(argv[1], ".ogg")) return compareTunes(argv[1], argv[2]);
    if (endsWith(argv[1], ".bmp") || endsWith(argv[1], ".png")) return comparePictures(argv[1], argv[2]);
    std::printf("brakko-assetcmp: %s is neither a BMP, a PNG nor an Ogg\n", argv[1]);
    return 2;
}
