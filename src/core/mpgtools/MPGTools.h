#pragma once
// The audio file reader: finds the first pair of MPEG audio frames of a file (after any ID3v2
// tags), decodes the frame header, works out the playing time of the audio alone (also of
// variable-bit-rate files with a Xing header) and takes the tags: ID3v2, then APEv2, then ID3v1,
// as UTF-8. Files of the other formats a station holds (FLAC, Ogg, MP4, WAV, AIFF) get their
// playing time and tags from the setup's tag reader. It never throws: a file it cannot read is
// reported through ErrorCallback and leaves fallback values behind.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "mpgtools/AudioBounds.h"
#include "mpgtools/FrameCount.h"
#include "mpgtools/ReadWindow.h"
#include "mpgtools/ReaderSetup.h"
#include "tags/AudioFormat.h"
#include "tags/GenreNames.h"
#include "tags/TrackFacts.h"

namespace kestrune {

class RandomAccessFile;

// Capacities of the texts of TMPEGFileInfo as an ID3v1 tag fills them, in characters. Texts
// from the other tags keep their full length; longer values are never rejected.
inline constexpr size_t kHeaderCapacity = 3;
inline constexpr size_t kTitleCapacity = 30;
inline constexpr size_t kArtistCapacity = 30;
inline constexpr size_t kAlbumCapacity = 30;
inline constexpr size_t kYearCapacity = 4;
inline constexpr size_t kCommentCapacity = 30;
inline constexpr size_t kVolumeLabelCapacity = 20;

// Everything known about the current file. A new record is all zero and empty; ResetInfo
// gives the values of a file not (yet) understood.
struct TMPEGFileInfo {
    std::string Header;  // "TAG" when an ID3v1 tag was read
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;  // four characters exactly as stored
    std::string Comment;
    uint8_t Genre = 0;
    uint8_t Track = 0;
    uint16_t Duration = 0;   // playing time in seconds
    int32_t FileLength = 0;  // file size in bytes
    uint8_t Version = 0;     // 1 = MPEG-1, 2 = MPEG-2, 3 = MPEG-2.5, 0 = unknown
    uint8_t Layer = 0;       // 1, 2, 3; 0 = unknown
    int32_t SampleRate = 0;  // Hz
    int32_t BitRate = 0;     // kbit/s; -1 for a file with a Xing header
    uint8_t Mode = 0;        // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    bool CopyrightBit = false;
    bool OriginalBit = false;
    bool ProtectionBit = false;  // header bit 16 is 1 (no checksum follows)
    bool Padding = false;
    uint16_t FrameLength = 0;  // bytes
    std::string FileName;      // full path, whatever its length
    int32_t FileDateTime = 0;  // last change, packed DOS form; -1 when the system gives none
    uint16_t FileAttr = 0;     // DOS attribute bits
    std::string VolumeLabel;
    // Beyond the fields of old: the tag, where the audio lies and its exact length.
    std::string GenreName;   // the genre as a tag other than ID3v1 writes it; else empty
    std::string TagSource;   // "ID3v2.3", "ID3v2.4", "APEv2", "ID3v1", ... or "none"
    int64_t AudioStart = 0;  // the first frame's offset
    int64_t AudioBytes = 0;  // from the first frame to the end of the audio
    int64_t DurationMs = 0;  // playing time in milliseconds
    std::string Format;      // "MP3", "FLAC", ...; empty when the file was not understood
    std::string Problem;     // why the file has no playing time; empty when it has one
    // For royalty reports; empty when no tag names them (ID3v1 has no room for either).
    std::string Isrc;
    std::string Label;
};

// Cuts a tag text at its first NUL, then drops trailing blanks and NULs. Leading blanks stay.
std::string TrimTagText(std::string_view text);

// Days since 1899-12-30 with the time of day as fraction, from a packed DOS date stamp;
// 0 when the stamp is 0 or names no real date and time.
double DosDateTimeToDateTime(int32_t dosDateTime);

class TMPEGAudio {
public:
    using TErrorCallback = std::function<uint16_t(const TMPEGFileInfo&)>;

    // Without a setup: ID3v1 tags and MPEG audio only; a failed file is ignored.
    TMPEGAudio();
    explicit TMPEGAudio(ReaderSetup setup);

