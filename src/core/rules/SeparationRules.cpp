#include "rules/SeparationRules.h"

#include <algorithm>

#include "platform/TimeTexts.h"
#include "rules/ArtistNames.h"

namespace kestrune {

namespace {

std::string WindowText(int64_t window) {
    const int64_t hours = window / 3600;
    if (window % 3600 != 0) return PlayingTimeText(static_cast<int32_t>(window));
    return std::to_string(hours) + (hours == 1 ? " hour" : " hours");
}

std::string AgainText(const RuleBreak& brk) {
    if (brk.elapsed < 0)
        return " again (heard in an earlier build; window " + WindowText(brk.window) + ")";
    return " again after " + PlayingTimeText(static_cast<int32_t>(brk.elapsed)) + " (window " +
           WindowText(brk.window) + ")";
}

// The latest entry under any of the keys that started within the window: its elapsed time.
std::optional<int64_t> LatestWithin(const std::vector<const std::vector<size_t>*>& lists,
                                    const PlayHistory& history, int64_t start, int64_t window) {
    std::optional<int64_t> best;
    for (const std::vector<size_t>* list : lists) {
        if (list == nullptr || list->empty()) continue;
        const int64_t elapsed = start - history.Entries()[list->back()].start;
        if (elapsed <= window && (!best || elapsed < *best)) best = elapsed;
    }
    return best;
}

RuleBreak Break(Rule rule, const std::string& subject, int64_t elapsed, int64_t window) {
    RuleBreak brk;
    brk.rule = rule;
    brk.subject = subject;
    brk.elapsed = elapsed;
    brk.window = window;
    return brk;
}

RuleBreak ComplementBreak(ComplementLimit limit, const std::string& subject, int count) {
    RuleBreak brk = Break(Rule::PerformanceComplement, subject, -1, kComplementWindow);
    brk.limit = limit;
    brk.count = count;
    return brk;
}

std::optional<RuleBreak> ComplementBreakOf(const PlayHistory& history, const SongFacts& song,
                                           const std::vector<std::string>& keys, int64_t start) {
    const auto& entries = history.Entries();
    auto within = [&](size_t i) { return start - entries[i].start <= kComplementWindow; };
    const std::string album = CompareForm(song.album, history.Matching());
    if (!album.empty()) {
        int count = 1;
        if (const auto* list = history.Album(album))
            for (auto it = list->rbegin(); it != list->rend() && within(*it); ++it) ++count;
        if (count > kComplementAlbumTracks)
            return ComplementBreak(ComplementLimit::AlbumCount, song.album, count);
        int run = 1;
        for (size_t i = entries.size();
             i > 0 && within(i - 1) &&
             CompareForm(entries[i - 1].song.album, history.Matching()) == album;
             --i)
            ++run;
        if (run > kComplementAlbumRun)
            return ComplementBreak(ComplementLimit::AlbumRun, song.album, run);
    }
    std::vector<size_t> counted;
    for (const std::string& key : keys)
        if (const auto* list = history.Artist(key))
            for (auto it = list->rbegin(); it != list->rend() && within(*it); ++it)
                counted.push_back(*it);
    std::sort(counted.begin(), counted.end());
    const int count =
        1 + static_cast<int>(std::unique(counted.begin(), counted.end()) - counted.begin());
    if (count > kComplementArtistTracks)
        return ComplementBreak(ComplementLimit::ArtistCount, song.artist, count);
    int run = 1;
    for (size_t i = entries.size();
         i > 0 && within(i - 1) && ShareArtist(entries[i - 1].artistKeys, keys); --i)
        ++run;
    if (run > kComplementArtistRun)
        return ComplementBreak(ComplementLimit::ArtistRun, song.artist, run);
    return std::nullopt;
}

}  // namespace

int64_t RuleSet::LongestWindow() const {
    int64_t longest = std::max({artistWindow, titleWindow, albumWindow, int64_t{0}});
    if (performanceComplement) longest = std::max(longest, kComplementWindow);
    if (hourDays > 0) longest = std::max(longest, int64_t{hourDays} * 86400 + 3600);
    return longest;
}

std::string DescribeBreak(const RuleBreak& brk) {
    const std::string quoted = "'" + brk.subject + "'";
    switch (brk.rule) {
        case Rule::Artist:
            return "artist " + quoted + AgainText(brk);
        case Rule::Title:
            return "title " + quoted + " by '" + brk.artist + "'" + AgainText(brk);
        case Rule::Album:
            return "album " + quoted + AgainText(brk);
        case Rule::PerformanceComplement: {
            const std::string tracks =
                "performance complement: " + std::to_string(brk.count) + " tracks ";
            switch (brk.limit) {
                case ComplementLimit::AlbumCount:
                    return tracks + "of album " + quoted + " within 3 hours";
                case ComplementLimit::AlbumRun:
                    return tracks + "of album " + quoted + " in a row";
                case ComplementLimit::ArtistCount:
                    return tracks + "by " + quoted + " within 3 hours";
                case ComplementLimit::ArtistRun:
                case ComplementLimit::None:
                    break;
            }
            return tracks + "by " + quoted + " in a row";
        }
        case Rule::FreshHour:
            return "title " + quoted + " by '" + brk.artist + "' in the same hour " +
                   std::to_string(brk.elapsed / 86400) + (brk.elapsed / 86400 == 1 ? " day" : " days") +
                   " ago (fresh hours " + std::to_string(brk.window / 86400) +
                   (brk.window / 86400 == 1 ? " day)" : " days)");
        case Rule::Genre:
            break;
    }
    return "genre " + quoted + " twice in a row";
}

std::string BreakLine(const RuleBreak& brk) {
    return "Rule broken: " + DescribeBreak(brk);
}

std::string PlacedBreakLine(long long position, int64_t start, const RuleBreak& brk) {
    return "song " + std::to_string(position) + " at " +
           PlayingTimeText(static_cast<int32_t>(start)) + ": " + BreakLine(brk);
}

RuleSet RuleSet::Only(const std::vector<Rule>& kept) const {
    const auto keeps = [&](Rule rule) {
        return std::find(kept.begin(), kept.end(), rule) != kept.end();
    };
    RuleSet only = *this;
    if (!keeps(Rule::Artist)) only.artistWindow = 0;
    if (!keeps(Rule::Title)) only.titleWindow = 0;
    if (!keeps(Rule::Album)) only.albumWindow = 0;
    if (!keeps(Rule::PerformanceComplement)) only.performanceComplement = false;
    if (!keeps(Rule::Genre)) only.genre = false;
    if (!keeps(Rule::FreshHour)) only.hourDays = 0;
    return only;
}

bool RuleSet::AnyOn() const {
    return artistWindow > 0 || titleWindow > 0 || albumWindow > 0 || performanceComplement ||
           genre || hourDays > 0;
}

bool SmallerBreak(const RuleBreak& a, const RuleBreak& b) {
    if (a.rule != b.rule) return a.rule > b.rule;
    // Not known means heard in an earlier build: longer ago than anything of this one.
    const auto age = [](const RuleBreak& brk) { return brk.elapsed < 0 ? INT64_MAX : brk.elapsed; };
    if (age(a) != age(b)) return age(a) > age(b);
    return a.count < b.count;
}

std::string TitleKey(const std::string& artistKey, const std::string& title,
                     ArtistMatching matching) {
    return artistKey + '\n' + CompareForm(title, matching);
}

const std::vector<size_t>* PlayHistory::Find(const Index& index, const std::string& key) {
    const auto it = index.find(key);
    return it == index.end() ? nullptr : &it->second;
}

void PlayHistory::Add(const SongFacts& song, int64_t start) {
    const size_t at = entries_.size();
    Entry entry{start, song, ArtistKeys(song.artist, matching_)};
    for (const std::string& key : entry.artistKeys) {
        byArtist_[key].push_back(at);
        byTitle_[TitleKey(key, song.title, matching_)].push_back(at);
    }
    const std::string album = CompareForm(song.album, matching_);
    if (!album.empty()) byAlbum_[album].push_back(at);
    entries_.push_back(std::move(entry));
}

namespace {

// The song played in the same hour of the clock on one of the `days` days before `start`.
// Starts are clock readings in seconds, so an hour of the day is one of 24 in each day.
std::optional<RuleBreak> FreshHourBreakOf(const PlayHistory& history, const SongFacts& song,
                                          const std::vector<std::string>& keys, int64_t start,
                                          int days) {
    const auto hourOf = [](int64_t seconds) {
        return seconds >= 0 ? seconds / 3600 : (seconds - 3599) / 3600;
    };
    const int64_t hour = hourOf(start);
    int64_t latest = -1;
    for (const std::string& key : keys) {
        const std::vector<size_t>* played =
            history.Title(TitleKey(key, song.title, history.Matching()));
        if (played == nullptr) continue;
        for (const size_t at : *played) {
            const int64_t back = hour - hourOf(history.Entries()[at].start);
            if (back <= 0 || back % 24 != 0 || back / 24 > days) continue;
            latest = latest < 0 ? back : std::min(latest, back);
        }
    }
    if (latest < 0) return std::nullopt;
    RuleBreak brk = Break(Rule::FreshHour, song.title, latest * 3600, int64_t{days} * 86400);
    brk.artist = song.artist;
    return brk;
}

}  // namespace

std::optional<RuleBreak> FirstBreak(const RuleSet& rules, const PlayHistory& history,
                                    const SongFacts& song, int64_t start) {
    const ArtistMatching matching = history.Matching();
    const std::vector<std::string> keys = ArtistKeys(song.artist, matching);
    if (rules.artistWindow > 0) {
        std::vector<const std::vector<size_t>*> lists;
        for (const std::string& key : keys) lists.push_back(history.Artist(key));
        if (const auto elapsed = LatestWithin(lists, history, start, rules.artistWindow))
            return Break(Rule::Artist, song.artist, *elapsed, rules.artistWindow);
    }
    if (rules.titleWindow > 0) {
        std::vector<const std::vector<size_t>*> lists;
        for (const std::string& key : keys)
            lists.push_back(history.Title(TitleKey(key, song.title, matching)));
        if (const auto elapsed = LatestWithin(lists, history, start, rules.titleWindow)) {
            RuleBreak brk = Break(Rule::Title, song.title, *elapsed, rules.titleWindow);
            brk.artist = song.artist;
            return brk;
        }
    }
    const std::string album = CompareForm(song.album, matching);
    if (rules.albumWindow > 0 && !album.empty()) {
        if (const auto elapsed =
                LatestWithin({history.Album(album)}, history, start, rules.albumWindow))
            return Break(Rule::Album, song.album, *elapsed, rules.albumWindow);
    }
    if (rules.performanceComplement) {
        if (auto brk = ComplementBreakOf(history, song, keys, start)) return brk;
    }
    if (rules.genre && history.Size() > 0) {
        const std::string& last = history.Entries().back().song.genre;
        if (!last.empty() && last == song.genre) return Break(Rule::Genre, song.genre, -1, 0);
    }
    if (rules.hourDays > 0) {
        if (auto brk = FreshHourBreakOf(history, song, keys, start, rules.hourDays)) return brk;
    }
    return std::nullopt;
}

}  // namespace kestrune
