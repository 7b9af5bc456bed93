#pragma once
// One build of the library for the reader reports: its three exports and the
// reader API, loaded with dlopen() from the build's file, so that two builds
// (an old and a new search behind the same API) can be timed in one process.
#include <cstdint>
#include <string>

#include "speed_library.h"
#include "talavex/reader.h"

namespace talavex_bench {

struct ReadOptions {
    talavex_where where = TALAVEX_WHERE_AUTO;
    bool inverted = false;
    std::uint32_t maxSymbols = 1;
    std::uint32_t budgetMs = 0;  // 0: none
};

class ReaderLibrary {
public:
    // Throws std::runtime_error when the file does not load or lacks a
    // function of the exports or of the reader API.
    explicit ReaderLibrary(const std::string& path);
    ~ReaderLibrary();
    ReaderLibrary(const ReaderLibrary&) = delete;
    ReaderLibrary& operator=(const ReaderLibrary&) = delete;

    const std::string& path() const { return exports_.path(); }
    const TalavexLibrary& exports() const { return exports_; }

    // talavex_read with these options, its results freed. The answer is ""
    // when no symbol was read, "F" when the call failed, else "R" and the
    // first read symbol's bytes, then its structured append (position,
    // count, ID) when it has one: readAnswer() gives the same text for what
    // an image holds. The pixel limit is lifted where the build has one, so
    // that it searches the 2 GiB images as a build from before it does.
    std::string read(const talavex_image& image, const ReadOptions& options) const;

private:
    TalavexLibrary exports_;
    void* handle_ = nullptr;
    talavex_options* (*optionsNew_)() = nullptr;
    void (*optionsFree_)(talavex_options*) = nullptr;
    int (*setWhere_)(talavex_options*, talavex_where) = nullptr;
    int (*setInverted_)(talavex_options*, int) = nullptr;
    int (*setMaxSymbols_)(talavex_options*, std::uint32_t) = nullptr;
    int (*setBudget_)(talavex_options*, std::uint32_t) = nullptr;
    int (*setMaxPixels_)(talavex_options*, std::uint64_t) = nullptr;  // null in builds before the pixel limit
    talavex_results* (*read_)(const talavex_image*, const talavex_options*) = nullptr;
    void (*resultsFree_)(talavex_results*) = nullptr;
    talavex_status (*status_)(const talavex_results*) = nullptr;
    size_t (*count_)(const talavex_results*) = nullptr;
    int (*symbolStatus_)(const talavex_results*, size_t) = nullptr;
    const std::uint8_t* (*bytes_)(const talavex_results*, size_t, size_t*) = nullptr;
    std::uint32_t (*append_)(const talavex_results*, size_t, std::uint32_t*, const char**) = nullptr;
};

// The reader's answer for a symbol of these bytes and structured append
// (count 0: none), as ReaderLibrary::read gives it.
std::string readAnswer(const std::string& bytes, std::uint32_t structCount = 0, std::uint32_t structPosition = 0,
                       const std::string& structId = "");

}  // namespace talavex_bench
