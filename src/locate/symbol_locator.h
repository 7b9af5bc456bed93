#pragma once
// Finds one Aztec symbol in a gray image and reads it. The public operations
// are what the recognition drivers call; the steps behind them (centre seeding,
// bull's-eye check, ring sampling, module grid) are members too so the tests
// can exercise each one.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "common/deadline.h"
#include "decode/read_rules.h"
#include "decode/symbol_parameters.h"
#include "image/gray_buf.h"
#include "image/zeroed_allocator.h"
#include "locate/symbol_candidate.h"
#include "math/projective_map.h"

namespace AztecCore {

// The gray value given to a sample that falls outside the image; it counts as light.
inline constexpr std::uint32_t kOutsideSample = 999999999u;

class SampleGrid;

class SymbolLocator {
public:
    // Every location attempt and every long loop inside one counts against
    // `deadline`, which must outlive the locator.
    explicit SymbolLocator(const Deadline& deadline = Deadline::none()) : deadline_(&deadline) {}

    // The image being searched; set by the owner before findCandidates. The
    // locator never writes to it, so an owner may lend it an image it keeps.
    std::shared_ptr<const Image::GrayBuf> source;

    // One fresh candidate seeded at the centre of source.
    std::vector<std::unique_ptr<SymbolCandidate>> findCandidates() const;

    struct IPoint {
        std::int32_t x = 0, y = 0;
    };
    // What the attempts of one search saw on their way, for the searches
    // that may follow it on the same image.
    struct LocateTrace {
        // Start points whose attempt met a compact ring that reads as a
        // rune: the only places where a rune search could read one.
        std::vector<IPoint> runeRings;
        // Some attempt's rings passed the bull's-eye check.
        bool sawBullseye = false;
    };

    // analyzeAt from the image centre and up to 24 start points around it.
    // Of `rules`, only `runes` matters here: a compact ring that reads as no
    // mode message may then read as an Aztec Rune (the candidate's kind
    // becomes Rune).
    bool locate(SymbolCandidate& cand, ReadRules rules = {}, LocateTrace* trace = nullptr);
    // One location attempt (bull's-eye, corners, mode message) from a start
    // point. The seeding quantises a square `seedRadius` pixels out from it
    // (0: a sixth of the image's shorter side, enough for any symbol there);
    // a smaller radius that still holds the finder costs less.
    bool analyzeAt(SymbolCandidate& cand, std::int32_t x, std::int32_t y, ReadRules rules = {},
                   std::int32_t seedRadius = 0);
    // Gives back the working image's storage until the next seeding makes
    // it anew; the rest of the locator's state stays. An attempt quantises
    // what it reads there before it reads it, save where its seeding starts
    // on the image's last row or column, which the seeded square stops short
    // of: that start reads what earlier attempts left on those two lines. So
    // they are kept and put back, and every later attempt from a start point
    // inside the image goes exactly as if the image had stayed.
    void releaseWorkingImage();
    // A crop ten ring-widths wide around a located bull's-eye (white outside source).
    Image::GrayBuf cropAround(const SymbolCandidate& cand) const;
    // The width and height cropAround cuts for `cand`, known before anything is
    // allocated: a bogus ring can ask for a huge crop. Degenerate corners give 0.
    struct CropSize {
        std::int64_t width = 0;
        std::int64_t height = 0;
    };
    static CropSize cropSizeFor(const SymbolCandidate& cand);
    // Where cropAround's crop starts in source: its pixel (0, 0) is this pixel.
    static Aztec::Math::PointD cropOrigin(const SymbolCandidate& cand);

    // ---- location steps (see the implementation files) ----

    // Centre seeding (center_seeding.cpp).
    Aztec::Math::PointD seedCenter(std::int32_t sx, std::int32_t sy, std::int32_t seedRadius = 0);
    void measureWindow(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::uint32_t& lo,
                       std::uint32_t& mid, std::uint32_t& hi) const;
    void quantizeRegion(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::uint32_t lo,
                        std::uint32_t mid, std::uint32_t hi);
    void fillDark(std::int32_t x, std::int32_t y);
    void fillLight(std::int32_t x, std::int32_t y);

