#include "ui/WebLinks.h"

#include "base/Exception.h"
#include "framework/Menus.h"
#include "ui/WebAddresses.h"

namespace kelpo {
namespace {

constexpr char NavigatePath[] = "/navigate.php?p_id=11&opt=";
constexpr char ServicePrefix[] = "3_";

}  // namespace

std::string LinkAddress(const std::string& optionCode) {
  return std::string(RedirectHostAddress) + NavigatePath + optionCode;
}

void WebLinks::OpenLandingPage() {
  Open("0");
}

void WebLinks::OpenMenuEntry(TComponent* sender) {
  Open(std::to_string(AsMenuItem(sender).Tag));
}

void WebLinks::OpenServiceEntry(TComponent* sender) {
  Open(ServicePrefix + std::to_string(AsMenuItem(sender).Tag));
}

const TMenuItem& WebLinks::AsMenuItem(TComponent* sender) {
  const auto* item = dynamic_cast<const TMenuItem*>(sender);
  if (!item) throw Exception("Invalid class typecast");
  return *item;
}

void WebLinks::Open(const std::string& optionCode) {
  shell_.Execute(owner_.Handle(), "open", LinkAddress(optionCode), ShowCommand::Show);
}

}  // namespace kelpo
