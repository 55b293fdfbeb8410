#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "mpgtools/MPGTools.h"
#include "support/TagLibSetup.h"
#include "support/TempDir.h"

namespace kestrune {
namespace {

using testing::TempDir;

bool OnPath(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Mono 16-bit little-endian noise from a fixed linear congruential generator.
std::string Noise(long long samples, uint32_t seed) {
    std::string pcm(static_cast<size_t>(samples) * 2, '\0');
    uint32_t state = seed;
    for (long long i = 0; i < samples; ++i) {
        state = state * 1664525u + 1013904223u;
        const auto sample = static_cast<int16_t>(static_cast<int32_t>(state >> 16) / 4 - 8192);
        pcm[static_cast<size_t>(2 * i)] = static_cast<char>(sample & 0xFF);
        pcm[static_cast<size_t>(2 * i + 1)] = static_cast<char>((sample >> 8) & 0xFF);
    }
    return pcm;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Encoding {
    std::string name;
    std::string khz;  // lame's -s and --resample value
    int32_t sampleRate;
    std::string options;  // bit-rate mode and tag options
    uint8_t version;
    int32_t bitRate;  // -1: a Xing file
};

TEST(MpgEncoder, FilesMadeByLameReadWithTheirFormatAndPlayingTime) {
    ASSERT_TRUE(OnPath("lame"))
        << "the lame encoder is not on PATH; scripts/setup.sh installs it (Debian package lame)";
    const int seconds = 10;
    const Encoding encodings[] = {
        {"cbr44", "44.1", 44100,
         "-b 128 --cbr --id3v1-only --tt 'Encoded Title' --ta 'Encoded Artist' --tl 'Album'"
         " --ty 2001 --tc 'A note' --tn 7 --tg Pop",
         1, 128},
        {"vbr44", "44.1", 44100, "-V 5", 1, -1},
        {"cbr22", "22.05", 22050, "-b 64 --cbr", 2, 64},
        {"vbr22", "22.05", 22050, "-V 5", 2, -1},
        {"cbr8", "8", 8000, "-b 16 --cbr", 3, 16},
    };
    TempDir dir;
    for (const Encoding& e : encodings) {
        SCOPED_TRACE(e.name);
        const std::string raw = dir / (e.name + ".raw");
        const std::string mp3 = dir / (e.name + ".mp3");
        const std::string errors = dir / (e.name + ".err");
        {
            std::ofstream out(raw, std::ios::binary);
            const std::string pcm = Noise(static_cast<long long>(e.sampleRate) * seconds, 12345);
            out.write(pcm.data(), static_cast<std::streamsize>(pcm.size()));
        }
        const std::string command = "lame --quiet -r -s " + e.khz + " --resample " + e.khz +
                                    " --bitwidth 16 -m m --signed --little-endian " + e.options +
                                    " '" + raw + "' '" + mp3 + "' 2>'" + errors + "'";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << "\n"
                                                                   << ReadText(errors);

        TMPEGAudio reader{testing::TagLibSetup()};
        reader.AutoLoad = false;
        reader.ErrorCallback = nullptr;
        reader.SetFileName(mp3);
        EXPECT_EQ(reader.Load(), 0);
        const TMPEGFileInfo& info = reader.MPEGFileInfo;
        EXPECT_EQ(info.Version, e.version);
        EXPECT_EQ(info.Layer, 3);
        EXPECT_EQ(info.SampleRate, e.sampleRate);
        EXPECT_EQ(info.BitRate, e.bitRate);
        EXPECT_EQ(info.Mode, 3);
        EXPECT_LE(std::abs(info.Duration - seconds), 1) << info.Duration;
        EXPECT_EQ(reader.HeaderPosition, 0);
    }

    TMPEGAudio tagged{testing::TagLibSetup()};
    tagged.SetFileName(dir / "cbr44.mp3");
    const TMPEGFileInfo& info = tagged.MPEGFileInfo;
    EXPECT_TRUE(tagged.HasTag());
    EXPECT_EQ(tagged.GetTitle(), "Encoded Title");
    EXPECT_EQ(tagged.GetArtist(), "Encoded Artist");
    EXPECT_EQ(info.Album, "Album");
    EXPECT_EQ(info.Year, "2001");
    EXPECT_EQ(info.Comment, "A note");
    EXPECT_EQ(info.Track, 7);
    EXPECT_EQ(tagged.GetGenreText(), "Pop");
}

}  // namespace
}  // namespace kestrune
