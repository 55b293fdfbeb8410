// The tags of an MP3 file: ID3v1 on its own where the library settings ask for it, else ID3v1,
// APEv2 and ID3v2 merged, the newest that has a field giving it; and what the reader answers of
// them.

#include <utility>

#include "mpgtools/MPGTools.h"
#include "mpgtools/TagFieldText.h"
#include "platform/Paths.h"
#include "tags/Id3v2TextFrames.h"
#include "tags/TagText.h"

namespace kestrune {

std::string TrimTagText(std::string_view text) {
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\0')) --end;
    return std::string(text.substr(0, end));
}

bool TMPEGAudio::ReadTags(const TrailingTags& trailing) {
    TMPEGFileInfo& info = MPEGFileInfo;
    if (setup_.library.id3v1Only) {
        if (!ReadTag()) return false;
        if (HasTag()) info.TagSource = "ID3v1";
        return true;
    }
    TagFields id3v1;
    if (trailing.id3v1) {
        const uint8_t* raw =
            window_.Fetch(static_cast<int64_t>(info.FileLength) - static_cast<int64_t>(kId3v1TagSize),
                          kId3v1TagSize, kId3v1TagSize);
        if (raw == nullptr) return false;
        const std::string_view tag(reinterpret_cast<const char*>(raw), kId3v1TagSize);
        id3v1.title = TrimTagText(tag.substr(3, 30));
        id3v1.artist = TrimTagText(tag.substr(33, 30));
        id3v1.album = TrimTagText(tag.substr(63, 30));
        id3v1.year = std::string(tag.substr(93, 4));
        id3v1.comment = TrimTagText(tag.substr(97, 30));
        for (auto* text : {&id3v1.title, &id3v1.artist, &id3v1.album, &id3v1.year, &id3v1.comment})
            **text = Latin1ToUtf8UnlessUtf8(**text);
        info.Track = raw[126];
        info.Genre = raw[127];
    }
    TagFields fromId3v2;
    TagFields fromApe;
    std::string id3v2Version;
    // The common tag is read here; the tag library gets the rest.
    std::string_view id3v2ForLibrary = id3v2Tag_;
    if (ReadId3v2TextFrames(id3v2Tag_, fromId3v2, id3v2Version)) id3v2ForLibrary = {};
    TagReader* reader = setup_.tags.get();
    if (reader != nullptr && (!id3v2ForLibrary.empty() || trailing.apeStart >= 0)) {
        std::string_view ape;
        if (trailing.apeStart >= 0) {
            const auto size = static_cast<size_t>(trailing.apeSize);
            const uint8_t* bytes = window_.Fetch(trailing.apeStart, size, size);
            if (bytes == nullptr) return false;
            ape = std::string_view(reinterpret_cast<const char*>(bytes), size);
        }
        // A tag the library cannot make sense of gives nothing; the others still count.
        (void)reader->ReadMp3Tags(id3v2ForLibrary, ape, fromId3v2, id3v2Version, fromApe);
    }
    // The first tag that has a field gives it. ID3v1's year stays exactly as stored.
    for (TagFields* fields : {&fromId3v2, &fromApe}) {
        if (fields->year) fields->year = TagYear(*fields->year);
    }
    TagFields merged = id3v1;
    std::string source = trailing.id3v1 ? "ID3v1" : "";
    for (const auto& [fields, name] :
         {std::pair<const TagFields&, std::string>{fromApe, "APEv2"}, {fromId3v2, id3v2Version}}) {
        if (fields.Empty()) continue;
        source = name;
        for (auto member :
             {&TagFields::title, &TagFields::artist, &TagFields::album, &TagFields::year,
              &TagFields::comment, &TagFields::genre, &TagFields::track, &TagFields::isrc,
              &TagFields::label}) {
            if (fields.*member) merged.*member = fields.*member;
        }
    }
    TakeTags(merged, source);
    return true;
}

void TMPEGAudio::TakeTags(const TagFields& fields, const std::string& source) {
    TMPEGFileInfo& info = MPEGFileInfo;
    // Without a title from a tag the file's name stands in, as for a file without ID3v1 tag.
    if (!fields.title) Assign(info.Title, ExtractFileName(info.FileName), kTitleCapacity);
    if (source.empty() || fields.Empty()) return;
    info.Header = "TAG";
    info.TagSource = source;
    artistMissing_ = !fields.artist;
    titleMissing_ = !fields.title;
    albumMissing_ = !fields.album;
    if (fields.title) info.Title = *fields.title;
    if (fields.artist) info.Artist = *fields.artist;
    if (fields.album) info.Album = *fields.album;
    if (fields.year) info.Year = *fields.year;
    if (fields.comment) info.Comment = *fields.comment;
    if (fields.isrc) info.Isrc = *fields.isrc;
    if (fields.label) info.Label = *fields.label;
    if (fields.track) info.Track = TrackOf(*fields.track);
    if (fields.genre) {
        const Genre genre = ParseGenre(*fields.genre);
        info.Genre = genre.code;
        info.GenreName = genre.name;
    }
}

bool TMPEGAudio::ReadTag() {
    TMPEGFileInfo& info = MPEGFileInfo;
    const uint8_t* raw = window_.Fetch(
        static_cast<int64_t>(info.FileLength) - static_cast<int64_t>(kId3v1TagSize), kId3v1TagSize, kId3v1TagSize);
    if (raw == nullptr) return false;
    const std::string_view tag(reinterpret_cast<const char*>(raw), kId3v1TagSize);
    if (tag.substr(0, 3) != "TAG") {
        Assign(info.Title, ExtractFileName(info.FileName), kTitleCapacity);
        return true;
    }
    Assign(info.Header, TrimTagText(tag.substr(0, 3)), kHeaderCapacity);
    Assign(info.Title, TrimTagText(tag.substr(3, 30)), kTitleCapacity);
    Assign(info.Artist, TrimTagText(tag.substr(33, 30)), kArtistCapacity);
    Assign(info.Album, TrimTagText(tag.substr(63, 30)), kAlbumCapacity);
    Assign(info.Year, tag.substr(93, 4), kYearCapacity);
    Assign(info.Comment, TrimTagText(tag.substr(97, 30)), kCommentCapacity);
    info.Track = raw[126];
    info.Genre = raw[127];
    return true;
}

bool TMPEGAudio::HasTag() const {
    return MPEGFileInfo.Header == "TAG";
}

std::string TMPEGAudio::GetArtist() const {
    if (HasTag() && !artistMissing_) return MPEGFileInfo.Artist;
    if (!DefaultArtist.empty()) return Cut(DefaultArtist, kArtistCapacity);
    return Cut(MPEGFileInfo.Artist, kArtistCapacity);
}

std::string TMPEGAudio::GetTitle() const {
    if (HasTag() && !titleMissing_) return MPEGFileInfo.Title;
    if (!DefaultTitle.empty()) return Cut(DefaultTitle, kTitleCapacity);
    return Cut(MPEGFileInfo.Title, kTitleCapacity);
}

std::string TMPEGAudio::TaggedArtist() const {
    return HasTag() && !artistMissing_ ? MPEGFileInfo.Artist : std::string();
}

std::string TMPEGAudio::TaggedTitle() const {
    return HasTag() && !titleMissing_ ? MPEGFileInfo.Title : std::string();
}

std::string TMPEGAudio::TaggedAlbum() const {
    return HasTag() && !albumMissing_ ? MPEGFileInfo.Album : std::string();
}

std::string TMPEGAudio::GetGenreText() const {
    if (!MPEGFileInfo.GenreName.empty()) return MPEGFileInfo.GenreName;
    if (MPEGFileInfo.Genre < kGenreCount) return std::string(GenreNames[MPEGFileInfo.Genre]);
    return "Unknown";
}

}  // namespace kestrune
