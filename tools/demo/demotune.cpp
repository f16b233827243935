// demo-tune OUT.mid: writes the demo gift's music, a light tune in C major
// for flute over a picked guitar and a bass (16 bars at 100 beats a minute,
// about 38 seconds), as a standard MIDI file of type 1. It ends on the home
// chord with a breath of rest, so it loops smoothly.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int ticksPerQuarter = 480;
constexpr int eighth = ticksPerQuarter / 2;
constexpr int bar = 8 * eighth;
constexpr int microsecondsPerQuarter = 600'000;  // 100 beats a minute

struct TNote {
  int Pitch;   // MIDI note number, 0 = rest
  int Length;  // in eighths
};

struct TChord {
  int Root;  // MIDI note near middle C
  bool Minor;
  int Length;  // in eighths
};

// Note numbers: C4 = 60.
enum : int { R = 0, G4 = 67, A4 = 69, B4 = 71, C5 = 72, D5 = 74, E5 = 76, F5 = 77, G5 = 79, A5 = 81, B5 = 83, C6 = 84 };

const std::vector<std::vector<TNote>> melody = {
    // A: a rising call and its answer.
    {{C5, 2}, {E5, 2}, {G5, 2}, {E5, 2}},
    {{A5, 4}, {G5, 2}, {E5, 2}},
    {{F5, 2}, {A5, 2}, {G5, 1}, {F5, 1}, {E5, 2}},
    {{D5, 2}, {G4, 2}, {B4, 2}, {D5, 2}},
    {{E5, 2}, {G5, 2}, {C6, 3}, {B5, 1}},
    {{A5, 2}, {E5, 2}, {A5, 2}, {C6, 2}},
    {{A5, 2}, {F5, 2}, {G5, 2}, {B4, 2}},
    {{C5, 6}, {R, 2}},
    // B: up to the top and home again.
    {{A5, 2}, {C6, 2}, {A5, 2}, {F5, 2}},
    {{G5, 2}, {E5, 2}, {C5, 4}},
    {{D5, 2}, {G5, 2}, {B5, 2}, {G5, 2}},
    {{A5, 4}, {E5, 4}},
    {{F5, 1}, {G5, 1}, {A5, 2}, {C6, 2}, {A5, 2}},
    {{G5, 2}, {E5, 1}, {F5, 1}, {G5, 4}},
    {{F5, 2}, {D5, 2}, {B4, 2}, {D5, 2}},
    {{C5, 6}, {R, 2}},
};

const std::vector<std::vector<TChord>> chords = {
    {{60, false, 8}}, {{57, true, 8}}, {{53, false, 8}}, {{55, false, 8}},
    {{60, false, 8}}, {{57, true, 8}}, {{53, false, 4}, {55, false, 4}}, {{60, false, 8}},
    {{53, false, 8}}, {{60, false, 8}}, {{55, false, 8}}, {{57, true, 8}},
    {{53, false, 8}}, {{60, false, 8}}, {{62, true, 4}, {55, false, 4}}, {{60, false, 8}},
};

struct TEvent {
  int Tick;
  int Order;  // note-offs before note-ons at the same tick
  std::vector<std::uint8_t> Bytes;
};

class TTrack {
 public:
  void Add(int tick, std::vector<std::uint8_t> bytes, int order = 1) { events_.push_back({tick, order, std::move(bytes)}); }
  void Note(int channel, int tick, int pitch, int length, int velocity) {
    Add(tick, {std::uint8_t(0x90 | channel), std::uint8_t(pitch), std::uint8_t(velocity)});
    Add(tick + length, {std::uint8_t(0x80 | channel), std::uint8_t(pitch), 0}, 0);
  }
  void Meta(int tick, std::uint8_t type, const std::string& data) {
    std::vector<std::uint8_t> bytes = {0xFF, type, std::uint8_t(data.size())};
    bytes.insert(bytes.end(), data.begin(), data.end());
    Add(tick, bytes);
  }

