#pragma once
// The command line of the talavex tool, parsed with getopt_long.
#include <cstdint>
#include <string>
#include <vector>

#include "talavex/reader.hpp"

enum class Export { None, Y, Bgra, Photo };

// 8192 x 8192: loading and reading such an image takes about a gigabyte.
inline constexpr std::uint64_t kDefaultMaxPixels = std::uint64_t{8192} * 8192;

struct CliOptions {
    talavex::Options read;
    bool json = false;
    Export exportPass = Export::None;             // one of the three exports instead of the reader
    std::uint64_t maxPixels = kDefaultMaxPixels;  // larger images are refused before decoding
    std::vector<std::string> files;               // "-" is standard input
};

enum class ParseOutcome { Run, Help, Version, Error };

// Parses argv; on Error `error` says why.
ParseOutcome parseCommandLine(int argc, char** argv, CliOptions& options, std::string& error);

extern const char kUsage[];
