#include "onair/RoyaltyReport.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>

#include "mpgtools/MPGTools.h"
#include "platform/FileReplace.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/LineList.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/SettingsSection.h"
#include "platform/StationLock.h"
#include "rules/PlayHistoryFile.h"
#include "tags/TagText.h"

namespace kestrune {

namespace {

constexpr const char* kLineEnd = "\r\n";

// What the aired file's own tags say; the log's artist and title where the file is gone or
// its tag gives none.
bool TakeTags(TMPEGAudio& reader, ReportPlay& play) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(play.file, error)) return false;
    reader.SetFileName(play.file);
    if (reader.Load() != 0 && !reader.HasTag()) return true;
    const TMPEGFileInfo& info = reader.MPEGFileInfo;
    if (const std::string artist = reader.TaggedArtist(); !artist.empty()) play.artist = artist;
    if (const std::string title = reader.TaggedTitle(); !title.empty()) play.title = title;
    play.album = reader.TaggedAlbum();
    play.isrc = info.Isrc;
    play.label = info.Label;
    return true;
}

}  // namespace

std::optional<ReportFormat> ParseReportFormat(std::string_view word) {
    if (word == "soundexchange") return ReportFormat::SoundExchange;
    if (word == "csv") return ReportFormat::Csv;
    return std::nullopt;
}

std::vector<ReportPlay> AiredPlays(const AsPlayedLog& log, int64_t fromMs, int64_t toMs,
                                   const ListenerCounter& listeners, int& stillOnAir) {
    std::vector<ReportPlay> plays;
    for (size_t i = 0; i < log.items.size(); ++i) {
        const AiredItem& item = log.items[i];
        if (item.startMs < fromMs || item.startMs >= toMs) continue;
        std::optional<int64_t> end = item.endMs;
        if (!end && i + 1 < log.items.size()) end = log.items[i + 1].startMs;
        if (!end) {
            ++stillOnAir;
            continue;
        }
        ReportPlay play;
        play.startMs = item.startMs;
        play.airedMs = std::max<int64_t>(0, *end - item.startMs);
        play.file = item.file;
        play.artist = item.artist;
        play.title = item.title;
        play.listeners = listeners.During(item.startMs, item.startMs + play.airedMs);
        plays.push_back(std::move(play));
    }
    return plays;
}

std::vector<std::string> ListFiles(const std::string& list, const std::string& text) {
    std::vector<std::string> files;
    const std::filesystem::path folder = std::filesystem::path(list).parent_path();
    ForEachLine(text, [&](std::string_view line) {
        if (line.empty() || line.front() == '#') return;
        const std::filesystem::path path(line);
        files.push_back(path.is_absolute() ? std::string(line) : (folder / path).string());
    });
    return files;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CleanField(std::string_view raw) {
    const std::string text = CleanText(raw);
    std::string clean;
    clean.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool blank = byte < 0x20 || byte == 0x7F || c == ' ';
        if (!blank) {
            clean += c;
        } else if (!clean.empty() && clean.back() != ' ') {
            clean += ' ';
        }
    }
    while (!clean.empty() && clean.back() == ' ') clean.pop_back();
    // A spreadsheet takes a cell that begins so for a formula ("=HYPERLINK(...)"): the usual
    // guard against such injection is a leading apostrophe, which shows the text as it is.
    if (!clean.empty() && std::string_view("=+-@").find(clean.front()) != std::string_view::npos)
        clean.insert(clean.begin(), '\'');
    return clean;
}

