#include "platform/jpegerrors.h"

namespace {

extern "C" void ExitOnJpegError(j_common_ptr codec) {
  TJpegErrors& errors = TJpegErrors::Of(codec);
  (*codec->err->format_message)(codec, errors.Message);
  std::longjmp(errors.Jump, 1);
}

extern "C" void IgnoreJpegMessage(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* TJpegErrors::Install() {
  jpeg_std_error(&Manager);
  Manager.error_exit = ExitOnJpegError;
  Manager.output_message = IgnoreJpegMessage;
  Message[0] = '\0';
  return &Manager;
}

void TJpegErrors::Fail(const char* message) {
  std::snprintf(Message, sizeof Message, "%s", message);
  std::longjmp(Jump, 1);
}
