#include "mpgtools/ReaderHooks.h"

#include <utility>

#include "mpgtools/MPGTools.h"

namespace kestrune {

namespace {

std::function<void()>& PumpRoutine() {
    static std::function<void()> pump;
    return pump;
}

std::function<int(const std::string&)>& OpenErrorHandler() {
    static std::function<int(const std::string&)> handler;
    return handler;
}

constexpr uint16_t kIgnore = 5;

}  // namespace

void SetPumpMessages(std::function<void()> pump) {
    PumpRoutine() = std::move(pump);
}

void PumpMessages() {
    const auto& pump = PumpRoutine();
    if (pump) pump();
}

void SetOpenErrorHandler(std::function<int(const std::string& fileName)> handler) {
    OpenErrorHandler() = std::move(handler);
}

uint16_t ShowOpenError(const TMPEGFileInfo& info) {
    const auto& handler = OpenErrorHandler();
    if (!handler) return kIgnore;
    return static_cast<uint16_t>(handler(info.FileName));
}

}  // namespace kestrune
