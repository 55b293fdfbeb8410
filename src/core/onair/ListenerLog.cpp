#include "onair/ListenerLog.h"

#include <algorithm>
#include <array>
#include <string>

#include "platform/CalendarDate.h"
#include "platform/Digits.h"
#include "platform/LineList.h"

namespace kestrune {

namespace {

// A number field of the log: twelve digits at most.
std::optional<int64_t> Number(std::string_view text) {
    if (text.size() > 12) return std::nullopt;
    return WholeNumber(text);
}

std::optional<int> Month(std::string_view name) {
    static constexpr std::array<std::string_view, 12> kMonths = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (size_t i = 0; i < kMonths.size(); ++i)
        if (kMonths[i] == name) return static_cast<int>(i) + 1;
    return std::nullopt;
}

// The next blank-separated word of `rest`, taken off it.
std::string_view Word(std::string_view& rest) {
    const size_t start = std::min(rest.find_first_not_of(' '), rest.size());
    rest.remove_prefix(start);
    const size_t end = std::min(rest.find(' '), rest.size());
    const std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

std::string_view WithoutSlash(std::string_view mount) {
    while (!mount.empty() && mount.front() == '/') mount.remove_prefix(1);
    return mount;
}

enum class LineKind { Listener, Other, Unread };

LineKind ReadLine(std::string_view line, std::string_view mount, ListenerSpan& span) {
    // IP USER-ID USER [TIME] "REQUEST" STATUS BYTES "REFERER" "AGENT" SECONDS; Icecast writes
    // the quotes of a header's text as dots, so none of the quoted fields holds one.
    const size_t open = line.find('[');
    const size_t close = line.find(']', open == std::string_view::npos ? 0 : open);
    if (open == std::string_view::npos || close == std::string_view::npos) return LineKind::Unread;
    const std::optional<int64_t> end = ParseAccessLogTime(line.substr(open + 1, close - open - 1));
    const size_t requestStart = line.find('"', close);
    const size_t requestEnd =
        requestStart == std::string_view::npos ? requestStart : line.find('"', requestStart + 1);
    if (!end || requestEnd == std::string_view::npos) return LineKind::Unread;
    std::string_view request = line.substr(requestStart + 1, requestEnd - requestStart - 1);
    std::string_view after = line.substr(requestEnd + 1);
    const std::optional<int64_t> status = Number(Word(after));
    // The seconds connected are the line's last word.
    while (!after.empty() && after.back() == ' ') after.remove_suffix(1);
    const size_t lastBlank = after.rfind(' ');
    const std::optional<int64_t> seconds = Number(
        lastBlank == std::string_view::npos ? std::string_view() : after.substr(lastBlank + 1));
    // A connection longer than a year is no listener's: twelve digits of seconds would count
    // one for every play before it.
    constexpr int64_t kLongestConnectionSeconds = 366 * 86400;
    if (!status || !seconds || *seconds > kLongestConnectionSeconds) return LineKind::Unread;
    const std::string_view method = Word(request);
    std::string_view path = Word(request);
    path = path.substr(0, path.find('?'));
    if (method != "GET" || *status != 200 || WithoutSlash(path) != WithoutSlash(mount))
        return LineKind::Other;
    span = {*end - *seconds * 1000, *end};
    return LineKind::Listener;
}

}  // namespace

std::optional<int64_t> ParseAccessLogTime(std::string_view text) {
    // 09/Dec/2026:04:08:38 -0500
    if (text.size() != 26 || text[2] != '/' || text[6] != '/' || text[11] != ':' ||
        text[14] != ':' || text[17] != ':' || text[20] != ' ' ||
        (text[21] != '+' && text[21] != '-'))
        return std::nullopt;
    const auto day = FixedDigits(text, 0, 2);
    const auto month = Month(text.substr(3, 3));
    const auto year = FixedDigits(text, 7, 4);
    const auto hour = FixedDigits(text, 12, 2);
    const auto minute = FixedDigits(text, 15, 2);
    const auto second = FixedDigits(text, 18, 2);
    const auto offsetHours = FixedDigits(text, 22, 2);
    const auto offsetMinutes = FixedDigits(text, 24, 2);
    if (!day || !month || !year || !hour || !minute || !second || !offsetHours || !offsetMinutes)
        return std::nullopt;
    if (*day < 1 || *hour > 23 || *minute > 59 || *second > 60 || *offsetHours > 23 ||
        *offsetMinutes > 59)
        return std::nullopt;
    const int64_t days = DaysFromCivil(*year, *month, *day);
    const CalendarDate back = CivilFromDays(days);
    if (back.month != *month || back.day != *day) return std::nullopt;
    const int64_t offset =
        (*offsetHours * int64_t{60} + *offsetMinutes) * 60 * (text[21] == '-' ? -1 : 1);
    const int64_t local = ((days * 24 + *hour) * 60 + *minute) * 60 + *second;
    return (local - offset) * 1000;
}

ListenerLog ParseListenerLog(std::string_view text, std::string_view mount) {
    ListenerLog log;
    ForEachLine(text, [&](std::string_view line) {
        if (line.find_first_not_of(' ') == std::string_view::npos) return;
        ListenerSpan span;
        switch (ReadLine(line, mount, span)) {
        case LineKind::Listener: log.spans.push_back(span); break;
        case LineKind::Other: break;
        case LineKind::Unread: ++log.unreadLines; break;
        }
    });
    return log;
}

ListenerCounter::ListenerCounter(const std::vector<ListenerSpan>& spans, int64_t overlapMs)
    : overlapMs_(std::max<int64_t>(overlapMs, 1)) {
    for (const ListenerSpan& span : spans) {
        if (span.endMs - span.startMs < overlapMs_) continue;  // never enough of any item
        starts_.push_back(span.startMs);
        ends_.push_back(span.endMs);
    }
    std::sort(starts_.begin(), starts_.end());
    std::sort(ends_.begin(), ends_.end());
}

int ListenerCounter::During(int64_t startMs, int64_t endMs) const {
    const int64_t overlap = std::min(overlapMs_, endMs - startMs);
    if (overlap <= 0) return 0;
    // With every connection and the item at least `overlap` long, a connection [s, e) overlaps
    // the item by `overlap` exactly when s <= end - overlap and e >= start + overlap; and every
    // connection with e < start + overlap has s <= end - overlap. So the count is the
    // connections begun by end - overlap less those ended before start + overlap.
    const auto begun = std::upper_bound(starts_.begin(), starts_.end(), endMs - overlap);
    const auto ended = std::lower_bound(ends_.begin(), ends_.end(), startMs + overlap);
    return static_cast<int>((begun - starts_.begin()) - (ended - ends_.begin()));
}

}  // namespace kestrune
