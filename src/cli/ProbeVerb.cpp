// probe FILE...: one Key=Value line per field of what the reader finds, a blank line after each
// file. The fields of old come first, in their order; the tag source, the audio's bounds, its
// exact length, the format, and the ISRC and label follow.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "Verbs.h"
#include "mpgtools/MPGTools.h"
#include "platform/ShownText.h"

namespace kestrune::cli {

namespace {

class Printer {
public:
    void Text(std::string_view key, std::string_view value) { Line(key, ShownText(value)); }
    void Number(std::string_view key, long long value) { Line(key, std::to_string(value)); }
    void Flag(std::string_view key, bool value) { Line(key, value ? "1" : "0"); }
    void End() { out_ += '\n'; }
    const std::string& Output() const { return out_; }

private:
    void Line(std::string_view key, std::string_view value) {
        out_.append(key);
        out_ += '=';
        out_.append(value);
        out_ += '\n';
    }
    std::string out_;
};

void Probe(const std::string& path, const ReaderSetup& setup, Printer& print) {
    // A fresh reader per file, so that each file's lines depend on that file alone.
    TMPEGAudio reader(setup);
    reader.AutoLoad = false;
    reader.SetFileName(path);
    const int32_t result = reader.Load();
    const TMPEGFileInfo& info = reader.MPEGFileInfo;
    print.Text("FileName", info.FileName);
    print.Number("Result", result);
    print.Text("Header", info.Header);
    print.Text("Title", info.Title);
    print.Text("Artist", info.Artist);
    print.Text("Album", info.Album);
    print.Text("Year", info.Year);
    print.Text("Comment", info.Comment);
    print.Number("Genre", info.Genre);
    print.Number("Track", info.Track);
    print.Number("Duration", info.Duration);
    print.Number("FileLength", info.FileLength);
    print.Number("Version", info.Version);
    print.Number("Layer", info.Layer);
    print.Number("SampleRate", info.SampleRate);
    print.Number("BitRate", info.BitRate);
    print.Number("Mode", info.Mode);
    print.Flag("CopyrightBit", info.CopyrightBit);
    print.Flag("OriginalBit", info.OriginalBit);
    print.Flag("ProtectionBit", info.ProtectionBit);
    print.Flag("Padding", info.Padding);
    print.Number("FrameLength", info.FrameLength);
    print.Number("HeaderPosition", reader.HeaderPosition);
    print.Text("GetArtist", reader.GetArtist());
    print.Text("GetTitle", reader.GetTitle());
    print.Text("GetGenreText", reader.GetGenreText());
    print.Text("TagSource", info.TagSource);
    print.Number("AudioStart", info.AudioStart);
    print.Number("AudioBytes", info.AudioBytes);
    print.Number("DurationMs", info.DurationMs);
    print.Text("Format", info.Format);
    // Why a file has no playing time; only then, so that a good file's lines stay as they were.
    if (!info.Problem.empty()) print.Text("Problem", info.Problem);
    // For royalty reports; after every line of old, so that those stay where they were.
    print.Text("ISRC", info.Isrc);
    print.Text("Label", info.Label);
    print.End();
}

}  // namespace

int RunProbe(const std::vector<std::string>& args, const ReaderSetup& reader) {
    if (args.empty()) throw UsageError{"probe needs at least one file"};
    ReaderSetup setup = reader;
    setup.askOnError = [](const std::string& fileName) {
        std::fflush(stdout);  // keep the message beside the file it is about
        std::fprintf(stderr, "Error openning file: %s\n", fileName.c_str());
        return 5;  // Ignore: the tool asks nobody
    };
    for (const std::string& path : args) {
        Printer print;
        Probe(path, setup, print);
        std::fwrite(print.Output().data(), 1, print.Output().size(), stdout);
    }
    std::fflush(stdout);
    return kExitDone;
}

}  // namespace kestrune::cli
