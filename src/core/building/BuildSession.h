#pragma once
// The one model of a build: its inputs, its results and the builder's hidden working lists.
// Members carry the names of the controls that show them.

#include <cstdint>
#include <string>

#include "output/PlaylistEntry.h"
#include "platform/LineList.h"
#include "timing/SlotTime.h"

namespace kestrune {

// The dupe checker window's options.
struct DupeCheckerOptions {
    bool cbDupeCheck = true;
    std::string ComboBox1 = "3";  // dupe window in hours, as typed
};

// The genre checker window's option.
struct GenreCheckerOptions {
    bool cbGenreCheck = false;
};

struct BuildSession {
    // Inputs, saved and restored with a session file.
    SortedList lbMasterPlaylists;
    LineList lbClockwheelTemplate;
    SlotTimes slotTimes;  // the timed slots of the template, by index; kept beside the session
    std::string ComboBox1 = "60";  // desired length in minutes, as typed
    LineList lbSavePlaylist;       // at most one line: where the final playlist goes
    bool cbTextOutput = false;
    DupeCheckerOptions fDMCA;
    GenreCheckerOptions fGenre;
    OutputOptions output;  // the configuration file's [Output] settings, read at start

    // Results: builds append to them.
    LineList lbFinalPlaylist;
    LineList mTextOutput;  // the text log of the builds in lbFinalPlaylist
    int32_t finalPlaylistSeconds = 0;  // the playing time the builds placed in lbFinalPlaylist
    LineList lbRuleBreaks;  // every rule a build had to break, one line each; grows likewise
    // What the builds read of each song they placed: the playlist is written from it, so a file
    // gone since it was placed keeps its length and tags.
    PlacedSongs placedSongs;
    // The station's play history with the plays of the builds in lbFinalPlaylist, recorded when
    // the playlist is written (empty path: nothing to record).
    std::string historyPath;
    std::string historyText;

    // Hidden working lists; they last for the whole run.
    LineList lbTempListBox1;
    LineList lbRepeatCheckList;      // recent songs, oldest first
    LineList lbDupeArtistChecklist;  // recent artists, oldest first; never emptied
    LineList lbListCheckerMP3s;      // the playlist being repaired
    LineList lbMP3Errors;            // its lines that name no file
    LineList lbListMakerMP3s;
    LineList lbFiles;
    LineList lbGenreList;

    // The output file, or empty text when none is chosen.
    std::string OutputFile() const {
        return lbSavePlaylist.empty() ? std::string() : lbSavePlaylist[0];
    }
    // Replaces the output file's line.
    void SetOutputFile(const std::string& path) { lbSavePlaylist.assign(1, path); }
};

}  // namespace kestrune
