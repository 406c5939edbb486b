#pragma once
// The maker's web addresses that the program opens in the user's browser.
// They lie under the reserved domain "orvanex.example", which reaches no one's
// site; a packager sets the real ones here.

namespace kelpo {

// The maker's home page: the about box shows it and opens it on a click.
constexpr const char* HomePageAddress = "https://www.orvanex.example/kelpo";

}  // namespace kelpo
