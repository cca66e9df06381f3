// Synthesises the four tunes from note lists (melody, chords, bass and drum patterns) and encodes them.
// A note that rings past the end of the loop wraps round to its start, so the loop point has no seam.
#include "assetgen_music.h"

#include "assetgen_score.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

namespace music {
namespace {

constexpr int rate = 22050;
constexpr double pi = std::numbers::pi;

// ---------------------------------------------------------------- synthesis

struct Mix {
    int n;
    std::vector<float> left, right, send;
    explicit Mix(int samples) : n(samples), left(samples), right(samples), send(samples) {}
    void add(long i, double v, double pan, double sendLevel) {
        const int k = static_cast<int>(((i % n) + n) % n);
        left[k] += static_cast<float>(v * std::cos((pan + 1) * pi / 4));
        right[k] += static_cast<float>(v * std::sin((pan + 1) * pi / 4));
        send[k] += static_cast<float>(v * sendLevel);
    }
};

struct Noise {
    std::uint32_t state;
    double next() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 8388608.0 - 1.0;
    }
};

double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

double saw(double phase, double dt) {
    return 2 * phase - 1 - polyBlep(phase, dt);
}

double pulse(double phase, double dt, double width) {
    double v = phase < width ? 1 : -1;
    v += polyBlep(phase, dt);
    v -= polyBlep(std::fmod(phase + 1 - width, 1.0), dt);
    return v;
}

double triangle(double phase) {
    return phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase;
}

// A state-variable low-pass filter (trapezoidal form), stable at any cutoff we ask of it.
struct LowPass {
    double ic1 = 0, ic2 = 0;
    double run(double x, double cutoff, double q) {
        const double g = std::tan(pi * std::min(cutoff, rate * 0.45) / rate), k = 1 / q;
        const double a1 = 1 / (1 + g * (g + k)), a2 = g * a1, a3 = g * a2;
        const double v3 = x - ic2, v1 = a1 * ic1 + a2 * v3, v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1, ic2 = 2 * v2 - ic2;
        return v2;
    }
};

double hz(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12);
}

