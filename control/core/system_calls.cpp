#include "system_calls.h"

namespace qz {

SystemCalls& TheSystemCalls() {
  static SystemCalls calls;
  return calls;
}

}  // namespace qz
