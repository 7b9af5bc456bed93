// The reader's C entry points. No exception may cross into the C caller:
// every failure becomes a status with a message on the results handle.
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "reader/image_to_gray.h"
#include "reader/symbol_result.h"
#include "search/engine.h"
#include "talavex/reader.h"

#ifndef TALAVEX_VERSION
#error "the build defines TALAVEX_VERSION from the CMake project version"
#endif

struct talavex_options {
    AztecCore::ReadOptions read;
    // Checked here, not by the search: it decides whether the image is taken at all.
    std::uint64_t maxPixels = TALAVEX_DEFAULT_MAX_PIXELS;
};

struct talavex_results {
    talavex_status status = TALAVEX_OK;
    const char* message = "";
    std::vector<AztecCore::Reader::SymbolResult> symbols;
};

namespace {

using AztecCore::Reader::SymbolResult;

const SymbolResult* symbolAt(const talavex_results* results, std::size_t index) {
    if (results == nullptr || index >= results->symbols.size()) return nullptr;
    return &results->symbols[index];
}

int flag(const talavex_results* results, std::size_t index, bool SymbolResult::*field) {
    const SymbolResult* s = symbolAt(results, index);
    return s == nullptr ? -1 : (s->*field ? 1 : 0);
}

void fail(talavex_results& results, talavex_status status, const char* message) {
    results.symbols.clear();
    results.status = status;
    results.message = message;
}

AztecCore::Deadline deadlineFor(const AztecCore::ReadOptions& options) {
    if (options.budgetMs == 0) return {};
    return {std::int64_t{options.budgetMs} * 1000000, AztecCore::Deadline::steadyNanoseconds};
}

// Up to options.maxSymbols symbols read, in the order found; with none read,
// the first one located without its data, when there was one.
std::vector<SymbolResult> readSymbols(const talavex_image& view, const AztecCore::ReadOptions& options) {
    using AztecCore::Reader::makeResult;
    const AztecCore::Deadline deadline = deadlineFor(options);
    std::vector<SymbolResult> symbols;
    AztecCore::Image::GrayBuf gray;
    try {
        gray = AztecCore::Reader::grayFromView(view, deadline);
    } catch (const AztecCore::OutOfTime&) {
        return symbols;
    }
    AztecCore::SearchResult found = AztecCore::runPlan(AztecCore::readerPlan(options), std::move(gray), deadline);
    for (AztecCore::FoundSymbol& read : found.reads)
        symbols.push_back(makeResult(std::move(read.symbol), true, read.inverted));
    if (found.unreadable)
        symbols.push_back(makeResult(std::move(found.unreadable->symbol), false, found.unreadable->inverted));
    return symbols;
}

}  // namespace

