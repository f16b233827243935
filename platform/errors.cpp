#include "platform/errors.h"

#include <new>

QString ErrorOf(const std::function<void()>& call, const QString& outOfMemory) {
  try {
    call();
  } catch (const EError& e) {
    return e.Message();
  } catch (const std::bad_alloc&) {
    return outOfMemory;
  } catch (const std::exception& e) {
    return QString::fromLocal8Bit(e.what());
  }
  return {};
}
