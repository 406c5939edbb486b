#pragma once
// The maker's web addresses, one constant each. A packager sets the real ones
// here; they lie under the reserved domain orvanex.example until then, so that
// no click sends a user to a stranger's site. The artwork generator
// (tools/artwork) reads the home page address from this file and prints it,
// without its scheme, in the pictures.

namespace kelpo {

// The maker's redirect host: its page "/navigate.php?p_id=11&opt=CODE"
// forwards to the page that the option code names.
inline constexpr char RedirectHostAddress[] = "https://go.orvanex.example";

// The maker's home page.
inline constexpr char HomePageAddress[] = "https://www.orvanex.example/kelpo";

}  // namespace kelpo
