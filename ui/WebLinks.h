#pragma once
// Links to the maker's pages. Every one goes through the redirect host with an
// option code that names the page: RedirectHostAddress followed by
// "/navigate.php?p_id=11&opt=" and the code. The address is handed to the
// system's default browser (the shell's "open", shown with SW_SHOW, owned by
// the main window); whether a browser opened it is not checked, and nothing
// is reported when none did.

#include <string>

#include "framework/Component.h"
#include "framework/Control.h"
#include "platform/Shell.h"

namespace kelpo {

class TMenuItem;

// The redirect address of an option code.
std::string LinkAddress(const std::string& optionCode);

class WebLinks {
 public:
  WebLinks(Shell& shell, const TWinControl& owner) : shell_(shell), owner_(owner) {}

  // Option code 0: the maker's general page (the banner, the tray menu's header).
  void OpenLandingPage();
  // A main entry of the links menu: the option code is the entry's Tag.
  void OpenMenuEntry(TComponent* sender);
  // An entry of the development-services submenu: "3_" and the entry's Tag.
  // The prefix is fixed; it does not follow the Tag of the submenu's parent.
  void OpenServiceEntry(TComponent* sender);

 private:
  // The sender as a menu item; another sender raises "Invalid class typecast".
  static const TMenuItem& AsMenuItem(TComponent* sender);
  void Open(const std::string& optionCode);

  Shell& shell_;
  const TWinControl& owner_;
};

}  // namespace kelpo
