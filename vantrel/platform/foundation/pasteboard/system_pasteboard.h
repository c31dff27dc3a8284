// File: vantrel/platform/foundation/pasteboard/system_pasteboard.h
//
// The desktop's clipboard lives in the desktop module (Xlib stays out of
// foundation): vantrel/platform/desktop/system_pasteboard.h, component
// `desktop`.
#pragma once

#include "vantrel/platform/desktop/system_pasteboard.h"
