// The library's version texts.
#pragma once

#include <cstdint>

namespace objlink {

// Builds the texts once, from hubclient's texts of that registration. They
// count as built only when hubclient supplied its text.
void buildVersionTexts(int32_t baseRegistrationId);

// The library line, or (`all`) the library line and hubclient's texts; NULL
// until the texts were built.
const char* versionText(bool all);

}  // namespace objlink
