#pragma once
// libjpeg reports fatal errors through error_exit, which must not return.
// Ours jumps back to Guarded, and the C++ caller throws once libjpeg's frames
// are gone: an exception must never pass through them. Warnings (recoverable
// damage such as a truncated file) are not printed; libjpeg fills what is
// missing, and the first warning that picture data was lost is kept.

#include <QString>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

struct TJpegErrors {
  jpeg_error_mgr Manager;  // first, so that libjpeg's pointer is ours
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX] = {};
  // libjpeg's text of the first damage it read past (data cut short or
  // corrupt), empty while there was none.
  char Damage[JMSG_LENGTH_MAX] = {};

  // Sets up the manager; returns it for the codec's err field.
  jpeg_error_mgr* Install();
  QString Text() const { return QString::fromLocal8Bit(Message); }
  bool Damaged() const { return Damage[0] != '\0'; }
  QString DamageText() const { return QString::fromLocal8Bit(Damage); }
  static TJpegErrors& Of(j_common_ptr codec) { return *reinterpret_cast<TJpegErrors*>(codec->err); }
  // Gives up the current libjpeg call with a message of our own.
  [[noreturn]] void Fail(const char* message);
};

// Runs libjpeg calls; false when libjpeg gave up (the reason is in
// errors.Message). Step may hold no object with a destructor of its own.
template <class Step>
bool Guarded(TJpegErrors& errors, Step&& step) {
  if (setjmp(errors.Jump)) return false;
  step();
  return true;
}
