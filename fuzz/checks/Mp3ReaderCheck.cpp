// The MP3 reader on a file's bytes: whatever the file holds, the reader answers 0 or asks its
// question, keeps every ID3v1 text within its capacity and in UTF-8, counts the audio between the
// tags, agrees with the plain byte-per-read model of the frame search, and a reused reader keeps
// nothing of the file before.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "FuzzChecks.h"
#include "Scratch.h"
#include "mpgtools/AudioBounds.h"
#include "mpgtools/FrameCount.h"
#include "mpgtools/MPGTools.h"
#include "mpgtools/ReaderSetup.h"
#include "support/Mp3Fixtures.h"
#include "tags/AudioFormat.h"
#include "tags/TagText.h"

namespace kestrune::fuzz {

namespace {

struct Load {
    int32_t result = 0;
    int questions = 0;
    long long pumps = 0;
    TMPEGFileInfo info;
    int32_t headerPosition = 0;
};

// A reader whose pump counts into `pumps`.
TMPEGAudio CountingReader(long long& pumps) {
    ReaderSetup setup;
    setup.pump = [&pumps] { ++pumps; };
    return TMPEGAudio(std::move(setup));
}

// One load of `path` by `reader`, whose pump counts into `pumps`; the question is answered
// Retry once when `retryOnce`, then Ignore.
Load LoadWith(TMPEGAudio& reader, long long& pumps, const std::string& path, int32_t searchLimit,
              bool retryOnce) {
    Load load;
    pumps = 0;
    reader.AutoLoad = false;
    reader.SearchLimit = searchLimit;
    reader.ErrorCallback = [&load, retryOnce](const TMPEGFileInfo&) -> uint16_t {
        ++load.questions;
        return static_cast<uint16_t>(retryOnce && load.questions == 1 ? 4 : 5);
    };
    reader.SetFileName(path);
    load.result = reader.Load();
    load.pumps = pumps;
    reader.ErrorCallback = nullptr;
    load.info = reader.MPEGFileInfo;
    load.headerPosition = reader.HeaderPosition;
    return load;
}

// ID3v1 texts become UTF-8, so their capacity counts characters.
std::string TextsWithinCapacity(const TMPEGFileInfo& info) {
    const struct {
        const char* name;
        const std::string& text;
        size_t capacity;
    } fields[] = {
        {"Header", info.Header, kHeaderCapacity}, {"Title", info.Title, kTitleCapacity},
        {"Artist", info.Artist, kArtistCapacity}, {"Album", info.Album, kAlbumCapacity},
        {"Year", info.Year, kYearCapacity},       {"Comment", info.Comment, kCommentCapacity},
    };
    for (const auto& field : fields) {
        if (Utf8Length(field.text) > field.capacity)
            return Finding("text over its capacity", field.name);
        if (!IsValidUtf8(field.text)) return Finding("text not UTF-8", field.name);
    }
    return {};
}

bool SameInfo(const TMPEGFileInfo& a, const TMPEGFileInfo& b) {
    return a.Header == b.Header && a.Title == b.Title && a.Artist == b.Artist &&
           a.Album == b.Album && a.Year == b.Year && a.Comment == b.Comment && a.Genre == b.Genre &&
           a.Track == b.Track && a.Duration == b.Duration && a.FileLength == b.FileLength &&
           a.Version == b.Version && a.Layer == b.Layer && a.SampleRate == b.SampleRate &&
           a.BitRate == b.BitRate && a.Mode == b.Mode && a.CopyrightBit == b.CopyrightBit &&
           a.OriginalBit == b.OriginalBit && a.ProtectionBit == b.ProtectionBit &&
           a.Padding == b.Padding && a.FrameLength == b.FrameLength && a.FileName == b.FileName &&
           a.FileDateTime == b.FileDateTime && a.FileAttr == b.FileAttr;
}

std::string CheckOneLoad(const Load& load, const std::string& bytes, int32_t searchLimit,
                         bool retryOnce) {
    const size_t size = bytes.size();
    if (std::string problem = TextsWithinCapacity(load.info); !problem.empty()) return problem;
    const int expectedRefusals = retryOnce ? 2 : 1;
    // Nothing to play, or an Ogg stream of a codec no reader here times: refused and asked about.
    const int64_t leading = LeadingTagsEnd(
        [&bytes](int64_t offset, size_t count) {
            if (offset < 0 || static_cast<size_t>(offset) + count > bytes.size())
                return std::string_view();
            return std::string_view(bytes).substr(static_cast<size_t>(offset), count);
        },
        static_cast<int64_t>(size));
    if (size <= 5 || SniffAudioFormat(std::string_view(bytes).substr(
                         static_cast<size_t>(leading), kSniffBytes)) == AudioFormat::Unknown) {
        if (load.result == 0 || load.questions != expectedRefusals || load.info.Problem.empty())
            return Finding("a file that cannot be timed was not refused");
        if (load.info.DurationMs != 0 || load.info.Duration != 0)
            return Finding("a refused file has a playing time");
        return {};
    }
    const testing::SearchOutcome model = testing::ReferenceSearch(bytes, searchLimit);
    const int expectedQuestions = model.result == 0 ? 0 : (retryOnce ? 2 : 1);
    if (load.questions != expectedQuestions)
        return Finding("questions asked", std::to_string(load.questions) + ", the model says " +
                                              std::to_string(expectedQuestions));
    if ((load.result == 0) != (model.result == 0))
        return Finding("result differs from the model", std::to_string(load.result));
    if (model.result != 0 && load.result != 5) return Finding("the answer Ignore was not kept");
    if (load.headerPosition != model.headerPosition)
        return Finding("header position differs from the model",
                       std::to_string(load.headerPosition) + " against " +
                           std::to_string(model.headerPosition));
    // A retried attempt crosses the file again, so the user interface is served twice.
    const long long expectedPumps = model.pumps * (model.result != 0 && retryOnce ? 2 : 1);
    if (load.pumps != expectedPumps)
        return Finding("user interface served " + std::to_string(load.pumps) + " times",
                       "the model says " + std::to_string(expectedPumps));
    if (load.info.FileLength != static_cast<int32_t>(size) && load.result == 0)
        return Finding("file length");
    if (load.result == 0) {
        const TMPEGFileInfo& info = load.info;
        if (info.Version < 1 || info.Version > 3 || info.Layer < 1 || info.Layer > 3 ||
            info.SampleRate <= 0 || (info.BitRate <= 0 && info.BitRate != -1))
            return Finding("an accepted file without a valid header");
        const auto fileSize = static_cast<int64_t>(size);
        const int64_t start = load.headerPosition;
        const bool tagged =
            size > 128 && fileSize - start >= 128 && bytes.compare(size - 128, 3, "TAG") == 0;
        if ((info.Header == "TAG") != tagged) return Finding("tag found where there is none");
        if (info.AudioStart != start) return Finding("audio start is not the first frame");
        const TrailingTags trailing = FindTrailingTags(
            [&bytes, fileSize](int64_t offset, size_t count) {
                if (offset < 0 || offset + static_cast<int64_t>(count) > fileSize)
                    return std::string_view();
                return std::string_view(bytes).substr(static_cast<size_t>(offset), count);
            },
            fileSize, start);
        if (trailing.audioEnd < start || trailing.audioEnd > fileSize ||
            info.AudioBytes != trailing.audioEnd - start)
            return Finding("audio bytes");
        // Timed by its frames (a variable bit rate without Xing header, or a LAME Info header):
        // the count over the whole file, read at once, agrees with the reader's windowed one.
        const FrameTally counted = CountFrames(
            [&bytes](int64_t offset, size_t count) {
                if (offset < 0 || static_cast<size_t>(offset) >= bytes.size())
                    return std::string_view();
                return std::string_view(bytes).substr(static_cast<size_t>(offset), count);
            },
            start, trailing.audioEnd);
        const int64_t countedMs = info.SampleRate > 0
                                      ? (counted.samples * 1000 * 2 + info.SampleRate) /
                                            (2 * static_cast<int64_t>(info.SampleRate))
                                      : -1;
        const bool byFrames = info.BitRate > 0 && std::llabs(info.DurationMs - countedMs) <= 1;
        const bool infoHeader =
            bytes.find("Info", static_cast<size_t>(start)) < static_cast<size_t>(start) + 40;
        if (info.BitRate > 0 && !byFrames && !infoHeader) {
            // Rounded to the nearest second (a tie rounds to even, which this cannot tell).
            const int64_t bits = info.AudioBytes * 8;
            const int64_t rate = static_cast<int64_t>(info.BitRate) * 1000;
            const int64_t low = bits / rate;
            const int64_t rest = bits % rate;
            const int64_t seconds = 2 * rest > rate ? low + 1 : (2 * rest < rate ? low : -1);
            if (seconds >= 0 && info.Duration != static_cast<uint16_t>(seconds))
                return Finding("constant-bit-rate playing time");
        }
    }
    return {};
}

}  // namespace

std::string CheckMp3Reader(std::string_view input) {
    const std::string bytes(input);
    const std::string path = ScratchPath("input.mp3");
    PutFile(path, bytes);
    // The file's own bytes choose the variations, so that a saved input repeats exactly.
    uint32_t hash = 2166136261u;
    for (const char c : bytes) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
    const bool retryOnce = (hash & 1) != 0;

    long long pumps = 0;
    TMPEGAudio reader = CountingReader(pumps);
    const Load first = LoadWith(reader, pumps, path, 0, retryOnce);
    if (std::string problem = CheckOneLoad(first, bytes, 0, retryOnce); !problem.empty())
        return problem;
    // The accessors answer for whatever the load left.
    if (Utf8Length(reader.GetArtist()) > kArtistCapacity ||
        Utf8Length(reader.GetTitle()) > kTitleCapacity || reader.GetGenreText().empty() ||
        reader.GetLayerText().empty())
        return Finding("accessor texts");
    (void)reader.GetFileDateTime();
    (void)reader.GetModeText();

    // A search that stops part-way through the file.
    const auto limit = static_cast<int32_t>((hash >> 1) % (bytes.size() + 1));
    TMPEGAudio limited = CountingReader(pumps);
    const Load stopped = LoadWith(limited, pumps, path, limit, false);
    if (std::string problem = CheckOneLoad(stopped, bytes, limit, false); !problem.empty())
        return Finding("with a search limit of " + std::to_string(limit), problem);

    // The first reader again: an earlier file leaves nothing behind.
    const Load again = LoadWith(reader, pumps, path, 0, retryOnce);
    if (!SameInfo(first.info, again.info) || first.result != again.result ||
        first.headerPosition != again.headerPosition)
        return Finding("a reused reader answers differently");
    return {};
}

}  // namespace kestrune::fuzz
