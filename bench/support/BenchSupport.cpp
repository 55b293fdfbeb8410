#include "BenchSupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unordered_set>

#include "Mp3Synth.h"
#include "SparseSong.h"
#include "platform/Files.h"

namespace kestrune::bench {

namespace fs = std::filesystem;

namespace {

void Fail(const std::string& what) {
    throw std::runtime_error(what);
}

// A song-sized file whose middle is a hole: `head` at the start, `tail` at the end.
void WriteHoledFile(const std::string& path, const std::string& head, const std::string& tail,
                    int64_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fail("cannot create " + path);
    const int64_t tailAt = std::max<int64_t>(size - static_cast<int64_t>(tail.size()),
                                             static_cast<int64_t>(head.size()));
    const bool ok =
        ::pwrite(fd, head.data(), head.size(), 0) == static_cast<ssize_t>(head.size()) &&
        ::pwrite(fd, tail.data(), tail.size(), tailAt) == static_cast<ssize_t>(tail.size());
    ::close(fd);
    if (!ok) Fail("cannot write " + path);
}

synth::Id3v1Tag TagFor(int i) {
    synth::Id3v1Tag tag;
    tag.title = "Song number " + std::to_string(i);
    tag.artist = "Artist " + std::to_string(i % 997);
    tag.album = "Album " + std::to_string(i % 1301);
    tag.year = std::to_string(1960 + i % 60);
    tag.comment = "bench";
    tag.track = static_cast<uint8_t>(1 + i % 20);
    tag.genre = static_cast<uint8_t>((i * 7) % 126);
    return tag;
}

std::string FolderOf(const std::string& folder, int i, int perFolder) {
    return folder + "/part" + std::to_string(i / perFolder);
}

// Stereo 16-bit little-endian PCM at 44,100 Hz: two tones under noise.
std::string Pcm(int seconds) {
    const int samples = 44100 * seconds;
    std::string pcm(static_cast<size_t>(samples) * 4, '\0');
    uint32_t state = 20261208;
    for (int i = 0; i < samples; ++i) {
        state = state * 1664525u + 1013904223u;
        const int noise = static_cast<int>(state >> 20) - 2048;
        const int left = ((i / 50) % 2 == 0 ? 6000 : -6000) + noise;
        const int right = ((i / 73) % 2 == 0 ? 5000 : -5000) - noise;
        for (int c = 0; c < 2; ++c) {
            const auto value = static_cast<int16_t>(c == 0 ? left : right);
            pcm[static_cast<size_t>(4 * i + 2 * c)] = static_cast<char>(value & 0xFF);
            pcm[static_cast<size_t>(4 * i + 2 * c + 1)] = static_cast<char>((value >> 8) & 0xFF);
        }
    }
    return pcm;
}

}  // namespace

ScratchFolder::ScratchFolder(const std::string& label) {
    const char* base = std::getenv("KESTRUNE_BENCH_DIR");
    const std::string parent =
        base != nullptr && *base != '\0' ? std::string(base) : fs::temp_directory_path().string();
    fs::create_directories(parent);
    std::string pattern = parent + "/kestrune-" + label + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) Fail("cannot make a folder in " + parent);
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    // The one script keeps every benchmark's files until all have run: removing tens of
    // thousands of files makes some file systems slow to create new ones for a while after,
    // which would fall on the next benchmark.
    const char* keep = std::getenv("KESTRUNE_BENCH_KEEP");
    if (keep != nullptr && *keep != '\0' && *keep != '0') return;
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::vector<std::string> MakeGeneratedSongs(const std::string& folder, int count, int perFolder) {
    static const int kBitRates[] = {9, 10, 11, 13, 14};  // 128, 160, 192, 256, 320 kbit/s
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        if (i % perFolder == 0) fs::create_directories(FolderOf(folder, i, perFolder));
        synth::FileLayout layout;
        layout.frames = 3;
        layout.frame.mode = i % 3 == 0 ? synth::kStereo : synth::kJointStereo;
        layout.frame.bitRateIndex = kBitRates[i % 5];
        if (i % 20 == 11) {
            layout.frame.version = synth::Version::Mpeg2;  // 22,050 Hz
            layout.frame.bitRateIndex = 8;                 // 64 kbit/s
            layout.frame.mode = synth::kSingleChannel;
        }
        const bool spot = i % 10 == 5;
        const int seconds = spot ? 10 + i % 51 : 150 + (i * 37) % 181;
        const int64_t audioBytes =
            static_cast<int64_t>(seconds) * synth::BitRateKbps(layout.frame) * 125;
        if (i % 10 == 3) {
            layout.xing = synth::XingFields{};
            layout.xing->frames = static_cast<uint32_t>(
                seconds * synth::SampleRateHz(layout.frame) / synth::SamplesPerFrame(layout.frame));
        }
        if (i % 10 == 7)
            layout.prefix = synth::Id3v2Block(4096 + static_cast<size_t>(i % 9) * 4096);
        // Real frames at both ends, as a reader that looks for the last frame expects.
        const std::string head = synth::BuildFile(layout);
        const std::string frame = synth::SilentFrame(layout.frame);
        const std::string tail = frame + frame + frame + synth::Id3v1Bytes(TagFor(i));
        const std::string path =
            FolderOf(folder, i, perFolder) + "/Track " + std::to_string(i) + ".mp3";
        WriteHoledFile(path, head, tail,
                       static_cast<int64_t>(layout.prefix.size()) + audioBytes + 128);
        paths.push_back(path);
    }
    return paths;
}

