// gen-resources: synthesises the program's sound effects and draws its wood
// texture and drag cursor, writing them into one folder:
//
//   gen-resources <folder>      usually the repository's resources/, also
//                               reached by the build target regenerate-resources
//
// The output is the same on every run. Sample rates and file lengths of the
// effects are fixed: the player and its tests rely on them.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageWriter>

#include <cstdio>
#include <vector>

#include "tools/gen-resources/effects.h"
#include "tools/gen-resources/handcursor.h"
#include "tools/gen-resources/riffwave.h"
#include "tools/gen-resources/woodtexture.h"

namespace {

struct TEffect {
  const char* File;
  int Rate;
  int Bytes;  // the whole wave image
  std::vector<double> (*Make)(int rate, int count);
};

const TEffect effects[] = {
    {"wave1.wav", 11025, 1054, MakeJoinKnock}, {"wave2.wav", 22050, 82348, MakeFanfare},
    {"wave3.wav", 11025, 24708, MakeChime},    {"wave4.wav", 11025, 2564, MakeWhoosh},
    {"wave5.wav", 11025, 7874, MakePop},
};

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) return true;
  std::fprintf(stderr, "gen-resources: cannot write %s\n", qPrintable(path));
  return false;
}

bool WriteImage(const QString& path, const QImage& image, const char* format, int quality) {
  QImageWriter writer(path, format);
  writer.setQuality(quality);
  if (writer.write(image)) return true;
  std::fprintf(stderr, "gen-resources: cannot write %s: %s\n", qPrintable(path),
               qPrintable(writer.errorString()));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);  // lets the image writers find their plugins
  if (argc != 2) {
    std::fputs("usage: gen-resources FOLDER\n", stderr);
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.exists()) {
    std::fprintf(stderr, "gen-resources: no folder %s\n", argv[1]);
    return 1;
  }

  bool ok = true;
  for (const TEffect& effect : effects) {
    const QByteArray wave =
        RiffWave8(effect.Make(effect.Rate, RiffWave8SampleCount(effect.Bytes)), effect.Rate);
    ok = WriteFile(folder.filePath(effect.File), wave) && ok;
  }
  // Baseline JPEG (Qt writes progressive files only when asked to).
  ok = WriteImage(folder.filePath("solid.jpg"), DrawWoodTexture(96), "jpeg", 90) && ok;
  ok = WriteImage(folder.filePath("cursor1.png"), DrawClosedHandCursor(), "png", -1) && ok;
  return ok ? 0 : 1;
}
