// File: vantrel/drawing/color_defaults.h
//
// Colours kept in user defaults, under the caller's key, as data: the
// library's own small encoding of the colour space and every component, so
// each colour the kit makes reads back equal (`*read == *written`).
//
//   vtSetColor(*defaults, NSColor::infoBlue(), "Accent");
//   vtColorForKey(*defaults, "Accent");          // equal to infoBlue
//   vtSetColor(nullptr, "Accent");               // standard store: removes the key
//   colorForKey(vantrelUserDefaults, "Accent");  // null while stored state is ignored
//
// Three sets of the same two operations: on any store, on
// `UserDefaults::standard()` (fetched at each call), and on
// `vantrelUserDefaults`, whose read answers null while its ignore-state
// switch is on and whose write goes through regardless (it reads and writes
// through that object's `dataForKey` / `setData`).
//
// A read answers null for a missing key, a value of another kind (a text, a
// number) and any data that is not an encoding written here: foreign or
// damaged bytes never stop the program. A null colour removes the key.
// Nothing prints; writes do not synchronize.
//
// The encoding, 22 or 38 bytes: "VtCl", version 1, the space (1 calibrated
// RGB, 2 device RGB, 3 calibrated white), then the components (red, green,
// blue, alpha or white, alpha) as IEEE-754 doubles, big-endian, bit for bit.
// Nothing else is accepted, trailing bytes included. Thread-safe as the
// stores are.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "vantrel/foundation/defaults/vantrel_user_defaults.h"
#include "vantrel/platform/foundation/defaults/user_defaults.h"
#include "vantrel/core/color.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The encoding of a colour (a null colour stops the program).
[[nodiscard]] std::vector<std::uint8_t> archivedColorData(const Color::Ptr& color);
// The colour of an encoding, or null for any other bytes.
[[nodiscard]] Color::Ptr unarchivedColor(std::span<const std::uint8_t> data);

[[nodiscard]] Color::Ptr vtColorForKey(const UserDefaults& self, std::string_view key);
void vtSetColor(UserDefaults& self, const Color::Ptr& color, std::string_view key);

// The same on the standard store.
[[nodiscard]] Color::Ptr vtColorForKey(std::string_view key);
void vtSetColor(const Color::Ptr& color, std::string_view key);

// `VantrelUserDefaults` accessors, shaped like its own typed ones.
[[nodiscard]] Color::Ptr colorForKey(const VantrelUserDefaults& self, std::string_view key);
void setColor(const VantrelUserDefaults& self, const Color::Ptr& color, std::string_view key);

}  // namespace vantrel