namespace {

// Three-second clips of eight encodings, made by lame; the last one carries an ID3v2 tag.
std::vector<std::string> EncodeClips(const std::string& folder) {
    struct Encoding {
        const char* name;
        const char* options;
    };
    static const Encoding kEncodings[] = {
        {"cbr128", "-m j -b 128 --cbr"},
        {"cbr192", "-m s -b 192 --cbr"},
        {"cbr320", "-m j -b 320 --cbr"},
        {"vbr2", "-m j -V 2"},
        {"vbr6mono", "-a -V 6"},
        {"abr160", "-m j --abr 160"},
        {"mpeg2", "-m j -b 64 --cbr --resample 22.05"},
        {"id3v2", "-m j -b 160 --cbr --id3v2-only --tt Clip --ta Encoder --pad-id3v2-size 8192"},
    };
    if (std::system("command -v lame >/dev/null 2>&1") != 0)
        Fail("the lame encoder is not on PATH (scripts/setup.sh installs it)");
    const std::string work = folder + "/encodings";
    fs::create_directories(work);
    const std::string raw = work + "/clip.raw";
    {
        const std::string pcm = Pcm(3);
        synth::WriteFile(raw, pcm);
    }
    std::vector<std::string> clips;
    for (const Encoding& e : kEncodings) {
        const std::string mp3 = work + "/" + e.name + ".mp3";
        const std::string errors = work + "/lame.err";
        const std::string command = std::string("lame --quiet -r -s 44.1 --bitwidth 16 --signed ") +
                                    "--little-endian " + e.options + " '" + raw + "' '" + mp3 +
                                    "' 2>'" + errors + "'";
        const int status = std::system(command.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            Fail("lame failed: " + command + "\n" + ReadWholeFile(errors));
        clips.push_back(ReadWholeFile(mp3));
    }
    return clips;
}

// An ID3v2.3 text frame: Latin-1, or UTF-16 with its byte-order mark (ASCII texts here).
std::string TextFrame(const std::string& id, const std::string& text, bool utf16) {
    std::string body(1, utf16 ? '\x01' : '\0');
    if (utf16) {
        body += "\xFF\xFE";
        for (const char c : text) body += std::string{c, '\0'};
    } else {
        body += text;
    }
    const auto size = static_cast<uint32_t>(body.size());
    std::string frame = id;
    for (const int shift : {24, 16, 8, 0}) frame += static_cast<char>((size >> shift) & 0xFF);
    return frame + std::string(2, '\0') + body;
}

// The ID3v2.3 tag a common tagger writes: six text frames, a cover when asked, 1 KB of padding.
std::string Id3v23Tag(int i, size_t coverBytes) {
    const bool utf16 = i % 2 == 1;
    std::string frames = TextFrame("TIT2", "Song number " + std::to_string(i), utf16) +
                         TextFrame("TPE1", "Artist " + std::to_string(i % 997), utf16) +
                         TextFrame("TALB", "Album " + std::to_string(i % 1301), utf16) +
                         TextFrame("TYER", std::to_string(1960 + i % 60), utf16) +
                         TextFrame("TCON", "(" + std::to_string((i * 7) % 126) + ")", utf16) +
                         TextFrame("TRCK", std::to_string(1 + i % 20), utf16);
    if (coverBytes > 0) {
        std::string picture = std::string("\0image/jpeg\0\x03\0", 14);
        picture.resize(14 + coverBytes, '\xD8');
        const auto size = static_cast<uint32_t>(picture.size());
        frames += "APIC";
        for (const int shift : {24, 16, 8, 0}) frames += static_cast<char>((size >> shift) & 0xFF);
        frames += std::string(2, '\0') + picture;
    }
    frames += std::string(1024, '\0');
    const auto body = static_cast<uint32_t>(frames.size());
    std::string header = std::string("ID3\x03\0\0", 6);
    for (const int shift : {21, 14, 7, 0}) header += static_cast<char>((body >> shift) & 0x7F);
    return header + frames;
}

}  // namespace

std::vector<std::string> MakeLibrarySongs(const std::string& folder, int count, size_t coverBytes) {
    std::vector<std::string> clips = EncodeClips(folder);
    clips.pop_back();  // the one with lame's own tag
    const std::string songs = folder + "/library";
    fs::create_directories(songs);
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string path = songs + "/Library " + std::to_string(i) + ".mp3";
        std::string bytes = Id3v23Tag(i, i % 3 == 0 ? coverBytes : 0) +
                            clips[static_cast<size_t>(i) % clips.size()];
        if (i % 2 == 0) bytes += synth::Id3v1Bytes(TagFor(i));
        synth::WriteFile(path, bytes);
        paths.push_back(path);
    }
    return paths;
}