    // Bull's-eye check and corner fit (bullseye_check.cpp, ring_corners.cpp).
    bool checkBullseye(SymbolCandidate& cand, bool full);
    void fillRing(std::int32_t x, std::int32_t y);
    void fitRingCorners(SymbolCandidate& cand);

    // Mode-message ring (mode_ring.cpp).
    bool readModeRing(SymbolCandidate& cand, double scale, ReadRules rules = {});
    // Gray value of source at the image position of symbol point (u, v) under
    // the current map; kOutsideSample when that lies outside the image.
    std::uint32_t sampleAt(double u, double v) const;

    // Module grid and bit matrix (module_grid.cpp, module_sampling.cpp).
    ModuleBits sampleModules(SymbolCandidate& cand);
    void buildCompactGrid(SymbolCandidate& cand);
    // Adjusts the finder's map toward the greatest module contrast over the
    // whole symbol (symbols whose grid comes from that map alone).
    void polishMap(const SymbolCandidate& cand);
    void buildFullGrid(SymbolCandidate& cand);
    // Second looks at a full-range symbol whose data correction failed after
    // sampleModules (the exports take none): the grid rebuilt from the other
    // seed pattern than that read's, or from the same one with the nodes that
    // stray from the fit of the others moved onto it.
    enum class GridRetry { OtherSeeds, SmoothedNodes };
    // The modules of `cand` sampled through the grid `retry` builds, with the
    // locator's own state (read count, map) left as it was, so that later
    // reads go exactly as without the retry. None for a symbol whose grid
    // comes from the finder's map alone.
    std::optional<ModuleBits> resampleModules(SymbolCandidate& cand, GridRetry retry);
    Aztec::Math::PointD gridNodeAt(std::int32_t u, std::int32_t v, bool refine) const;
    std::uint32_t sampleMean5(double u, double v, double delta) const;
    // sampleMean5 of the 16 x 16 modules of the cell with top-left node (a, b), into grid from (ox, oy);
    // only those whose grid column and row both lie in [lo, hi) (rounded out to pairs of columns).
    void sampleBlock(SymbolCandidate& cand, std::int32_t a, std::int32_t b, SampleGrid& grid, std::int32_t ox,
                     std::int32_t oy, std::int32_t lo = 0, std::int32_t hi = std::numeric_limits<std::int32_t>::max());

    // Diagnostics for tests: the working image, the map left by the last step,
    // the fill statistics of the last fill and the number of analyzeAt calls.
    const Image::GrayBuf* levelsImage() const { return levels_.get(); }
    const Aztec::Math::ProjectiveMap& currentMap() const { return map_; }
    void setMap(const Aztec::Math::ProjectiveMap& map) { map_ = map; }
    std::int64_t fillCount() const { return fillCount_; }
    std::uint32_t analyzeCount() const { return analyzeCount_; }
    std::uint32_t readCount() const { return readCount_; }

private:
    struct Region {
        std::int32_t x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    };
    struct Levels {
        std::uint32_t lo = 0, mid = 128, hi = 255;
    };

