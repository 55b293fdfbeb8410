#pragma once
// The small windows of the "Config" menu, each in its own file: the dupe checker, the genre
// checker, the rules, the library and output settings, and the directories window.

#include "DirectoriesWindow.h"
#include "DupeCheckerWindow.h"
#include "GenreCheckerWindow.h"
#include "LibraryWindow.h"
#include "RulesWindow.h"