std::vector<std::string> MakeEncodedSongs(const std::string& folder, int count) {
    const std::vector<std::string> clips = EncodeClips(folder);
    const std::string songs = folder + "/encoded";
    fs::create_directories(songs);
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string path = songs + "/Encoded " + std::to_string(i) + ".mp3";
        synth::WriteFile(
            path, clips[static_cast<size_t>(i) % clips.size()] + synth::Id3v1Bytes(TagFor(i)));
        paths.push_back(path);
    }
    return paths;
}

Station::Station(const std::string& folder, int songsPerCategory) : folder_(folder) {
    uint32_t random = 1440;
    auto next = [&random] {
        random = random * 1103515245u + 12345u;
        return (random >> 8) & 0xFFFFFF;
    };
    for (int c = 0; c < 7; ++c) {
        const bool music = c < 3;
        const std::string dir = folder + "/Music/Category " + std::to_string(c);
        fs::create_directories(dir);
        std::vector<std::string> paths;
        for (int i = 0; i < songsPerCategory; ++i) {
            synth::Id3v1Tag tag;
            tag.title = "Title " + std::to_string(i);
            tag.artist = "Artist " + std::to_string(c) + "-" + std::to_string(next() % 900);
            tag.genre = static_cast<uint8_t>(next() % 12);
            const int seconds =
                music ? 150 + static_cast<int>(next() % 150) : 10 + static_cast<int>(next() % 50);
            const std::string path = dir + "/Song " + std::to_string(i) + ".mp3";
            synth::WriteSparseSong(path, seconds, tag);
            paths.push_back(path);
        }
        songs_.push_back(std::move(paths));
    }
}

std::vector<std::string> Station::Playlists(int songs) const {
    std::vector<std::string> lists;
    for (size_t c = 0; c < songs_.size(); ++c)
        lists.push_back(folder_ + "/category" + std::to_string(c) + "-" + std::to_string(songs) +
                        ".m3u");
    return lists;
}

void Station::Prepare(int songs, BuildSession& session) const {
    const std::vector<std::string> lists = Playlists(songs);
    for (size_t c = 0; c < songs_.size(); ++c) {
        const LineList lines(songs_[c].begin(), songs_[c].begin() + songs);
        SaveList(lists[c], lines);
    }
    session = BuildSession();
    for (const std::string& path : lists) session.lbMasterPlaylists.Add(path);
    // A current-hit clock: music and spots, with back-to-back songs now and then.
    for (int slot : {6, 0, 3, 1, 2, 4, 0, 5, 1, 3, 0, 2, 6, 1, 4, 0})
        session.lbClockwheelTemplate.push_back(lists[static_cast<size_t>(slot)]);
    session.ComboBox1 = "1440";
    session.fDMCA.cbDupeCheck = true;
    session.fGenre.cbGenreCheck = true;
    session.SetOutputFile(folder_ + "/day.m3u");
}

TagCollection::TagCollection(const std::string& folder, const std::vector<int>& sizes)
    : folder_(folder), sizes_(sizes) {
    static const uint8_t kGenres[] = {0,  1,  2,  3,  4,  5,  7,  8,  9,  12, 13, 14, 15, 16,
                                      17, 18, 20, 24, 26, 28, 31, 32, 34, 35, 36, 37, 40, 42,
                                      43, 52, 57, 62, 66, 78, 79, 80, 81, 98, 99, 116};
    fs::create_directories(Playlists());
    int made = 0;
    for (int size : sizes_) {
        const std::string dir = Folder(size);
        for (int i = made; i < size; ++i) {
            // Forty files to a sub-folder, as albums and crates would lie.
            const std::string sub = dir + "/Crate " + std::to_string(i / 40);
            if (i % 40 == 0 || i == made) fs::create_directories(sub);
            synth::Id3v1Tag tag;
            tag.title = "Song number " + std::to_string(i);
            tag.artist = "The Artist No. " + std::to_string(i / 15) + "!";
            tag.album = "Album " + std::to_string(i / 10) + " / Remastered";
            tag.year = std::to_string(1960 + (i * 7) % 60);
            tag.genre = kGenres[(i * 13) % 40];
            synth::FileLayout layout;
            layout.frame.bitRateIndex = 9;
            layout.frames = 3;
            const std::string frames = synth::BuildFile(layout);
            WriteHoledFile(sub + "/Track " + std::to_string(i) + ".mp3", frames,
                           frames + synth::Id3v1Bytes(tag), 4000000 + (i % 1000) * 1000);
        }
        made = size;
    }
}

