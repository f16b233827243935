// Loading a 4000 x 3000 picture from a gift file, set against libjpeg-turbo's
// own djpeg decoding the same JPEG (to /dev/null) in the same run.

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>

#include "game/picture.h"

extern char** environ;

namespace {

constexpr int Width = 4000;
constexpr int Height = 3000;
const char* const djpeg = "/usr/bin/djpeg";

// A photograph-like picture: broad colour washes with fine grain, so that
// the JPEG carries about as much detail as a camera's.
TBitmap Photograph() {
  TBitmap picture(Width, Height);
  std::uint32_t grain = 12345;
  for (int y = 0; y < Height; ++y) {
    std::uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < Width; ++x) {
      grain = grain * 1664525u + 1013904223u;
      const int noise = int(grain >> 28) - 8;
      const double u = x / 400.0, v = y / 300.0;
      row[3 * x + 0] = std::uint8_t(std::clamp(int(128 + 90 * std::sin(u + 0.7 * v)) + noise, 0, 255));
      row[3 * x + 1] = std::uint8_t(std::clamp(int(128 + 90 * std::cos(1.3 * v - 0.4 * u)) + noise, 0, 255));
      row[3 * x + 2] = std::uint8_t(std::clamp(int(128 + 90 * std::sin(0.5 * u * v)) + noise, 0, 255));
    }
  }
  return picture;
}

// The JPEG alone (for djpeg) and as a gift: a stand-in program, the JPEG and
// the trailer.
struct TFiles {
  QTemporaryDir Folder;
  QString Jpeg = Folder.filePath("picture.jpg");
  QString Gift = Folder.filePath("gift");
  TGiftTrailer Trailer;
  qint64 JpegBytes = 0;

  TFiles() {
    const QByteArray jpeg = EncodeJpeg(Photograph(), 90);
    JpegBytes = jpeg.size();
    const QByteArray program(1 << 20, 'p');
    Trailer.PictureOffset = std::uint32_t(program.size());
    Trailer.PictureLength = std::uint32_t(jpeg.size());
    const TGiftTrailer::TBytes trailer = Trailer.ToBytes();
    QFile alone(Jpeg), gift(Gift);
    if (!alone.open(QIODevice::WriteOnly) || alone.write(jpeg) != jpeg.size() ||
        !gift.open(QIODevice::WriteOnly) || gift.write(program + jpeg) != program.size() + jpeg.size() ||
        gift.write(reinterpret_cast<const char*>(trailer.data()), qint64(trailer.size())) != qint64(trailer.size()))
      throw EError(QStringLiteral("cannot write the benchmark's files"));
  }
};

const TFiles& Files() {
  static const TFiles files;
  return files;
}

// The machine is shared, so besides the time on the clock each side is also
// measured in processor time, which other programs running at once do not
// inflate.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Runs djpeg on the file and returns the processor seconds it used, or a
// negative number when it could not be run or failed.
double RunDjpeg(const QByteArray& jpeg) {
  const char* argv[] = {djpeg, "-outfile", "/dev/null", jpeg.constData(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, djpeg, nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return -1;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_LoadPicture(benchmark::State& state) {
  const TFiles& files = Files();
  const QByteArray jpeg = QFile::encodeName(files.Jpeg);
  if (access(djpeg, X_OK) != 0) {
    state.SkipWithError("djpeg is not installed (libjpeg-turbo-progs)");
    return;
  }
  using Clock = std::chrono::steady_clock;
  Clock::duration ours{}, theirs{};
  double oursCpu = 0, theirsCpu = 0;
  for (auto _ : state) {
    const double cpu0 = ThreadSeconds();
    const auto t0 = Clock::now();
    TBitmap bitmap;
    LoadPicture(files.Gift, files.Trailer, bitmap);
    benchmark::DoNotOptimize(bitmap.ScanLine(Height - 1));
    const auto t1 = Clock::now();
    const double cpu1 = ThreadSeconds();
    const double djpegCpu = RunDjpeg(jpeg);
    const auto t2 = Clock::now();
    if (djpegCpu < 0) {
      state.SkipWithError("djpeg failed");
      return;
    }
    ours += t1 - t0;
    theirs += t2 - t1;
    oursCpu += cpu1 - cpu0;
    theirsCpu += djpegCpu;
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  const double iterations = double(state.iterations());
  state.counters["djpeg_ms"] = std::chrono::duration<double, std::milli>(theirs).count() / iterations;
  state.counters["ratio_to_djpeg"] = double(ours.count()) / double(theirs.count());
  state.counters["cpu_ms"] = 1000 * oursCpu / iterations;
  state.counters["djpeg_cpu_ms"] = 1000 * theirsCpu / iterations;
  state.counters["cpu_ratio_to_djpeg"] = oursCpu / theirsCpu;
  state.counters["jpeg_bytes"] = double(files.JpegBytes);
}
BENCHMARK(BM_LoadPicture)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
