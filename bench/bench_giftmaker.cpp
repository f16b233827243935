// The gift-making window with a 4000 x 3000 photo: the live preview redrawn
// after the piece count changes (1,000 pieces; goal at most 30 ms), and
// saving the gift, the picture encoded anew (goal at most 200 ms).

#include <benchmark/benchmark.h>

#include <QDir>
#include <QSpinBox>
#include <QTemporaryDir>

#include "bench/offscreen.h"
#include "bench/photo.h"
#include "shell/giftmakerdlg.h"

namespace {

// The window with the photo chosen, as a PNG so that saving encodes it.
struct TMakerWithPhoto {
  TOffscreenApplication application;
  QTemporaryDir folder;
  TGiftMakerDlg maker{{}};

  TMakerWithPhoto() {
    const QString photo = QDir(folder.path()).filePath(QStringLiteral("photo.bmp"));
    MakePicture(4000, 3000).Image().save(photo, "BMP");
    maker.resize(1000, 700);
    maker.show();
    QApplication::processEvents();
    maker.LoadPicture(photo);
  }
  QString Gift() const { return QDir(folder.path()).filePath(QStringLiteral("gift.tgift")); }
};

void BM_MakerPreviewRedraw(benchmark::State& state) {
  TMakerWithPhoto setting;
  int pieces = 1000;
  for (auto _ : state) {
    pieces = pieces == 1000 ? 1001 : 1000;
    setting.maker.Pieces->setValue(pieces);
    setting.maker.Preview->repaint();
  }
}
BENCHMARK(BM_MakerPreviewRedraw)->Unit(benchmark::kMillisecond);

void BM_MakerSave(benchmark::State& state) {
  TMakerWithPhoto setting;
  setting.maker.Pieces->setValue(1000);
  for (auto _ : state)
    if (!setting.maker.SaveGift(setting.Gift()).isEmpty()) state.SkipWithError("the gift was not saved");
}
BENCHMARK(BM_MakerSave)->Unit(benchmark::kMillisecond);

}  // namespace
