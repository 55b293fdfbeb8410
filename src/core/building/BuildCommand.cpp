#include "building/BuildCommand.h"

#include <algorithm>
#include <unordered_map>

#include "building/BuildReport.h"
#include "building/BuildWrite.h"
#include "building/MusicFolderCheck.h"
#include "building/PlaylistBuilder.h"
#include "building/PlaylistFile.h"
#include "building/PlaysToRecord.h"
#include "building/RemovedSongsLog.h"
#include "building/StationJob.h"
#include "output/FinalPlaylistFile.h"
#include "output/SongPaths.h"
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
const char* const kListRepaired = "The list has been repaired.";
}  // namespace messages

std::string BuildCompleteMessage(size_t rulesBroken) {
    if (rulesBroken == 0) return messages::kBuildComplete;
    return std::string(messages::kBuildComplete) + "\n\n" + std::to_string(rulesBroken) +
           (rulesBroken == 1 ? " rule had to break in this build; the text log names it."
                             : " rules had to break in this build; the text log names each.");
}

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
    return CategoryAt(session, session.OutputFile());
}

std::string CategoryAt(const BuildSession& session, const std::string& output) {
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

std::string FailedBuildCheck(const BuildSession& s) {
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

std::optional<BuildOutcome> btBuildPlaylistClick(BuildContext& context) {
    BuildSession& s = context.session;
    const std::string failed = FailedBuildCheck(s);
    if (!failed.empty()) {
        context.prompts.ShowMessage(failed);
        return std::nullopt;
    }
    const size_t breaksBefore = s.lbRuleBreaks.size();
    const BuildOutcome outcome = [&] {
        const StationJob job(context, "build of " + ExtractFileName(s.OutputFile()));
        RepairPlaylists(context);
        return BuildPlaylist(context);
    }();
    // A build the user stopped says so in the status line; it is not complete.
    if (context.reader.StopRequested()) return outcome;
    if (outcome.reachedLength)
        context.prompts.ShowMessage(
            BuildCompleteMessage(s.lbRuleBreaks.size() - std::min(breaksBefore, s.lbRuleBreaks.size())));
    else
        context.prompts.ShowMessage(outcome.status.empty() ? ShortfallText(outcome)
                                                           : outcome.status);
    return outcome;
}

namespace {

std::string Counted(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

bool IsBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// A master playlist as the repair found it, before anything is changed.
struct PlaylistUnderRepair {
    std::string path;
    PlaylistLayout layout;
    LineList entries;
    std::vector<bool> missing;  // per entry: its song line names no file
    std::vector<std::string> missingFiles;
    std::vector<std::string> presentFiles;
    size_t songLines = 0;
    bool keepAsItIs = false;  // its music folder is away: nothing of it is removed
};

// Reads the playlist and looks at every song it names. Throws when it cannot be read, or, to be
// rewritten, when it must not be: in a form a rewrite would damage, or a link that leads out.
PlaylistUnderRepair ExaminePlaylist(const std::string& path, bool toRewrite = true) {
    PlaylistUnderRepair list;
    list.path = path;
    LoadPlaylist(path, list.layout, list.entries);
    if (toRewrite) CheckReplaceable(path);
    list.missing.reserve(list.entries.size());
    for (const std::string& entry : list.entries) {
        const std::string_view song = SongLineOf(entry);
        const std::optional<std::string> file = ExistingSongFile(song, path);
        list.missing.push_back(!file);
        if (IsBlank(song)) continue;  // no song at all, whatever its folder
        ++list.songLines;
        if (file) {
            list.presentFiles.push_back(*file);
        } else {
            list.missingFiles.push_back(SongFilePath(song, path));
        }
    }
    return list;
}

// Tells songs deleted from a library away, over the whole station: a playlist whose songs'
// folder is away is named and kept as it is, and the build passes its missing songs over;
// only when such a playlist has no song there at all does the repair stop, changing nothing.
void JudgeMusicFolders(BuildContext& context, std::vector<PlaylistUnderRepair>& lists,
                       bool fewFilesIsAway = true) {
    std::vector<std::string> present, missing;
    for (const PlaylistUnderRepair& list : lists) {
        present.insert(present.end(), list.presentFiles.begin(), list.presentFiles.end());
        missing.insert(missing.end(), list.missingFiles.begin(), list.missingFiles.end());
    }
    std::string stop, away;
    for (PlaylistUnderRepair& list : lists) {
        const std::string folder =
            UnreachableMusicFolder(list.missingFiles, list.songLines, present, missing,
                                   fewFilesIsAway);
        if (folder.empty()) continue;
        ReportToUser(context, "Left " + list.path + " as it is: " +
                                  std::to_string(list.missingFiles.size()) + " of its " +
                                  Counted(list.songLines, "song", "songs") + " name no file, under " +
                                  folder + ".");
        list.keepAsItIs = true;
        if (list.presentFiles.empty() && stop.empty()) stop = folder;
        if (away.empty()) away = folder;
    }
    if (!stop.empty()) throw KestruneError(MusicFolderAwayMessage(stop));
    if (!away.empty())
        ReportToUser(context, "The music folder " + away +
                                  " cannot be reached: its songs stay in their playlists and the "
                                  "build passes them over.");
}

// Takes out the entries whose song line names no file, naming each, and adds a record of every
// line taken out to `records`. An "#EXTINF" line describes the song after it and goes with it;
// the entry's other comment lines stay, going on with the next entry kept or to the end.
size_t RemoveMissingSongs(BuildContext& context, const PlaylistUnderRepair& list,
                          PlaylistLayout& layout, LineList& records) {
    BuildSession& s = context.session;
    const std::string& path = list.path;
    const LocalDateTime now = context.clock.Now();
    LineList kept;
    kept.reserve(s.lbListCheckerMP3s.size());
    std::string carried;
    for (size_t i = 0; i < s.lbListCheckerMP3s.size(); ++i) {
        std::string& entry = s.lbListCheckerMP3s[i];
        if (!list.missing[i]) {
            if (!carried.empty()) entry = carried + '\n' + entry;
            carried.clear();
            kept.push_back(std::move(entry));
            continue;
        }
        const std::string song(SongLineOf(entry));
        s.lbMP3Errors.push_back(song);
        std::string info;
        ForEachLine(CommentsOf(entry), [&](std::string_view line) {
            if (IsExtinfLine(line)) {
                info.assign(line);
                records.push_back(RemovedSongRecord(now, path, info));
                return;
            }
            if (!carried.empty()) carried += '\n';
            carried += line;
        });
        records.push_back(RemovedSongRecord(now, path, song));
        ReportToUser(context, "Removed \"" + song + "\"" +
                                  (info.empty() ? std::string() : " with its \"" + info + "\"") +
                                  " from " + path + ": it names no file.");
    }
    if (!carried.empty()) {
        LineList lines = ParseLines(carried);
        layout.trailer.insert(layout.trailer.begin(), lines.begin(), lines.end());
    }
    const size_t removed = s.lbMP3Errors.size();
    s.lbListCheckerMP3s = std::move(kept);
    s.lbMP3Errors.clear();
    return removed;
}

}  // namespace

void RepairPlaylists(BuildContext& context) {
    BuildSession& s = context.session;
    // Every playlist is read and judged before any is written: a refusal leaves them all as
    // they were.
    std::vector<PlaylistUnderRepair> lists;
    lists.reserve(static_cast<size_t>(s.lbMasterPlaylists.Count()));
    for (int j = 0; j < s.lbMasterPlaylists.Count(); ++j)
        lists.push_back(ExaminePlaylist(s.lbMasterPlaylists[j]));
    JudgeMusicFolders(context, lists);

    size_t removedLines = 0;
    size_t playlistsTouched = 0;
    for (int j = 0; j < s.lbMasterPlaylists.Count(); ++j) {
        context.view.SelectMasterPlaylist(j);
        PlaylistUnderRepair& list = lists[static_cast<size_t>(j)];
        // A playlist named twice is repaired again from what its first repair wrote.
        for (int k = 0; k < j; ++k)
            if (lists[static_cast<size_t>(k)].path == list.path) {
                const bool keep = list.keepAsItIs;
                list = ExaminePlaylist(list.path);
                list.keepAsItIs = keep;
                break;
            }
        if (list.keepAsItIs) continue;  // its music is away: not a line of it goes
        const std::string& path = list.path;
        context.view.ShowStatus("Checking " + path + " for errors.");
        s.lbListCheckerMP3s = std::move(list.entries);
        s.lbMP3Errors.clear();
        PlaylistLayout& layout = list.layout;
        SavePlaylist(path, layout, s.lbListCheckerMP3s);
        LineList records;
        const size_t removed = RemoveMissingSongs(context, list, layout, records);
        // Recorded before the playlist loses them: a kill between the two keeps both.
        AppendRemovedSongs(path, records);
        removedLines += removed;
        if (removed > 0) ++playlistsTouched;
        context.view.ShowStatus(messages::kListRepaired);
        SavePlaylist(path, layout, s.lbListCheckerMP3s);
    }
    if (removedLines == 0) return;
    ReportToUser(context, Counted(removedLines, "line", "lines") + " naming no file removed from " +
                              Counted(playlistsTouched, "playlist", "playlists"));
    context.view.ShowStatus(messages::kListRepaired);
}

void CheckMusicFolders(BuildContext& context, const std::vector<std::string>& playlists) {
    std::vector<PlaylistUnderRepair> lists;
    for (const std::string& path : playlists) {
        // One that cannot be read is the build's to name, in its place in the run.
        try {
            lists.push_back(ExaminePlaylist(path, false));
        } catch (const KestruneError&) {
        }
    }
    // Nothing is removed here: only a folder truly away stops the run; songs gone from a
    // folder that lists files leave their hour short, named as such.
    JudgeMusicFolders(context, lists, false);
}

bool btAcceptFinalPlaylistClick(BuildContext& context) {
    BuildSession& s = context.session;
    if (s.lbSavePlaylist.empty()) return false;
    if (!CategoryAtOutput(s).empty()) {
        context.prompts.ShowMessage(OutputIsCategoryMessage(s.OutputFile()));
        return false;
    }
    const StationJob job(context, "saving of " + ExtractFileName(s.OutputFile()));
    WriteFinalBuild(s, context.reader);
    return true;
}

std::string TextLogPath(const BuildSession& session) {
    return session.OutputFile() + ".txt";
}

void btClearFinalPlaylistClick(BuildContext& context) {
    context.session.lbFinalPlaylist.clear();
    context.session.finalPlaylistSeconds = 0;
    // The log describes the builds of the final playlist: they go together.
    context.session.mTextOutput.clear();
    DropPendingPlays(context.session);
    context.view.ListChanged(ShownList::FinalPlaylist);
    for (Meter meter : {Meter::ProgressBar1, Meter::ProgressBar2, Meter::ProgressBar3})
        context.view.SetMeterPosition(meter, 0);
}

}  // namespace kestrune
