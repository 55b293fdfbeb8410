#include "platform/FileTrace.h"

namespace kestrune {

void SetFileTrace(FileTrace* trace) {
    detail::activeFileTrace = trace;
}

namespace detail {

void AppendFileEvent(FileOp op, std::string_view path, int64_t offset, int64_t bytes,
                     bool synced) {
    activeFileTrace->push_back(FileEvent{op, std::string(path), offset, bytes, synced});
}

}  // namespace detail

}  // namespace kestrune