// Renders one note of a melodic instrument into the mix, starting at sample `start`.
void playNote(Mix& mix, Instrument inst, long start, double seconds, double midi, double velocity) {
    // Each instrument's envelope, its place between the speakers, its share of the echo and its loudness, in
    // the order of Instrument.
    struct voice {
        Envelope env;
        double pan, send, level;
    };
    constexpr voice voices[] = {
        {{0.002, 0.45, 0.0, 0.06}, 0.25, 0.35, 0.36},  // glock
        {{0.008, 0.12, 0.65, 0.08}, -0.1, 0.3, 0.2},   // squareLead
        {{0.006, 0.2, 0.6, 0.1}, 0.1, 0.35, 0.2},      // sawLead
        {{0.05, 0.3, 0.8, 0.15}, 0.05, 0.3, 0.34},     // trombone
        {{0.004, 0.16, 0.45, 0.05}, 0, 0, 0.42},       // pluckBass
        {{0.003, 0.1, 0.7, 0.04}, 0, 0, 0.3},          // sawBass
        {{0.04, 0.3, 0.85, 0.12}, 0, 0, 0.42},         // tuba
        {{0.002, 0.07, 0.0, 0.04}, -0.35, 0.4, 0.11},  // arp
        {{0.35, 0.8, 0.8, 0.5}, 0, 0.2, 0.055},        // pad
    };
    static_assert(std::size(voices) == static_cast<std::size_t>(Instrument::pad) + 1);
    const auto [env, pan, send, level] = voices[static_cast<int>(inst)];
    const double f = hz(midi);
    const long total = static_cast<long>((seconds + env.release) * rate);
    std::array<double, 3> phase{0, 0.31, 0.67};
    LowPass lp, lp2;
    for (long s = 0; s < total; ++s) {
        const double t = static_cast<double>(s) / rate;
        // Vibrato fades in on long notes; the trombone's grows wider and droops at the end.
        double bend = 0;
        if (inst == Instrument::squareLead || inst == Instrument::sawLead)
            bend = 0.12 * std::clamp((t - 0.18) / 0.2, 0.0, 1.0) * std::sin(2 * pi * 5.5 * t);
        if (inst == Instrument::trombone) {
            bend = 0.28 * std::clamp((t - 0.25) / 0.5, 0.0, 1.0) * std::sin(2 * pi * 4.8 * t);
            if (seconds > 1.5) bend -= 0.6 * std::clamp((t - seconds * 0.75) / (seconds * 0.25), 0.0, 1.0);
        }
        const double freq = f * std::pow(2.0, bend / 12), dt = freq / rate;
        double v = 0;
        switch (inst) {
            case Instrument::glock: {
                v = std::sin(2 * pi * phase[0]) +
                    0.3 * std::exp(-t / 0.08) * std::sin(2 * pi * phase[0] * 4.0) +
                    0.12 * std::exp(-t / 0.03) * std::sin(2 * pi * phase[0] * 9.2);
                break;
            }
            case Instrument::squareLead:
                v = lp.run(pulse(phase[0], dt, 0.5), 2600, 0.8);
                break;
            case Instrument::sawLead: {
                const double d2 = dt * 1.004;
                const double raw = 0.6 * saw(phase[0], dt) + 0.6 * saw(phase[1], d2);
                v = lp.run(raw, 700 + 2600 * std::exp(-t / 0.25), 1.3);
                phase[1] = std::fmod(phase[1] + d2, 1.0);
                break;
            }
            case Instrument::trombone: {
                // Each note says "wah": the filter opens quickly and closes again slowly.
                const double wah = std::min(t / 0.12, 1.0) * std::exp(-std::max(t - 0.12, 0.0) / 0.9);
                v = lp2.run(lp.run(saw(phase[0], dt), 300 + 1500 * wah, 1.6), 2400, 0.7);
                break;
            }
            case Instrument::pluckBass:
                v = lp.run(0.8 * triangle(phase[0]) + 0.35 * saw(phase[0], dt),
                           500 + 1400 * std::exp(-t / 0.06), 1.1);
                break;
            case Instrument::sawBass:
                v = lp.run(saw(phase[0], dt), 180 + 1500 * std::exp(-t / 0.07), 2.2);
                break;
            case Instrument::tuba:
                v = lp.run(triangle(phase[0]) + 0.4 * pulse(phase[0], dt, 0.5), 420, 0.9);
                break;
            case Instrument::arp:
                v = lp.run(pulse(phase[0], dt, 0.25), 3000, 0.7);
                break;
            case Instrument::pad: {
                const double d2 = dt * 1.0046, d3 = dt * 0.9955;
                v = lp.run(saw(phase[0], dt) + saw(phase[1], d2) + saw(phase[2], d3), 1100, 0.8);
                phase[1] = std::fmod(phase[1] + d2, 1.0);
                phase[2] = std::fmod(phase[2] + d3, 1.0);
                break;
            }
        }
        phase[0] = std::fmod(phase[0] + dt, 1.0);
        mix.add(start + s, v * level * velocity * env.at(t, seconds), pan, send);
    }
}

enum class Drum { kick, snare, closedHat, openHat };

void playDrum(Mix& mix, Drum drum, long start, double velocity, Noise& noise) {
    const double seconds = drum == Drum::kick      ? 0.45
                           : drum == Drum::snare   ? 0.3
                           : drum == Drum::openHat ? 0.25
                                                   : 0.07;
    const long total = static_cast<long>(seconds * rate);
    double phase = 0;
    LowPass lp, body;
    for (long s = 0; s < total; ++s) {
        const double t = static_cast<double>(s) / rate;
        const double fade = std::min(1.0, (total - s) / (0.01 * rate));  // no clicks at the tail
        double v = 0, pan = 0;
        switch (drum) {
            case Drum::kick: {
                const double f = 45 + 120 * std::exp(-t / 0.03);
                phase += f / rate;
                v = 0.9 * std::sin(2 * pi * phase) * std::exp(-t / 0.2) * std::min(1.0, t / 0.002);
                break;
            }
            case Drum::snare: {
                phase += 190.0 / rate;
                const double n = noise.next();
                v = 0.42 * body.run(n, 5000, 0.7) * std::exp(-t / 0.08) +
                    0.4 * std::sin(2 * pi * phase) * std::exp(-t / 0.05);
                pan = 0.1;
                break;
            }
            case Drum::closedHat:
            case Drum::openHat: {
                const double n = noise.next();
                const double high = n - lp.run(n, 6000, 0.7);
                v = 0.32 * high * std::exp(-t / (drum == Drum::openHat ? 0.09 : 0.022));
                pan = -0.25;
                break;
            }
        }
        mix.add(start + s, v * velocity * fade, pan, 0.0);
    }
}

