#pragma once
// Building blocks for the sound effects: a reproducible noise source,
// envelopes, a filter and the finishing steps every effect shares.

#include <cstdint>
#include <vector>

// White noise that is the same on every machine and every run for one seed.
class TNoise {
 public:
  explicit TNoise(std::uint64_t seed) : state_(seed) {}
  // Uniform in [-1, 1).
  double Next();

 private:
  std::uint64_t state_;
};

// Smooth ramp from 0 (x <= 0) to 1 (x >= 1) along half a cosine.
double RaisedCosine(double x);

// State-variable filter (trapezoidal form, stable for every cutoff below the
// Nyquist frequency), so cutoffs may sweep from sample to sample.
class TStateVariableFilter {
 public:
  struct TOutputs {
    double Low;
    double Band;
  };
  TOutputs Process(double input, double cutoff, double q, int rate);

 private:
  double ic1_ = 0;
  double ic2_ = 0;
};

// One partial of a struck sound: its frequency as a multiple of the
// fundamental, its starting amplitude and its decay time constant (seconds).
struct TPartial {
  double Ratio;
  double Gain;
  double Decay;
};
// Adds the sound of a struck object: exponentially decaying sine partials
// starting at start seconds with a short attack, cut at the end of out.
// Partials near or above the Nyquist frequency are left out.
void AddStruck(std::vector<double>& out, int rate, double start, double frequency,
               const std::vector<TPartial>& partials, double attack);

// Frequency of a MIDI note number (69 = A 440 Hz).
double NoteFrequency(int note);

// Scales the sound so that its largest excursion is peak (0 < peak < 1) and
// fades both ends in over the given times, so playback starts and stops
// without a click.
void Finish(std::vector<double>& samples, int rate, double peak, double fadeIn, double fadeOut);
