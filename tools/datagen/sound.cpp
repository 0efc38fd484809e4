// The rifle shot: 0.4 s of 16-bit mono PCM at 44100 Hz. A sharp crack of
// bright noise, a body of darker noise, a low thump that drops in pitch, and
// a short room reverb behind them. The noise comes from a fixed-seed
// generator, so the file is the same on every run.
#include <algorithm>
#include <cmath>
#include <vector>

#include "data_files.h"
#include "generators.h"
#include "procedural.h"

namespace {

constexpr int kRate = 44100;
constexpr double kSeconds = 0.4;
constexpr double kPi = 3.14159265358979323846;

// One-pole low-pass filter.
struct LowPass {
  double a = 0.0, y = 0.0;
  explicit LowPass(double cutoffHz) : a(1.0 - std::exp(-2.0 * kPi * cutoffHz / kRate)) {}
  double run(double x) { return y += a * (x - y); }
};

// Feedback comb filter with a damped loop, the core of the reverb.
struct Comb {
  std::vector<double> line;
  size_t pos = 0;
  double feedback, damp, state = 0.0;
  Comb(int length, double fb, double dmp) : line(size_t(length), 0.0), feedback(fb), damp(dmp) {}
  double run(double x) {
    const double out = line[pos];
    state = out * (1.0 - damp) + state * damp;
    line[pos] = x + state * feedback;
    pos = (pos + 1) % line.size();
    return out;
  }
};

struct AllPass {
  std::vector<double> line;
  size_t pos = 0;
  double gain;
  AllPass(int length, double g) : line(size_t(length), 0.0), gain(g) {}
  double run(double x) {
    const double delayed = line[pos];
    const double v = x + delayed * gain;
    line[pos] = v;
    pos = (pos + 1) % line.size();
    return delayed - v * gain;
  }
};

std::vector<double> synthesiseShot() {
  const int count = int(kRate * kSeconds);
  std::vector<double> dry(static_cast<size_t>(count), 0.0), out(static_cast<size_t>(count), 0.0);
  Lcg noise(20240613);
  LowPass bodyTone(1800.0), crackLow(2500.0), thumpTone(400.0);
  double phase = 0.0;
  for (int i = 0; i < count; ++i) {
    const double t = double(i) / kRate;
    const double white = noise.unit() * 2.0 - 1.0;
    const double attack = std::min(1.0, t / 0.0004);
    // Crack: the high part of the noise (white minus its low-passed self), very short.
    const double crack = (white - crackLow.run(white)) * std::exp(-t / 0.006) * attack;
    // Body: duller noise over the first tenth of a second.
    const double body = bodyTone.run(white) * std::exp(-t / 0.045) * attack * 2.2;
    // Thump: a sine falling from 140 Hz towards 45 Hz, a little overdriven.
    const double freq = 45.0 + 95.0 * std::exp(-t / 0.02);
    phase += 2.0 * kPi * freq / kRate;
    const double thump =
        std::tanh(1.8 * std::sin(phase)) * std::exp(-t / 0.05) * std::min(1.0, t / 0.002);
    dry[size_t(i)] = 1.8 * crack + 0.8 * body + 0.75 * thumpTone.run(thump);
  }
  // Reverb: parallel combs into two all-passes, mixed under the dry sound.
  LowPass reverbLow(300.0);
  Comb combs[4] = {{1116, 0.78, 0.35}, {1188, 0.77, 0.35}, {1277, 0.76, 0.35}, {1356, 0.75, 0.35}};
  AllPass passes[2] = {{556, 0.5}, {441, 0.5}};
  double peak = 0.0;
  for (int i = 0; i < count; ++i) {
    const double x = dry[size_t(i)];
    double wet = 0.0;
    // Only the upper part of the sound feeds the room, keeping the tail airy.
    const double send = (x - reverbLow.run(x)) * 0.25;
    for (Comb& c : combs) wet += c.run(send);
    for (AllPass& a : passes) wet = a.run(wet);
    const double t = double(i) / kRate;
    // Fade the last 60 ms to silence so the file ends without a click.
    const double tail = std::min(1.0, (kSeconds - t) / 0.06);
    const double v = std::tanh((x + 0.55 * wet) * 1.2) * tail;
    out[size_t(i)] = v;
    peak = std::max(peak, std::fabs(v));
  }
  // Peak at about -1 dB.
  const double gain = peak > 0.0 ? 0.89 / peak : 1.0;
  for (double& v : out) v *= gain;
  return out;
}

std::vector<uint8_t> encodeWav(const std::vector<double>& samples) {
  const uint32_t dataBytes = uint32_t(samples.size() * 2);
  std::vector<uint8_t> out;
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  putU32(out, 36 + dataBytes);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  putU32(out, 16);
  putU16(out, 1);  // PCM
  putU16(out, 1);  // mono
  putU32(out, kRate);
  putU32(out, kRate * 2);
  putU16(out, 2);
  putU16(out, 16);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  putU32(out, dataBytes);
  for (double v : samples) putI16(out, int(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0)));
  return out;
}

// The waveform, min and max per column, with the time axis marked every 50 ms.
Picture waveform(const std::vector<double>& samples) {
  const int width = 800, height = 160, mid = height / 2;
  Picture p(width, height, Rgba{16, 18, 22, 255});
  for (int x = 0; x < width; ++x) {
    const size_t from = samples.size() * size_t(x) / size_t(width);
    const size_t to = samples.size() * size_t(x + 1) / size_t(width);
    double lo = 0.0, hi = 0.0;
    for (size_t i = from; i < to; ++i) {
      lo = std::min(lo, samples[i]);
      hi = std::max(hi, samples[i]);
    }
    const int y0 = mid - int(std::lround(hi * (mid - 4))),
              y1 = mid - int(std::lround(lo * (mid - 4)));
    for (int y = y0; y <= y1; ++y) p.at(x, y) = Rgba{90, 220, 120, 255};
    p.at(x, mid) = Rgba{60, 70, 80, 255};
    const size_t tick = size_t(kRate) / 20;
    if (from / tick != to / tick)
      for (int y = 0; y < 8; ++y) p.at(x, height - 1 - y) = Rgba{200, 200, 210, 255};
  }
  return p;
}

}  // namespace

bool writeSound(const std::string& outDir, ContactSheet* sheet) {
  const std::vector<double> samples = synthesiseShot();
  if (sheet != nullptr) sheet->add("rifle.WAV", waveform(samples));
  return writeFile(outDir + "/" + kRifleSoundFile, encodeWav(samples));
}
