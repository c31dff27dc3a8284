// File: vantrel/platform/foundation/files/folders.h
//
// The user's standard folders on Linux, in place of the platform's
// standard-directory search. Every call reads the environment again, so a
// test (or a host) can point HOME and XDG_* at another folder at any time.
//
//   standardFolderPath(StandardFolder::library)   // ${XDG_DATA_HOME:-$HOME/.local/share}
//   standardFolderPath(StandardFolder::documents) // XDG_DOCUMENTS_DIR from user-dirs.dirs,
//                                                 // else $HOME/Documents
//
// | folder                         | Linux                                       |
// |--------------------------------|---------------------------------------------|
// | home                           | $HOME (else the password database)          |
// | library, applicationSupport    | ${XDG_DATA_HOME:-~/.local/share}            |
// | caches                         | ${XDG_CACHE_HOME:-~/.cache}                 |
// | preferences                    | ${XDG_CONFIG_HOME:-~/.config}               |
// | documents ... music            | ${XDG_CONFIG_HOME}/user-dirs.dirs entry,    |
// |                                | else ~/Documents, ~/Desktop, ~/Downloads,   |
// |                                | ~/Pictures, ~/Videos, ~/Music               |
// | temporary                      | ${TMPDIR:-/tmp}                             |
//
// An XDG variable that is empty or not an absolute path is ignored, as the
// XDG rules say. Paths come without a trailing slash. Nothing is created.
// Thread-safe (reads only), but the environment itself must not be changed
// by another thread during a call.
#pragma once

#include <string>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

enum class StandardFolder {
  home,
  library,
  applicationSupport,
  caches,
  preferences,
  documents,
  desktop,
  downloads,
  pictures,
  movies,
  music,
  temporary,
};

[[nodiscard]] std::string standardFolderPath(StandardFolder folder);

// The same as `standardFolderPath(StandardFolder::home)`.
[[nodiscard]] std::string homeDirectory();

}  // namespace vantrel
