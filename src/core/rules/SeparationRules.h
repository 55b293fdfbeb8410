#pragma once
// The separation rules themselves, free of files and windows: the songs heard lately, and the
// first rule a candidate would break if it were placed next. The builder asks; it does not
// decide. Nothing here throws.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "rules/RuleSettings.h"

namespace kestrune {

// What the rules know of one song.
struct SongFacts {
    int32_t seconds = 0;
    std::string artist;
    std::string title;
    std::string album;
    std::string genre;  // empty when not known (a song from an earlier run's history)
    bool operator==(const SongFacts&) const = default;
};

// The performance complement, in any three hours: at most three tracks of one album, two of them
// in a row; at most four by one artist, three of them in a row.
inline constexpr int64_t kComplementWindow = 3 * 3600;
inline constexpr int kComplementAlbumTracks = 3;
inline constexpr int kComplementAlbumRun = 2;
inline constexpr int kComplementArtistTracks = 4;
inline constexpr int kComplementArtistRun = 3;

struct RuleSet {
    // Windows in seconds of planned time; 0 or less turns the rule off.
    int64_t artistWindow = 0;
    int64_t titleWindow = 0;
    int64_t albumWindow = 0;
    bool performanceComplement = false;
    bool genre = false;  // not the same genre as the song before
    // A song not in a clock hour in which it played on any of so many days before (0: off).
    int hourDays = 0;
    ArtistMatching matching = ArtistMatching::Exact;

    // How far back any rule looks.
    int64_t LongestWindow() const;
    // These rules with every one not in `kept` turned off.
    RuleSet Only(const std::vector<Rule>& kept) const;
    bool AnyOn() const;
};

enum class ComplementLimit { None, AlbumCount, AlbumRun, ArtistCount, ArtistRun };

struct RuleBreak {
    Rule rule = Rule::Artist;
    std::string subject;   // the artist, title, album or genre as the song has it
    std::string artist;    // for a title: whose
    int64_t elapsed = -1;  // since the earlier song started; -1 when not known
    int64_t window = 0;    // the rule's window in seconds
    ComplementLimit limit = ComplementLimit::None;
    int count = 0;  // songs the complement would count with this one
    bool operator==(const RuleBreak&) const = default;
};

// "artist 'X' again after 1:12:00 (window 3 hours)" and the like.
std::string DescribeBreak(const RuleBreak& brk);
// The line the text log and the tool show: "Rule broken: " and the description.
std::string BreakLine(const RuleBreak& brk);
// Where in a playlist it happened: "song 12 at 0:43:10: Rule broken: ...", the song's number
// counted from 1 and its start from the start of the build.
std::string PlacedBreakLine(long long position, int64_t start, const RuleBreak& brk);

// Which of two breaks is the smaller one to accept when every candidate breaks a rule: a later
// rule in the order before an earlier one, then the one heard longer ago.
bool SmallerBreak(const RuleBreak& a, const RuleBreak& b);

// The songs placed lately, oldest first, each with its planned start in seconds; indexed by what
// the rules compare, so that a check costs about as much as the songs it finds.
class PlayHistory {
public:
    explicit PlayHistory(ArtistMatching matching = ArtistMatching::Exact) : matching_(matching) {}

    // Starts must not go back in time.
    void Add(const SongFacts& song, int64_t start);
    size_t Size() const { return entries_.size(); }
    ArtistMatching Matching() const { return matching_; }

    struct Entry {
        int64_t start = 0;
        SongFacts song;
        std::vector<std::string> artistKeys;
    };
    const std::vector<Entry>& Entries() const { return entries_; }

    // Indices of the entries under a key, oldest first.
    const std::vector<size_t>* Artist(const std::string& key) const { return Find(byArtist_, key); }
    const std::vector<size_t>* Title(const std::string& key) const { return Find(byTitle_, key); }
    const std::vector<size_t>* Album(const std::string& key) const { return Find(byAlbum_, key); }

private:
    using Index = std::unordered_map<std::string, std::vector<size_t>>;
    static const std::vector<size_t>* Find(const Index& index, const std::string& key);

    ArtistMatching matching_;
    std::vector<Entry> entries_;
    Index byArtist_;
    Index byTitle_;
    Index byAlbum_;
};

// The key under which a title by one of the artist keys is filed.
std::string TitleKey(const std::string& artistKey, const std::string& title,
                     ArtistMatching matching);

// The first rule, in the fixed order, that `song` would break if it started at `start` after the
// songs of the history; nothing when it keeps them all.
std::optional<RuleBreak> FirstBreak(const RuleSet& rules, const PlayHistory& history,
                                    const SongFacts& song, int64_t start);

}  // namespace kestrune
