#pragma once
// One symbol as a single line of JSON.
#include <string>

#include "talavex/reader.hpp"

std::string jsonLine(const std::string& file, const talavex::Symbol& symbol);
