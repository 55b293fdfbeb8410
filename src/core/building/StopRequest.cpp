#include "building/StopRequest.h"

#include <atomic>

namespace kestrune {

namespace {
std::atomic<bool> stopRequested{false};
}

void RequestStop() { stopRequested = true; }
bool StopRequested() { return stopRequested; }
void ClearStopRequest() { stopRequested = false; }

}  // namespace kestrune
