#include "building/BuildCommand.h"

#include <algorithm>
#include <unordered_map>

#include "building/PlaylistBuilder.h"
#include "building/StopRequest.h"
#include "output/FinalPlaylistFile.h"
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

std::string OutputIsCategoryMessage(const std::string& outputFile) {
    return "The final playlist cannot be saved as " + outputFile +
           ": that file is one of the playlists this session draws from, and saving would "
           "overwrite it. Click \"Where should I save final playlist?\" to choose another file.";
}

std::string OrphanSlotMessage(int slot, const std::string& playlist) {
    return "Slot " + std::to_string(slot + 1) + " of the Clock Wheel Template uses " + playlist +
           ", which is no longer in the list of playlists to use. Add it again with the plus "
           "sign, or double click the slot to remove it.";
}

std::string CategoryAtOutput(const BuildSession& session) {
    const std::string output = session.OutputFile();
    if (output.empty()) return std::string();
    for (const LineList* lists : {&session.lbMasterPlaylists.Lines(), &session.lbClockwheelTemplate})
        for (const std::string& playlist : *lists)
            if (SameFile(playlist, output)) return playlist;
    return std::string();
}

int OrphanSlot(const BuildSession& session) {
    const LineList& slots = session.lbClockwheelTemplate;
    const LineList& masters = session.lbMasterPlaylists.Lines();
    for (size_t i = 0; i < slots.size(); ++i)
        if (std::find(masters.begin(), masters.end(), slots[i]) == masters.end())
            return static_cast<int>(i);
    return -1;
}

namespace {

// The first failing check's message; empty when all pass.
std::string FailedCheck(const BuildSession& s) {
    if (s.lbClockwheelTemplate.empty()) return messages::kNoTemplate;
    if (s.lbMasterPlaylists.Empty()) return messages::kNoMasterPlaylists;
    if (s.lbSavePlaylist.empty()) return messages::kNoOutputFile;
    if (StrToInt(s.ComboBox1) < 1) return messages::kLengthBelowOne;
    // A build writes its output over whatever is there: never over a category.
    if (!CategoryAtOutput(s).empty()) return OutputIsCategoryMessage(s.OutputFile());
    // Such a slot would take its songs from whichever playlist the slot before it used.
    if (const int slot = OrphanSlot(s); slot >= 0)
        return OrphanSlotMessage(slot, s.lbClockwheelTemplate[static_cast<size_t>(slot)]);
    return std::string();
}

}  // namespace

std::optional<BuildOutcome> btBuildPlaylistClick(BuildContext& context) {
    BuildSession& s = context.session;
    const std::string failed = FailedCheck(s);
    if (!failed.empty()) {
        context.prompts.ShowMessage(failed);
        return std::nullopt;
    }
    RepairPlaylists(context);
    const BuildOutcome outcome = BuildPlaylist(context);
    // A build the user stopped says so in the status line; it is not complete.
    if (StopRequested()) return outcome;
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

bool btAcceptFinalPlaylistClick(BuildContext& context) {
    BuildSession& s = context.session;
    if (s.lbSavePlaylist.empty()) return false;
    if (!CategoryAtOutput(s).empty()) {
        context.prompts.ShowMessage(OutputIsCategoryMessage(s.OutputFile()));
        return false;
    }
    WriteFinalPlaylist(s.OutputFile(), s.lbFinalPlaylist, s.output);
    WriteTextLog(s);
    return true;
}

std::string TextLogPath(const BuildSession& session) {
    return session.OutputFile() + ".txt";
}

void WriteTextLog(const BuildSession& session) {
    if (session.cbTextOutput) SaveList(TextLogPath(session), session.mTextOutput);
}

void btClearFinalPlaylistClick(BuildContext& context) {
    context.session.lbFinalPlaylist.clear();
    context.session.finalPlaylistSeconds = 0;
    // The log describes the builds of the final playlist: they go together.
    context.session.mTextOutput.clear();
    context.view.ListChanged(ShownList::FinalPlaylist);
    for (Meter meter : {Meter::ProgressBar1, Meter::ProgressBar2, Meter::ProgressBar3})
        context.view.SetMeterPosition(meter, 0);
}

}  // namespace kestrune
