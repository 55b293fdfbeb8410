#pragma once
// Whole-file replacement that never leaves a half-written file behind.

#include <memory>
#include <string>
#include <vector>

namespace kestrune {

// Whether a replacement reaches the disk before it takes the old file's place. The station's
// records (the final playlist, sessions, history, settings, reports) do, as a power cut must
// not leave an empty file where the old one was; the category rewrites of a build and the tag
// lists, written again by the next run and thousands at a time, need not.
enum class Sync { ToDisk, Later };

// Replaces the file with `bytes`: a temporary file beside it is written and renamed over it,
// so a crash, a kill or a full disk leaves the old file or the new one. With Sync::ToDisk the
// temporary is flushed to the disk before the rename, and the folder after it. "Cannot create file %s"
// when it cannot be written; the old file is then untouched. A symbolic link is followed only
// to a target inside the station's folders or the link's own folder, and only a regular file
// is replaced: otherwise the file is refused by name and nothing is written. The first write
// into a folder clears the temporaries that killed writers left there.
void ReplaceWholeFile(const std::string& path, const std::string& bytes, Sync sync = Sync::ToDisk);

// Flushes the entries of the folder that holds `path`, so that a rename in it survives a power
// cut. A folder that cannot be opened or synced (some network file systems) is left to the
// system.
void SyncFolderOf(const std::string& path);

// The station's own folders (start, playlists, sessions), for the link rule above; the
// process keeps the last ones set.
void SetStationFolders(std::vector<std::string> folders);

// What ReplaceWholeFile checks before it writes anything: throws its refusal of a link that
// leads out or of a file that is not a regular one. For commands that must refuse before they
// change any file.
void CheckReplaceable(const std::string& path);

// Removes the hidden temporaries (".NAME.kestrune-tmp") in `folder` whose writer is no longer
// alive; a temporary a live writer holds stays. Answers how many went.
size_t ClearLeftoverTemporaries(const std::string& folder);

// While one lives on this thread, replacing a file that exists swaps the new body and the old
// one between the file's name and its temporary's in one step, and the next replacement of the
// same file writes over that kept old body: the file system then makes and frees no file per
// write, which on a journalling disk costs far more than the bytes. For commands that rewrite
// the same files thousands of times. The kept bodies are hidden temporaries and go when it
// ends; a kill leaves them as leftovers that the next write of each file takes over. Where the
// system cannot swap two names, replacements go on as without it.
class TemporaryReuse {
public:
    TemporaryReuse();
    ~TemporaryReuse();
    TemporaryReuse(const TemporaryReuse&) = delete;
    TemporaryReuse& operator=(const TemporaryReuse&) = delete;

    struct Kept;

private:
    std::unique_ptr<Kept> kept_;
    Kept* outer_;
};

}  // namespace kestrune
