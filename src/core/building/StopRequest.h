#pragma once
// A request to stop the long command under way (Esc in the program). The command looks at it
// where it can stop cleanly, right after PumpMessages has let waiting window events in; what
// it did up to there stays done.

namespace kestrune {

void RequestStop();
bool StopRequested();
void ClearStopRequest();

}  // namespace kestrune
