#include "platform/jpegerrors.h"

#include <jerror.h>

namespace {

extern "C" void ExitOnJpegError(j_common_ptr codec) {
  TJpegErrors& errors = TJpegErrors::Of(codec);
  (*codec->err->format_message)(codec, errors.Message);
  std::longjmp(errors.Jump, 1);
}

// Warnings that mean libjpeg made up picture data: the file ends early, the
// compressed data is corrupt, or the scans do not fit together. Others leave
// the picture as it was made: stray bytes between two segments, say, or an
// unknown JFIF version.
bool IsDamage(int code) {
  switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_BOGUS_PROGRESSION:
      return true;
    default:
      return false;
  }
}

// Trace messages (level 0 and up) are dropped; warnings (level -1) are
// counted, as libjpeg's own handler counts them, and the first damage kept.
extern "C" void NoteJpegMessage(j_common_ptr codec, int level) {
  if (level >= 0) return;
  ++codec->err->num_warnings;
  TJpegErrors& errors = TJpegErrors::Of(codec);
  if (!errors.Damaged() && IsDamage(codec->err->msg_code))
    (*codec->err->format_message)(codec, errors.Damage);
}

}  // namespace

jpeg_error_mgr* TJpegErrors::Install() {
  jpeg_std_error(&Manager);
  Manager.error_exit = ExitOnJpegError;
  Manager.emit_message = NoteJpegMessage;
  Message[0] = '\0';
  Damage[0] = '\0';
  return &Manager;
}

void TJpegErrors::Fail(const char* message) {
  std::snprintf(Message, sizeof Message, "%s", message);
  std::longjmp(Jump, 1);
}
