#include "building/BuildCommand.h"

#include <unordered_map>

#include "platform/Files.h"
#include "platform/KestruneError.h"

namespace kestrune {

namespace messages {
const char* const kNoTemplate =
    "You must build a template or format for your new playlist to follow. Double click items in "
    "the upper left window to add them to the Clock Wheel Template.";
const char* const kNoMasterPlaylists =
    "You must add all of the playlists that will be used in your new playlist to the upper left "
    "window. Click the plus sign to add the playlists. ";
const char* const kNoOutputFile =
    "You must specify a final destination for the final playlist. Click the \"WHERE SHOULD I SAVE "
    "THIS FILE\" button to select a location and name the final file.";
const char* const kLengthBelowOne = "You must enter a desired length greater than 0 minutes.";
const char* const kBuildComplete = "Playlist is complete. Click 'ACCEPT LIST' to save it.";
}  // namespace messages

std::optional<BuildOutcome> btBuildPlaylistClick(BuildContext& context) {
    BuildSession& s = context.session;
    const char* failed = nullptr;
    if (s.lbClockwheelTemplate.empty()) {
        failed = messages::kNoTemplate;
    } else if (s.lbMasterPlaylists.Empty()) {
        failed = messages::kNoMasterPlaylists;
    } else if (s.lbSavePlaylist.empty()) {
        failed = messages::kNoOutputFile;
    } else if (StrToInt(s.ComboBox1) < 1) {
        failed = messages::kLengthBelowOne;
    }
    if (failed != nullptr) {
        context.prompts.ShowMessage(failed);
        return std::nullopt;
    }
    RepairPlaylists(context);
    const BuildOutcome outcome = BuildPlaylist(context);
    if (outcome.reachedLength)
        context.prompts.ShowMessage(messages::kBuildComplete);
    else
        context.prompts.ShowMessage(outcome.status.empty() ? ShortfallText(outcome)
                                                           : outcome.status);
    return outcome;
}

bool TooShortForFullPath(const std::string& line, PathStyle style) {
    return style == PathStyle::Windows ? line.size() < 3 : line.empty();
}

std::string CompleteLine(const std::string& line, const std::string& playlistPath,
                         PathStyle style) {
    if (TooShortForFullPath(line, style)) return line;
    const char sep = Separator(style);
    if (style == PathStyle::Posix) return line[0] == sep ? line : sep + line;
    if (line[2] == sep) return line;
    const std::string drive = playlistPath.substr(0, 2);
    return line[0] == sep ? drive + line : drive + sep + line;
}

void RepairPlaylists(BuildContext& context, PathStyle style) {
    BuildSession& s = context.session;
    for (int j = 0; j < s.lbMasterPlaylists.Count(); ++j) {
        context.view.SelectMasterPlaylist(j);
        const std::string path = s.lbMasterPlaylists[j];
        context.view.ShowStatus("Checking " + path + " for errors.");
        s.lbListCheckerMP3s.clear();
        s.lbMP3Errors.clear();
        LoadList(path, s.lbListCheckerMP3s);
        for (std::string& line : s.lbListCheckerMP3s) line = CompleteLine(line, path, style);
        SaveList(path, s.lbListCheckerMP3s);

        std::unordered_map<std::string, int> missing;
        for (const std::string& line : s.lbListCheckerMP3s) {
            if (TooShortForFullPath(line, style) || !FileExists(line)) {
                s.lbMP3Errors.push_back(line);
                ++missing[line];
            }
        }
        // Each missing entry takes away the first equal line from the top: one pass does it.
        LineList kept;
        kept.reserve(s.lbListCheckerMP3s.size());
        for (std::string& line : s.lbListCheckerMP3s) {
            auto it = missing.find(line);
            if (it != missing.end() && it->second > 0) {
                --it->second;
                continue;
            }
            kept.push_back(std::move(line));
        }
        s.lbListCheckerMP3s = std::move(kept);
        s.lbMP3Errors.clear();
        context.view.ShowStatus("The list has been repaired.");
        SaveList(path, s.lbListCheckerMP3s);
    }
}

void btAcceptFinalPlaylistClick(BuildContext& context) {
    BuildSession& s = context.session;
    if (s.lbSavePlaylist.empty()) return;
    SaveList(s.OutputFile(), s.lbFinalPlaylist);
    if (s.cbTextOutput) SaveList(s.OutputFile() + ".txt", s.mTextOutput);
}

void btClearFinalPlaylistClick(BuildContext& context) {
    context.session.lbFinalPlaylist.clear();
    context.view.ListChanged(ShownList::FinalPlaylist);
    for (Meter meter : {Meter::ProgressBar1, Meter::ProgressBar2, Meter::ProgressBar3})
        context.view.SetMeterPosition(meter, 0);
}

}  // namespace kestrune
