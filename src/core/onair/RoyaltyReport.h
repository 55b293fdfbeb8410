#pragma once
// The royalty report of what aired: the plays of the as-played log in a span of days, each with
// the listeners Icecast's access log shows connected while it aired and the tags of the aired
// file itself. Two forms: SoundExchange's report of use for webcasters (one row per recording,
// its performances the sum over its plays of the listeners of each play), and a plain per-play
// CSV. Never: a report written in part (the file is replaced whole or not at all), a tag text
// that breaks a row (line breaks, tabs and control bytes become blanks; CSV fields are quoted),
// a spot or jingle of an exempt category among the royalty rows (it stays in the CSV).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mpgtools/ReaderSetup.h"
#include "onair/AsPlayedLog.h"
#include "onair/ListenerLog.h"
#include "platform/CalendarDate.h"
#include "platform/SettingsFiles.h"

namespace kestrune {

enum class ReportFormat { SoundExchange, Csv };

// "soundexchange" or "csv"; nothing for any other word.
std::optional<ReportFormat> ParseReportFormat(std::string_view word);

// One aired play as the report writes it.
struct ReportPlay {
    int64_t startMs = 0;  // UTC
    int64_t airedMs = 0;  // how long it aired
    std::string file;
    std::string artist;
    std::string title;
    std::string album;
    std::string isrc;
    std::string label;
    int listeners = 0;
    bool exempt = false;  // of an exempt category: no royalty row
    bool operator==(const ReportPlay&) const = default;
};

// The plays that started in [fromMs, toMs), with the log's artist and title, their aired time
// and listeners. An item without its end line ended when the next one started; the last item
// with neither (still on air) is left out and counted in `stillOnAir`.
std::vector<ReportPlay> AiredPlays(const AsPlayedLog& log, int64_t fromMs, int64_t toMs,
                                   const ListenerCounter& listeners, int& stillOnAir);

// A tag text on one line, as CleanText makes it (no line breaks, separators or direction
// overrides), runs of blanks as one, blanks at either end dropped, and a text that a
// spreadsheet would take for a formula (beginning with = + - @) led by an apostrophe.
std::string CleanField(std::string_view text);

// The lines of an M3U list's text that name files (not blank, not "#..."), relative ones taken
// from the list's folder.
std::vector<std::string> ListFiles(const std::string& list, const std::string& text);

// One CSV field as RFC 4180 wants it: quoted, quotes doubled, when it holds a comma or a quote.
std::string CsvField(const std::string& text);

// SoundExchange's transmission category of most small webcasts: eligible nonsubscription
// transmissions.
inline constexpr const char* kDefaultTransmissionCategory = "A";

// Tab-separated, a header row of SoundExchange's field names in its template's order, one row
// per recording (featured artist, title, ISRC, album and label alike) in the order each first
// aired; exempt plays left out. Lines end with CR LF.
std::string SoundExchangeText(const std::vector<ReportPlay>& plays, const std::string& service,
                              const std::string& category = kDefaultTransmissionCategory);

// Comma-separated as RFC 4180 wants (CR LF, fields with a comma or a quote quoted, quotes
// doubled), a header row, one row per play: UTC start, artist, title, album, ISRC, label,
// whole seconds aired, listeners.
std::string PlaysCsvText(const std::vector<ReportPlay>& plays);

// The files of the exempt category playlists: each name (a bare file name is looked up in
// `playlistsFolder`) read as an M3U list, relative lines taken from the list's folder, every
// path in one spelling. A list that cannot be read is added to `missing`.
std::vector<std::string> ExemptFiles(const std::vector<std::string>& exempt,
                                     const std::string& playlistsFolder,
                                     std::vector<std::string>& missing);

// The service name of `[Report] service` in the configuration file; "Kestrune" (the name the
// on-air script gives the stream) when it has none.
std::string ReportServiceName(const SettingsFiles& files);
// Keeps the service name there ("Unable to write to %s"), every other line of the file as it is.
void WriteReportServiceName(const SettingsFiles& files, const std::string& name);
// The station's transmission category code of `[Report] category`; "A" when it has none.
std::string ReportTransmissionCategory(const SettingsFiles& files);
void WriteReportTransmissionCategory(const SettingsFiles& files, const std::string& code);

struct RoyaltyReportRequest {
    CalendarDate from;  // local days, as the on-air script's clock runs: from 00:00 of `from`
    CalendarDate to;    // to 24:00 of `to`
    ReportFormat format = ReportFormat::SoundExchange;
    std::string output;
    std::string asPlayedLog;
    std::vector<std::string> accessLogs;  // Icecast's, the rotated ones too: their listeners add up
    std::string mount = "/kestrune.mp3";
    std::vector<std::string> exempt;  // `[Rules] exempt`
    std::string playlistsFolder;      // where the exempt lists are
    std::string service = "Kestrune";
    std::string category = kDefaultTransmissionCategory;  // SoundExchange's transmission category
    // Called as the aired files are read: how many of how many.
    std::function<void(size_t done, size_t total)> progress;
};

struct ReportSummary {
    int plays = 0;        // aired plays in the days
    int rows = 0;         // rows written below the header
    int exemptPlays = 0;  // plays of exempt songs
    int64_t performances = 0;
    int filesGone = 0;  // aired files no longer there: the log's artist and title stand in
    int stillOnAir = 0;
    int unreadLogLines = 0;
    int unreadAccessLines = 0;
    std::vector<std::string> missingExemptLists;
};

// Why `request.output` may not take a report, or nothing: a report is never written over a file
// it reads (the as-played log, an access log) nor over the station's own files (a playlist, a
// session, schedule, week grid or slot-time file, the configuration, the play history, the
// list of removed songs, the lock), whatever the path or link that names it.
std::optional<std::string> ReportOutputRefusal(const RoyaltyReportRequest& request);

// Refuses the output as above ("Cannot write the report to PATH: ..."), then reads the two logs
// ("Cannot open file %s" naming the one that cannot be read), the aired files' tags (with a
// reader of `setup`, asking nobody) and the exempt lists, and replaces `output` with the report.
ReportSummary WriteRoyaltyReport(const RoyaltyReportRequest& request, const ReaderSetup& setup);

}  // namespace kestrune
