#pragma once
// What every station verb of kestrune-cli shares: the current folder (or --station DIR) as the
// start folder, the station's settings files, status lines on standard output, the reader's
// error question answered Ignore, and the shuffle seeds of --seed.

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "CliOptions.h"
#include "building/BuildContext.h"
#include "building/PassOverFiles.h"
#include "platform/StationLock.h"
#include "sessions/StationConfig.h"
#include "sessions/StationPlaces.h"

namespace kestrune::cli {

// Prints every status line as it comes; what the user must be told goes to standard error too.
class PrintingView : public HeadlessView {
public:
    void ShowStatus(const std::string& text) override;
    void ReportProblem(const std::string& text) override;

private:
    std::set<std::string> said_;
};

// Keeps the program's messages for the verb to report; save questions are answered with the
// proposed name in the dialog's folder, without asking.
class UnattendedPrompts : public Prompts {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    int AskOpenError(const std::string& fileName) override;
    std::optional<std::string> AskSaveFileName(const SaveQuestion& question) override;
    std::vector<std::string> messages;
};

// --station DIR: the run goes on in DIR as if the tool had been started there ("Cannot open
// file %s" when it cannot). Files named on the command line stay the caller's: see
// ArgumentPath.
void EnterStation(const std::string& folder);

// A file named on the command line, to use in the station: a relative name is taken from the
// folder the tool was started in. Unchanged without --station.
std::string ArgumentPath(const std::string& argument);

// The station this run works in: the start folder, the program's configuration file and the
// station's settings files. "Cannot open file ." when the start folder cannot be read.
StationPlaces CurrentStation();


// Takes "--seed N" out of the arguments; nothing when it is absent.
std::optional<uint32_t> TakeSeedOption(std::vector<std::string>& args);

class CliStation {
private:
    SystemClock clock_;
    std::unique_ptr<ShuffleSeeds> seeds_;

public:
    // Songs are read with `reader`, its error question answered by the station's prompts.
    CliStation(std::optional<uint32_t> seed, const ReaderSetup& reader);
    // Ends with the summary of the files the reader passed over, on standard error.
    ~CliStation();
    CliStation(const CliStation&) = delete;
    CliStation& operator=(const CliStation&) = delete;

    BuildSession session;
    SortedList schedule;
    PrintingView view;
    UnattendedPrompts prompts;
    PassOverFiles passOver{prompts};
    StationFolders folders;
    BuildContext context;

    // Takes the station's lock for `job` ("build of morning.cwt") before anything is written;
    // while another job holds it, standard error says what this one waits for. Held until the
    // station goes.
    void Lock(const std::string& job);

private:
    std::unique_ptr<StationLock> lock_;
};

}  // namespace kestrune::cli
