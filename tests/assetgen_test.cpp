// The asset generator's own pieces, without running it: the canvas never makes a see-through pixel by
// accident, the title's lettering reads against what it sits on, and the written score parses, fits its bars
// and gives every tune 20 to 60 seconds.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "../tools/assetgen_art.h"
#include "../tools/assetgen_canvas.h"
#include "../tools/assetgen_score.h"

namespace {

using art::Canvas;
using art::key;
using art::Rgb;

// ---------------------------------------------------------------- canvas

TEST(AssetgenCanvas, OnlyClearKeyMakesSeeThroughPixels) {
    Canvas c(4, 1, Rgb{10, 20, 30});
    c.set(0, 0, key);
    c.blend(1, 0, key, 1.0);
    c.fill(2, 0, 1, 1, key);
    c.clearKey(3, 0);
    for (int x = 0; x < 3; ++x)
        EXPECT_FALSE(c.at(x, 0) == key) << "drawing the key colour at x " << x << " made a hole";
    EXPECT_TRUE(c.at(3, 0) == key) << "clearKey did not make pixel 3 see-through";
    c.set(9, 9, Rgb{1, 2, 3});  // outside: ignored, not a crash
}

TEST(AssetgenCanvas, StampScalesUpAndLeavesSeeThroughPixelsOut) {
    Canvas from(2, 1, key);
    from.set(1, 0, Rgb{200, 0, 0});
    const Rgb floor{0, 0, 90};
    Canvas to(6, 3, floor);
    to.stamp(from, 0, 0, 2, 1, 0, 0, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) {
            const Rgb want = x < 3 ? floor : Rgb{200, 0, 0};
            EXPECT_TRUE(to.at(x, y) == want) << "pixel (" << x << ", " << y << ") after a threefold stamp";
        }
}

TEST(AssetgenCanvas, SeededDiceRepeatThemselves) {
    art::Dice a{7}, b{7}, c{8};
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        const auto va = a.next();
        ASSERT_EQ(va, b.next()) << "two dice with seed 7 parted at throw " << i;
        differs |= va != c.next();
    }
    EXPECT_TRUE(differs) << "seeds 7 and 8 gave the same hundred throws";
}

// ---------------------------------------------------------------- lettering

TEST(AssetgenLettering, EveryTitleInkReadsOnItsGround) {
    // WCAG's own extremes and its example threshold pair, so that a wrong formula cannot pass the inks.
    EXPECT_NEAR(art::contrast(Rgb{0, 0, 0}, Rgb{255, 255, 255}), 21.0, 0.01);
    EXPECT_NEAR(art::contrast(Rgb{118, 118, 118}, Rgb{255, 255, 255}), 4.54, 0.01);
    for (const art::Lettering& l : art::titleLettering)
        EXPECT_GE(art::contrast(l.ink, l.ground), 4.5) << "the title's " << l.what << " is too faint to read";
}

// ---------------------------------------------------------------- notation

TEST(AssetgenScore, NotesAndChordsParse) {
    EXPECT_EQ(music::noteNumber("C4"), 60);
    EXPECT_EQ(music::noteNumber("A4"), 69);
    EXPECT_EQ(music::noteNumber("G#5"), 80);
    EXPECT_EQ(music::noteNumber("Bb3"), 58);
    for (std::string_view bad : {"H4", "C", "C44", "c4", "", ".", "-", "E#b4"})
        EXPECT_EQ(music::noteNumber(bad), -1) << "\"" << bad << "\" was read as a note";

    struct Case {
        const char* name;
        int root, third;
    };
    for (const Case& c :
         {Case{"Am", 9, 3}, Case{"F", 5, 4}, Case{"Bb", 10, 4}, Case{"C#m", 1, 3}, Case{"E", 4, 4}}) {
        const music::Chord chord = music::chordOf(c.name);
        EXPECT_EQ(chord.root, c.root) << "root of " << c.name;
        EXPECT_EQ(chord.third, c.third) << "third of " << c.name;
    }
    for (const char* bad : {"X", "Amaj", "", "m"})
        EXPECT_EQ(music::chordOf(bad).root, -1) << "\"" << bad << "\" was read as a chord";

    const auto steps = music::tokens("E5 . | G5  - |");
    ASSERT_EQ(steps.size(), 4u) << "bar lines and double spaces must not make steps";
    EXPECT_EQ(steps[2], "G5");
}

// ---------------------------------------------------------------- the four tunes

TEST(AssetgenScore, EveryTuneFitsItsBarsAndLasts20To60Seconds) {
    for (const music::Song* song : {&music::goof, &music::robotWars, &music::vexo, &music::down}) {
        const std::string name = song->title;
        const double seconds = song->bars * 4 * 60.0 / song->bpm;
        EXPECT_GE(seconds, 20) << name << " loops after only " << seconds << " s";
        EXPECT_LE(seconds, 60) << name << " lasts " << seconds << " s";

        const auto chords = music::tokens(song->chords);
        EXPECT_EQ(static_cast<int>(chords.size()), song->bars) << name << " needs one chord a bar";
        for (std::string_view c : chords)
            EXPECT_GE(music::chordOf(c).root, 0) << name << ": chord " << c;

        const auto melody = music::tokens(song->melody);
        ASSERT_EQ(static_cast<int>(melody.size()), 8 * song->bars)
            << name << " needs eight melody steps a bar";
        EXPECT_NE(melody[0], ".") << name << " starts by holding a note it never played";
        for (std::size_t i = 0; i < melody.size(); ++i) {
            if (melody[i] == "." || melody[i] == "-") continue;
            const int midi = music::noteNumber(melody[i]);
            EXPECT_TRUE(midi >= 55 && midi <= 91)
                << name << ": melody step " << i << " (\"" << melody[i] << "\") is out of the lead's range";
        }
        // A pattern that is not a whole number of bars would slide against the bar lines as it repeats.
        for (const char* pattern : {song->bass, song->kick, song->snare, song->hat})
            EXPECT_EQ(std::string_view(pattern).size() % 16, 0u) << name << ": pattern \"" << pattern << "\"";
        EXPECT_EQ(std::string_view(song->arp).size() % 16, 0u)
            << name << ": arpeggio \"" << song->arp << "\"";
    }
}

TEST(AssetgenScore, EnvelopesStartAndEndInSilenceWithoutSteps) {
    const music::Envelope envelopes[] = {
        {0.002, 0.45, 0.0, 0.06}, {0.05, 0.3, 0.8, 0.15}, {0.35, 0.8, 0.8, 0.5}};
    for (const music::Envelope& e : envelopes) {
        const double held = 0.4;
        EXPECT_DOUBLE_EQ(e.at(0, held), 0) << "a note with attack " << e.attack << " starts with a click";
        EXPECT_DOUBLE_EQ(e.at(held + e.release, held), 0)
            << "a note with release " << e.release << " never ends";
        // A ramp of at least twenty samples from silence to full is an onset, not a click.
        double previous = 0;
        for (double t = 0; t < held + e.release; t += 1.0 / 22050) {
            const double level = e.at(t, held);
            ASSERT_LE(level, 1.0) << "the envelope overshoots at " << t << " s";
            ASSERT_LT(std::abs(level - previous), 0.05)
                << "the envelope jumps at " << t << " s (attack " << e.attack << ")";
            previous = level;
        }
    }
}

}  // namespace
