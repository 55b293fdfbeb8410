#include "sessions/SessionFile.h"

#include "building/PlaysToRecord.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "sessions/SlotTimesFile.h"

namespace kestrune {

namespace messages {
const char* const kSessionNoPlaylists =
    "You have no playlists specified in the upper left hand window.";
const char* const kSessionNoTemplate = "You have nothing in the upper right hand window.";
const char* const kSessionTooShort = "Your final playlist must be at least minute long.";
const char* const kSessionNoOutputFile =
    "You have not specified a filename for your final playlist.";
}  // namespace messages

SaveQuestion SessionSaveDialog(const std::string& sessionsFolder) {
    return SaveQuestion{"", "Clock Wheel Template|*.cwt", "cwt", sessionsFolder, "*.cwt"};
}

LineList SessionLines(const BuildSession& s) {
    LineList lines = s.lbMasterPlaylists.Lines();
    lines.push_back("#");
    lines.insert(lines.end(), s.lbClockwheelTemplate.begin(), s.lbClockwheelTemplate.end());
    lines.push_back("##");
    lines.push_back(s.ComboBox1);
    lines.push_back("###");
    lines.push_back(s.OutputFile());
    lines.push_back("####");
    std::string options;
    options += s.cbTextOutput ? '1' : '0';
    options += s.fGenre.cbGenreCheck ? '1' : '0';
    options += s.fDMCA.cbDupeCheck ? '1' : '0';
    lines.push_back(options);
    if (s.fDMCA.cbDupeCheck) lines.push_back(s.fDMCA.ComboBox1);
    return lines;
}

bool SaveSession(BuildContext& context, SaveQuestion& dialog) {
    const BuildSession& s = context.session;
    const int32_t length = StrToInt(s.ComboBox1);
    const char* failed = nullptr;
    if (s.lbMasterPlaylists.Empty()) {
        failed = messages::kSessionNoPlaylists;
    } else if (s.lbClockwheelTemplate.empty()) {
        failed = messages::kSessionNoTemplate;
    } else if (length < 1) {
        failed = messages::kSessionTooShort;
    } else if (s.lbSavePlaylist.empty()) {
        failed = messages::kSessionNoOutputFile;
    }
    if (failed != nullptr) {
        context.prompts.ShowMessage(failed);
        return false;
    }
    // The lines are taken before the dialog opens: the file holds the session as it was then.
    const LineList lines = SessionLines(s);
    const LineList slots = s.lbClockwheelTemplate;
    const SlotTimes times = s.slotTimes;
    const auto chosen = context.prompts.AskSaveFileName(dialog);
    if (!chosen) return false;
    dialog.proposedName = *chosen;
    // The old file goes when the new one takes its place.
    SaveList(*chosen, lines);
    SaveSlotTimes(*chosen, slots, times);
    return true;
}

namespace {

void ApplyOptions(const std::string& options, BuildSession& s) {
    if (options.size() > 0) s.cbTextOutput = options[0] == '1';
    if (options.size() > 1) s.fGenre.cbGenreCheck = options[1] == '1';
    if (options.size() > 2) s.fDMCA.cbDupeCheck = options[2] == '1';
}

}  // namespace

void LoadSession(const std::string& path, BuildContext& context) {
    BuildSession& s = context.session;
    BuildView& view = context.view;
    s.lbMasterPlaylists.Clear();
    s.lbClockwheelTemplate.clear();
    s.slotTimes.Clear();
    s.lbFinalPlaylist.clear();
    s.finalPlaylistSeconds = 0;
    s.mTextOutput.clear();  // a log always describes the final playlist beside it
    DropPendingPlays(s);
    s.lbTempListBox1.clear();
    s.ComboBox1.clear();
    s.lbSavePlaylist.clear();
    struct Notify {  // the panes show what was loaded, also when the load stops half-way
        BuildView& view;
        ~Notify() {
            for (ShownList list : {ShownList::MasterPlaylists, ShownList::ClockwheelTemplate,
                                   ShownList::FinalPlaylist, ShownList::SavePlaylist})
                view.ListChanged(list);
        }
    } notify{view};

    LineList lines;
    LoadList(path, lines);
    for (Meter meter : {Meter::ProgressBar1, Meter::ProgressBar2, Meter::ProgressBar3})
        view.SetMeterPosition(meter, 0);

    long long i = 0;
    for (; LineAt(lines, i) != "#"; ++i) s.lbMasterPlaylists.Add(lines[i]);
    for (++i; LineAt(lines, i) != "##"; ++i) s.lbClockwheelTemplate.push_back(lines[i]);
    const long long lengthAt = i + 1;
    s.ComboBox1 = LineAt(lines, lengthAt);
    s.SetOutputFile(LineAt(lines, i + 3));
    if (i + 5 < static_cast<long long>(lines.size())) {
        const std::string& options = lines[i + 5];
        ApplyOptions(options, s);
        if (options.size() > 2 && options[2] == '1' && i + 6 < static_cast<long long>(lines.size()))
            s.fDMCA.ComboBox1 = lines[i + 6];
    }
    SlotTimesRead times = LoadSlotTimes(path, s.lbClockwheelTemplate);
    s.slotTimes = std::move(times.times);
    for (const std::string& problem : times.problems)
        view.ReportProblem(SlotTimesPath(path) + (problem.rfind("line ", 0) == 0 ? ", " : " ") +
                           problem + ".");
}

}  // namespace kestrune
