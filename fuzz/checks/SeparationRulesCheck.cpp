// The separation rules on a history and a candidate made from the input's bytes, against a plain
// model that walks every song heard: the first break (rule, subject, age, count) must be the same.

#include <algorithm>
#include <optional>

#include "FuzzChecks.h"
#include "Scratch.h"
#include "rules/ArtistNames.h"
#include "rules/SeparationRules.h"

namespace kestrune::fuzz {

namespace {

// Few short names, so that songs meet often; loose forms of each other among them.
const char* const kArtists[] = {"Ana",          "ana ",    "The Ana", "Bo",
                                "Ana feat. Bo", "Cy & Di", "Di",      ""};
const char* const kTitles[] = {"One", "one", "Two", ""};
const char* const kAlbums[] = {"", "Hits", " hits", "Live"};
const char* const kGenres[] = {"Pop", "Rock", ""};

struct Input {
    std::string_view bytes;
    size_t at = 0;
    int Next(int range) {
        return at < bytes.size() ? static_cast<unsigned char>(bytes[at++]) % range : 0;
    }
};

SongFacts SongFrom(Input& in) {
    return SongFacts{60 * (1 + in.Next(8)), kArtists[in.Next(8)], kTitles[in.Next(4)],
                     kAlbums[in.Next(4)], kGenres[in.Next(3)]};
}

struct Heard {
    int64_t start;
    SongFacts song;
};

bool Shares(const std::string& a, const std::string& b, ArtistMatching m) {
    for (const std::string& x : ArtistKeys(a, m))
        for (const std::string& y : ArtistKeys(b, m))
            if (x == y) return true;
    return false;
}

// Every rule by walking all the songs heard, newest first.
std::optional<RuleBreak> Model(const RuleSet& rules, const std::vector<Heard>& heard,
                               const SongFacts& song, int64_t start) {
    const ArtistMatching m = rules.matching;
    auto latest = [&](int64_t window, auto&& same) -> std::optional<int64_t> {
        if (window <= 0) return std::nullopt;
        for (auto it = heard.rbegin(); it != heard.rend(); ++it)
            if (same(it->song) && start - it->start <= window) return start - it->start;
        return std::nullopt;
    };
    RuleBreak brk;
    brk.subject = song.artist;
    if (auto age = latest(rules.artistWindow,
                          [&](const SongFacts& s) { return Shares(s.artist, song.artist, m); })) {
        brk.elapsed = *age;
        brk.window = rules.artistWindow;
        return brk;
    }
    if (auto age = latest(rules.titleWindow, [&](const SongFacts& s) {
            return Shares(s.artist, song.artist, m) &&
                   CompareForm(s.title, m) == CompareForm(song.title, m);
        })) {
        brk.rule = Rule::Title;
        brk.subject = song.title;
        brk.artist = song.artist;
        brk.elapsed = *age;
        brk.window = rules.titleWindow;
        return brk;
    }
    const std::string album = CompareForm(song.album, m);
    auto sameAlbum = [&](const SongFacts& s) {
        return !album.empty() && CompareForm(s.album, m) == album;
    };
    if (auto age = latest(rules.albumWindow, sameAlbum)) {
        brk.rule = Rule::Album;
        brk.subject = song.album;
        brk.elapsed = *age;
        brk.window = rules.albumWindow;
        return brk;
    }
    if (rules.performanceComplement) {
        auto within = [&](const Heard& h) { return start - h.start <= kComplementWindow; };
        auto complement = [&](ComplementLimit limit, const std::string& subject, int count) {
            RuleBreak c;
            c.rule = Rule::PerformanceComplement;
            c.subject = subject;
            c.window = kComplementWindow;
            c.limit = limit;
            c.count = count;
            return c;
        };
        auto count = [&](auto&& same) {
            return 1 +
                   static_cast<int>(std::count_if(heard.begin(), heard.end(), [&](const Heard& h) {
                       return within(h) && same(h.song);
                   }));
        };
        auto run = [&](auto&& same) {
            int n = 1;
            for (auto it = heard.rbegin(); it != heard.rend() && within(*it) && same(it->song);
                 ++it)
                ++n;
            return n;
        };
        auto sameArtist = [&](const SongFacts& s) { return Shares(s.artist, song.artist, m); };
        if (!album.empty()) {
            if (count(sameAlbum) > kComplementAlbumTracks)
                return complement(ComplementLimit::AlbumCount, song.album, count(sameAlbum));
            if (run(sameAlbum) > kComplementAlbumRun)
                return complement(ComplementLimit::AlbumRun, song.album, run(sameAlbum));
        }
        if (count(sameArtist) > kComplementArtistTracks)
            return complement(ComplementLimit::ArtistCount, song.artist, count(sameArtist));
        if (run(sameArtist) > kComplementArtistRun)
            return complement(ComplementLimit::ArtistRun, song.artist, run(sameArtist));
    }
    if (rules.genre && !heard.empty() && !heard.back().song.genre.empty() &&
        heard.back().song.genre == song.genre) {
        RuleBreak genre;
        genre.rule = Rule::Genre;
        genre.subject = song.genre;
        return genre;
    }
    return std::nullopt;
}

}  // namespace

std::string CheckSeparationRules(std::string_view bytes) {
    Input in{bytes};
    RuleSet rules;
    rules.matching = in.Next(2) ? ArtistMatching::Loose : ArtistMatching::Exact;
    rules.artistWindow = 600 * in.Next(4);
    rules.titleWindow = 900 * in.Next(4);
    rules.albumWindow = 1200 * in.Next(3);
    rules.performanceComplement = in.Next(2) == 1;
    rules.genre = in.Next(2) == 1;
    PlayHistory history(rules.matching);
    std::vector<Heard> heard;
    int64_t start = 1000000;
    // Each step: a candidate checked both ways, then placed.
    while (in.at < bytes.size() && heard.size() < 400) {
        const SongFacts song = SongFrom(in);
        start += 60 * in.Next(3);  // a gap, as between builds
        const auto fast = FirstBreak(rules, history, song, start);
        const auto plain = Model(rules, heard, song, start);
        if (fast != plain)
            return Finding("the rules and the plain model disagree",
                           (fast ? DescribeBreak(*fast) : "none") + " / " +
                               (plain ? DescribeBreak(*plain) : "none"));
        history.Add(song, start);
        heard.push_back({start, song});
        start += song.seconds;
    }
    return {};
}

}  // namespace kestrune::fuzz
