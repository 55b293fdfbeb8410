#include "tags/TagReader.h"

#include <utility>

namespace kestrune {

namespace {

std::shared_ptr<TagReader>& Installed() {
    static std::shared_ptr<TagReader> reader;
    return reader;
}

}  // namespace

void SetTagReader(std::shared_ptr<TagReader> reader) {
    Installed() = std::move(reader);
}

TagReader* InstalledTagReader() {
    return Installed().get();
}

}  // namespace kestrune
