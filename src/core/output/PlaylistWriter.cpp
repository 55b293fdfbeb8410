#include "output/PlaylistWriter.h"

#include <cstdint>

#include "output/WriterFormats.h"
#include "platform/Paths.h"
#include "tags/TagText.h"

namespace kestrune {

const std::vector<const PlaylistWriter*>& PlaylistWriters() {
    static const std::vector<const PlaylistWriter*> writers{
        &output::PlainM3uWriter(), &output::ExtendedM3uWriter(), &output::PlsWriter(),
        &output::XspfWriter()};
    return writers;
}

const PlaylistWriter& WriterForPath(std::string_view path) {
    const std::string name = LowerCase(ExtractFileName(path));
    for (const PlaylistWriter* writer : PlaylistWriters()) {
        const std::string_view extension = writer->Extension();
        if (name.size() > extension.size() &&
            name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
            return *writer;
    }
    return *PlaylistWriters().front();
}

std::string OutputFileFilter() {
    std::string filter;
    for (const PlaylistWriter* writer : PlaylistWriters()) {
        if (!filter.empty()) filter += '|';
        filter.append(writer->Description()).append("|*").append(writer->Extension());
    }
    return filter;
}

std::string DisplayTitle(const PlaylistEntry& entry) {
    // No artist, no dash: never a placeholder where the file has no such tag.
    if (entry.artist.empty()) return CleanText(entry.title);
    return CleanText(entry.artist) + " - " + CleanText(entry.title);
}

}  // namespace kestrune
