#pragma once
// The two places where the MP3 reader reaches out of the core: keeping the user interface alive
// while it crosses long stretches of a file, and asking the user about a file it cannot read.
// Both are process-wide; the desktop program installs its own at start-up.

#include <cstdint>
#include <functional>
#include <string>

namespace kestrune {

struct TMPEGFileInfo;

// Installs the routine that handles waiting window events; an empty one does nothing.
void SetPumpMessages(std::function<void()> pump);
// Runs the installed routine, if any.
void PumpMessages();

// Installs the question "Error openning file: <path>", answering 2 (Cancel), 4 (Retry) or
// 5 (Ignore). With none installed the reader ignores failed files silently.
void SetOpenErrorHandler(std::function<int(const std::string& fileName)> handler);

// The reader's default error callback: asks the installed handler about info.FileName and
// answers its code; 5 (Ignore) when no handler is installed.
uint16_t ShowOpenError(const TMPEGFileInfo& info);

}  // namespace kestrune
