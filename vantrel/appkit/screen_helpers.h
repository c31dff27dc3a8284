// File: vantrel/appkit/screen_helpers.h
//
// Helpers on screens: the double-density test, the screen with the menu bar,
// and a capture of a screen's whole display.
//
//   isRetina(*screen)                  // backing scale factor == 2.0
//   NSScreen::menuBarScreen()          // the first screen listed, or null
//   capture(*screen)                   // its display's pixels as an image, or null
//
// `capture` asks the screen provider (`screenProvider()`) for the pixels of
// the display whose number the screen's device description carries. The
// image keeps every pixel as its one representation; its size is the pixel
// size converted from the screen's backing coordinates (half of it on a
// screen of scale 2.0). When the display cannot be imaged it prints the one
// line "Failed to get CGDisplayCreateImageForRect(<display number>)" and
// answers null. Caller's thread.
#pragma once

#include "vantrel/platform/graphics/image.h"
#include "vantrel/platform/kit/screen.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// True exactly when the screen's backing scale factor is 2.0.
[[nodiscard]] bool isRetina(const Screen& self);

namespace NSScreen {
// The screen with the menu bar: the first of `Screen::screens()`; null when
// there is none.
[[nodiscard]] Screen::Ptr menuBarScreen();
}  // namespace NSScreen

[[nodiscard]] Image::Ptr capture(const Screen& self);

}  // namespace vantrel
