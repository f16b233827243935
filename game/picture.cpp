#include "game/picture.h"

#include <QDir>
#include <QFile>

#include <sys/mman.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace {

// A progressive picture needs one pass over its data per scan; real pictures
// have a dozen, so a file that claims thousands is hostile.
constexpr int MaxScans = 1000;

// libjpeg reports errors through error_exit, which must not return. Ours
// jumps back to Guarded below, and the C++ caller throws once libjpeg's
// frames are gone: an exception must never pass through them.
struct TJpegErrors {
  jpeg_error_mgr Manager;  // first, so that libjpeg's pointer is ours
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX] = {};
};

TJpegErrors& ErrorsOf(j_common_ptr cinfo) { return *reinterpret_cast<TJpegErrors*>(cinfo->err); }

void ErrorExit(j_common_ptr cinfo) {
  TJpegErrors& errors = ErrorsOf(cinfo);
  (*cinfo->err->format_message)(cinfo, errors.Message);
  std::longjmp(errors.Jump, 1);
}

// Warnings (recoverable damage such as a truncated file) are not printed;
// libjpeg fills what is missing and the picture is still shown.
void SilentOutput(j_common_ptr) {}

void LimitScans(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number <= MaxScans) return;
  TJpegErrors& errors = ErrorsOf(cinfo);
  std::snprintf(errors.Message, sizeof errors.Message, "Too many scans (more than %d)", MaxScans);
  std::longjmp(errors.Jump, 1);
}

void InstallErrors(TJpegErrors& errors) {
  jpeg_std_error(&errors.Manager);
  errors.Manager.error_exit = ErrorExit;
  errors.Manager.output_message = SilentOutput;
}

// Runs libjpeg calls; false when libjpeg gave up (the reason is in
// errors.Message). Step may hold no object with a destructor of its own.
template <class Step>
bool Guarded(TJpegErrors& errors, Step&& step) {
  if (setjmp(errors.Jump)) return false;
  step();
  return true;
}

// A 24-bit image for a decoded picture, in memory of its own asked for in
// huge pages and mapped in one go: filling tens of megabytes of fresh small
// pages one fault at a time costs more than the decoding itself. Without
// huge pages it is still ordinary zeroed memory. Null when there is no room.
QImage NewPictureImage(int width, int height) {
  constexpr std::size_t hugePage = std::size_t(2) << 20;
  // The mapping's length is kept in front of the pixels, which start at the
  // first huge-page boundary after it.
  const qsizetype stride = (qsizetype(width) * 3 + 3) & ~qsizetype(3);
  const std::size_t pixels = std::size_t(stride) * std::size_t(height);
  const std::size_t length = pixels + hugePage + sizeof(std::size_t);
  void* block = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return {};
  std::memcpy(block, &length, sizeof length);
  const auto first = reinterpret_cast<std::uintptr_t>(block) + sizeof length;
  auto* start = reinterpret_cast<uchar*>((first + hugePage - 1) & ~(std::uintptr_t(hugePage) - 1));
  madvise(start, pixels, MADV_HUGEPAGE);  // advice: failures change nothing
#ifdef MADV_POPULATE_WRITE
  madvise(start, pixels, MADV_POPULATE_WRITE);
#endif
  const auto unmap = [](void* mapping) {
    std::size_t size = 0;
    std::memcpy(&size, mapping, sizeof size);
    munmap(mapping, size);
  };
  QImage image(start, width, height, stride, QImage::Format_BGR888, unmap, block);
  if (image.isNull()) unmap(block);
  return image;
}

class TJpegDecoder {
 public:
  explicit TJpegDecoder(std::span<const std::uint8_t> data) {
    InstallErrors(errors_);
    cinfo_.err = &errors_.Manager;
    progress_.progress_monitor = LimitScans;
    Check(Guarded(errors_, [&] {
      jpeg_create_decompress(&cinfo_);
      cinfo_.progress = &progress_;
      jpeg_mem_src(&cinfo_, data.data(), static_cast<unsigned long>(data.size()));
      jpeg_read_header(&cinfo_, TRUE);
    }));
  }
  TJpegDecoder(const TJpegDecoder&) = delete;
  TJpegDecoder& operator=(const TJpegDecoder&) = delete;

  TJpegInfo Info() const {
    const bool sequential8Bit = !cinfo_.progressive_mode && !cinfo_.arith_code && cinfo_.data_precision == 8;
    const bool plainColors =
        cinfo_.jpeg_color_space == JCS_YCbCr || cinfo_.jpeg_color_space == JCS_GRAYSCALE;
    return {int(cinfo_.image_width), int(cinfo_.image_height), sequential8Bit && plainColors};
  }

