#include "decode/text_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "decode/decode_test_support.h"

namespace {

using namespace decode_test;
// The bytes alone of the first bitCount bits.
std::optional<Bytes> decodeText(const BitVector& data, std::size_t bitCount) {
    auto text = AztecCore::decodeTextWithFlags(data, bitCount);
    if (!text) return std::nullopt;
    return std::move(text->bytes);
}

std::optional<Bytes> decodeAll(const BitVector& data) { return decodeText(data, data.size()); }

struct TextCase {
    const char* name;
    std::string bitPattern;
    std::string expected;
};

std::string binaryBytes(const std::vector<int>& values) {
    std::string text;
    for (const int v : values) text += binary(static_cast<std::uint32_t>(v), 8);
    return text;
}

std::string fortyBinaryBytes() {
    std::string pattern = "11111 00000 " + binary(40 - 31, 11);
    for (int k = 0; k < 40; ++k) pattern += binary(static_cast<std::uint32_t>(k * 37 % 256), 8);
    return pattern + "00011";
}

std::string fortyBinaryBytesExpected() {
    std::string text;
    for (int k = 0; k < 40; ++k) text.push_back(static_cast<char>(k * 37 % 256));
    return text + "B";
}

TEST(TextDecoding, CodesOfEveryModeDecodeToTheirBytes) {
    const std::vector<TextCase> cases = {
        TextCase{"UpperLetters", "00010 00011", "AB"},
        TextCase{"UpperSpaceAndZ", "11011 00001 11011", "Z Z"},
        TextCase{"LowerLatch", "11100 00010", "a"},
        TextCase{"LowerUpperShiftStaysLower", "11100 11100 00010 00010", "Aa"},
        TextCase{"DigitLatch", "11110 0010 0011 1011 1100 1101 0001", "019,. "},
        TextCase{"DigitUpperShiftReturnsToDigit", "11110 1111 00010 0010", "A0"},
        TextCase{"DigitUpperLatch", "11110 1110 00010 00011", "AB"},
        TextCase{"PunctShiftCrLfThenUpper", "00000 00010 00010", "\r\nA"},
        TextCase{"PunctPairs", "00000 00011 00000 00100 00000 00101", ". , : "},
        TextCase{"PunctSingles", "00000 00001 00000 00110 00000 11110", "\r!}"},
        TextCase{"MixedControlBytes", "11101 00010 01110 01111 10011 10100 11011 11101 00010",
                 std::string("\x01\x0d\x1b\x1f@\x7f") + "A"},
        TextCase{"MixedToLowerLatch", "11101 10101 11100 00011", "\\b"},
        TextCase{"PunctLatchStays", "11101 11110 00110 00111 11111 00010", "!\"A"},
        TextCase{"BinaryShiftRawBytes", "11111 00011 " + binaryBytes({0x80, 0xFF, 0x00}) + "00011",
                 std::string("\x80\xff\x00", 3) + "B"},
        TextCase{"BinaryShiftFromLowerReturnsToLower", "11100 11111 00001 " + binaryBytes({0xE9}) + "00010",
                 std::string("\xe9") + "a"},
        // D/L, U/S, B/S: after the bytes the mode B/S was read in (Upper) goes on.
        TextCase{"BinaryShiftThroughUpperShiftGoesOnInUpper",
                 "11110 0101 0101 0101 0101 1111 11111 00101 " + binaryBytes({'h', '3', 'i', '3', 'j'}) +
                     "01010 10101 01010 10101",
                 "3333h3i3jITIT"},
        TextCase{"BinaryShiftElevenBitLength", fortyBinaryBytes(), fortyBinaryBytesExpected()},
        TextCase{"TruncatedBinaryRunKeepsWholeBytes", "11111 00100 " + binaryBytes({0xAA, 0x55}) + "00010",
                 std::string("\xaa\x55") + "A"},
        TextCase{"BinaryShiftAsLastCode", "00010 11111", "A"},
        TextCase{"BinaryShiftWithPartialLength", "00010 11111 010", "A"},
        TextCase{"FewerBitsThanOneCode", "0001", ""},
        TextCase{"NoBits", "", ""},
        TextCase{"LeadingFnc1MarksGs1", "00000 00000 000 00010", "A"},
        TextCase{"LaterFnc1IsGroupSeparator", "00010 00000 00000 000 00011", std::string("A\x1d") + "B"},
        TextCase{"EciFromPunctShiftReturnsToUpper", "00000 00000 010 0100 1000 00010", "A"},
        TextCase{"EciInPunctLatchStaysPunct", "11101 11110 00000 001 0011 00110", "!"},
        TextCase{"EciFromDigitReturnsToDigit", "11110 0000 00000 001 0011 0011", "1"},
        TextCase{"SixDigitEci", "00000 00000 110 0011 0100 0101 0110 0111 1000 00010", "A"},
        TextCase{"FlagWithoutItsNumber", "00010 00000 00000 00", "A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto text = decodeAll(bits(c.bitPattern));
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(*text, bytesOf(c.expected));
    }
}

TEST(TextDecoding, ReservedFlagSevenInvalidatesTheData) {
    EXPECT_FALSE(decodeAll(bits("00010 00000 00000 111 00010")).has_value());
}

TEST(TextDecoding, EciDigitOutsideDigitRangeInvalidatesTheData) {
    EXPECT_FALSE(decodeAll(bits("00000 00000 001 0000")).has_value());
    EXPECT_FALSE(decodeAll(bits("00000 00000 010 0010 1100")).has_value());
}

TEST(TextDecoding, ManyTwoBytePunctCodesAreNotLimited) {
    // 2500 CR LF codes: more output bytes than a third of the bits.
    std::string pattern = "11101 11110";
    for (int k = 0; k < 2500; ++k) pattern += "00010";
    const auto text = decodeAll(bits(pattern));
    ASSERT_TRUE(text.has_value());
    ASSERT_EQ(text->size(), 5000u);
    for (std::size_t k = 0; k < text->size(); k += 2) {
        ASSERT_EQ((*text)[k], '\r');
        ASSERT_EQ((*text)[k + 1], '\n');
    }
}

TEST(TextDecoding, DecodesOnlyTheFirstBitCountBits) {
    // The zero bits after the count would read as P/S FLG(0), a separator.
    const BitVector data = bits("00010 00000 00000 000 00000");
    EXPECT_EQ(decodeText(data, 5), bytesOf("A"));
    EXPECT_EQ(decodeText(data, data.size()), bytesOf("A\x1d"));
    EXPECT_EQ(decodeText(data, 1000), bytesOf("A\x1d"));
    EXPECT_EQ(decodeText(data, 0), Bytes{});
}

// ---- padding: the 1 bits that fill the last codeword(s) are not data ----

struct PaddedMessage {
    const char* name;
    std::string bitPattern;
    std::string expected;
};

TEST(PaddingIsIgnored, AfterEveryEndingModeForEveryPadLength) {
    const std::vector<PaddedMessage> messages = {
        PaddedMessage{"Nothing", "", ""},
        PaddedMessage{"Upper", "00010", "A"},
        PaddedMessage{"Lower", "11100 00010", "a"},
        PaddedMessage{"Mixed", "11101 10100", "@"},
        PaddedMessage{"PunctLatch", "11101 11110 00110", "!"},
        PaddedMessage{"PunctShift", "00010 00000 00110", "A!"},
        PaddedMessage{"Digit", "11110 0011", "1"},
        PaddedMessage{"DigitUpperShift", "11110 1111 00010", "A"},
        PaddedMessage{"Binary", "11111 00001 10000000", "\x80"},
        PaddedMessage{"BinaryEndingInOnes", "11111 00010 11111111 11111111", "\xff\xff"},
        PaddedMessage{"Fnc1", "00010 00000 00000 000", "A\x1d"},
    };
    for (const auto& message : messages) {
        SCOPED_TRACE(message.name);
        for (std::size_t pad = 0; pad < 400; ++pad) {
            // A tail of 258..269 ones from a B/S on is indistinguishable from
            // a final run of 31 bytes 0xFF, which wins (ThirtyOne0xFFBytes...
            // below); a U/L or U/S before the B/S shifts that window by <= 5.
            if (pad >= 258 && pad < 275) continue;
            BitVector data = bits(message.bitPattern);
            appendRun(data, true, pad);
            const auto text = decodeAll(data);
            ASSERT_TRUE(text.has_value()) << "pad " << pad;
            ASSERT_EQ(*text, bytesOf(message.expected)) << "pad " << pad;
        }
    }
}

TEST(PaddingIsIgnored, ThirtyOne0xFFBytesFollowedByALastCodewordPad) {
    // B/S, length 31 and 31 bytes 0xFF are all 1s: an encoder writes exactly
    // this for such data, and only the last codeword's pad (< 12 bits) follows.
    for (std::size_t pad = 0; pad < 12; ++pad) {
        BitVector data = bits("00010");
        appendRun(data, true, 5 + 5 + 31 * 8 + pad);
        const auto text = decodeAll(data);
        ASSERT_TRUE(text.has_value());
        Bytes expected = bytesOf("A");
        expected.insert(expected.end(), 31, 0xFF);
        EXPECT_EQ(*text, expected) << "pad " << pad;
    }
}

}  // namespace
