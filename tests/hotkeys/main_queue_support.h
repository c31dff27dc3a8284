// Helpers for the hot-key tests: waiting for the main-queue work of a press.
#pragma once

#include "tests/support/main_loop.h"