std::string SoundExchangeText(const std::vector<ReportPlay>& plays, const std::string& service,
                              const std::string& category) {
    using Recording = std::tuple<std::string, std::string, std::string, std::string, std::string>;
    std::vector<Recording> order;
    std::map<Recording, int64_t> performances;
    for (const ReportPlay& play : plays) {
        if (play.exempt) continue;
        Recording recording{CleanField(play.artist), CleanField(play.title),
                            CleanField(play.isrc), CleanField(play.album),
                            CleanField(play.label)};
        const auto [at, added] = performances.emplace(recording, 0);
        if (added) order.push_back(recording);
        at->second += play.listeners;
    }
    // The columns of SoundExchange's report of use, in its template's order.
    std::string text =
        "NAME_OF_SERVICE\tTRANSMISSION_CATEGORY\tFEATURED_ARTIST\tSOUND_RECORDING_TITLE\tISRC\t"
        "ALBUM_TITLE\tMARKETING_LABEL\tACTUAL_TOTAL_PERFORMANCES";
    text += kLineEnd;
    const std::string name = CleanField(service) + '\t' + CleanField(category);
    for (const Recording& recording : order) {
        const auto& [artist, title, isrc, album, label] = recording;
        text += name + '\t' + artist + '\t' + title + '\t' + isrc + '\t' + album + '\t' + label +
                '\t' + std::to_string(performances[recording]) + kLineEnd;
    }
    return text;
}

std::string PlaysCsvText(const std::vector<ReportPlay>& plays) {
    std::string text = "UTC time,Artist,Title,Album,ISRC,Label,Seconds aired,Listeners";
    text += kLineEnd;
    for (const ReportPlay& play : plays) {
        std::string stamp = FormatUtcStamp(play.startMs);
        stamp.erase(stamp.size() - 5, 4);  // whole seconds: "2026-12-09T06:00:00Z"
        text += stamp;
        for (const std::string* field :
             {&play.artist, &play.title, &play.album, &play.isrc, &play.label})
            text += "," + CsvField(CleanField(*field));
        text += "," + std::to_string((play.airedMs + 500) / 1000) + "," +
                std::to_string(play.listeners) + kLineEnd;
    }
    return text;
}

std::vector<std::string> ExemptFiles(const std::vector<std::string>& exempt,
                                     const std::string& playlistsFolder,
                                     std::vector<std::string>& missing) {
    std::vector<std::string> files;
    for (const std::string& name : exempt) {
        const std::filesystem::path given(name);
        const std::string list =
            given.is_absolute() ? name : (std::filesystem::path(playlistsFolder) / given).string();
        std::string text;
        try {
            text = ReadWholeFile(list);
        } catch (const KestruneError&) {
            missing.push_back(list);
            continue;
        }
        for (const std::string& file : ListFiles(list, text))
            files.push_back(ComparablePath(file));
    }
    return files;
}

namespace {
constexpr const char* kReportSection = "Report";
constexpr const char* kCategoryKey = "category";
constexpr const char* kServiceKey = "service";

// The section's key, cleaned as a report field; `fallback` when that leaves nothing.
std::string ReportSetting(const SettingsFiles& files, const char* key, const std::string& fallback) {
    const std::string value = CleanField(SettingsSection(files, kReportSection).Text(key).value_or(""));
    return value.empty() ? fallback : value;
}
}  // namespace

std::string ReportTransmissionCategory(const SettingsFiles& files) {
    return ReportSetting(files, kCategoryKey, kDefaultTransmissionCategory);
}

void WriteReportTransmissionCategory(const SettingsFiles& files, const std::string& code) {
    WriteSettingsSection(files, kReportSection, {{kCategoryKey, CleanField(code)}});
}

std::string ReportServiceName(const SettingsFiles& files) {
    return ReportSetting(files, kServiceKey, "Kestrune");
}

void WriteReportServiceName(const SettingsFiles& files, const std::string& name) {
    WriteSettingsSection(files, kReportSection, {{kServiceKey, CleanField(name)}});
}

