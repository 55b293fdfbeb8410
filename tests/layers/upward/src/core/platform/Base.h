#pragma once
#include "tags/Above.h"
