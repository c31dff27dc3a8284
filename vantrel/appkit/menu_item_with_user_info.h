// File: vantrel/appkit/menu_item_with_user_info.h
//
// `NSMenuItemWithUserInfo`: a menu item that carries a dictionary of texts
// for the host (which file it opens, which mode it picks, ...).
//
//   auto recent = NSMenuItemWithUserInfo::create("Report.txt", Selector("openRecent:"), "");
//   recent->userInfo()["path"] = "/tmp/Report.txt";
//   auto copy = recent->clone();                // a NSMenuItemWithUserInfo
//
// The dictionary is a value: a copy of the item has its own. Keys compare
// as texts do (canonically, vantrel/text/comparison.h).
//
// A copy (`clone`) is a new item of this very class made from the title,
// action and key equivalent, then given the target, alternate flag,
// indentation, enabled flag, tag, attributed title and user info; everything
// else starts afresh (state off, no submenu, command as modifier mask).
//
// Main-thread objects: not thread-safe.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "vantrel/platform/kit/menu_item.h"
#include "vantrel/platform/kit/selector.h"
#include "vantrel/text/comparison.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class NSMenuItemWithUserInfo : public MenuItem {
 public:
  using Ptr = std::shared_ptr<NSMenuItemWithUserInfo>;
  using UserInfo = std::unordered_map<std::string, std::string, TextHash, TextEqual>;

  // Starts with an empty user info.
  [[nodiscard]] static Ptr create(std::string title, std::optional<Selector> action, std::string keyEquivalent);

  [[nodiscard]] const UserInfo& userInfo() const { return userInfo_; }
  [[nodiscard]] UserInfo& userInfo() { return userInfo_; }
  void setUserInfo(UserInfo userInfo) { userInfo_ = std::move(userInfo); }

  [[nodiscard]] MenuItem::Ptr clone() const override;

 protected:
  NSMenuItemWithUserInfo(std::string title, std::optional<Selector> action, std::string keyEquivalent)
      : MenuItem(std::move(title), std::move(action), std::move(keyEquivalent)) {}

 private:
  UserInfo userInfo_;
};

}  // namespace vantrel
