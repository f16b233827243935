#pragma once
// Errors are exceptions; their text is what the error box shows.

#include <QString>

#include <stdexcept>

class EError : public std::runtime_error {
 public:
  explicit EError(const QString& message)
      : std::runtime_error(message.toStdString()), message_(message) {}
  const QString& Message() const { return message_; }

 private:
  QString message_;
};

// A named program resource could not be loaded.
class EResNotFound : public EError {
 public:
  using EError::EError;
};