extern "C" {

TALAVEX_API const char* talavex_version(void) { return TALAVEX_VERSION; }

TALAVEX_API talavex_options* talavex_options_new(void) { return new (std::nothrow) talavex_options(); }
TALAVEX_API void talavex_options_free(talavex_options* options) { delete options; }

TALAVEX_API int talavex_options_set_where(talavex_options* options, talavex_where where) {
    using AztecCore::Where;
    if (options == nullptr) return -1;
    switch (AztecCore::Reader::rawValueOf(where)) {
        case TALAVEX_WHERE_AUTO: options->read.where = Where::Auto; return 0;
        case TALAVEX_WHERE_CENTRE: options->read.where = Where::Centre; return 0;
        case TALAVEX_WHERE_ANYWHERE: options->read.where = Where::Anywhere; return 0;
    }
    return -1;
}

TALAVEX_API int talavex_options_set_max_symbols(talavex_options* options, uint32_t max_symbols) {
    if (options == nullptr || max_symbols == 0) return -1;
    options->read.maxSymbols = max_symbols;
    return 0;
}

TALAVEX_API int talavex_options_set_inverted(talavex_options* options, int inverted) {
    if (options == nullptr) return -1;
    options->read.inverted = inverted != 0;
    return 0;
}

TALAVEX_API int talavex_options_set_time_budget_ms(talavex_options* options, uint32_t milliseconds) {
    if (options == nullptr) return -1;
    options->read.budgetMs = milliseconds;
    return 0;
}

TALAVEX_API int talavex_options_set_max_pixels(talavex_options* options, uint64_t max_pixels) {
    if (options == nullptr) return -1;
    options->maxPixels = max_pixels;
    return 0;
}

TALAVEX_API talavex_results* talavex_read(const talavex_image* image, const talavex_options* options) {
    auto* results = new (std::nothrow) talavex_results();
    if (results == nullptr) return nullptr;
    if (image == nullptr) {
        fail(*results, TALAVEX_INVALID_ARGUMENT, "the image is NULL");
        return results;
    }
    if (const char* reason = AztecCore::Reader::invalidViewReason(*image)) {
        fail(*results, TALAVEX_INVALID_ARGUMENT, reason);
        return results;
    }
    const talavex_options defaults;
    const talavex_options& chosen = options != nullptr ? *options : defaults;
    // Before the gray conversion, the first allocation that grows with the image.
    if (chosen.maxPixels != 0 && std::uint64_t{image->width} * image->height > chosen.maxPixels) {
        fail(*results, TALAVEX_IMAGE_TOO_LARGE, "the image has more pixels than the limit allows");
        return results;
    }
    try {
        results->symbols = readSymbols(*image, chosen.read);
    } catch (const std::bad_alloc&) {
        fail(*results, TALAVEX_OUT_OF_MEMORY, "out of memory");
    } catch (const std::length_error&) {
        fail(*results, TALAVEX_OUT_OF_MEMORY, "out of memory");
    } catch (...) {
        fail(*results, TALAVEX_INTERNAL_ERROR, "internal failure");
    }
    return results;
}

TALAVEX_API void talavex_results_free(talavex_results* results) { delete results; }

TALAVEX_API talavex_status talavex_results_status(const talavex_results* results) {
    return results == nullptr ? TALAVEX_INTERNAL_ERROR : results->status;
}

TALAVEX_API const char* talavex_results_message(const talavex_results* results) {
    return results == nullptr ? "no results handle" : results->message;
}

TALAVEX_API size_t talavex_results_count(const talavex_results* results) {
    return results == nullptr ? 0 : results->symbols.size();
}

TALAVEX_API int talavex_symbol_status_of(const talavex_results* results, size_t index) {
    const SymbolResult* s = symbolAt(results, index);
    if (s == nullptr) return -1;
    return s->read ? TALAVEX_SYMBOL_READ : TALAVEX_SYMBOL_UNREADABLE;
}

TALAVEX_API const uint8_t* talavex_symbol_bytes(const talavex_results* results, size_t index, size_t* length) {
    const SymbolResult* s = symbolAt(results, index);
    if (length != nullptr) *length = s == nullptr ? 0 : s->bytes.size();
    if (s == nullptr) return nullptr;
    // A valid pointer even for no bytes.
    static const uint8_t kNone = 0;
    return s->bytes.empty() ? &kNone : s->bytes.data();
}

TALAVEX_API const char* talavex_symbol_text(const talavex_results* results, size_t index) {
    const SymbolResult* s = symbolAt(results, index);
    return s == nullptr || !s->text ? nullptr : s->text->c_str();
}

TALAVEX_API const char* talavex_symbol_identifier(const talavex_results* results, size_t index) {
    const SymbolResult* s = symbolAt(results, index);
    return s == nullptr || !s->read ? nullptr : s->identifier.c_str();
}

TALAVEX_API size_t talavex_symbol_eci_count(const talavex_results* results, size_t index) {
    const SymbolResult* s = symbolAt(results, index);
    return s == nullptr ? 0 : s->ecis.size();
}

TALAVEX_API uint32_t talavex_symbol_eci(const talavex_results* results, size_t index, size_t eci, size_t* byte_offset) {
    const SymbolResult* s = symbolAt(results, index);
    const bool valid = s != nullptr && eci < s->ecis.size();
    if (byte_offset != nullptr) *byte_offset = valid ? s->ecis[eci].offset : 0;
    return valid ? s->ecis[eci].designator : 0;
}

TALAVEX_API int talavex_symbol_gs1(const talavex_results* results, size_t index) {
    return flag(results, index, &SymbolResult::gs1);
}

TALAVEX_API int talavex_symbol_reader_init(const talavex_results* results, size_t index) {
    return flag(results, index, &SymbolResult::readerInit);
}

TALAVEX_API uint32_t talavex_symbol_structured_append(const talavex_results* results, size_t index, uint32_t* position,
                                                      const char** id) {
    const SymbolResult* s = symbolAt(results, index);
    const bool present = s != nullptr && s->structuredAppend.has_value();
    if (position != nullptr) *position = present ? s->structuredAppend->position : 0;
    if (id != nullptr) *id = present ? s->structuredAppend->id.c_str() : "";
    return present ? s->structuredAppend->count : 0;
}

TALAVEX_API int talavex_symbol_kind(const talavex_results* results, size_t index) {
    const SymbolResult* s = symbolAt(results, index);
    if (s == nullptr) return -1;
    switch (s->kind) {
        case AztecCore::SymbolKind::Compact: return TALAVEX_COMPACT;
        case AztecCore::SymbolKind::Rune: return TALAVEX_RUNE;
        default: return TALAVEX_FULL_RANGE;
    }
}

TALAVEX_API int talavex_symbol_layers(const talavex_results* results, size_t index) {
    const SymbolResult* s = symbolAt(results, index);
    return s == nullptr ? -1 : static_cast<int>(s->layers);
}

TALAVEX_API int talavex_symbol_data_codewords(const talavex_results* results, size_t index) {
    const SymbolResult* s = symbolAt(results, index);
    return s == nullptr ? -1 : static_cast<int>(s->dataCodewords);
}

TALAVEX_API int talavex_symbol_ecc_percent(const talavex_results* results, size_t index) {
    const SymbolResult* s = symbolAt(results, index);
    return s == nullptr ? -1 : static_cast<int>(s->eccPercent);
}

TALAVEX_API int talavex_symbol_codewords_corrected(const talavex_results* results, size_t index) {
    const SymbolResult* s = symbolAt(results, index);
    return s == nullptr ? -1 : s->corrected;
}

TALAVEX_API int talavex_symbol_corners(const talavex_results* results, size_t index, double corners[8]) {
    const SymbolResult* s = symbolAt(results, index);
    if (s == nullptr || corners == nullptr || !s->hasGeometry) return -1;
    for (int k = 0; k < 4; ++k) {
        corners[2 * k] = s->corners[k].x;
        corners[2 * k + 1] = s->corners[k].y;
    }
    return 0;
}

TALAVEX_API int talavex_symbol_orientation(const talavex_results* results, size_t index) {
    const SymbolResult* s = symbolAt(results, index);
    return s == nullptr ? -1 : static_cast<int>(s->orientationDegrees);
}

TALAVEX_API int talavex_symbol_mirrored(const talavex_results* results, size_t index) {
    return flag(results, index, &SymbolResult::mirrored);
}

TALAVEX_API int talavex_symbol_inverted(const talavex_results* results, size_t index) {
    return flag(results, index, &SymbolResult::inverted);
}

TALAVEX_API double talavex_symbol_module_size(const talavex_results* results, size_t index) {
    const SymbolResult* s = symbolAt(results, index);
    return s == nullptr || !s->hasGeometry ? 0.0 : s->moduleSize;
}

}  // extern "C"