  // The chunk: events in time order with variable-length delta times, and
  // the end-of-track event.
  std::vector<std::uint8_t> Chunk(int endTick) {
    std::stable_sort(events_.begin(), events_.end(), [](const TEvent& a, const TEvent& b) {
      return a.Tick != b.Tick ? a.Tick < b.Tick : a.Order < b.Order;
    });
    Add(std::max(endTick, events_.empty() ? 0 : events_.back().Tick), {0xFF, 0x2F, 0x00}, 2);
    std::vector<std::uint8_t> data;
    int now = 0;
    for (const TEvent& e : events_) {
      PutLength(data, std::uint32_t(e.Tick - now));
      now = e.Tick;
      data.insert(data.end(), e.Bytes.begin(), e.Bytes.end());
    }
    std::vector<std::uint8_t> chunk = {'M', 'T', 'r', 'k'};
    PutBig(chunk, std::uint32_t(data.size()), 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    return chunk;
  }

  static void PutBig(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(std::uint8_t(value >> (8 * i)));
  }

 private:
  static void PutLength(std::vector<std::uint8_t>& out, std::uint32_t value) {
    std::uint8_t groups[5];
    int n = 0;
    do {
      groups[n++] = std::uint8_t(value & 0x7F);
      value >>= 7;
    } while (value);
    while (n > 1) out.push_back(std::uint8_t(groups[--n] | 0x80));
    out.push_back(groups[0]);
  }

  std::vector<TEvent> events_;
};

void Program(TTrack& track, int channel, int program, const std::string& name) {
  track.Meta(0, 0x03, name);
  track.Add(0, {std::uint8_t(0xC0 | channel), std::uint8_t(program)});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: demo-tune OUT.mid\n", stderr);
    return 2;
  }
  const int end = int(melody.size()) * bar;

  TTrack conductor;
  conductor.Meta(0, 0x03, "Summer by the lake");
  conductor.Add(0, {0xFF, 0x51, 0x03, std::uint8_t(microsecondsPerQuarter >> 16),
                    std::uint8_t(microsecondsPerQuarter >> 8), std::uint8_t(microsecondsPerQuarter)});
  conductor.Add(0, {0xFF, 0x58, 0x04, 4, 2, 24, 8});  // 4/4
  conductor.Add(0, {0xFF, 0x59, 0x02, 0, 0});         // C major

  TTrack flute, guitar, bass;
  Program(flute, 0, 73, "Flute");
  Program(guitar, 1, 24, "Guitar");
  Program(bass, 2, 32, "Bass");

  int tick = 0;
  for (const auto& notes : melody)
    for (const TNote& n : notes) {
      // Slightly detached, with the first beat of each bar a little stronger.
      if (n.Pitch != R) flute.Note(0, tick, n.Pitch, n.Length * eighth - 30, tick % bar == 0 ? 96 : 84);
      tick += n.Length * eighth;
    }

  tick = 0;
  for (const auto& barChords : chords)
    for (const TChord& c : barChords) {
      const int third = c.Root + (c.Minor ? 3 : 4), fifth = c.Root + 7;
      // Picked low-high-middle-high, one note an eighth.
      const int pattern[] = {c.Root, fifth, third + 12, fifth};
      for (int i = 0; i < c.Length; ++i) {
        // Each note rings a little into the next, but not past the end.
        const int at = tick + i * eighth;
        guitar.Note(1, at, pattern[i % 4], std::min(eighth + 60, end - at), i % 4 == 0 ? 64 : 52);
      }
      // The bass: root, and the fifth when the chord lasts the whole bar.
      const int low = 36 + c.Root % 12;
      bass.Note(2, tick, low, 4 * eighth - 20, 80);
      if (c.Length == 8) bass.Note(2, tick + 4 * eighth, low + 7, 4 * eighth - 20, 72);
      tick += c.Length * eighth;
    }

  std::vector<std::uint8_t> file = {'M', 'T', 'h', 'd'};
  TTrack::PutBig(file, 6, 4);
  TTrack::PutBig(file, 1, 2);  // type 1: tracks played together
  TTrack::PutBig(file, 4, 2);
  TTrack::PutBig(file, ticksPerQuarter, 2);
  for (TTrack* track : {&conductor, &flute, &guitar, &bass}) {
    const std::vector<std::uint8_t> chunk = track->Chunk(end);
    file.insert(file.end(), chunk.begin(), chunk.end());
  }

  std::FILE* out = std::fopen(argv[1], "wb");
  const bool written = out && std::fwrite(file.data(), 1, file.size(), out) == file.size();
  if (!out || std::fclose(out) != 0 || !written) {
    std::fprintf(stderr, "demo-tune: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
