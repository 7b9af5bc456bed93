// Character-mode decoding. There is no end-of-message code: decoding stops
// when the bits run out. The end of the data is padding, though, and needs care.
//
// Padding rule. An encoder fills the rest of the last data codeword with 1
// bits, and some encoders also fill whole surplus data codewords the same way
// (each reads as w - 1 ones once its stuffed 0 is removed). Read as codes, a
// tail of 1s is B/S in Upper, Lower and Mixed, U/L in Punct and U/S in Digit;
// only B/S can produce bytes (a length of 31 and 0xFF bytes). So a binary shift
// whose code, length and bytes are 1s all the way to the end of the data is
// padding and emits nothing. The one genuine message with that shape is a
// final run of exactly 31 bytes 0xFF: it is kept when what follows the run is
// shorter than a codeword, as the last codeword's own padding always is.
#include "decode/text_decoder.h"

#include <algorithm>
#include <utility>

#include "common/bit_access.h"
#include "decode/character_tables.h"

namespace AztecCore {

namespace {

constexpr std::uint8_t kGroupSeparator = 29;
constexpr std::size_t kLongestCodeword = 12;
// B/S, a 5-bit length of 31 and 31 bytes.
constexpr std::size_t kAllOnesBinaryRun = 5 + 5 + 31 * 8;

class BitReader {
public:
    BitReader(const BitVector& bits, std::size_t count) : bits_(bits), count_(std::min(count, bits.size())) {}

    std::size_t position() const { return position_; }
    std::size_t remaining() const { return count_ - position_; }

    // Callers make sure that `width` bits remain.
    std::uint32_t read(std::size_t width) {
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < width; ++k) {
            value = (value << 1) | (bitAt(bits_, static_cast<std::int64_t>(position_)) ? 1u : 0u);
            ++position_;
        }
        return value;
    }

    // Number of bits from `from` to the end when all of them are 1s, else 0.
    std::size_t onesTailFrom(std::size_t from) const {
        for (std::size_t k = from; k < count_; ++k) {
            if (!bitAt(bits_, static_cast<std::int64_t>(k))) return 0;
        }
        return count_ - from;
    }

private:
    const BitVector& bits_;
    std::size_t count_;
    std::size_t position_ = 0;
};

bool isPadding(const BitReader& reader, std::size_t shiftStart) {
    const std::size_t ones = reader.onesTailFrom(shiftStart);
    if (ones == 0) return false;
    const bool whole0xFFRun = ones >= kAllOnesBinaryRun && ones - kAllOnesBinaryRun < kLongestCodeword;
    return !whole0xFFRun;
}

void appendPair(std::vector<std::uint8_t>& out, char first, char second) {
    out.push_back(static_cast<std::uint8_t>(first));
    out.push_back(static_cast<std::uint8_t>(second));
}

enum class Step { Continue, End, Invalid };

Step binaryShift(BitReader& reader, std::size_t shiftStart, std::vector<std::uint8_t>& out) {
    if (isPadding(reader, shiftStart)) return Step::End;
    if (reader.remaining() < 5) return Step::End;
    std::size_t length = reader.read(5);
    if (length == 0) {
        if (reader.remaining() < 11) return Step::End;
        length = reader.read(11) + 31;
    }
    // A run cut short by the end of the data keeps its whole bytes.
    for (std::size_t k = 0; k < length && reader.remaining() >= 8; ++k) {
        out.push_back(static_cast<std::uint8_t>(reader.read(8)));
    }
    return Step::Continue;
}

bool isDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }
bool isLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Whether an FNC1 after `out` stands in the second position: after one letter
// or two digits at the start of the message.
bool secondPosition(const std::vector<std::uint8_t>& out) {
    return (out.size() == 1 && isLetter(out[0])) || (out.size() == 2 && isDigit(out[0]) && isDigit(out[1]));
}

// FLG(n): a 3-bit n follows. 0 is FNC1, 1..6 announce an ECI designator of n
// digits, 7 is reserved.
Step flag(BitReader& reader, DecodedText& text) {
    std::vector<std::uint8_t>& out = text.bytes;
    if (reader.remaining() < 3) return Step::End;
    const std::uint32_t n = reader.read(3);
    if (n == 7) return Step::Invalid;
    if (n == 0) {
        // A leading FNC1 only marks the data as GS1; later ones separate fields.
        if (out.empty() && text.fnc1 == Fnc1Position::None) {
            text.fnc1 = Fnc1Position::First;
            return Step::Continue;
        }
        if (text.fnc1 == Fnc1Position::None && secondPosition(out)) text.fnc1 = Fnc1Position::Second;
        if (!out.empty()) out.push_back(kGroupSeparator);
        return Step::Continue;
    }
    if (reader.remaining() < 4 * std::size_t{n}) return Step::End;
    std::uint32_t designator = 0;
    for (std::uint32_t k = 0; k < n; ++k) {
        // Digit-mode codes: 2..11 stand for '0'..'9'.
        const std::uint32_t digit = reader.read(4);
        if (digit < 2 || digit > 11) return Step::Invalid;
        designator = designator * 10 + (digit - 2);
    }
    // The designator selects an interpretation for the bytes that follow; they stay raw.
    text.ecis.push_back({designator, out.size()});
    return Step::Continue;
}

}  // namespace

std::optional<DecodedText> decodeTextWithFlags(const BitVector& bits, std::size_t bitCount) {
    BitReader reader(bits, bitCount);
    DecodedText text;
    std::vector<std::uint8_t>& out = text.bytes;
    CharMode latched = CharMode::Upper;
    CharMode current = CharMode::Upper;

    while (reader.remaining() >= static_cast<std::size_t>(codeWidth(current))) {
        const std::size_t codeStart = reader.position();
        const CharMode readIn = current;
        const std::int32_t entry = tableEntry(current, reader.read(static_cast<std::size_t>(codeWidth(current))));
        current = latched;  // a shift covers exactly one code
        if (entry == Control::MixedLatch && codeStart == 0) text.structuredAppendMark = true;
        if (codeStart == 5 && text.structuredAppendMark) text.structuredAppendMark = entry == Control::UpperLatch;
        if (entry >= 0) {
            out.push_back(static_cast<std::uint8_t>(entry));
            continue;
        }
        Step step = Step::Continue;
        switch (entry) {
            case Control::CrLf: appendPair(out, '\r', '\n'); break;
            case Control::PeriodSpace: appendPair(out, '.', ' '); break;
            case Control::CommaSpace: appendPair(out, ',', ' '); break;
            case Control::ColonSpace: appendPair(out, ':', ' '); break;
            case Control::UpperLatch: latched = current = CharMode::Upper; break;
            case Control::LowerLatch: latched = current = CharMode::Lower; break;
            case Control::MixedLatch: latched = current = CharMode::Mixed; break;
            case Control::PunctLatch: latched = current = CharMode::Punct; break;
            case Control::DigitLatch: latched = current = CharMode::Digit; break;
            case Control::UpperShift: current = CharMode::Upper; break;
            case Control::PunctShift: current = CharMode::Punct; break;
            case Control::BinaryShift:
                // The bytes end in the mode B/S was read in, even when a shift
                // led there (D/L U/S B/S goes on in Upper, not Digit).
                step = binaryShift(reader, codeStart, out);
                latched = current = readIn;
                break;
            case Control::Flag: step = flag(reader, text); break;
            default: break;
        }
        if (step == Step::End) break;
        if (step == Step::Invalid) return std::nullopt;
    }
    return text;
}

}  // namespace AztecCore
