// File: vantrel/core/api.h
//
// `VANTREL_API` lives with the lowest module, which every other one uses.
#pragma once

#include "vantrel/platform/posix/api.h"
