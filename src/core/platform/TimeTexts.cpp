#include "platform/TimeTexts.h"

namespace kestrune {

std::string TwoDigits(int64_t value) {
    std::string text(value < 10 ? 1 : 0, '0');
    text += std::to_string(value);
    return text;
}

std::string HourClockText(int32_t seconds) {
    return std::to_string(seconds / 60) + ":" + TwoDigits(seconds % 60);
}

std::string PlayingTimeText(int32_t t) {
    return std::to_string(t / 3600) + ":" + TwoDigits((t % 3600) / 60) + ":" + TwoDigits(t % 60);
}

}  // namespace kestrune
