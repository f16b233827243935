#pragma once
// Errors are exceptions; their text is what the error box shows.

#include <QString>

#include <functional>
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

// Runs call and gives the text the error box shows for what it threw, or an
// empty text when it ran through. Running out of memory is said with
// outOfMemory, which can name what could not be done.
QString ErrorOf(const std::function<void()>& call,
                const QString& outOfMemory = QStringLiteral("There is not enough memory to do this."));
