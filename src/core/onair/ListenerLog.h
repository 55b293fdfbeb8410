#pragma once
// Listeners from Icecast's own access log. Icecast 2.4 writes one line when a client goes, in
// the combined log format followed by the seconds it was connected:
//
//   127.0.0.1 - - [09/Dec/2026:04:08:38 -0500] "GET /kestrune.mp3 HTTP/1.1" 200 46444 "-" "VLC" 4
//
// The time is the server's local time with its offset from UTC, in whole seconds; the
// connection ran from (time - seconds) to time. A listener still connected has no line yet.
// Reading is pure and never throws: lines of other mounts, of a source (PUT, SOURCE), of a
// refused or failed request, and requests of pages are passed over; a line that is not of this
// form is counted and passed over.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kestrune {

inline constexpr const char* kIcecastAccessLog = "/var/log/icecast2/access.log";

struct ListenerSpan {
    int64_t startMs = 0;  // UTC, milliseconds since 1970-01-01 00:00
    int64_t endMs = 0;
    bool operator==(const ListenerSpan&) const = default;
};

struct ListenerLog {
    std::vector<ListenerSpan> spans;  // in the log's order
    int unreadLines = 0;
};

// "09/Dec/2026:04:08:38 -0500" (English month names, as Icecast writes them) as UTC.
std::optional<int64_t> ParseAccessLogTime(std::string_view text);

// The listeners of one mount ("/kestrune.mp3" or "kestrune.mp3"): GET requests of its path
// (any query left out) answered 200.
ListenerLog ParseListenerLog(std::string_view text, std::string_view mount);

// A listener counts for an aired item when connected for at least this much of it (all of it,
// for an item shorter than that): the log's times are whole seconds, so a shorter overlap at
// an item's edge is the log's rounding, not a listener who heard the item.
inline constexpr int64_t kListenerOverlapMs = 1000;

// The listeners of a log, sorted for counting: each count is two binary searches.
class ListenerCounter {
public:
    explicit ListenerCounter(const std::vector<ListenerSpan>& spans,
                             int64_t overlapMs = kListenerOverlapMs);
    // The listeners connected for the overlap (or the whole item) while [startMs, endMs) aired.
    int During(int64_t startMs, int64_t endMs) const;

private:
    int64_t overlapMs_;
    std::vector<int64_t> starts_;  // of the connections long enough to count at all
    std::vector<int64_t> ends_;
};

}  // namespace kestrune
