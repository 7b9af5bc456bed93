#include "cli_options.h"

#include <getopt.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

// The library's default pixel limit spelled out in the usage text, so that the two cannot differ.
#define TALAVEX_CLI_TEXT(value) #value
#define TALAVEX_CLI_NUMBER(macro) TALAVEX_CLI_TEXT(macro)

const char kUsage[] =
    "usage: talavex [OPTION]... IMAGE...\n"
    "\n"
    "Reads the Aztec Code symbols in each IMAGE (PNG, JPEG, BMP, PGM or PPM; - for\n"
    "standard input) and prints their bytes followed by a newline. With several\n"
    "images each result is printed as \"FILE: DATA\".\n"
    "\n"
    "  --where centre|anywhere|auto  where to search: near the centre, anywhere,\n"
    "                   or the centre first, then anywhere (default auto)\n"
    "  --all            every symbol found, not only the first\n"
    "  --inverted       also look for light-on-dark symbols\n"
    "  --budget MS      stop searching an image after MS milliseconds and report\n"
    "                   what was read by then (default: no limit)\n"
    "  --json           one JSON object per symbol per line: file, status, bytes in\n"
    "                   hex, text and every field the reader reports\n"
    "  --export y|bgra|photo  one of the three exports instead of the reader:\n"
    "                   recognizeY, recognizeBGRA or recognizePhotoBGRA\n"
    "  --max-pixels N   refuse images of more than N pixels, by their header,\n"
    "                   before decoding them (default " TALAVEX_CLI_NUMBER(TALAVEX_DEFAULT_MAX_PIXELS) ",\n"
    "                   8192 x 8192; 0: no limit)\n"
    "  --version        print the library version\n"
    "  -h, --help       show this text\n"
    "  --               end of options\n"
    "\n"
    "Exit status: 0 when every image was read, 1 when some image yielded no\n"
    "symbol, 2 when an image could not be loaded or recognition reported an error.\n";

namespace {

enum Option { Where = 1000, All, Inverted, Budget, Json, ExportPass, MaxPixels, Version };

bool parseWhere(const char* text, talavex::Where& where) {
    if (std::strcmp(text, "centre") == 0)
        where = talavex::Where::Centre;
    else if (std::strcmp(text, "anywhere") == 0)
        where = talavex::Where::Anywhere;
    else if (std::strcmp(text, "auto") == 0)
        where = talavex::Where::Auto;
    else
        return false;
    return true;
}

bool parseExport(const char* text, Export& pass) {
    if (std::strcmp(text, "y") == 0)
        pass = Export::Y;
    else if (std::strcmp(text, "bgra") == 0)
        pass = Export::Bgra;
    else if (std::strcmp(text, "photo") == 0)
        pass = Export::Photo;
    else
        return false;
    return true;
}

// A decimal number, all of the text: positive, or 0 where `zero` allows it.
bool parseCount(const char* text, std::uint64_t& count, bool zero = false) {
    if (*text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || (value == 0 && !zero)) return false;
    count = value;
    return true;
}

}  // namespace

ParseOutcome parseCommandLine(int argc, char** argv, CliOptions& options, std::string& error) {
    static const option kLong[] = {{"where", required_argument, nullptr, Where},
                                   {"all", no_argument, nullptr, All},
                                   {"inverted", no_argument, nullptr, Inverted},
                                   {"budget", required_argument, nullptr, Budget},
                                   {"json", no_argument, nullptr, Json},
                                   {"export", required_argument, nullptr, ExportPass},
                                   {"max-pixels", required_argument, nullptr, MaxPixels},
                                   {"version", no_argument, nullptr, Version},
                                   {"help", no_argument, nullptr, 'h'},
                                   {nullptr, 0, nullptr, 0}};
    opterr = 0;
    optind = 1;
    int c = 0;
    while ((c = getopt_long(argc, argv, "h", kLong, nullptr)) != -1) {
        switch (c) {
            case Where:
                if (!parseWhere(optarg, options.read.where)) {
                    error = std::string("unknown --where '") + optarg + "'";
                    return ParseOutcome::Error;
                }
                break;
            case All: options.read.maxSymbols = 1000; break;
            case Inverted: options.read.inverted = true; break;
            case Budget: {
                std::uint64_t ms = 0;
                if (!parseCount(optarg, ms) || ms > 0xFFFFFFFFu) {
                    error = std::string("--budget needs a positive number of milliseconds, not '") + optarg + "'";
                    return ParseOutcome::Error;
                }
                options.read.timeBudgetMs = static_cast<std::uint32_t>(ms);
                break;
            }
            case Json: options.json = true; break;
            case ExportPass:
                if (!parseExport(optarg, options.exportPass)) {
                    error = std::string("unknown --export '") + optarg + "'";
                    return ParseOutcome::Error;
                }
                break;
            case MaxPixels:
                if (!parseCount(optarg, options.read.maxPixels, true)) {
                    error = std::string("--max-pixels needs a number (0: no limit), not '") + optarg + "'";
                    return ParseOutcome::Error;
                }
                break;
            case Version: return ParseOutcome::Version;
            case 'h': return ParseOutcome::Help;
            default:
                error = std::string("unknown or incomplete option '") + argv[optind - 1] + "'";
                return ParseOutcome::Error;
        }
    }
    for (int i = optind; i < argc; ++i) options.files.emplace_back(argv[i]);
    if (options.files.empty()) {
        error = "no image given";
        return ParseOutcome::Error;
    }
    return ParseOutcome::Run;
}
