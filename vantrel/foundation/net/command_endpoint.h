// File: vantrel/foundation/net/command_endpoint.h
//
// The command endpoint is its own module (libcurl stays out of foundation):
// vantrel/endpoint/command_endpoint.h, component `endpoint`.
#pragma once

#include "vantrel/endpoint/command_endpoint.h"
