#include "building/PassOverFiles.h"

namespace kestrune {

namespace {
constexpr size_t kPathsNamed = 3;
}

int PassOverFiles::Ask(const std::string& fileName) {
    int answer = kAnswerIgnore;
    if (!ignoreAll_) {
        answer = prompts_.AskOpenError(fileName);
        if (answer == kAnswerIgnoreAll) {
            ignoreAll_ = true;
            answer = kAnswerIgnore;
        }
    }
    if (answer != kAnswerRetry && seen_.insert(fileName).second) passedOver_.push_back(fileName);
    return answer;
}

void PassOverFiles::Reset() {
    ignoreAll_ = false;
    passedOver_.clear();
    seen_.clear();
}

std::string PassOverFiles::Summary() const {
    if (passedOver_.empty()) return std::string();
    const size_t count = passedOver_.size();
    std::string text = "Passed over " + std::to_string(count) +
                       (count == 1 ? " file that" : " files that") + " could not be read: ";
    for (size_t i = 0; i < count && i < kPathsNamed; ++i)
        text += (i == 0 ? "" : ", ") + passedOver_[i];
    if (count > kPathsNamed) text += " and " + std::to_string(count - kPathsNamed) + " more";
    return text + ".";
}

}  // namespace kestrune
