#pragma once
// The command line of the talavex tool, parsed with getopt_long.
#include <cstdint>
#include <string>
#include <vector>

#include "talavex/reader.hpp"

enum class Export { None, Y, Bgra, Photo };

struct CliOptions {
    // read.maxPixels, the library's default unless --max-pixels says otherwise, also
    // refuses larger images by their header before decoding, for the exports too.
    talavex::Options read;
    bool json = false;
    Export exportPass = Export::None;  // one of the three exports instead of the reader
    std::vector<std::string> files;    // "-" is standard input
};

enum class ParseOutcome { Run, Help, Version, Error };

// Parses argv; on Error `error` says why.
ParseOutcome parseCommandLine(int argc, char** argv, CliOptions& options, std::string& error);

extern const char kUsage[];
