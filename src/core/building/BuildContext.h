#pragma once
// Everything a command of the build page works with besides the model itself.

#include "building/BuildSession.h"
#include "building/BuildView.h"
#include "building/Prompts.h"
#include "building/ShuffleList.h"
#include "platform/Clock.h"

namespace kestrune {

struct BuildContext {
    BuildSession& session;
    BuildView& view;
    Prompts& prompts;
    ShuffleSeeds& seeds;
    const Clock& clock;
};

}  // namespace kestrune
