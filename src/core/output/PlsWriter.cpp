// PLS: an INI-like list, entries numbered from 1, count and version at the end.

#include <map>

#include "output/WriterFormats.h"
#include "platform/Digits.h"
#include "platform/LineList.h"

namespace kestrune::output {

namespace {

class Pls : public PlaylistWriter {
public:
    std::string_view Extension() const override { return ".pls"; }
    std::string_view Description() const override { return "PLS Playlist"; }
    bool NeedsSongFacts(const OutputOptions&) const override { return true; }

    std::string Format(const PlaylistEntries& entries, const OutputOptions&) const override {
        std::string bytes = "[playlist]";
        bytes.append(kLineEnd);
        size_t number = 0;
        for (const PlaylistEntry& entry : entries) {
            const std::string n = std::to_string(++number);
            bytes.append("File" + n + "=").append(entry.path).append(kLineEnd);
            bytes.append("Title" + n + "=").append(DisplayTitle(entry)).append(kLineEnd);
            bytes.append("Length" + n + "=")
                .append(std::to_string(entry.seconds < 0 ? 0 : entry.seconds))
                .append(kLineEnd);
        }
        bytes.append("NumberOfEntries=" + std::to_string(entries.size())).append(kLineEnd);
        bytes.append("Version=2").append(kLineEnd);
        return bytes;
    }

    PlaylistEntries ReadBack(std::string_view bytes) const override {
        std::map<long, PlaylistEntry> numbered;
        for (const std::string& line : ParseLines(bytes)) {
            const size_t equals = line.find('=');
            if (equals == std::string::npos) continue;
            const std::string key = line.substr(0, equals);
            const std::string value = line.substr(equals + 1);
            for (const char* field : {"File", "Title", "Length"}) {
                const std::string_view name = field;
                if (key.rfind(name, 0) != 0 || key.size() == name.size()) continue;
                const std::string_view digits = std::string_view(key).substr(name.size());
                const std::optional<int64_t> number =
                    digits.size() <= 9 ? WholeNumber(digits) : std::nullopt;
                if (!number) continue;
                PlaylistEntry& entry = numbered[*number];
                if (name == "File") entry.path = value;
                if (name == "Title") SplitDisplayTitle(value, entry);
                if (name == "Length") entry.seconds = LeadingSeconds(value);
            }
        }
        PlaylistEntries entries;
        for (auto& [number, entry] : numbered) entries.push_back(std::move(entry));
        return entries;
    }
};

}  // namespace

const PlaylistWriter& PlsWriter() {
    static const Pls writer;
    return writer;
}

}  // namespace kestrune::output
