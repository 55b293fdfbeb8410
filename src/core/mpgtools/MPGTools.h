#pragma once
// The MP3 reader: finds the first pair of MPEG audio frames of a file, decodes the frame header,
// works out the playing time (also of variable-bit-rate files with a Xing header) and reads the
// ID3v1 tag at the end of the file. It never throws: a file it cannot read is reported through
// ErrorCallback and leaves fallback values behind.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "mpgtools/GenreNames.h"
#include "mpgtools/ReadWindow.h"
#include "mpgtools/ReaderHooks.h"

namespace kestrune {

class RandomAccessFile;

// Capacities of the texts of TMPEGFileInfo, in single-byte characters. The reader cuts every
// text it stores to these; longer values are never rejected.
inline constexpr size_t kHeaderCapacity = 3;
inline constexpr size_t kTitleCapacity = 30;
inline constexpr size_t kArtistCapacity = 30;
inline constexpr size_t kAlbumCapacity = 30;
inline constexpr size_t kYearCapacity = 4;
inline constexpr size_t kCommentCapacity = 30;
inline constexpr size_t kFileNameCapacity = 255;
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
    std::string FileName;      // full path
    int32_t FileDateTime = 0;  // last change, packed DOS form; -1 when the system gives none
    uint16_t FileAttr = 0;     // DOS attribute bits
    std::string VolumeLabel;
};

// Cuts a tag text at its first NUL, then drops trailing blanks and NULs. Leading blanks stay.
std::string TrimTagText(std::string_view text);

// Days since 1899-12-30 with the time of day as fraction, from a packed DOS date stamp;
// 0 when the stamp is 0 or names no real date and time.
double DosDateTimeToDateTime(int32_t dosDateTime);

class TMPEGAudio {
public:
    using TErrorCallback = std::function<uint16_t(const TMPEGFileInfo&)>;

    TMPEGAudio();

    TMPEGFileInfo MPEGFileInfo;
    int32_t SearchLimit = 0;  // the frame search stops past this byte; 0 = whole file
    std::string DefaultArtist = "Unknown Artist";
    std::string DefaultTitle = "Unknown Title";
    bool AutoLoad = true;  // SetFileName runs Load
    TErrorCallback ErrorCallback = ShowOpenError;
    int32_t HeaderPosition = 0;  // offset of the first header of the accepted pair

    // Stores the name (cut to 255 characters) and, when AutoLoad, loads the file.
    void SetFileName(std::string_view fileName);
    const std::string& GetFileName() const { return MPEGFileInfo.FileName; }

    // 0 when a pair of valid frames was found (or the file has 5 bytes or fewer); -1 when the
    // file is missing, holds no such pair or cannot be read; the system's error code when it
    // cannot be opened. A non-zero result is replaced by ErrorCallback's answer, and an answer
    // of 4 (Retry) runs the attempt again.
    int32_t Load();

    void ResetInfo();

    // Decodes a big-endian frame header into MPEGFileInfo's header fields, Duration and
    // FrameLength; answers IsValid.
    bool DecodeFrameHeader(uint32_t header);
    bool IsValid() const;

    bool HasTag() const;
    std::string GetArtist() const;
    std::string GetTitle() const;
    std::string GetGenreText() const;

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
    int32_t FrameSearch(int64_t fileSize);
    // Crosses bytes after an invalid header until a valid one or a stop; false on a failed read.
    bool ScanForHeader(int64_t fileSize, int64_t& position, uint32_t& header);
    int32_t ReadXing(int64_t headerPosition);
    bool ReadTag();
    void ClearHeaderFields();
    void ResetKeepingFile();

    ReadWindow window_;
};

}  // namespace kestrune
