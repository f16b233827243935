#include "tools/gen-resources/effects.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/gen-resources/synth.h"

namespace {

constexpr double TwoPi = 2 * std::numbers::pi;

// One note of a brass-like voice: harmonics that brighten with loudness, an
// attack with a little overshoot, gentle vibrato on longer notes, and a soft
// release after length seconds.
struct TBrassNote {
  double Start;
  double Length;
  int Note;
  double Gain;
  double SustainDecay = 0;  // seconds; 0 holds the sustain level
  double Release = 0.07;
};

void AddBrassNote(std::vector<double>& out, int rate, const TBrassNote& note) {
  const double frequency = NoteFrequency(note.Note);
  const std::size_t first = std::size_t(std::lround(note.Start * rate));
  const std::size_t last = std::min(
      out.size(), first + std::size_t(std::lround((note.Length + note.Release) * rate)));
  const double attack = 0.025;
  const double settle = 0.09;
  const double sustain = 0.78;
  double phase = 0;
  for (std::size_t i = first; i < last; ++i) {
    const double t = double(i - first) / rate;
    double level = t < attack ? RaisedCosine(t / attack)
                              : sustain + (1 - sustain) * (1 - RaisedCosine((t - attack) / settle));
    if (note.SustainDecay > 0 && t > attack + settle)
      level *= std::exp(-(t - attack - settle) / note.SustainDecay);
    if (t > note.Length) level *= 1 - RaisedCosine((t - note.Length) / note.Release);

    const double vibrato = 0.004 * RaisedCosine((t - 0.15) / 0.25) * std::sin(TwoPi * 5.3 * t);
    phase += TwoPi * frequency * (1 + vibrato) / rate;
    double sum = 0;
    for (int k = 1; k <= 10 && k * frequency < 0.42 * rate; ++k)
      sum += std::pow(level, 0.12 * (k - 1)) / std::pow(k, 1.25) * std::sin(k * phase);
    out[i] += note.Gain * level * sum;
  }
}

}  // namespace

std::vector<double> MakeJoinKnock(int rate, int count) {
  std::vector<double> out(std::size_t(count), 0.0);
  // A small block of hard wood: a few quickly damped, inharmonic modes.
  AddStruck(out, rate, 0.0, 410.0,
            {{1.0, 1.0, 0.016}, {2.37, 0.55, 0.010}, {4.52, 0.30, 0.006}, {7.1, 0.15, 0.004}},
            0.0008);
  // The contact itself: a few milliseconds of dull, filtered noise.
  TNoise noise(1);
  TStateVariableFilter filter;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / rate;
    const double burst = noise.Next() * std::exp(-t / 0.0025);
    out[i] += 1.2 * filter.Process(burst, 1800.0, 0.8, rate).Band;
  }
  Finish(out, rate, 0.8, 0.0005, 0.01);
  return out;
}

std::vector<double> MakeFanfare(int rate, int count) {
  std::vector<double> out(std::size_t(count), 0.0);
  // G4 C5 E5 G5 . E5 G5, the last G5 held over a C major chord.
  const TBrassNote melody[] = {
      {0.00, 0.10, 67, 1.0}, {0.14, 0.10, 72, 1.0}, {0.28, 0.10, 76, 1.0},
      {0.42, 0.28, 79, 1.0}, {0.78, 0.11, 76, 0.9},
  };
  for (const TBrassNote& note : melody) AddBrassNote(out, rate, note);
  const double chordStart = 0.94;
  const double chordLength = 2.30;
  const double chordRelease = 0.42;
  const TBrassNote chord[] = {
      {chordStart, chordLength, 79, 0.62, 4.0, chordRelease},
      {chordStart, chordLength, 76, 0.34, 4.0, chordRelease},
      {chordStart, chordLength, 72, 0.34, 4.0, chordRelease},
      {chordStart, chordLength, 67, 0.30, 4.0, chordRelease},
      {chordStart, chordLength, 60, 0.34, 4.0, chordRelease},
      {chordStart + 0.02, chordLength, 48, 0.30, 4.0, chordRelease},
  };
  for (const TBrassNote& note : chord) AddBrassNote(out, rate, note);
  // A soft drum under the chord.
  AddStruck(out, rate, chordStart, NoteFrequency(36), {{1.0, 0.5, 0.25}, {1.5, 0.2, 0.12}}, 0.004);
  Finish(out, rate, 0.85, 0.002, 0.05);
  return out;
}

std::vector<double> MakeChime(int rate, int count) {
  std::vector<double> out(std::size_t(count), 0.0);
  const std::vector<TPartial> bell = {
      {1.0, 1.0, 0.55}, {2.0, 0.28, 0.30}, {3.0, 0.10, 0.16}, {0.5, 0.12, 0.80}};
  AddStruck(out, rate, 0.00, NoteFrequency(88), bell, 0.003);  // E6
  AddStruck(out, rate, 0.42, NoteFrequency(84), bell, 0.003);  // C6
  Finish(out, rate, 0.75, 0.002, 0.35);
  return out;
}

std::vector<double> MakeWhoosh(int rate, int count) {
  std::vector<double> out(std::size_t(count), 0.0);
  TNoise noise(4);
  TStateVariableFilter band;
  TStateVariableFilter smooth;
  const double length = double(count) / rate;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double x = double(i) / rate / length;  // 0 to 1 over the sound
    // Air rushing past: the pitch of the noise rises and falls back a little,
    // while the loudness swells to a peak two thirds of the way through.
    const double cutoff = 350.0 * std::pow(5.0, std::sin(std::numbers::pi * std::pow(x, 0.8)));
    const double swell = std::pow(x, 1.6) * (1 - x) * (1 - x);
    const double rushing = band.Process(noise.Next(), cutoff, 1.1, rate).Band;
    out[i] = swell * smooth.Process(rushing, 2600.0, 0.7, rate).Low;
  }
  Finish(out, rate, 0.6, 0.004, 0.02);
  return out;
}

std::vector<double> MakePop(int rate, int count) {
  std::vector<double> out(std::size_t(count), 0.0);
  // A bubble: a tone that drops quickly in pitch and dies away.
  auto addBubble = [&](double start, double baseFrequency, double gain) {
    const std::size_t first = std::size_t(std::lround(start * rate));
    double phase = 0;
    for (std::size_t i = first; i < out.size(); ++i) {
      const double t = double(i - first) / rate;
      const double frequency = baseFrequency * (1 + 1.8 * std::exp(-t / 0.018));
      phase += TwoPi * frequency / rate;
      out[i] += gain * RaisedCosine(t / 0.002) * std::exp(-t / 0.05) * std::sin(phase);
    }
  };
  addBubble(0.00, 260.0, 1.0);
  addBubble(0.15, 390.0, 0.55);
  Finish(out, rate, 0.75, 0.001, 0.05);
  return out;
}