    static std::uint8_t quantizedLevel(std::uint32_t v, const Levels& levels);
    // The bull's-eye check, corner fit and mode ring after a seeding (analyzeAt's second half).
    bool analyzeSeeded(SymbolCandidate& cand, ReadRules rules);
    bool seedingIsSelfContained(std::int32_t sx, std::int32_t sy) const;
    void quantizeStretch(std::int32_t y, std::int32_t x0, std::int32_t x1, const Levels& levels);
    // A zeroed working image for source, with the lines releaseWorkingImage kept.
    void makeWorkingImage();
    void quantizeBeyondSeed(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1);
    void fillFrom(std::int32_t x, std::int32_t y, bool dark, std::uint8_t mark, bool ringFill);
    void fillRun(std::int32_t x, std::int32_t y, bool dark, std::uint8_t mark, bool ringFill);
    // fillFrom of a seeding whose square was just quantised (component_fill.cpp);
    // false, having done nothing, where its start lies outside the square's inside.
    bool fillSeedSquare(std::int32_t x, std::int32_t y, bool dark, std::uint8_t mark);
    bool levelsDark(std::int32_t x, std::int32_t y) const;
    bool insideImage(std::int32_t x, std::int32_t y) const;
    void pushSeed(std::int32_t x, std::int32_t y);
    void clearSeeds();
    void releaseRingMarks();
    // Ring fill pixels x0..x1 of row y, in order, for the farthest ones.
    void recordRingRun(std::int32_t x0, std::int32_t x1, std::int32_t y);

    bool readModeRingAtScales(SymbolCandidate& cand, ReadRules rules);
    std::uint32_t sampleThrough(const Aztec::Math::ProjectiveMap& map, double u, double v) const;

    // buildFullGrid's nodes from one seed pattern (diagonal or on the axes),
    // smoothed if asked, for a symbol with `sideLines` reference lines beyond
    // the central ones on each side.
    void placeFullGrid(SymbolCandidate& cand, std::int32_t sideLines, bool diagonalSeeds, bool smooth);
    // sampleModules after the grid is built.
    ModuleBits sampleBuiltGrid(SymbolCandidate& cand);
    void extrapolateNode(SymbolCandidate& cand, std::int32_t a, std::int32_t b, std::int32_t da, std::int32_t db) const;
    void setNodesFromMap(SymbolCandidate& cand) const;

    // The working image (none: not made yet, or released).
    std::shared_ptr<Image::GrayBuf> levels_;
    // What releaseWorkingImage kept for the next one: the last row and the
    // last column (both empty when nothing was released).
    std::vector<std::uint8_t> keptLastRow_;
    std::vector<std::uint8_t> keptLastColumn_;
    IPoint ringFar_[4] = {};
    std::int64_t ringFarDist2_[4] = {};
    // The same extremes per sector between the diagonals (right, bottom, left, top).
    IPoint ringFarDiag_[4] = {};
    std::int64_t ringFarDiagDist2_[4] = {};
    // Pixel sums of one fill; 64-bit because a fill may cover a large area.
    std::int64_t fillSumX_ = 0, fillSumY_ = 0, fillCount_ = 0, fillLimit_ = 0;
    Region region_;
    // The square the last seeding quantised (upper bounds excluded) and its levels.
    Region seedRegion_;
    Levels seedLevels_;
    // A stretch [x0, x1] of row y that a ring fill marked; every ring mark in
    // the working image lies on one of ringRuns_.
    struct RingRun {
        std::int32_t y = 0, x0 = 0, x1 = 0;
    };
    std::vector<RingRun> ringRuns_;
    // The fill's queue of seeds; those before seedHead_ are taken.
    std::vector<IPoint> seeds_;
    std::size_t seedHead_ = 0;
    // The seed fill's bit rows, each written whole before it is read.
    std::vector<std::uint64_t, Image::ZeroedAllocator<std::uint64_t>> componentBits_{
        Image::ZeroedAllocator<std::uint64_t>::forOverwrite()};
    std::vector<std::uint64_t> componentSeeds_;
    IPoint ringRef_;
    Aztec::Math::ProjectiveMap map_;
    // The finder's map the last buildFullGrid started from, for resampleModules.
    Aztec::Math::ProjectiveMap seedMap_;
    std::uint32_t readCount_ = 0;
    // Grid-line searches sample no farther from the centre than this (in
    // modules): the symbol's edge once its size is known.
    double lineReach_ = std::numeric_limits<double>::infinity();
    std::uint32_t analyzeCount_ = 0;
    const Deadline* deadline_;
};

}  // namespace AztecCore
