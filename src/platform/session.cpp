#include "platform/session.h"

namespace kx {

Session::~Session() {
  while (!parts_.empty()) parts_.pop_back();
}

}  // namespace kx
