// The written music of the four tunes and the little notation it is written in, plus the note envelope.
// Plain data and arithmetic: no sound is made here, so tests can read the score without the synthesiser.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <vector>

namespace music {

enum class Instrument { glock, squareLead, sawLead, trombone, pluckBass, sawBass, tuba, arp, pad };

struct Song {
    const char* title;
    int bpm;
    int bars;
    const char* chords;  // one chord per bar: "Am", "F", "C#m"
    const char* melody;  // eight steps per bar: a note such as "E5", "." to hold, "-" for silence
    Instrument lead;
    const char* bass;  // sixteen steps a bar, repeated: R root, O octave, F fifth, T third, . hold, - silence
    Instrument bassVoice;
    const char* arp;    // sixteen steps a bar, repeated: chord tones 1 3 5 8, - silence; empty for none
    bool pad;           // a soft chord under every bar
    const char* kick;   // drum steps, sixteen a bar, repeated: x hit, o soft hit, . nothing
    const char* snare;  // the same
    const char* hat;    // x closed, o open
    double drumLevel;
};

// Title: a bouncy glockenspiel tune in C major.
inline constexpr Song goof{
    .title = "Brakko (title)",
    .bpm = 132,
    .bars = 16,
    .chords = "C G Am F C G F G Am F C G Am F G C",
    .melody =
        "E5 . G5 E5 C5 . G4 . | D5 . B4 D5 G5 . - - | C5 . E5 A5 G5 . E5 . | F5 E5 D5 C5 A4 . - - |"
        "E5 . G5 C6 B5 . G5 . | D5 . G5 B5 A5 . G5 . | A5 G5 F5 E5 D5 . C5 . | D5 . . . G4 . - - |"
        "A4 C5 E5 A5 G5 . E5 . | F5 . A5 . G5 F5 E5 . | E5 G5 C6 . B5 A5 G5 . | D5 . G5 . B4 . - - |"
        "C5 E5 A5 . G5 E5 C5 . | F5 A5 C6 . A5 F5 D5 . | G5 . B5 . D6 . B5 . | C6 . G5 . E5 . C5 . |",
    .lead = Instrument::glock,
    .bass = "R.-.F.-.O.-.F.-.",
    .bassVoice = Instrument::pluckBass,
    .arp = "--5---3---5---3-",
    .pad = false,
    .kick = "x.......x.......",
    .snare = "....x.......x...",
    .hat = "..x...x...x...x.",
    .drumLevel = 0.7,
};

// Level 1: a galloping A minor march with a square-wave lead.
inline constexpr Song robotWars{
    .title = "Robot Wars (level 1)",
    .bpm = 144,
    .bars = 16,
    .chords = "Am Am F G Am Am F E Dm Am F G Am F G E",
    .melody =
        "A4 . C5 . E5 . A5 . | G5 . E5 . C5 D5 E5 . | F5 . E5 . D5 . C5 . | D5 . . . B4 . G4 . |"
        "A4 . C5 . E5 . A5 . | B5 . A5 . G5 A5 B5 . | C6 . B5 . A5 . F5 . | E5 . . . G#5 . B5 . |"
        "D5 . F5 . A5 . D6 . | C6 . B5 . A5 . E5 . | F5 . A5 . C6 . A5 . | B5 . G5 . D5 . B4 . |"
        "A5 . . E5 A5 . C6 . | A5 . F5 . C5 . F5 . | G5 . B5 . D6 . B5 . | G#5 . . . E5 . - - |",
    .lead = Instrument::squareLead,
    .bass = "R.ROR.ROR.ROR.FO",
    .bassVoice = Instrument::sawBass,
    .arp = "1-5-8-5-1-5-8-5-",
    .pad = false,
    .kick = "x...x...x...x...",
    .snare = "....x.......x.......x.......x.......x.......x.......x.......x.xx",
    .hat = "x.x.x.x.x.x.x.xo",
    .drumLevel = 1.0,
};

// Level 2: syncopated D minor with a sawtooth lead, a running arpeggio and pads.
inline constexpr Song vexo{
    .title = "Vexo (level 2)",
    .bpm = 124,
    .bars = 16,
    .chords = "Dm C Bb C Dm C Bb A Gm Dm Bb C Dm Bb C A",
    .melody =
        "D5 . . F5 . . A5 . | G5 . . E5 . . C5 . | D5 . . F5 . . Bb5 . | A5 . G5 . E5 . - - |"
        "D5 . . F5 . . A5 . | C6 . . G5 . . E5 . | F5 . . D5 . . Bb4 . | C#5 . . E5 . . A5 . |"
        "G5 . Bb5 . D6 . Bb5 . | A5 . F5 . D5 . F5 . | Bb5 . A5 . G5 . F5 . | E5 . G5 . C6 . - . |"
        "D6 . . A5 . . F5 . | D6 . . Bb5 . . F5 . | E5 . G5 . C6 . E6 . | C#6 . . . A5 . - - |",
    .lead = Instrument::sawLead,
    .bass = "R..R..R.R..R..O.",
    .bassVoice = Instrument::pluckBass,
    .arp = "1358135813581358",
    .pad = true,
    .kick = "x.....x.x.....x.",
    .snare = "....x.......x...",
    .hat = "x.xxx.xxx.xxx.xo",
    .drumLevel = 0.9,
};

// Rage quit: a slow, sorry trombone that starts with the oldest joke in music, a ticking clock behind it.
inline constexpr Song down{
    .title = "Down (rage quit)",
    .bpm = 72,
    .bars = 10,
    .chords = "Dm Dm Bb A Gm Dm Gm A Dm Dm",
    .melody =
        "A4 . . . G#4 . . . | G4 . . . F#4 . . . | F4 . G4 . A4 . Bb4 . | A4 . . . E4 . . . |"
        "G4 . Bb4 . D5 . . . | C5 . Bb4 . A4 . F4 . | G4 . A4 . Bb4 . G4 . | A4 . . . C#5 . . . |"
        "D5 . . . A4 . . . | D4 . . . . . - - |",
    .lead = Instrument::trombone,
    .bass = "R.......F.......",
    .bassVoice = Instrument::tuba,
    .arp = "",
    .pad = true,
    .kick = "x.......x.......",
    .snare = "............x...",
    .hat = "x...o...x...o...",
    .drumLevel = 0.45,
};

// MIDI note number of "C4", "G#5" or "Bb3"; -1 when the token is not exactly one note.
inline int noteNumber(std::string_view t) {
    constexpr std::array<int, 7> semitone{9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (t.empty() || t[0] < 'A' || t[0] > 'G') return -1;
    int n = semitone[t[0] - 'A'];
    std::size_t i = 1;
    if (i < t.size() && t[i] == '#')
        ++n, ++i;
    else if (i < t.size() && t[i] == 'b')
        --n, ++i;
    if (i + 1 != t.size() || t[i] < '0' || t[i] > '9') return -1;
    return n + 12 * (t[i] - '0' + 1);
}

// The steps of a written line: words split at spaces; bar lines "|" are only for the reader.
inline std::vector<std::string_view> tokens(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '|'))
            ++i;
        const std::size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '|')
            ++i;
        if (i > start) out.push_back(s.substr(start, i - start));
    }
    return out;
}

