#pragma once
// Whole files read and written as bytes, for the tests of saved games.

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Empty when the file cannot be read.
inline Bytes ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray data = file.readAll();
  return Bytes(data.begin(), data.end());
}

inline void WriteFile(const QString& path, const Bytes& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}
