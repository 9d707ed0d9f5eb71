// sounds.cpp -- the sound-effect list and its effects, the music list and its tracks.
#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

#include "audio.h"
#include "content.h"

namespace gamedata {

namespace {

constexpr int kRate = 22050;
// The mixer adds music and effects at full gain: the loudest music and the loudest effect stay
// below full scale together, with room for the few per cent that Ogg Vorbis and MP3 decode
// above the peak they were given.
constexpr double kMusicPeak = 0.48;
constexpr double kEffectPeak = 0.45;
const std::string kSeDir = "GameData/Sound/SE/";
const std::string kBgmDir = "GameData/Sound/BGM/";

Pcm Mono() {
    Pcm pcm;
    pcm.rate = kRate;
    pcm.channels = 1;
    return pcm;
}

// A run of notes a fixed step apart.
void Arpeggio(Pcm& pcm, const std::vector<int>& notes, double start, double step, double length, Wave wave,
              double volume) {
    for (size_t i = 0; i < notes.size(); ++i)
        Render(pcm, Note{start + i * step, length, MidiFreq(notes[i]), 0, wave, volume, 0.004, 0.12});
}

Pcm Chime() {   // the logo: a bell arpeggio over a soft chord
    Pcm p = Mono();
    Arpeggio(p, {72, 76, 79, 84, 88}, 0.0, 0.11, 0.5, Wave::kBell, 0.35);
    for (int n : {60, 67, 72}) Render(p, Note{0.0, 1.2, MidiFreq(n), 0, Wave::kSine, 0.12, 0.3, 0.6});
    return p;
}
Pcm Blip(double from, double to, double length, Wave wave = Wave::kSquare) {
    Pcm p = Mono();
    Render(p, Note{0, length, from, to, wave, 0.4, 0.002, 0.03});
    return p;
}
Pcm Whoosh(double length, double from, double to, double smooth) {
    Pcm p = Mono();
    Render(p, Note{0, length, 1, 0, Wave::kNoise, 0.6, length * 0.4, length * 0.5, 0.5, 0, smooth});
    Render(p, Note{0, length, from, to, Wave::kSine, 0.15, length * 0.3, length * 0.5});
    return p;
}
Pcm Splash(bool into) {
    Pcm p = Mono();
    Render(p, Note{0, into ? 0.25 : 0.12, 1, 0, Wave::kNoise, 0.7, 0.003, into ? 0.3 : 0.15, 0.5, 0, into ? 0.7 : 0.4});
    for (int i = 0; i < (into ? 5 : 2); ++i)
        Render(p, Note{0.06 + i * 0.07, 0.04, 300.0 + i * 90, 900.0 + i * 120, Wave::kSine, 0.25, 0.002, 0.03});
    return p;
}
Pcm Gulp() {
    Pcm p = Mono();
    Render(p, Note{0, 0.09, 620, 210, Wave::kTriangle, 0.5, 0.003, 0.04});
    Render(p, Note{0.08, 0.05, 880, 1320, Wave::kSine, 0.3, 0.002, 0.04});
    return p;
}
Pcm Cheer(int variant) {   // the top of a high leap
    static const std::vector<int> runs[] = {{72, 76, 79, 84}, {74, 77, 81, 86}, {71, 74, 79, 83}};
    Pcm p = Mono();
    Arpeggio(p, runs[variant % 3], 0, 0.06, 0.1, Wave::kTriangle, 0.4);
    Render(p, Note{0, 0.3, 500, 1400, Wave::kSine, 0.12, 0.05, 0.1, 0.5, 0.4});
    return p;
}
Pcm TwoTone(int a, int b) {
    Pcm p = Mono();
    Arpeggio(p, {a, b}, 0, 0.07, 0.07, Wave::kSquare, 0.3);
    return p;
}
Pcm Fanfare() {   // reaching the goal
    Pcm p = Mono();
    Arpeggio(p, {67, 72, 76}, 0, 0.12, 0.1, Wave::kSaw, 0.3);
    for (int n : {72, 76, 79, 84}) Render(p, Note{0.36, 0.9, MidiFreq(n), 0, Wave::kSaw, 0.18, 0.02, 0.4, 0.5, 0.15});
    return p;
}
Pcm Jingle(int variant) {   // the start voices
    static const std::vector<int> runs[] = {{67, 72, 76, 79}, {69, 74, 77, 81}, {64, 67, 72, 79}};
    Pcm p = Mono();
    Arpeggio(p, runs[variant % 3], 0, 0.09, 0.12, Wave::kSquare, 0.3);
    Render(p, Note{0.36, 0.3, MidiFreq(runs[variant % 3].back() + 5), 0, Wave::kBell, 0.3, 0.003, 0.3});
    return p;
}
Pcm Bubbles(int count, uint32_t seed) {
    Pcm p = Mono();
    std::minstd_rand random(seed);
    for (int i = 0; i < count; ++i) {
        const double f = 400 + random() % 500;
        Render(p, Note{i * 0.07, 0.04, f, f * 2.2, Wave::kSine, 0.3, 0.002, 0.03});
    }
    return p;
}
Pcm Sad() {   // game over
    Pcm p = Mono();
    Arpeggio(p, {72, 68, 65, 60}, 0, 0.25, 0.3, Wave::kTriangle, 0.4);
    Render(p, Note{1.0, 0.6, MidiFreq(48), 0, Wave::kSine, 0.3, 0.05, 0.5});
    return p;
}
Pcm Drown() {
    Pcm p = Mono();
    Render(p, Note{0, 0.6, 300, 90, Wave::kTriangle, 0.4, 0.01, 0.2, 0.5, 1.5});
    return p;
}
Pcm Alarm() {
    Pcm p = Mono();
    Arpeggio(p, {81, 81}, 0, 0.16, 0.08, Wave::kSquare, 0.3);
    return p;
}

// A short piece of music: chords, bass, drums and a melody on the chord tones.
struct TrackStyle {
    int bpm;
    int key;                      // MIDI note of the tonic (octave 4)
    std::vector<int> chords;      // scale degrees 0..6, one per bar
    int bars;
    bool drums;
    Wave lead;
    uint32_t seed;
    bool loops;                   // false: played once, so it fades in and out at its ends
};

Pcm Compose(const TrackStyle& style) {
    static const int kMajor[] = {0, 2, 4, 5, 7, 9, 11};
    Pcm p;
    p.rate = kRate;
    p.channels = 2;
    const double beat = 60.0 / style.bpm;
    std::minstd_rand random(style.seed);
    auto degree = [&](int d) { return style.key + kMajor[((d % 7) + 7) % 7] + 12 * (d >= 7 ? 1 : 0); };
    for (int bar = 0; bar < style.bars; ++bar) {
        const int root_degree = style.chords[bar % style.chords.size()];
        const int chord[3] = {degree(root_degree), degree(root_degree + 2), degree(root_degree + 4)};
        const double t0 = bar * 4 * beat;
        // Pad: the chord held through the bar.
        for (int i = 0; i < 3; ++i)
            Render(p, Note{t0, 4 * beat, MidiFreq(chord[i]), 0, Wave::kTriangle, 0.07, 0.15, 0.3, 0.3 + 0.2 * i, 0.1});
        // Bass: root and fifth on the beats.
        for (int b = 0; b < 4; ++b)
            Render(p, Note{t0 + b * beat, beat * 0.7, MidiFreq(chord[b % 2 ? 2 : 0] - 24), 0, Wave::kTriangle, 0.28,
                           0.005, 0.08, 0.5});
        // Drums: kick on 1 and 3, snare-ish noise on 2 and 4, hats on the off-beats.
        if (style.drums) {
            for (int b = 0; b < 4; ++b) {
                if (b % 2 == 0) Render(p, Note{t0 + b * beat, 0.08, 140, 45, Wave::kSine, 0.5, 0.001, 0.05, 0.5});
                else Render(p, Note{t0 + b * beat, 0.06, 1, 0, Wave::kNoise, 0.18, 0.001, 0.08, 0.5, 0, 0.3});
                Render(p, Note{t0 + (b + 0.5) * beat, 0.02, 1, 0, Wave::kNoise, 0.06, 0.001, 0.03, 0.7});
            }
        }
        // Melody: eighth notes walking over the chord tones an octave up, with rests.
        int previous = chord[0] + 12;
        for (int e = 0; e < 8; ++e) {
            if (random() % 5 == 0) continue;
            int pick = chord[random() % 3] + 12;
            if (std::abs(pick - previous) > 7) pick = previous + (pick > previous ? 2 : -2);
            if (random() % 4 == 0) pick = degree(root_degree + 1 + random() % 3) + 12;
            previous = pick;
            const double length = (random() % 3 == 0 ? 2 : 1) * beat / 2 * 0.85;
            Render(p, Note{t0 + e * beat / 2, length, MidiFreq(pick), 0, style.lead, 0.16, 0.01, 0.1,
                           0.45 + 0.1 * (e % 2), 0.12});
        }
    }
    p.EnsureFrames(static_cast<size_t>(style.bars * 4 * beat * kRate));
    p.samples.resize(static_cast<size_t>(style.bars * 4 * beat * kRate) * 2);   // loops cleanly at the bar
    Normalize(p, kMusicPeak);
    // A track played once ends in silence rather than at full swing; a looping one keeps its
    // loop point seamless and leaves its start and stop to the mixer.
    if (!style.loops) FadeEdges(p, 0.02, 0.05);
    return p;
}

std::vector<uint8_t> RankFanfareMidi() {
    std::vector<MidiNote> notes;
    const uint8_t melody[] = {72, 76, 79, 84, 79, 84};
    const uint32_t at[] = {0, 120, 240, 360, 600, 720};
    for (int i = 0; i < 6; ++i) notes.push_back({at[i], i == 5 ? 720u : 110u, 0, melody[i], 100});
    for (uint8_t n : {60, 64, 67}) notes.push_back({360, 1080, 1, n, 70});
    return EncodeMidi(480, 500000, {56, 48}, notes);
}

struct Effect {
    std::string name;
    std::function<Pcm()> make;
};

} // namespace

void WriteSounds(const std::string& root, bool mini) {
    // Numbered by their line in SE.vll: the game plays them by these numbers (menus: 17 decide,
    // 19 cursor, 20 cancel; the title: 1 start, 22 stage select).
    const std::vector<Effect> effects = {
        {"Logo", Chime},                                      // 0
        {"TitleStart", [] { return TwoTone(79, 91); }},       // 1
        {"SplashOut", [] { return Splash(false); }},          // 2 (leaving the water)
        {"SplashIn", [] { return Splash(true); }},            // 3 (diving back in)
        {"Drowning", Drown},                                  // 4 (drowning starts)
        {"AirLow", Alarm},                                    // 5 (air running low)
        {"Cheer1", [] { return Cheer(0); }},                  // 6
        {"Cheer2", [] { return Cheer(1); }},                  // 7
        {"Cheer3", [] { return Cheer(2); }},                  // 8
        {"GameOver", Sad},                                    // 9 (game over: 9 or 10)
        {"Drown", Drown},                                     // 10
        {"Goal", Fanfare},                                    // 11 (MP3)
        {"Start1", [] { return Jingle(0); }},                 // 12
        {"Start2", [] { return Jingle(1); }},                 // 13
        {"Start3", [] { return Jingle(2); }},                 // 14
        {"Wing", [] { return Whoosh(0.08, 500, 900, 0.3); }}, // 15
        {"Pause", [] { return Blip(1320, 0, 0.2, Wave::kBell); }}, // 16
        {"Decide", [] { return TwoTone(76, 83); }},           // 17
        {"Dive", [] { return Bubbles(5, 11); }},              // 18
        {"Cursor", [] { return Blip(880, 1100, 0.04); }},     // 19
        {"Cancel", [] { return TwoTone(76, 69); }},           // 20
        {"Rank", nullptr},                                    // 21 (MIDI)
        {"StageSelect", [] { return Bubbles(1, 7); }},        // 22
        {"Eat", Gulp},                                        // 23 (a fish eaten)
        {"Count", [] { return Blip(440, 0, 0.12); }},         // 24
    };
    std::vector<Pcm> pcms(effects.size());
    for (size_t i = 0; i < effects.size(); ++i) {
        if (!effects[i].make) continue;
        pcms[i] = mini ? Blip(660 + 20.0 * i, 0, 0.03) : effects[i].make();
        Normalize(pcms[i], kEffectPeak);
    }
    // Diving in, the game starts the splash and the bubbles together: they are heard as one effect.
    auto pcm_of = [&](const std::string& name) {
        return &pcms[std::find_if(effects.begin(), effects.end(), [&](const Effect& e) { return e.name == name; }) -
                     effects.begin()];
    };
    NormalizeTogether({pcm_of("SplashIn"), pcm_of("Dive")}, kEffectPeak);

    std::vector<std::string> se_list = {"// Sound effects, numbered by their line from 0"};
    for (size_t i = 0; i < effects.size(); ++i) {
        const Effect& effect = effects[i];
        std::string file;
        if (effect.name == "Rank") {
            file = kSeDir + "Rank.mid";
            WriteBytes(root, file, RankFanfareMidi());
        } else {
            const Pcm& pcm = pcms[i];
            if (effect.name == "Goal") {
                file = kSeDir + "Goal.mp3";
                WriteBytes(root, file, EncodeMp3(pcm, 64));
            } else {
                file = kSeDir + effect.name + ".wav";
                WriteBytes(root, file, EncodeWav(pcm, effect.name == "Eat"));   // Eat: compressed WAV
            }
        }
        se_list.push_back(file);
    }
    WriteText(root, "GameData/Sound/SE/LoadList/SE.vll", se_list);

    // Tracks in BGM.vll order: title, stage clear, ranking, game over, stage demo, stages 1 to 3,
    // the ending. The game plays the title (until the stage select), the stage clear and the game
    // over once, the story tracks and the stages in a loop; the ranking track, which no scene
    // plays, stays a loop.
    const std::vector<std::pair<std::string, TrackStyle>> tracks = {
        {"Title", {112, 60, {0, 4, 5, 3}, 8, true, Wave::kSquare, 1, false}},
        {"Clear", {140, 60, {0, 3, 4, 0}, 4, true, Wave::kSaw, 2, false}},
        {"Ranking", {90, 65, {5, 3, 0, 4}, 8, false, Wave::kTriangle, 3, true}},
        {"GameOver", {70, 57, {5, 1, 2, 5}, 4, false, Wave::kTriangle, 4, false}},
        {"StageDemo", {100, 62, {3, 4, 2, 5}, 8, false, Wave::kSquare, 5, true}},
        {"Stage1", {128, 62, {0, 5, 3, 4}, 8, true, Wave::kSquare, 6, true}},
        {"Stage2", {136, 65, {0, 3, 5, 4}, 8, true, Wave::kSaw, 7, true}},
        {"Stage3", {144, 57, {5, 3, 0, 4}, 8, true, Wave::kSquare, 8, true}},
        {"Ending", {96, 60, {0, 5, 3, 4}, 8, false, Wave::kTriangle, 9, true}},
    };
    std::vector<std::string> bgm_list = {"// Music tracks, numbered by their #BGMFile line from 0",
                                         "#BGMFileCount " + std::to_string(tracks.size())};
    for (size_t i = 0; i < tracks.size(); ++i) {
        TrackStyle style = tracks[i].second;
        if (mini) style.bars = 1, style.bpm = 240;
        const std::string file = kBgmDir + tracks[i].first + ".ogg";
        WriteBytes(root, file, EncodeOgg(Compose(style), mini ? 0.0f : 0.4f, 1000 + static_cast<int>(i)));
        bgm_list.push_back("#BGMFile " + Quoted(file));
    }
    WriteText(root, "GameData/Sound/BGM/LoadList/BGM.vll", bgm_list);
}

} // namespace gamedata
