#include "tools/gen-resources/synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

double TNoise::Next() {
  // splitmix64: tiny, well mixed and fully specified.
  state_ += 0x9E3779B97F4A7C15ull;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return double(z >> 11) * 0x1.0p-52 - 1.0;
}

double RaisedCosine(double x) {
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  return 0.5 - 0.5 * std::cos(std::numbers::pi * x);
}

TStateVariableFilter::TOutputs TStateVariableFilter::Process(double input, double cutoff, double q,
                                                            int rate) {
  const double g = std::tan(std::numbers::pi * std::min(cutoff, 0.45 * rate) / rate);
  const double k = 1.0 / q;
  const double a1 = 1.0 / (1.0 + g * (g + k));
  const double a2 = g * a1;
  const double a3 = g * a2;
  const double v3 = input - ic2_;
  const double v1 = a1 * ic1_ + a2 * v3;
  const double v2 = ic2_ + a2 * ic1_ + a3 * v3;
  ic1_ = 2 * v1 - ic1_;
  ic2_ = 2 * v2 - ic2_;
  return {v2, v1};
}

void AddStruck(std::vector<double>& out, int rate, double start, double frequency,
               const std::vector<TPartial>& partials, double attack) {
  const std::size_t first = std::size_t(std::lround(start * rate));
  for (std::size_t i = first; i < out.size(); ++i) {
    const double t = double(i - first) / rate;
    const double onset = RaisedCosine(t / attack);
    double sum = 0;
    for (const TPartial& p : partials) {
      const double f = frequency * p.Ratio;
      if (f >= 0.45 * rate) continue;  // would fold back as a false tone
      sum += p.Gain * std::exp(-t / p.Decay) * std::sin(2 * std::numbers::pi * f * t);
    }
    out[i] += onset * sum;
  }
}

double NoteFrequency(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

void Finish(std::vector<double>& samples, int rate, double peak, double fadeIn, double fadeOut) {
  double largest = 0;
  for (double s : samples) largest = std::max(largest, std::abs(s));
  if (largest > 0)
    for (double& s : samples) s *= peak / largest;
  const double n = double(samples.size());
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double fromStart = double(i) / rate;
    const double toEnd = (n - 1 - double(i)) / rate;
    samples[i] *= RaisedCosine(fromStart / fadeIn) * RaisedCosine(toEnd / fadeOut);
  }
}
