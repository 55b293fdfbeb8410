#include "sessions/DemoSession.h"

#include "platform/Paths.h"
#include "sessions/SessionFile.h"

namespace kestrune {

const std::vector<DemoCategory>& DemoCategories() {
    static const std::vector<DemoCategory> categories = {
        {"Oldie_", "demo_oldies.m3u"},           {"New_Hit_", "demo_newhits.m3u"},
        {"Current_", "demo_current.m3u"},        {"Promo_", "demo_promos.m3u"},
        {"Commercial_", "demo_commercials.m3u"}, {"PSA_", "demo_PSAs.m3u"},
        {"Jingle_", "demo_jingles.m3u"},
    };
    return categories;
}

LineList DemoPlaylistLines(const std::string& demoMp3Folder, const DemoCategory& category) {
    LineList lines;
    for (int n = 1; n <= 10; ++n)
        lines.push_back(JoinPath(demoMp3Folder, category.mp3Prefix + std::to_string(n) + ".mp3"));
    return lines;
}

bool LoadDemoSession2Click(BuildContext& context, const StationFolders& folders,
                           SaveQuestion& sessionDialog) {
    BuildSession& s = context.session;
    s.lbMasterPlaylists.Clear();
    context.view.ListChanged(ShownList::MasterPlaylists);
    for (const DemoCategory& category : DemoCategories()) {
        const std::string path = JoinPath(folders.playlists, category.playlistName);
        SaveList(path, DemoPlaylistLines(folders.demoMp3, category));
        s.lbMasterPlaylists.Add(path);
        context.view.ListChanged(ShownList::MasterPlaylists);
    }
    s.lbClockwheelTemplate.clear();
    s.slotTimes.Clear();
    context.view.ListChanged(ShownList::ClockwheelTemplate);
    LineList slots;
    LoadList(JoinPath(folders.sessions, kDemoTemplateFile), slots);
    for (const std::string& slot : slots)
        s.lbClockwheelTemplate.push_back(JoinPath(folders.playlists, slot));
    context.view.ListChanged(ShownList::ClockwheelTemplate);
    s.SetOutputFile(JoinPath(folders.playlists, kDemoOutputFile));
    context.view.ListChanged(ShownList::SavePlaylist);
    s.ComboBox1 = "60";
    sessionDialog.proposedName = kDemoSessionName;
    return SaveSession(context, sessionDialog);
}

}  // namespace kestrune
