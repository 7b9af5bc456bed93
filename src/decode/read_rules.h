#pragma once
// What a read accepts beyond what the three exports read, passed down to
// each step as a value. The exports read with the default rules; the reader
// API turns every one of them on, each where its pass asks for it.
namespace AztecCore {

struct ReadRules {
    // Reader-initialisation symbols (the top bit of the data count set).
    bool readerInit = false;
    // A full-range symbol whose data correction fails is sampled again
    // through rebuilt module grids.
    bool gridRetries = false;
    // A compact symbol that fails its check words is read once more with its
    // data count taken as wrapped round past 64 (decode/wrapped_data_count.h).
    bool wrappedDataCount = false;
    // A compact ring that reads as no mode message may read as an Aztec Rune.
    bool runes = false;
};

}  // namespace AztecCore
