// File: vantrel/platform/kit/geometry.h
//
// The geometry value types live in core (vantrel/core/geometry.h), so code
// below kit can use them.
#pragma once

#include "vantrel/core/geometry.h"
