#pragma once
// A main window over a station in a temporary folder, with scripted boxes and dialogs.

#include <filesystem>
#include <memory>

#include "MainForm.h"
#include "OptionWindows.h"
#include "ProcessEventsUntil.h"
#include "TimingWindow.h"
#include "ScriptedAppPrompts.h"
#include "support/Station.h"

namespace kestrune::app::testing {

struct AppFixture {
    AppFixture() {
        std::filesystem::create_directories(station.dir / "Playlists");
        std::filesystem::create_directories(station.dir / "Sessions");
    }
    // Made on first use, so that a test can put start-up files in place first.
    TfMainForm& Form() {
        if (!form) {
            const std::string ini = programIni.empty() ? station.dir / "kestrune.ini" : programIni;
            form = std::make_unique<TfMainForm>(station.dir.Path(), ini, &prompts);
            dupe = std::make_unique<TfDMCA>(form->Context());
            genre = std::make_unique<TfGenre>(form->Context());
            directories = std::make_unique<TfDirectories>(form->Context());
            form->AttachOptionWindows(dupe.get(), genre.get(), directories.get());
            rules = std::make_unique<TfRules>(form->Context());
            form->AttachRulesWindow(rules.get());
            timing = std::make_unique<TfTiming>(form->Context());
            form->AttachTimingWindow(timing.get());
            library = std::make_unique<TfLibrary>(form->Context());
            form->AttachLibraryWindow(library.get());
            // The auto build timer runs, but its ticks are the tests' to give (by calling
            // timerAutoBuildTimer): a slow test never sees a run it did not ask for.
            form->timerAutoBuild.blockSignals(true);
        }
        return *form;
    }
    std::string Path(const std::string& name) const { return station.dir / name; }

    kestrune::testing::StationFixture station;
    // The program's configuration file when it is not the station's own.
    std::string programIni;
    ScriptedAppPrompts prompts;
    std::unique_ptr<TfMainForm> form;
    std::unique_ptr<TfDMCA> dupe;
    std::unique_ptr<TfGenre> genre;
    std::unique_ptr<TfDirectories> directories;
    std::unique_ptr<TfRules> rules;
    std::unique_ptr<TfTiming> timing;
    std::unique_ptr<TfLibrary> library;
};

}  // namespace kestrune::app::testing
