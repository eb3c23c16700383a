// The three version texts of GetVEKBaseVersion, built once per process from
// the server's version text.
#pragma once

#include <cstdint>
#include <span>

namespace hubclient {

constexpr uint32_t kVersionDll = 1;
constexpr uint32_t kVersionServer = 2;

bool versionTextsBuilt();

// Builds the texts from the server's text (its bytes up to the first zero,
// if any). Later calls change nothing.
void buildVersionTexts(std::span<const uint8_t> serverText);

// The text for these flags; nullptr for neither bit. Empty texts until built.
const char* versionText(uint32_t flags);

}  // namespace hubclient