std::optional<std::string> ReportOutputRefusal(const RoyaltyReportRequest& request) {
    const std::string& output = request.output;
    auto refused = [&](const std::string& what) {
        return "Cannot write the report to " + output + ": it is " + what +
               ", which a report never replaces; nothing was written.";
    };
    if (SameFile(output, request.asPlayedLog)) return refused("the as-played log the report reads");
    for (const std::string& access : request.accessLogs)
        if (SameFile(output, access)) return refused("an access log the report reads");
    // Through a link, the file it names decides.
    std::error_code error;
    const std::filesystem::path real = std::filesystem::weakly_canonical(output, error);
    const std::string name = LowerCase(ExtractFileName(error ? output : real.string()));
    const auto endsWith = [&name](std::string_view end) {
        return name.size() >= end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
    };
    for (const char* end : {".m3u", ".m3u8", ".pls", ".xspf"})
        if (endsWith(end)) return refused("a playlist");
    for (const char* end : {".cwt", ".cws", ".kwg", ".cwt.times", ".qpr"})
        if (endsWith(end)) return refused("a session, schedule or week grid file");
    for (const char* station : {"kestrune.ini", kPlayHistoryFile, "removed-songs.txt", kStationLockFile,
                                kAsPlayedLogFile})
        if (name == station || endsWith(".ini")) return refused("a file of the station");
    return std::nullopt;
}

ReportSummary WriteRoyaltyReport(const RoyaltyReportRequest& request, const ReaderSetup& setup) {
    if (const std::optional<std::string> refusal = ReportOutputRefusal(request))
        throw KestruneError(*refusal);
    ReportSummary summary;
    const AsPlayedLog& log = ReadAsPlayedLog(request.asPlayedLog);
    std::vector<ListenerSpan> spans;
    for (const std::string& path : request.accessLogs) {
        const ListenerLog access = ParseListenerLog(ReadWholeFile(path), request.mount);
        spans.insert(spans.end(), access.spans.begin(), access.spans.end());
        summary.unreadAccessLines += access.unreadLines;
    }
    summary.unreadLogLines = log.unreadLines;
    // Refused before the slow part: a report that could never be written.
    CheckReplaceable(request.output);

    const ListenerCounter counter(spans);
    std::vector<ReportPlay> plays =
        AiredPlays(log, LocalDayStartMs(request.from), LocalDayStartMs(AddDays(request.to, 1)),
                   counter, summary.stillOnAir);
    const std::vector<std::string> exemptList =
        ExemptFiles(request.exempt, request.playlistsFolder, summary.missingExemptLists);
    const std::set<std::string> exempt(exemptList.begin(), exemptList.end());

    // Each file is read once, however often it aired.
    std::map<std::string, std::vector<size_t>> byFile;
    for (size_t i = 0; i < plays.size(); ++i) byFile[plays[i].file].push_back(i);
    TMPEGAudio reader(setup);
    reader.AutoLoad = false;
    reader.ErrorCallback = [](const TMPEGFileInfo&) { return uint16_t{5}; };  // Ignore
    size_t done = 0;
    for (const auto& [file, indices] : byFile) {
        ReportPlay tags;
        tags.file = file;
        if (!TakeTags(reader, tags)) ++summary.filesGone;
        const bool isExempt = exempt.count(ComparablePath(file)) > 0;
        for (const size_t i : indices) {
            ReportPlay& play = plays[i];
            // The log's artist and title of each play stay where the file gives none.
            if (!tags.artist.empty()) play.artist = tags.artist;
            if (!tags.title.empty()) play.title = tags.title;
            play.album = tags.album;
            play.isrc = tags.isrc;
            play.label = tags.label;
            play.exempt = isExempt;
        }
        if (request.progress) request.progress(++done, byFile.size());
    }

    summary.plays = static_cast<int>(plays.size());
    for (const ReportPlay& play : plays) {
        summary.exemptPlays += play.exempt;
        if (!play.exempt) summary.performances += play.listeners;
    }
    std::string text;
    if (request.format == ReportFormat::SoundExchange) {
        text = SoundExchangeText(plays, request.service, request.category);
    } else {
        text = PlaysCsvText(plays);
    }
    for (const char c : text) summary.rows += c == '\n';
    --summary.rows;  // the header
    ReplaceWholeFile(request.output, text);
    return summary;
}

}  // namespace kestrune
