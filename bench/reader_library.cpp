#include "reader_library.h"

#include <dlfcn.h>

#include <stdexcept>

namespace talavex_bench {

namespace {

template <typename Function>
void bind(Function& to, void* handle, const char* name, const std::string& path) {
    void* address = dlsym(handle, name);
    if (!address) throw std::runtime_error(path + ": no " + name);
    to = reinterpret_cast<Function>(address);
}

}  // namespace

ReaderLibrary::ReaderLibrary(const std::string& path) : exports_(path) {
    // The same file again: the loader hands back the handle the exports
    // hold, with its own reference, so this build's reader and exports are
    // one library.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) throw std::runtime_error(dlerror());
    bind(optionsNew_, handle_, "talavex_options_new", path);
    bind(optionsFree_, handle_, "talavex_options_free", path);
    bind(setWhere_, handle_, "talavex_options_set_where", path);
    bind(setInverted_, handle_, "talavex_options_set_inverted", path);
    bind(setMaxSymbols_, handle_, "talavex_options_set_max_symbols", path);
    bind(setBudget_, handle_, "talavex_options_set_time_budget_ms", path);
    bind(read_, handle_, "talavex_read", path);
    setMaxPixels_ = reinterpret_cast<decltype(setMaxPixels_)>(dlsym(handle_, "talavex_options_set_max_pixels"));
    bind(resultsFree_, handle_, "talavex_results_free", path);
    bind(status_, handle_, "talavex_results_status", path);
    bind(count_, handle_, "talavex_results_count", path);
    bind(symbolStatus_, handle_, "talavex_symbol_status_of", path);
    bind(bytes_, handle_, "talavex_symbol_bytes", path);
    bind(append_, handle_, "talavex_symbol_structured_append", path);
}

ReaderLibrary::~ReaderLibrary() { dlclose(handle_); }

std::string ReaderLibrary::read(const talavex_image& image, const ReadOptions& options) const {
    talavex_options* set = optionsNew_();
    if (set == nullptr || setWhere_(set, options.where) != 0 || setInverted_(set, options.inverted ? 1 : 0) != 0 ||
        setMaxSymbols_(set, options.maxSymbols) != 0 || setBudget_(set, options.budgetMs) != 0 ||
        (setMaxPixels_ != nullptr && setMaxPixels_(set, 0) != 0)) {
        optionsFree_(set);
        return "F";
    }
    talavex_results* results = read_(&image, set);
    optionsFree_(set);
    std::string answer;
    if (results == nullptr || status_(results) != TALAVEX_OK) {
        answer = "F";
    } else {
        const size_t count = count_(results);
        for (size_t i = 0; i < count; ++i) {
            if (symbolStatus_(results, i) != TALAVEX_SYMBOL_READ) continue;
            size_t length = 0;
            const std::uint8_t* bytes = bytes_(results, i, &length);
            std::uint32_t position = 0;
            const char* id = nullptr;
            const std::uint32_t structCount = append_(results, i, &position, &id);
            answer = readAnswer(std::string(reinterpret_cast<const char*>(bytes), length), structCount, position,
                                id != nullptr ? id : "");
            break;
        }
    }
    resultsFree_(results);
    return answer;
}

std::string readAnswer(const std::string& bytes, std::uint32_t structCount, std::uint32_t structPosition,
                       const std::string& structId) {
    std::string answer = "R" + bytes;
    if (structCount != 0)
        answer +=
            "\n[append " + std::to_string(structPosition) + "/" + std::to_string(structCount) + " " + structId + "]";
    return answer;
}

}  // namespace talavex_bench
