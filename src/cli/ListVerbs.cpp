// The verbs of the two list tools: quicklist and tags.

#include <cstdio>

#include "CliStation.h"
#include "Verbs.h"
#include "listtools/QuickList.h"
#include "listtools/TagPlaylists.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace kestrune::cli {

namespace {

// A full path without a trailing separator, as the folder list shows folders.
std::string FolderArgument(const std::string& argument) {
    std::string folder = ExpandFileName(argument);
    while (folder.size() > 1 && folder.back() == kPathSeparator) folder.pop_back();
    return folder;
}

}  // namespace

int RunQuickList(const std::vector<std::string>& args, const ReaderSetup& reader) {
    if (args.size() != 2) throw UsageError{"quicklist needs a folder and the playlist to write"};
    const std::string folder = FolderArgument(args[0]);
    QuickListFolder list{std::string(1, kPathSeparator), folder, MP3FileNames(folder, reader.library)};
    LineList lines;
    BuildQuickList(list, lines);
    SaveList(args[1], lines);
    std::printf("%zu files of %s written to %s\n", lines.size(), folder.c_str(), args[1].c_str());
    return kExitDone;
}

int RunTags(const std::vector<std::string>& args, const ReaderSetup& reader) {
    TagSearch search;
    for (const std::string& arg : args) {
        if (arg == "--artist") {
            search.boxes.cbByArtist = true;
        } else if (arg == "--album") {
            search.boxes.cbByAlbum = true;
        } else if (arg == "--year") {
            search.boxes.cbByYear = true;
        } else if (arg == "--genre") {
            search.boxes.cbByGenre = true;
        } else if (arg == "--fresh") {
            search.fresh = true;
        } else if (!arg.empty() && arg[0] == '-') {
            throw UsageError{"unknown option " + arg};
        } else if (search.folder.empty()) {
            search.folder = FolderArgument(ArgumentPath(arg));
        } else {
            throw UsageError{"tags takes one folder"};
        }
    }
    if (search.folder.empty()) throw UsageError{"tags needs a folder"};
    CliStation station(std::nullopt, reader);
    station.Lock("tag pass of " + search.folder);
    search.playlistsFolder = station.folders.playlists;
    btnSearchForFilesClick(search, station.session, station.view, station.prompts,
                           station.context.reader);
    for (const std::string& message : station.prompts.messages)
        std::printf("%s\n", message.c_str());
    return kExitDone;
}

}  // namespace kestrune::cli