// A ping-pong echo on the send bus. It runs round the loop twice so that the echoes of the last bars
// already sound at the start, as they will when the music loops.
void echo(Mix& mix, int delay, double feedback, double level) {
    std::vector<float> wetL(mix.n), wetR(mix.n);
    LowPass darkL, darkR;
    for (int lap = 0; lap < 2; ++lap)
        for (int i = 0; i < mix.n; ++i) {
            const int j = (i - delay + mix.n) % mix.n;
            wetL[i] = static_cast<float>(darkL.run(mix.send[j] + feedback * wetR[j], 3500, 0.7));
            wetR[i] = static_cast<float>(darkR.run(feedback * wetL[j], 3500, 0.7));
        }
    for (int i = 0; i < mix.n; ++i) {
        mix.left[i] += static_cast<float>(level * wetL[i]);
        mix.right[i] += static_cast<float>(level * wetR[i]);
    }
}

// Steps of a pattern, each with the number of steps it lasts (until the next step that is not ".").
template <typename F>
void walkSteps(const std::vector<std::string_view>& steps, F&& onNote) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (steps[i] == "." || steps[i] == "-") continue;
        std::size_t len = 1;
        while (i + len < steps.size() && steps[i + len] == ".")
            ++len;
        onNote(static_cast<int>(i), static_cast<int>(len), steps[i]);
    }
}

std::vector<std::string_view> characters(std::string_view pattern, int count) {
    std::vector<std::string_view> out;
    for (int i = 0; i < count; ++i)
        out.push_back(pattern.substr(i % pattern.size(), 1));
    return out;
}

bool render(const Song& song, Mix& mix, int stepSamples) {
    const auto chords = tokens(song.chords);
    const auto melody = tokens(song.melody);
    if (static_cast<int>(chords.size()) != song.bars || static_cast<int>(melody.size()) != song.bars * 8) {
        std::printf("brakko-assetgen: %s has %zu chords and %zu melody steps for %d bars\n", song.title,
                    chords.size(), melody.size(), song.bars);
        return false;
    }
    // A typing slip in the notes must stop the generator rather than leave a silent step.
    for (std::string_view t : melody)
        if (t != "." && t != "-" && noteNumber(t) < 0) {
            std::printf("brakko-assetgen: %s: \"%.*s\" is not a note\n", song.title,
                        static_cast<int>(t.size()), t.data());
            return false;
        }
    for (std::string_view t : chords)
        if (chordOf(t).root < 0) {
            std::printf("brakko-assetgen: %s: \"%.*s\" is not a chord\n", song.title,
                        static_cast<int>(t.size()), t.data());
            return false;
        }
    const double stepSeconds = static_cast<double>(stepSamples) / rate;
    // Melody: eight steps per bar, each two sixteenths long; notes leave a breath before the next.
    walkSteps(melody, [&](int i, int len, std::string_view t) {
        const int midi = noteNumber(t);
        if (midi < 0) return;
        const double accent = (i % 4 == 0) ? 1.0 : 0.85;
        playNote(mix, song.lead, static_cast<long>(i) * 2 * stepSamples, len * 2 * stepSeconds * 0.9, midi,
                 accent);
    });
    // Bass, arpeggio and pad follow the chord of each bar.
    const int steps = song.bars * 16;
    const auto bass = characters(song.bass, steps);
    walkSteps(bass, [&](int i, int len, std::string_view t) {
        const Chord c = chordOf(chords[i / 16]);
        int midi = 36 + c.root;
        if (midi > 43) midi -= 12;
        if (t == "O") midi += 12;
        if (t == "F") midi += 7;
        if (t == "T") midi += c.third;
        playNote(mix, song.bassVoice, static_cast<long>(i) * stepSamples, len * stepSeconds * 0.85, midi,
                 i % 4 == 0 ? 1.0 : 0.8);
    });
    if (*song.arp) {
        const auto arp = characters(song.arp, steps);
        for (int i = 0; i < steps; ++i) {
            const Chord c = chordOf(chords[i / 16]);
            const char d = arp[i][0];
            if (d == '-' || d == '.') continue;
            const int offset = d == '1' ? 0 : d == '3' ? c.third : d == '5' ? 7 : 12;
            playNote(mix, Instrument::arp, static_cast<long>(i) * stepSamples, stepSeconds * 0.8,
                     60 + c.root + offset, i % 2 ? 0.7 : 1.0);
        }
    }
    if (song.pad)
        for (int bar = 0; bar < song.bars; ++bar) {
            const Chord c = chordOf(chords[bar]);
            for (int offset : {0, c.third, 7}) {
                int midi = 52 + (c.root + offset) % 12;  // keep the chord between E3 and D#4
                playNote(mix, Instrument::pad, static_cast<long>(bar) * 16 * stepSamples,
                         16 * stepSeconds * 0.95, midi, 1.0);
            }
        }
    // Drums.
    Noise noise{0xB4A11u};
    struct Part {
        const char* pattern;
        Drum hit, soft;
        double level;
    };
    const std::array<Part, 3> parts{{{song.kick, Drum::kick, Drum::kick, 1.0},
                                     {song.snare, Drum::snare, Drum::snare, 0.8},
                                     {song.hat, Drum::closedHat, Drum::openHat, 0.5}}};
    for (const Part& p : parts) {
        const std::string_view pattern = p.pattern;
        for (int i = 0; i < steps; ++i) {
            const char h = pattern[i % pattern.size()];
            if (h == 'x')
                playDrum(mix, p.hit, static_cast<long>(i) * stepSamples, p.level * song.drumLevel, noise);
            if (h == 'o')
                playDrum(mix, p.soft, static_cast<long>(i) * stepSamples, p.level * song.drumLevel * 0.7,
                         noise);
        }
    }
    echo(mix, stepSamples * 3, 0.38, 0.55);
    // Leave headroom: the loudest sample of either channel sits at 0.89.
    float peak = 0;
    for (int i = 0; i < mix.n; ++i)
        peak = std::max({peak, std::abs(mix.left[i]), std::abs(mix.right[i])});
    const float gain = peak > 0 ? 0.89f / peak : 1.0f;
    for (int i = 0; i < mix.n; ++i)
        mix.left[i] *= gain, mix.right[i] *= gain;
    return true;
}