  TBitmap Decode() {
    const std::int64_t width = cinfo_.image_width;
    const std::int64_t height = cinfo_.image_height;
    if (width > 0xFFFF || height > 0xFFFF || width * height > MaxPicturePixels)
      throw EPictureTooLarge(QStringLiteral("The picture is too large (%1 x %2 pixels); at most %3 pixels "
                                      "in all are supported")
                           .arg(width)
                           .arg(height)
                           .arg(MaxPicturePixels));
    cinfo_.out_color_space = JCS_EXT_BGR;
    Check(Guarded(errors_, [&] { jpeg_start_decompress(&cinfo_); }));
    QImage image = NewPictureImage(int(cinfo_.output_width), int(cinfo_.output_height));
    if (image.isNull()) throw EJpegError(QStringLiteral("Not enough memory for the picture"));
    std::vector<JSAMPROW> rows(std::size_t(image.height()));
    for (int y = 0; y < image.height(); ++y) rows[std::size_t(y)] = image.scanLine(y);
    Check(Guarded(errors_, [&] {
      while (cinfo_.output_scanline < cinfo_.output_height)
        jpeg_read_scanlines(&cinfo_, rows.data() + cinfo_.output_scanline,
                            cinfo_.output_height - cinfo_.output_scanline);
      jpeg_finish_decompress(&cinfo_);
    }));
    return TBitmap(std::move(image));
  }

 private:
  void Check(bool ok) const {
    if (!ok)
      throw EJpegError(QStringLiteral("The picture could not be decoded: %1")
                           .arg(QString::fromLocal8Bit(errors_.Message)));
  }

  // Released also when the constructor throws: members are, the object is not.
  struct TDecompressInfo : jpeg_decompress_struct {
    TDecompressInfo() : jpeg_decompress_struct{} {}
    ~TDecompressInfo() { jpeg_destroy_decompress(this); }
  };

  TJpegErrors errors_;
  jpeg_progress_mgr progress_{};
  TDecompressInfo cinfo_;
};

}  // namespace

TJpegInfo ReadJpegInfo(std::span<const std::uint8_t> data) { return TJpegDecoder(data).Info(); }

TBitmap DecodeJpeg(std::span<const std::uint8_t> data) { return TJpegDecoder(data).Decode(); }

QByteArray EncodeJpeg(const TBitmap& bitmap, int quality) {
  if (bitmap.IsEmpty() || bitmap.Format() != TPixelFormat::Bgr24)
    throw EJpegError(QStringLiteral("Only a 24-bit picture can be stored as JPEG"));
  TJpegErrors errors;
  InstallErrors(errors);
  jpeg_compress_struct cinfo{};
  cinfo.err = &errors.Manager;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  struct TRelease {
    jpeg_compress_struct& Info;
    unsigned char*& Buffer;
    ~TRelease() {
      jpeg_destroy_compress(&Info);
      std::free(Buffer);
    }
  } release{cinfo, buffer};

  std::vector<JSAMPROW> rows(std::size_t(bitmap.Height()));
  for (int y = 0; y < bitmap.Height(); ++y)
    rows[std::size_t(y)] = const_cast<JSAMPROW>(bitmap.ScanLine(y));
  const bool ok = Guarded(errors, [&] {
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(bitmap.Width());
    cinfo.image_height = JDIMENSION(bitmap.Height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;  // smaller, and still baseline
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height)
      jpeg_write_scanlines(&cinfo, rows.data() + cinfo.next_scanline,
                           cinfo.image_height - cinfo.next_scanline);
    jpeg_finish_compress(&cinfo);
  });
  if (!ok)
    throw EJpegError(QStringLiteral("The picture could not be encoded: %1")
                         .arg(QString::fromLocal8Bit(errors.Message)));
  return QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size));
}

void LoadPicture(const QString& path, const TGiftTrailer& trailer, TBitmap& bitmap) {
  QByteArray data;
  {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
      throw EError(QStringLiteral("Cannot open file \"%1\". %2")
                       .arg(QDir::toNativeSeparators(path), file.errorString()));
    const qint64 end = qint64(trailer.PictureOffset) + qint64(trailer.PictureLength);
    const bool inside = trailer.PictureLength > 0 && end <= file.size();
    if (inside && file.seek(trailer.PictureOffset)) data = file.read(trailer.PictureLength);
    if (data.size() != qint64(trailer.PictureLength) || data.isEmpty())
      throw EError(QStringLiteral("The picture in this jigsaw gift file is missing or damaged"));
  }
  bitmap = DecodeJpeg(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                std::size_t(data.size())));
}
