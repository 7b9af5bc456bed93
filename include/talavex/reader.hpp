// talavex reader for C++: RAII over the C API of talavex/reader.h.
//
// talavex::read returns a std::vector of talavex::Symbol, each holding a copy
// of one result's fields, so nothing refers back to the C handles. Invalid
// arguments throw std::invalid_argument, an image above the pixel limit
// talavex::ImageTooLarge (a std::invalid_argument too), exhausted memory
// std::bad_alloc and internal failures std::runtime_error; reading nothing is
// not a failure and returns an empty vector.
#ifndef TALAVEX_READER_HPP
#define TALAVEX_READER_HPP

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "talavex/reader.h"

namespace talavex {

enum class Where { Auto = TALAVEX_WHERE_AUTO, Centre = TALAVEX_WHERE_CENTRE, Anywhere = TALAVEX_WHERE_ANYWHERE };
enum class Kind { Compact = TALAVEX_COMPACT, FullRange = TALAVEX_FULL_RANGE, Rune = TALAVEX_RUNE };

struct Options {
    Where where = Where::Auto;
    std::uint32_t maxSymbols = 1;
    bool inverted = false;
    std::uint32_t timeBudgetMs = 0;                        // 0: none
    std::uint64_t maxPixels = TALAVEX_DEFAULT_MAX_PIXELS;  // 0: none
};

// TALAVEX_IMAGE_TOO_LARGE: the image has more pixels than Options::maxPixels.
class ImageTooLarge : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

struct Point {
    double x = 0.0;
    double y = 0.0;
};

struct Eci {
    std::uint32_t designator = 0;
    std::size_t byteOffset = 0;
};

struct StructuredAppend {
    std::uint32_t position = 0;
    std::uint32_t count = 0;
    std::string id;
};

class Symbol {
public:
    bool read = false;  // false: located, data unreadable
    std::vector<std::uint8_t> bytes;
    std::optional<std::string> text;  // UTF-8, absent when the character set is not converted
    std::string identifier;           // "]z0" .. "]zC"
    std::vector<Eci> ecis;
    bool gs1 = false;
    bool readerInit = false;
    std::optional<StructuredAppend> structuredAppend;
    Kind kind = Kind::Compact;
    int layers = 0;
    int dataCodewords = 0;
    int eccPercent = 0;
    int codewordsCorrected = 0;
    std::optional<std::array<Point, 4>> corners;  // absent when the position is not known
    int orientation = 0;
    bool mirrored = false;
    bool inverted = false;
    double moduleSize = 0.0;

    // The bytes as characters, zero bytes included.
    std::string_view data() const {
        return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
};

namespace detail {

struct ResultsDeleter {
    void operator()(talavex_results* r) const { talavex_results_free(r); }
};
struct OptionsDeleter {
    void operator()(talavex_options* o) const { talavex_options_free(o); }
};

inline Symbol symbolAt(const talavex_results* r, std::size_t i) {
    Symbol s;
    s.read = talavex_symbol_status_of(r, i) == TALAVEX_SYMBOL_READ;
    std::size_t length = 0;
    const std::uint8_t* bytes = talavex_symbol_bytes(r, i, &length);
    if (bytes != nullptr) s.bytes.assign(bytes, bytes + length);
    if (const char* text = talavex_symbol_text(r, i)) s.text = text;
    if (const char* id = talavex_symbol_identifier(r, i)) s.identifier = id;
    for (std::size_t k = 0; k < talavex_symbol_eci_count(r, i); ++k) {
        Eci eci;
        eci.designator = talavex_symbol_eci(r, i, k, &eci.byteOffset);
        s.ecis.push_back(eci);
    }
    s.gs1 = talavex_symbol_gs1(r, i) == 1;
    s.readerInit = talavex_symbol_reader_init(r, i) == 1;
    std::uint32_t position = 0;
    const char* sequenceId = nullptr;
    if (const std::uint32_t count = talavex_symbol_structured_append(r, i, &position, &sequenceId)) {
        s.structuredAppend = StructuredAppend{position, count, sequenceId};
    }
    s.kind = static_cast<Kind>(talavex_symbol_kind(r, i));
    s.layers = talavex_symbol_layers(r, i);
    s.dataCodewords = talavex_symbol_data_codewords(r, i);
    s.eccPercent = talavex_symbol_ecc_percent(r, i);
    s.codewordsCorrected = talavex_symbol_codewords_corrected(r, i);
    double corners[8];
    if (talavex_symbol_corners(r, i, corners) == 0) {
        s.corners = std::array<Point, 4>{Point{corners[0], corners[1]}, Point{corners[2], corners[3]},
                                         Point{corners[4], corners[5]}, Point{corners[6], corners[7]}};
    }
    s.orientation = talavex_symbol_orientation(r, i);
    s.mirrored = talavex_symbol_mirrored(r, i) == 1;
    s.inverted = talavex_symbol_inverted(r, i) == 1;
    s.moduleSize = talavex_symbol_module_size(r, i);
    return s;
}

}  // namespace detail

inline std::string_view version() { return talavex_version(); }

// Reads the symbols in `image`; see talavex_read for the search.
inline std::vector<Symbol> read(const talavex_image& image, const Options& options = {}) {
    const std::unique_ptr<talavex_options, detail::OptionsDeleter> handle(talavex_options_new());
    if (!handle) throw std::bad_alloc();
    if (talavex_options_set_where(handle.get(), static_cast<talavex_where>(options.where)) != 0 ||
        talavex_options_set_max_symbols(handle.get(), options.maxSymbols) != 0) {
        throw std::invalid_argument("talavex: invalid option");
    }
    talavex_options_set_inverted(handle.get(), options.inverted ? 1 : 0);
    talavex_options_set_time_budget_ms(handle.get(), options.timeBudgetMs);
    talavex_options_set_max_pixels(handle.get(), options.maxPixels);

    const std::unique_ptr<talavex_results, detail::ResultsDeleter> results(talavex_read(&image, handle.get()));
    if (!results) throw std::bad_alloc();
    const std::string message = std::string("talavex: ") + talavex_results_message(results.get());
    switch (talavex_results_status(results.get())) {
        case TALAVEX_OK: break;
        case TALAVEX_INVALID_ARGUMENT: throw std::invalid_argument(message);
        case TALAVEX_OUT_OF_MEMORY: throw std::bad_alloc();
        case TALAVEX_IMAGE_TOO_LARGE: throw ImageTooLarge(message);
        default: throw std::runtime_error(message);
    }
    std::vector<Symbol> symbols;
    for (std::size_t i = 0; i < talavex_results_count(results.get()); ++i) {
        symbols.push_back(detail::symbolAt(results.get(), i));
    }
    return symbols;
}

}  // namespace talavex

#endif  // TALAVEX_READER_HPP
