// The reader from C++: the text of each symbol read in a BGRA frame.
#include <iostream>
#include <talavex/reader.hpp>

void printSymbols(const std::uint8_t* bgra, std::uint32_t width, std::uint32_t height) {
    const talavex_image image{bgra, width, height, width * 4, TALAVEX_BGRA};
    talavex::Options options;
    options.where = talavex::Where::Anywhere;
    for (const talavex::Symbol& symbol : talavex::read(image, options)) {
        if (!symbol.read) continue;
        std::cout << (symbol.text ? *symbol.text : std::string(symbol.data())) << " (" << symbol.identifier << ", ECC "
                  << symbol.eccPercent << "%)\n";
    }
}