// ---------------------------------------------------------------- encoding

// Fixed stream serial numbers: the same input gives the same file, byte for byte.
bool encode(const Mix& mix, const char* title, int serial, const char* path) {
    std::FILE* out = std::fopen(path, "wb");
    if (!out) {
        std::printf("brakko-assetgen: cannot write %s\n", path);
        return false;
    }
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 2, rate, 0.1f) != 0) {
        std::printf("brakko-assetgen: the Vorbis encoder refused its settings\n");
        vorbis_info_clear(&vi);
        std::fclose(out);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", title);
    vorbis_comment_add_tag(&vc, "ARTIST", "Brakko");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&os, &page)) {
        std::fwrite(page.header, 1, page.header_len, out);
        std::fwrite(page.body, 1, page.body_len, out);
    }
    constexpr int chunk = 1024;
    bool done = false;
    for (int pos = 0; !done;) {
        const int count = std::min(chunk, mix.n - pos);
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&vd, count);
            std::memcpy(buffer[0], mix.left.data() + pos, count * sizeof(float));
            std::memcpy(buffer[1], mix.right.data() + pos, count * sizeof(float));
            vorbis_analysis_wrote(&vd, count);
            pos += count;
        } else {
            vorbis_analysis_wrote(&vd, 0);
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) {
                    std::fwrite(page.header, 1, page.header_len, out);
                    std::fwrite(page.body, 1, page.body_len, out);
                    if (ogg_page_eos(&page)) done = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return std::fclose(out) == 0;
}

}  // namespace

bool writeTune(Tune tune, const char* path) {
    const Song& song = tune == Tune::title    ? goof
                       : tune == Tune::level1 ? robotWars
                       : tune == Tune::level2 ? vexo
                                              : down;
    // Whole samples per sixteenth note, so that every bar and the loop itself fall on exact samples.
    const int stepSamples = static_cast<int>(std::lround(rate * 60.0 / song.bpm / 4));
    Mix mix(stepSamples * 16 * song.bars);
    if (!render(song, mix, stepSamples)) return false;
    return encode(mix, song.title, 0x42524B30 + static_cast<int>(tune), path);
}

}  // namespace music