std::string TagCollection::Folder(int size) const {
    // The largest size is the outer folder; each smaller one lies inside the next larger.
    std::string path = folder_ + "/Music";
    for (auto it = sizes_.rbegin(); it != sizes_.rend(); ++it) {
        path += "/Up to " + std::to_string(*it);
        if (*it == size) return path;
    }
    Fail("no collection of " + std::to_string(size) + " files");
    return path;
}

std::string TagCollection::Playlists() const {
    return folder_ + "/Playlists";
}

void TagCollection::ClearPlaylists() const {
    fs::remove_all(Playlists());
    fs::create_directories(Playlists());
}

IoFloor::IoFloor(FileTrace trace, FloorOptions options)
    : trace_(std::move(trace)), options_(options) {
    for (const FileEvent& event : trace_) {
        if (event.op == FileOp::ReadWhole || event.op == FileOp::ReplaceWhole ||
            event.op == FileOp::ReadBlock)
            largest_ = std::max(largest_, static_cast<size_t>(event.bytes));
    }
}

void IoFloor::Replay() const {
    std::vector<char> buffer(largest_ + 1, 'x');
    int fd = -1;
    struct stat status {};
    std::unordered_set<std::string> kept;
    for (const FileEvent& event : trace_) {
        switch (event.op) {
            case FileOp::Status:
                if (options_.statuses) ::stat(event.path.c_str(), &status);
                break;
            case FileOp::ReadWhole: {
                const int in = ::open(event.path.c_str(), O_RDONLY | O_CLOEXEC);
                if (in < 0) Fail("floor: cannot open " + event.path);
                if (::read(in, buffer.data(), static_cast<size_t>(event.bytes)) != event.bytes)
                    Fail("floor: short read of " + event.path);
                ::close(in);
                break;
            }
            case FileOp::ReplaceWhole: {
                const std::string temp = event.path + ".floor";
                const bool swap =
                    options_.reuseTemporaries && ::access(event.path.c_str(), F_OK) == 0;
                const int out = ::open(temp.c_str(),
                                       O_WRONLY | O_CREAT | (swap ? 0 : O_TRUNC) | O_CLOEXEC, 0644);
                if (out < 0) Fail("floor: cannot create " + temp);
                if (::write(out, buffer.data(), static_cast<size_t>(event.bytes)) != event.bytes)
                    Fail("floor: short write of " + temp);
                if (swap && ::ftruncate(out, static_cast<off_t>(event.bytes)) != 0)
                    Fail("floor: cannot cut " + temp);
                if (event.synced) ::fsync(out);
                ::close(out);
                if (swap) {
                    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, event.path.c_str(),
                                    RENAME_EXCHANGE) != 0)
                        Fail("floor: cannot swap " + temp);
                    kept.insert(temp);
                } else if (::rename(temp.c_str(), event.path.c_str()) != 0) {
                    Fail("floor: cannot rename " + temp);
                }
                break;
            }
            case FileOp::Open:
                fd = ::open(event.path.c_str(), O_RDONLY | O_CLOEXEC);
                if (fd < 0 || ::fstat(fd, &status) != 0) Fail("floor: cannot open " + event.path);
                break;
            case FileOp::ReadBlock:
                if (::pread(fd, buffer.data(), static_cast<size_t>(event.bytes), event.offset) < 0)
                    Fail("floor: a block read failed");
                break;
            case FileOp::Close:
                ::close(fd);
                fd = -1;
                break;
        }
    }
    for (const std::string& temp : kept) ::unlink(temp.c_str());
}

int64_t IoFloor::Count(FileOp op) const {
    int64_t n = 0;
    for (const FileEvent& event : trace_) n += event.op == op ? 1 : 0;
    return n;
}

int64_t IoFloor::Bytes(FileOp op) const {
    int64_t n = 0;
    for (const FileEvent& event : trace_) n += event.op == op ? event.bytes : 0;
    return n;
}

}  // namespace kestrune::bench
