#include "Mp3Synth.h"
