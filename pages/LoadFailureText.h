#pragma once

// Why a render cannot start, in the wizard's own words, shared by the render's
// message boxes and the preview so that both say the same: one short Czech
// reason from a fixed set, and the file's name fit for one line.

#include <cstddef>
#include <string>

// Local
#include "engine/EngineError.h"

// The first line when a source picture cannot be loaded, and the text for a
// canvas size that is impossible.
inline constexpr const char* kPictureNotLoaded = "Obrázek se nepodařilo načíst!";
inline constexpr const char* kSizeRefused = "Zadaná velikost je příliš velká nebo neplatná!";

// The reason for a loading error: "Soubor nelze otevřít.", "Soubor není
// obrázek ve známém formátu.", "Obrázek je příliš velký.", "Obrázek je
// poškozený." or "Na obrázek nestačí paměť.".
const char* LoadFailureReason(EngineErrorCode nCode);

// The last part of a path, cut in the middle with "…" when it has more than
// nMaxChars characters. Counts UTF-8 characters and never splits one.
std::string ShortFileName(const std::string& strPath, std::size_t nMaxChars = 40);

// "name: reason", the line that follows "Obrázek se nepodařilo načíst!".
std::string LoadFailureLine(const std::string& strPath, EngineErrorCode nCode);