struct Chord {
    int root = -1;  // pitch class 0 (C) to 11 (B); -1 when the name is not a chord
    int third = 4;  // 3 for minor
};

// "Am", "F", "Bb", "C#m": root letter, optional sharp or flat, "m" for minor.
inline Chord chordOf(std::string_view name) {
    const std::size_t rootLength = name.size() > 1 && (name[1] == '#' || name[1] == 'b') ? 2 : 1;
    const std::string_view rest = name.substr(std::min(rootLength, name.size()));
    if (rest != "" && rest != "m") return {};
    char note[4] = {};
    for (std::size_t i = 0; i < rootLength && i < name.size(); ++i)
        note[i] = name[i];
    note[rootLength] = '4';
    const int midi = noteNumber(std::string_view(note, rootLength + 1));
    if (midi < 0) return {};
    return {(midi % 12 + 12) % 12, rest == "m" ? 3 : 4};
}

struct Envelope {
    double attack, decay, sustain, release;
    // Level at time t (seconds) of a note held for `held` seconds: it rises from silence and falls back to
    // silence smoothly, so that no note starts or stops with a click.
    double at(double t, double held) const {
        auto level = [&](double s) {
            if (s < attack) return s / attack;
            return sustain + (1 - sustain) * std::exp(-(s - attack) / decay);
        };
        if (t < held) return level(t);
        const double r = t - held;
        return r >= release ? 0 : level(held) * (1 - r / release) * (1 - r / release);
    }
};

}  // namespace music
