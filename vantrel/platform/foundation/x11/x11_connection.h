// File: vantrel/platform/foundation/x11/x11_connection.h
//
// The X11 connection lives in the desktop module (Xlib stays out of
// foundation): vantrel/platform/desktop/x11_connection.h, component `desktop`.
#pragma once

#include "vantrel/platform/desktop/x11_connection.h"
