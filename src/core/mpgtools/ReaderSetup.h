#pragma once
// The reader's world: which tag library it may use, which tags the station takes, whom it asks
// about a file it cannot read, how it keeps the user interface alive while it crosses long
// stretches, and where a long command looks whether it should stop. The program and the
// command-line tool make one at start and hand it to each command; a reader made without one
// takes ID3v1 tags and MPEG audio only, asks nobody and never stops.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "tags/LibrarySettings.h"
#include "tags/TagReader.h"

namespace kestrune {

struct ReaderSetup {
    // The tag library for ID3v2 and APEv2 tags and the formats other than MPEG; none: ID3v1
    // tags and MPEG audio only.
    std::shared_ptr<TagReader> tags;
    LibrarySettings library;
    // The question "Error openning file: <path>", answering 2 (Cancel), 4 (Retry) or 5
    // (Ignore); none: a failed file is ignored without a word.
    std::function<int(const std::string& fileName)> askOnError;
    // Lets waiting window events in; none: nothing to do.
    std::function<void()> pump;
    // Set (by Esc in the program) when the long command under way should stop where it can stop
    // cleanly, right after the pump; what it did up to there stays done. None: never.
    const std::atomic<bool>* stop = nullptr;

    void Pump() const {
        if (pump) pump();
    }
    bool StopRequested() const { return stop != nullptr && stop->load(); }
    // The question's answer for `fileName`; 5 (Ignore) when there is nobody to ask.
    uint16_t AskOnError(const std::string& fileName) const {
        return askOnError ? static_cast<uint16_t>(askOnError(fileName)) : uint16_t{5};
    }
};

}  // namespace kestrune
