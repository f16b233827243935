#pragma once
// JPEG pictures in printing inks, made with libjpeg at test time.

#include <QByteArray>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

// Four quadrants in printing inks (cyan, magenta, yellow, black, 255 the
// most ink): red, green, half black and paper white. Stored as CMYK or YCCK;
// inverted (255 no ink) with Adobe's marker, as Adobe's programs write them.
inline QByteArray InkJpeg(J_COLOR_SPACE stored, bool adobe) {
  constexpr int w = 64, h = 48;
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = w;
  cinfo.image_height = h;
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_colorspace(&cinfo, stored);
  cinfo.write_Adobe_marker = adobe;
  jpeg_set_quality(&cinfo, 100, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(4 * w);
  while (cinfo.next_scanline < h) {
    const bool bottom = cinfo.next_scanline >= h / 2;
    for (int x = 0; x < w; ++x) {
      const bool right = x >= w / 2;
      const std::array<int, 4> inks = !bottom ? (right ? std::array{255, 0, 255, 0} : std::array{0, 255, 255, 0})
                                              : (right ? std::array{0, 0, 0, 0} : std::array{0, 0, 0, 128});
      for (int k = 0; k < 4; ++k) row[std::size_t(4 * x + k)] = JSAMPLE(adobe ? 255 - inks[std::size_t(k)] : inks[std::size_t(k)]);
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  QByteArray data(reinterpret_cast<const char*>(buffer), qsizetype(size));
  std::free(buffer);
  return data;
}
