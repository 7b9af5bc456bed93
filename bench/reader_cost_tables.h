#pragma once
// What the reader-cost report measured and how it prints it: per class and
// build the CPU time of the four calls, their reads and wrong reads, the
// images where the reader costs far more than recognizeY, and a summary of
// misses and reads against the exports.
#include <array>
#include <string>
#include <vector>

namespace talavex_bench {

enum Call { kY, kPhoto, kRead, kInverted, kCalls };

enum class Verdict {
    NotTimed,  // the call does not take the image (the photo export under 64 px a side)
    Nothing,   // no symbol returned
    Read,      // the image's bytes
    Wrong,     // other bytes, or anything from an image without a symbol
    Failed,    // the call reported a failure
    TimedOut,  // isolated, and killed at the time limit
};

struct CallResult {
    Verdict verdict = Verdict::NotTimed;
    double millis = 0.0;  // the time limit when timed out

    bool timed() const { return verdict != Verdict::NotTimed; }
    // A symbol returned, right or wrong.
    bool returned() const { return verdict == Verdict::Read || verdict == Verdict::Wrong; }
};

struct ImageResult {
    int index = 0;
    std::string source;
    bool hasSymbol = false;
    std::array<CallResult, kCalls> calls;
};

struct ClassResult {
    std::string name;
    std::vector<std::vector<ImageResult>> builds;  // per build, its images
};

// builds: the builds' labels, in the order of ClassResult::builds.
void printTimeHeader(int reps);
void printTimeRows(const ClassResult& result, const std::vector<std::string>& builds);
void printReads(const std::vector<ClassResult>& results, const std::vector<std::string>& builds);
void printOverCost(const std::vector<ClassResult>& results, const std::vector<std::string>& builds);
void printSummary(const std::vector<ClassResult>& results, const std::vector<std::string>& builds);

}  // namespace talavex_bench
