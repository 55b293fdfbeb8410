#include "platform/FileSetReplace.h"

#include <cstdio>
#include <filesystem>

#include "platform/FileReplace.h"
#include "platform/Files.h"
#include "platform/KestruneError.h"
#include "platform/LineList.h"
#include "platform/Paths.h"
#include "platform/StationLock.h"


namespace kestrune {

namespace {

namespace fs = std::filesystem;

// The file a path names, links followed, as the rename must replace it.
std::string TargetOf(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::weakly_canonical(fs::path(path), error);
    return error ? path : target.string();
}

// Beside its target and hidden. Not the ending of ReplaceWholeFile's temporaries, whose
// leftovers a first write into a folder clears: a journal may still name this one. A kill
// before the journal leaves it until the next replacement of the same file writes over it.
std::string SetTemporaryOf(const std::string& target) {
    return JoinPath(ExtractFilePath(target), "." + ExtractFileName(target) + ".kestrune-set");
}

void ApplyJournal(const std::string& journal) {
    LineList lines;
    LoadList(journal, lines);
    for (const std::string& line : lines) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        const std::string temp = line.substr(0, tab);
        const std::string target = line.substr(tab + 1);
        // Gone already: renamed before the kill.
        if (!FileExists(temp)) continue;
        if (std::rename(temp.c_str(), target.c_str()) != 0) throw errors::CannotCreateFile(target);
        SyncFolderOf(target);
    }
    if (!RemoveFile(journal)) throw errors::CannotCreateFile(journal);
    SyncFolderOf(journal);
}

}  // namespace

void ReplaceFilesTogether(const std::vector<FileBytes>& files) {
    const std::string folder = StationLock::Folder();
    // A name the journal's lines cannot hold: one after the other, as before.
    bool plainNames = true;
    for (const FileBytes& file : files)
        plainNames = plainNames && file.path.find_first_of("\t\r\n") == std::string::npos;
    if (files.size() < 2 || folder.empty() || !plainNames) {
        for (const FileBytes& file : files) ReplaceWholeFile(file.path, file.bytes);
        return;
    }
    for (const FileBytes& file : files) CheckReplaceable(file.path);
    LineList journal;
    std::vector<std::string> written;
    try {
        for (const FileBytes& file : files) {
            const std::string target = TargetOf(file.path);
            const std::string temp = SetTemporaryOf(target);
            ReplaceWholeFile(temp, file.bytes);
            written.push_back(temp);
            // The new file keeps the mode the user gave the old one.
            std::error_code error;
            const fs::perms mode = fs::status(target, error).permissions();
            if (!error && fs::exists(fs::status(target, error)))
                fs::permissions(temp, mode, fs::perm_options::replace, error);
            journal.push_back(temp + "\t" + target);
        }
    } catch (const KestruneError&) {
        // A folder that takes no new file, or a full disk: no file was replaced; each is then
        // written as before, which writes in place where it can or names the file it cannot.
        for (const std::string& temp : written) RemoveFile(temp);
        for (const FileBytes& file : files) ReplaceWholeFile(file.path, file.bytes);
        return;
    }
    const std::string journalPath = JoinPath(folder, kReplaceJournalFile);
    SaveList(journalPath, journal);
    ApplyJournal(journalPath);
}

void FinishUnfinishedReplace(const std::string& folder) {
    if (folder.empty()) return;
    const std::string journal = JoinPath(folder, kReplaceJournalFile);
    if (FileExists(journal)) ApplyJournal(journal);
}

}  // namespace kestrune
