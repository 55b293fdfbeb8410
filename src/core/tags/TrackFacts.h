#pragma once
// What a tag library tells about one audio file: its tags as UTF-8 text and, for the formats
// our own MPEG reader does not read, its playing time and audio properties.

#include <cstdint>
#include <optional>
#include <string>

namespace kestrune {

// Several values of one field (ID3v2.4 and other formats allow them) read as one text.
inline constexpr const char* kTagValueSeparator = " / ";

// The tag fields a station uses. A field the tag does not have stays empty (nullopt), so that
// the next tag in line may give it.
struct TagFields {
    std::optional<std::string> title;
    std::optional<std::string> artist;
    std::optional<std::string> album;
    std::optional<std::string> year;
    std::optional<std::string> comment;
    std::optional<std::string> genre;  // as written: "(17)", "(17)Rock", "17", "Rock", free text
    std::optional<std::string> track;  // "7", "7/12"
    std::optional<std::string> isrc;   // the recording's code, "USRC17607839", for royalty reports
    std::optional<std::string> label;  // the record label (ID3v2's publisher)

    bool Empty() const {
        return !title && !artist && !album && !year && !comment && !genre && !track && !isrc &&
               !label;
    }
};

struct TrackFacts {
    TagFields tags;
    std::string tagSource;  // the tag the fields come from: "ID3v2.4", "Xiph", "MP4", ...
    int64_t durationMs = 0;
    int32_t sampleRate = 0;  // Hz
    int32_t bitRate = 0;     // kbit/s
    int32_t channels = 0;
};

}  // namespace kestrune
