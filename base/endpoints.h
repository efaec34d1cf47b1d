#pragma once
// Every host name and address of the maker that the program reaches.

namespace companion {

// Serves "/bible/v1/<translation code>/<book code>.json" over HTTPS.
inline constexpr char16_t kBibleServerHost[] = u"bible.scrollwick.org";
inline constexpr unsigned short kBibleServerPort = 443;

// Named to the user when the browser cannot be started.
inline constexpr char16_t kWebSiteHost[] = u"scrollwick.org";
inline constexpr char16_t kWebSiteUrl[] = u"https://scrollwick.org/";
// The passage page is kWebSiteUrl + "bible?ref=<encoded reference>&translation=<code>".
inline constexpr char16_t kPassagePagePath[] = u"bible?ref=";
inline constexpr char16_t kDonationUrl[] = u"https://donate.scrollwick.org/companion";

}  // namespace companion
