#pragma once
// The symbol's bytes as UTF-8 text, each stretch converted with the character
// set its ECI names (ISO-8859-1 before any ECI): ISO-8859-1 to -16, Windows-1252,
// UTF-8 and US-ASCII.
#include <optional>
#include <string>
#include <vector>

#include "decode/text_decoder.h"

namespace AztecCore::Reader {

// No text when an ECI names a character set not converted here, or bytes
// declared UTF-8 or US-ASCII are not.
std::optional<std::string> utf8Text(const std::vector<std::uint8_t>& bytes, const std::vector<EciMark>& ecis);

}  // namespace AztecCore::Reader