    TMPEGFileInfo MPEGFileInfo;
    int32_t SearchLimit = 0;  // the frame search stops past this byte; 0 = whole file
    std::string DefaultArtist = "Unknown Artist";
    std::string DefaultTitle = "Unknown Title";
    bool AutoLoad = true;  // SetFileName runs Load
    // Asks the setup's question about the file by default.
    TErrorCallback ErrorCallback;
    int32_t HeaderPosition = 0;  // offset of the first header of the accepted pair

    // Stores the name and, when AutoLoad, loads the file.
    void SetFileName(std::string_view fileName);
    const std::string& GetFileName() const { return MPEGFileInfo.FileName; }

    // 0 when a pair of valid frames was found or another format was timed; -1 when the file is
    // missing, empty (5 bytes or fewer), holds no such pair, is in a format no reader here can
    // time, or cannot be read (Problem says which); the system's error code when it
    // cannot be opened. A non-zero result is replaced by ErrorCallback's answer, and an answer
    // of 4 (Retry) runs the attempt again.
    int32_t Load();

    void ResetInfo();

    // Decodes a big-endian frame header into MPEGFileInfo's header fields, Duration and
    // FrameLength; answers IsValid.
    bool DecodeFrameHeader(uint32_t header);
    bool IsValid() const;

    // True when a tag was read: an ID3v1 tag, or another that gave at least one field.
    bool HasTag() const;
    std::string GetArtist() const;
    std::string GetTitle() const;
    std::string GetGenreText() const;
    // What the file's tag itself says, for playlists that other programs show: empty where the
    // file has no such tag field, never a placeholder ("[notag]", "Unknown Artist").
    std::string TaggedArtist() const;
    std::string TaggedTitle() const;
    std::string TaggedAlbum() const;

    // There are no 8.3 names here: always the text of a failed conversion.
    std::string GetShortFileName() const;
    // FileDateTime as days since 1899-12-30; 0 when there is none.
    double GetFileDateTime() const;
    std::string GetModeText() const;
    std::string GetLayerText() const;

    // System reads of the last load attempt (for tests and benchmarks).
    int LastReadCount() const { return window_.Reads(); }

private:
    int32_t Attempt(const std::string& givenName);
    int32_t ReadAudio(const RandomAccessFile& file, int64_t fileSize);
    int32_t ReadOtherFormat(const RandomAccessFile& file, AudioFormat format);
    // The search for a pair of frames from `start`; on success the rest of the file is read.
    int32_t FrameSearch(int64_t fileSize, int64_t start);
    int32_t FinishPair(int64_t fileSize, int64_t headerPosition);
    // Crosses bytes after an invalid header until a valid one or a stop; false on a failed read.
    bool ScanForHeader(int64_t fileSize, int64_t& position, uint32_t& header);
    int32_t ReadXing(int64_t headerPosition);
    int64_t XingOffset() const;
    // The frame count of a VBRI header in the first frame; nullopt when it has none (an Info
    // header sets infoFrame_).
    std::optional<uint32_t> FrameCountHeader(int64_t headerPosition, int64_t fileSize);
    // Whether the frames that end the audio (in memory with the file's end) have another bit
    // rate than the frames `seen` at its start.
    bool TailBitRateDiffers(uint32_t firstHeader, const FrameTally& seen, int64_t tailStart,
                            const TrailingTags& trailing) const;
    ByteFetcher HeldBytes() const;
    // Duration and DurationMs from the number of samples.
    void TakeSamples(int64_t samples);
    bool ReadTag();
    bool ReadTags(const TrailingTags& trailing);
    void TakeTags(const TagFields& fields, const std::string& source);
    void ClearHeaderFields();
    void ResetKeepingFile();

    ReaderSetup setup_;
    ReadWindow window_;
    std::string head_;      // the file's first bytes
    std::string id3v2Tag_;  // the leading ID3v2 tag without its pictures, for the tag reader
    // A tag was read but gave no artist (title): the accessors answer the defaults.
    bool artistMissing_ = false;
    bool titleMissing_ = false;
    bool albumMissing_ = false;
    bool infoFrame_ = false;  // the first frame is LAME's Info header, no audio
};

// Whole seconds of playing time, however long: Duration while it holds them (so that what is
// written stays as it was), else DurationMs rounded, where the 16 bits of Duration wrap.
int64_t PlayingSeconds(const TMPEGFileInfo& info);

}  // namespace kestrune
