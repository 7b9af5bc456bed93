// Data codewords: Reed-Solomon correction over the field of the codeword width,
// then removal of the stuffed bits. An encoder never lets a codeword consist of
// one bit value only: after w - 1 equal bits it inserts the opposite bit, which
// the reader drops again.
#include "decode/codeword_correction.h"

#include <cmath>
#include <cstdint>

#include "common/bit_access.h"
#include "decode/pack_words.h"
#include "reedsolomon/exceptions.h"
#include "reedsolomon/generic_gf.h"
#include "reedsolomon/rs_decoder.h"

namespace AztecCore {

namespace {

using namespace Aztec::ReedSolomon;

// The widest Aztec codeword; wider ones would not be elements of any field here.
constexpr std::int64_t kMaxCodewordBits = 12;

DataBits removeStuffedBits(const std::vector<std::int32_t>& words, std::int64_t dataWords, std::int32_t width) {
    const std::int64_t capacity = dataWords * width;
    DataBits data;
    data.bits.assign(static_cast<std::size_t>(capacity), false);
    std::int64_t removed = 0;
    for (std::int64_t i = 0; i < dataWords; ++i) {
        const std::int32_t word = checkedAt(words, i);
        std::int32_t run = 0;
        bool runValue = false;
        for (std::int32_t j = 0; j < width; ++j) {
            const bool bit = ((word >> (width - 1 - j)) & 1) != 0;
            if (run == width - 1) {
                if (bit == runValue) throw IllegalSymbolException("Illegal series of bits");
                ++removed;
                run = 0;
                runValue = false;
                continue;
            }
            if (bit == runValue) {
                ++run;
            } else {
                run = 1;
                runValue = bit;
            }
            setBitAt(data.bits, (i * width + j - removed) % capacity, bit);
        }
    }
    data.usedBits = static_cast<std::size_t>(capacity - removed);
    return data;
}

// Repairs likelier than this to be miscorrections are refused: the last words
// of repair capacity in small symbols with few check words (a compact
// one-layer symbol with six check words repairs one word of three, with
// seven two words of three).
constexpr double kMostMiscorrectionLog2 = -18.0;

// The share, as a power of two, of all words of `words` codewords (the last
// `checkWords` of them check words, each `width` bits) that lie exactly
// `repaired` words away from some codeword: C(n, e) (q - 1)^e / q^c. A word
// damaged past repair is "repaired" that far into a wrong codeword about that
// often.
double miscorrectionLog2(std::int64_t words, std::int64_t checkWords, std::int64_t width, std::int64_t repaired) {
    // C(n, e) as a product of e ratios; lgamma would write the global signgam
    // from every reading thread.
    double log2Choose = 0;
    for (std::int64_t i = 1; i <= repaired; ++i)
        log2Choose += std::log2(static_cast<double>(words - repaired + i) / static_cast<double>(i));
    const double fieldSize = std::ldexp(1.0, static_cast<int>(width));
    return log2Choose + static_cast<double>(repaired) * std::log2(fieldSize - 1) -
           static_cast<double>(checkWords * width);
}

}  // namespace

const GenericGF& fieldForCodewordBits(std::uint32_t width) {
    switch (width) {
        case 6: return Field64;
        case 8: return Field256;
        case 10: return Field1024;
        default: return Field4096;
    }
}

std::optional<DataBits> correctDataBits(const BitVector& layerBits, const SymbolParameters& params) {
    const std::int64_t dataWords = params.dataCodewords;
    const std::int64_t width = params.codewordBits;
    const std::int64_t totalWords = params.totalCodewords;
    if (dataWords < 1 || width < 1 || width > kMaxCodewordBits) return std::nullopt;
    std::vector<std::int32_t> words =
        packWords(layerBits, params.spareBits, static_cast<std::int32_t>(totalWords), static_cast<std::int32_t>(width));
    // Encoders always add check words; with none, nothing would tell a
    // misread mode message's garbage from data.
    if (totalWords <= dataWords) return std::nullopt;

    const RsDecoder decoder(fieldForCodewordBits(params.codewordBits));
    const auto checkWords = static_cast<int>(totalWords - dataWords);
    const std::int32_t corrected = decoder.correct(words, checkWords);
    // The check words for k data words also pass as check words for any
    // larger count (the generator for fewer check words divides the one for
    // more), so a mode message repaired into one that claims more data words
    // than were written would read check words as text. A claim above the
    // true count always leaves the codewords valid with one check word more;
    // a true claim does so only where one more syndrome vanishes by chance,
    // once in 2^width. After a repaired mode message such a symbol is
    // refused: the repair may have made the claim, and the codewords cannot
    // tell it from a smaller count. An intact mode message is taken at its
    // word, since misreading it into another valid one takes six wrong words
    // of seven (compact) or seven of ten (full-range).
    if (params.modeWordsCorrected > 0 && decoder.isCodeword(words, checkWords + 1)) return std::nullopt;
    // Near the end of its capacity a small code repairs garbage into some
    // codeword often enough to read wrong text (a compact one-layer symbol
    // with six check words: once in 2^17 such words at two words repaired).
    if (corrected > 0 && miscorrectionLog2(totalWords, checkWords, width, corrected) > kMostMiscorrectionLog2)
        return std::nullopt;
    DataBits data = removeStuffedBits(words, dataWords, static_cast<std::int32_t>(width));
    data.correctedWords = corrected;
    return data;
}

}  // namespace AztecCore
