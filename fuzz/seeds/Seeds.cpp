#include "Seeds.h"

#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "Mp3Synth.h"
#include "Pitfalls.h"

namespace kestrune::fuzz {

namespace {

namespace fs = std::filesystem;
using namespace kestrune::synth;
using namespace kestrune::pitfalls;

fs::path g_out;
int g_written = 0;

void Put(const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(g_out / target);
    std::ofstream out(g_out / target / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write seed " + target + "/" + name);
    ++g_written;
}

std::string Frames(const FrameFields& frame, int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes += SilentFrame(frame);
    return bytes;
}

Id3v1Tag Tag(const std::string& title, const std::string& artist, uint8_t genre) {
    Id3v1Tag tag;
    tag.title = title;
    tag.artist = artist;
    tag.album = "Seed Album";
    tag.year = "1999";
    tag.comment = "seed";
    tag.track = 3;
    tag.genre = genre;
    return tag;
}

FrameFields Mpeg1(int bitRateIndex = 9, int mode = kStereo) {
    FrameFields frame;
    frame.bitRateIndex = bitRateIndex;
    frame.mode = mode;
    return frame;
}

FrameFields Lower(Version version, int bitRateIndex, int mode, int layer = 3) {
    FrameFields frame;
    frame.version = version;
    frame.layer = layer;
    frame.bitRateIndex = bitRateIndex;
    frame.mode = mode;
    return frame;
}

std::string XingFile(const FrameFields& frame, uint32_t frames, uint32_t flags, int count) {
    XingFields xing;
    xing.flags = flags;
    xing.frames = frames;
    xing.bytes = 12345;
    return XingFrame(frame, xing) + Frames(frame, count);
}

void Mp3Seeds() {
    const std::string t = "mp3_reader";
    const std::string tag = Id3v1Bytes(Tag("Seed Title", "Seed Artist", 17));
    Put(t, "cbr128", Frames(Mpeg1(), 4) + tag);
    Put(t, "cbr_mono_padded", [] {
        FrameFields f = Mpeg1(5, kSingleChannel);
        f.padding = true;
        f.protectionBit = false;
        return Frames(f, 4);
    }() + tag);
    Put(t, "no_tag", Frames(Mpeg1(), 3));
    Put(t, "id3v11_nul_year", [] {
        Id3v1Tag v;
        v.title = "Morning Song";
        v.year = std::string(4, '\0');
        v.genre = 62;
        return Frames(Mpeg1(), 2) + Id3v1Bytes(v);
    }());
    Put(t, "utf16_bom_false_header",
        Id3v2(Utf16TitleFrame("Title with a byte-order mark")) + Frames(Mpeg1(), 3) + tag);
    Put(t, "stacked_id3v2",
        Id3v2(Utf16TitleFrame("First")) + Id3v2(Utf16TitleFrame("Second")) +
            Id3v2(std::string(300, '\0')) + Frames(Mpeg1(), 3) + tag);
    Put(t, "oversized_id3v2",
        Id3v2(Utf16TitleFrame("Claims far more than it holds"), 0x0FFFFFFF) + Frames(Mpeg1(), 3) +
            tag);
    Put(t, "id3v2_false_sync", Id3v2Block(4096, 1000) + Frames(Mpeg1(), 3) + tag);
    Put(t, "id3v2_false_pair", Id3v2Block(2048, 2048 - 417) + Frames(Mpeg1(), 3) + tag);
    Put(t, "cover_art_false_syncs",
        Id3v2(Utf16TitleFrame("Art") + CoverArtFrame(12000, 7)) + Frames(Mpeg1(), 4) + tag);
    Put(t, "xing_vbr", XingFile(Mpeg1(), 3000, kXingFrames | kXingBytes | kXingToc, 3) + tag);
    Put(t, "xing_zero_frames", XingFile(Mpeg1(), 0, kXingFrames | kXingBytes | kXingToc, 3) + tag);
    Put(t, "xing_no_frame_flag", XingFile(Mpeg1(), 500, kXingBytes | kXingQuality, 3) + tag);
    Put(t, "xing_absurd_frames",
        XingFile(Mpeg1(), 0xFFFFFFFFu, kXingFrames | kXingBytes | kXingToc | kXingQuality, 3) +
            tag);
    Put(t, "xing_mono", XingFile(Mpeg1(9, kSingleChannel), 100, kXingFrames, 2) + tag);
    Put(t, "xing_cut", Truncate(XingFile(Mpeg1(), 100, kXingFrames | kXingToc, 1), 36 + 4 + 50));
    // LAME's "Info" frame, which marks a constant-bit-rate file, at another bit rate than the
    // frames that follow it.
    {
        std::string info = XingFile(Mpeg1(11), 50, kXingFrames | kXingBytes, 0);
        info.replace(36, 4, "Info");
        Put(t, "info_other_bit_rate", info + Frames(Mpeg1(5), 4) + tag);
    }
    Put(t, "mpeg2_layer3", Frames(Lower(Version::Mpeg2, 8, kSingleChannel), 4) + tag);
    Put(t, "mpeg2_xing", XingFile(Lower(Version::Mpeg2, 8, kStereo), 2000, kXingFrames, 2) + tag);
    Put(t, "mpeg2_xing_mono",
        XingFile(Lower(Version::Mpeg2, 8, kSingleChannel), 2000, kXingFrames, 2) + tag);
    Put(t, "mpeg25_layer3", Frames(Lower(Version::Mpeg25, 2, kSingleChannel), 4) + tag);
    Put(t, "mpeg25_xing", XingFile(Lower(Version::Mpeg25, 4, kStereo), 900, kXingFrames, 2) + tag);
    Put(t, "mpeg2_layer1", Frames(Lower(Version::Mpeg2, 3, kStereo, 1), 4) + tag);
    Put(t, "mpeg1_layer2", Frames(Lower(Version::Mpeg1, 10, kStereo, 2), 4) + tag);
    Put(t, "ape_tail", Frames(Mpeg1(), 3) + ApeTail() + tag);
    Put(t, "ape_tail_no_id3v1", Frames(Mpeg1(), 3) + ApeTail());
    Put(t, "lyrics3_tail", Frames(Mpeg1(), 3) + Lyrics3Tail() + tag);
    Put(t, "junk_then_frames", Junk(3000, 11) + Frames(Mpeg1(), 3) + tag);
    Put(t, "random_bytes", RandomBytes(2000, 5));
    Put(t, "tag_only", tag);
    Put(t, "tiny", std::string("\xFF\xFB\x90", 3));
    Put(t, "frame_past_end", Truncate(Frames(Mpeg1(), 1), 300));
    Put(t, "second_header_cut", Truncate(Frames(Mpeg1(), 2), 417 + 2));
}

bool OnPath(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Files made by a real encoder, from a short tone with noise.
void LameSeeds() {
    if (!OnPath("lame")) {
        throw std::runtime_error("the lame encoder is not installed (Debian package lame)");
    }
    const fs::path work = g_out / "lame-work";
    fs::create_directories(work);
    struct Encoding {
        const char* name;
        const char* khz;
        int rate;
        const char* options;
    } const encodings[] = {
        {"lame_cbr128_id3", "44.1", 44100,
         "-b 128 --cbr --add-id3v2 --tt 'Lame Title' --ta 'Lame Artist' --tl 'Album' --ty 2001 "
         "--tg Pop"},
        {"lame_cbr_id3v1", "44.1", 44100, "-b 64 --cbr --id3v1-only --tt Title --ta Artist"},
        {"lame_vbr", "44.1", 44100, "-V 5"},
        {"lame_abr", "32", 32000, "--abr 48"},
        {"lame_mpeg2_cbr", "22.05", 22050, "-b 32 --cbr"},
        {"lame_mpeg2_vbr", "16", 16000, "-V 7"},
        {"lame_mpeg25_cbr", "8", 8000, "-b 8 --cbr"},
        {"lame_mpeg25_vbr", "11.025", 11025, "-V 9"},
        {"lame_utf16_tag", "44.1", 44100,
         "-b 32 --cbr --id3v2-only --id3v2-utf16 --tt 'Ütf Title' --ta 'Ärtist'"},
    };
    for (const Encoding& e : encodings) {
        const int samples = e.rate / 3;  // a third of a second
        std::string pcm(static_cast<size_t>(samples) * 2, '\0');
        uint32_t state = 99;
        for (int i = 0; i < samples; ++i) {
            state = state * 1664525u + 1013904223u;
            const int tone = (i / 20) % 2 == 0 ? 6000 : -6000;
            const auto sample =
                static_cast<int16_t>(tone + static_cast<int32_t>(state >> 20) - 2048);
            pcm[static_cast<size_t>(2 * i)] = static_cast<char>(sample & 0xFF);
            pcm[static_cast<size_t>(2 * i + 1)] = static_cast<char>((sample >> 8) & 0xFF);
        }
        const fs::path raw = work / (std::string(e.name) + ".raw");
        {
            std::ofstream out(raw, std::ios::binary);
            out.write(pcm.data(), static_cast<std::streamsize>(pcm.size()));
        }
        const fs::path mp3 = g_out / "mp3_reader" / e.name;
        const std::string command = std::string("lame --quiet -r -s ") + e.khz + " --resample " +
                                    e.khz + " --bitwidth 16 -m m --signed --little-endian " +
                                    e.options + " '" + raw.string() + "' '" + mp3.string() +
                                    "' 2>/dev/null";
        const int status = std::system(command.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            throw std::runtime_error("lame failed: " + command);
        ++g_written;
    }
    fs::remove_all(work);
}

std::string Lines(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + end;
    return bytes;
}

void TextSeeds() {
    Put("line_list", "playlist", Lines({"/radio/a.mp3", "/radio/b.mp3", "/radio/c.mp3"}));
    Put("line_list", "mixed_ends", "a.mp3\rb.mp3\nc.mp3\r\n\r\nd.mp3");
    Put("line_list", "nul_inside", std::string("a.mp3\r\nb.m\0p3\r\nc.mp3\r\n", 22));
    Put("line_list", "extended",
        Lines({"#EXTM3U", "#EXTINF:123,Artist - Title", "C:\\Music\\x.mp3"}));
    Put("line_list", "empty", "");
    Put("line_list", "blank_lines", "\r\n\r\n\n\r");

    const std::vector<std::string> example = {"/radio/Playlists/hits.m3u",
                                              "/radio/Playlists/spots.m3u",
                                              "#",
                                              "/radio/Playlists/hits.m3u",
                                              "/radio/Playlists/spots.m3u",
                                              "/radio/Playlists/hits.m3u",
                                              "##",
                                              "60",
                                              "###",
                                              "/radio/out/hour.m3u",
                                              "####",
                                              "011",
                                              "3"};
    Put("session_file", "example", Lines(example));
    Put("session_file", "dupe_off",
        Lines({"a.m3u", "#", "a.m3u", "##", "90", "###", "o.m3u", "####", "100"}));
    Put("session_file", "short_options",
        Lines({"a.m3u", "#", "a.m3u", "##", "5", "###", "o.m3u", "####", "1"}));
    Put("session_file", "no_separator", Lines({"a.m3u", "b.m3u"}));
    Put("session_file", "no_template_end", Lines({"a.m3u", "#", "a.m3u", "b.m3u"}));
    Put("session_file", "ends_after_length", Lines({"a.m3u", "#", "a.m3u", "##", "60"}));
    Put("session_file", "odd_numbers",
        Lines({"a.m3u", "#", "a.m3u", "##", " -0042", "###", "o", "####", "111", "99999999999"}));
    Put("session_file", "lf_only", Lines(example, "\n"));

    const std::string ini =
        "[Config]\r\nplaylistsdir=/radio/Playlists\r\nsessionsdir=/radio/Sessions\r\n";
    Put("ini_file", "config", std::string("Config\0playlistsdir\0/new/Playlists\0", 35) + ini);
    Put("ini_file", "other_sections",
        std::string("config\0SESSIONSDIR\0  /x  \0", 26) +
            "; note\n[Other]\nkey=1\n\n[ Config ]\n playlistsdir = /a \n\n[Last]\n");
    Put("ini_file", "no_section", std::string("Config\0sessionsdir\0/s\0", 22) + "key=value\r\n");
    Put("ini_file", "broken_lines",
        std::string("Config\0playlistsdir\0\0", 21) + "[Config\r\n=\r\n[]\r\nplaylistsdir\r\n");
    Put("ini_file", "text_only", ini);

    Put("schedule_file", "two",
        Lines({"/radio/Sessions/morning.cwt", "/radio/Sessions/Evening.cwt"}));
    Put("schedule_file", "hours", Lines({"11 PM", "12 AM", "1 AM", "7am", ""}));
    Put("schedule_file", "repeats", Lines({"b.cwt", "a.cwt", "B.cwt", "a.cwt"}));
    Put("schedule_file", "empty", "");
    Put("history_file", "two",
        "2026-12-08 04:00:00\t245\tAna\tOne\tHits\t/m/a.mp3\r\n"
        "2026-12-08 04:04:05\t200\tBo\tTwo\t\t/m/b.mp3\r\n");
    Put("history_file", "odd_lines",
        "2024-02-29 23:59:59\t0\t\t\t\t\nnot a song\r2026-13-01 00:00:00\t1\ta\tb\tc\td\n");
    Put("history_file", "leading_zeros",
        "2026-12-08 04:00:00\t0245\tA\tB\tC\t/d\r\n2026-12-08 04:00:00\t0\tA\tB\tC\t/d\r\n");
    Put("history_file", "tabs_and_nul",
        std::string(
            "2026-12-08 04:00:00\t5\ta\tb\tc\td\te\r\n2026-12-08 04:00:00\t5\ta\0b\tc\td\te\r\n",
            64));
    Put("separation_rules", "loose_credits",
        "\x01\x02\x00\x00\x00\x00\x04\x00\x00\x00\x00\x00\x03\x01\x00\x00\x00\x00\x05\x00\x00\x00"
        "\x00\x00\x06\x00\x00\x00\x00");
    Put("separation_rules", "complement_only",
        std::string("\x00\x00\x00\x00\x01\x00") +
            std::string("\x01\x00\x00\x01\x00\x00\x02\x03\x00\x01\x00\x00\x04\x00\x00\x01\x00\x00"
                        "\x00\x00\x00\x01\x00\x00",
                        24));
    Put("separation_rules", "every_rule",
        std::string("\x01\x03\x03\x02\x01\x01") + std::string(64, '\x05'));
    Put("separation_rules", "mixed",
        "\x01\x01\x01\x01\x01\x00\x00\x01\x04\x01\x02\x00\x02\x04\x01\x03\x02\x01");

    // Tolerance, overlap, last genre, choices; slots, each with its candidates (length, keys,
    // genre); the target last.
    Put("clock_fill", "three_slots",
        std::string("\x02\x01\x00\x03\x03\x02\x07\x01\x01\x02\x09\x00\x00\x03\x05\x02\x01"
                    "\x03\x01\x04\x01\x06\x00\x02\x0b\x01\x02\x00\x14",
                    29));
    Put("clock_fill", "no_way_in", std::string("\x00\x00\x00\x00\x01\x01\x02\x00\x00\x27", 10));
    Put("clock_fill", "overlap_and_genres",
        std::string("\x03\x02\x02\x03\x04\x04\x05\x00\x02\x01\x01\x07\x01\x03\x02\x00\x03\x01"
                    "\x00\x01\x09\x02\x02\x04\x03\x01\x03\x03\x06\x00\x02\x02\x1c",
                    33));
    Put("clock_fill", "passed_over",
        std::string("\x04\x02\x01\x02\x04\x00\x02\x05\x01\x03\x01\x0a\x02\x01\x02\x00"
                    "\x06\x00\x01\x00\x10",
                    21));

    // Fields split by a byte 1: path, seconds, artist, title, album, for each song.
    Put("playlist_writers", "two_songs",
        "\x01" "radio/a.mp3\x01" "215\x01" "Artist\x01" "Title\x01" "Album\x01"
        "radio/b c.mp3\x01" "9\x01" "B\x01" "Song B\x01");
    static const char kAwkward[] = "\x00" "r/x, y & <z>.mp3\x01" "1\x01" "AC - DC\x01"
                                   "Line\r\nBreak\x01" "Caf\xE9 \"q\" 'a'\x01";
    Put("playlist_writers", "awkward", std::string(kAwkward, sizeof kAwkward - 1));
    Put("playlist_writers", "extinf_m3u", "\x01" "a.mp3\x01" "60\x01" "Solo\x01" "Song\x01");
    Put("playlist_writers", "no_songs", std::string("\x01", 1));
    std::vector<std::string> week;
    for (const char* day : {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"})
        for (int hour = 0; hour < 24; ++hour)
            week.push_back(std::string(day) + (hour < 10 ? " 0" : " ") + std::to_string(hour) +
                           (hour % 3 == 0 ? " hour.cwt" : ""));
    Put("week_grid_file", "full_week", Lines(week));
    Put("week_grid_file", "example",
        Lines({"# week", "Mon 00 overnight.cwt", "Mon 07 /st/Sessions/morning show.cwt",
               "Sun 23", "tue 12 noon.cwt"}));
    Put("week_grid_file", "wrong_hour", Lines({"Mon 06 a.cwt", "Mon 24 a.cwt"}));
    Put("week_grid_file", "twice", Lines({"Wed 01 a.cwt", "WED 01 b.cwt"}, "\n"));
}

void TagSeeds() {
    const std::string tag = Id3v1Bytes(Tag("Seed Title", "Seed Artist", 17));
    const std::string frames = Frames(Mpeg1(), 2);
    Put("audio_bounds", "id3v2_frames_id3v1", Id3v2Block(1024) + frames + tag);
    Put("audio_bounds", "stacked_id3v2", Id3v2Block(300) + Id3v2Block(500) + frames);
    Put("audio_bounds", "ape_lyrics_id3v1", frames + ApeTail() + Lyrics3Tail() + tag);
    Put("audio_bounds", "lyrics_ape", frames + Lyrics3Tail() + ApeTail());
    Put("audio_bounds", "oversized_id3v2", Truncate(Id3v2Block(4096), 1000) + frames);
    Put("tag_text", "latin1", "Caf\xE9 Cr\xE8me");
    Put("tag_text", "utf8", "Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC");
    Put("tag_text", "genre_refined", "(17)Hard Rock");
    Put("tag_text", "genre_codes", "(4)(RX)");
    Put("tag_text", "date", "2019-05-04T10:00");
    Put("tag_text", "track", "07/12");
    const std::string v23 = std::string("ID3\x03\0\0\0\0\0\x33", 10) + "TIT2" +
                            std::string("\0\0\0\x05\0\0\0", 7) + "Song" + "TPE1" +
                            std::string("\0\0\0\x0B\0\0\x01\xFF\xFE", 10) +
                            std::string("A\0b\0c\0\0\0", 8) + "TCON" +
                            std::string("\0\0\0\x05\0\0\0", 7) + "(17)";
    Put("id3v2_text_frames", "v23_latin1_utf16", v23);
    Put("id3v2_text_frames", "v24_utf8_values",
        std::string("ID3\x04\0\0\0\0\0\x20", 10) + "TIT2" + std::string("\0\0\0\x08\0\0\x03", 7) +
            std::string("A\0\xC3\xA9\0B\0", 7) + "COMM" + std::string("\0\0\0\x04\0\0\0eng", 10));
    Put("id3v2_text_frames", "v23_unsynchronised", std::string("ID3\x03\0\x80", 6) + v23.substr(6));
    Put("id3v2_text_frames", "v23_cut_short", v23.substr(0, 30));
    Put("playlist_file", "exported",
        "\xEF\xBB\xBF#EXTM3U\n#EXTINF:215,Artist - Title\nmusic/a.mp3\n#EXTINF:-1,B\n../b.mp3\n");
    Put("playlist_file", "lone_extinf", "#EXTINF:5,only a comment\n#EXTINF:6,x\n");
    Put("playlist_file", "plain_crlf", "/st/a.mp3\r\n/st/b.mp3\r\n\r\n");
    Put("playlist_file", "comments_cr", "# top\r#EXTINF:1,x\rfile:///a%20b.mp3\r# end\r#EXTINF:2,y");
}

}  // namespace

int WriteSeedCorpora(const std::string& folder) {
    g_out = folder;
    g_written = 0;
    Mp3Seeds();
    LameSeeds();
    TextSeeds();
    TagSeeds();
    return g_written;
}

}  // namespace kestrune::fuzz
