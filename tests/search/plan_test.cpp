// The plans the exports and the reader's options make, read as data: which
// passes, in which order, in which polarity and with which rules.
#include "search/plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace AztecCore {
namespace {

// "kind" or "kind/inverted", and "+runes" for a pass that reads runes.
std::vector<std::string> names(const std::vector<Pass>& passes) {
    std::vector<std::string> out;
    for (const Pass& p : passes)
        out.push_back(std::string(passName(p.kind)) + (p.inverted ? "/inverted" : "") +
                      (p.rules.runes ? "+runes" : ""));
    return out;
}

struct PlanCase {
    const char* name;
    ReadOptions options;
    std::vector<std::string> passes;
    std::vector<std::string> more;
};
void PrintTo(const PlanCase& c, std::ostream* os) { *os << c.name; }

class ReaderPlan : public ::testing::TestWithParam<PlanCase> {};

TEST_P(ReaderPlan, RunsTheCheapPassesOfBothPolaritiesFirst) {
    const PlanCase& c = GetParam();
    const Plan plan = readerPlan(c.options);
    EXPECT_EQ(names(plan.passes), c.passes);
    EXPECT_EQ(names(plan.more), c.more);
    EXPECT_EQ(plan.maxSymbols, c.options.maxSymbols);
}

TEST_P(ReaderPlan, ReadsWhatTheExportsLeaveOut) {
    for (const Pass& p : readerPlan(GetParam().options).passes) {
        EXPECT_TRUE(p.rules.readerInit && p.rules.gridRetries && p.rules.wrappedDataCount) << passName(p.kind);
        EXPECT_EQ(p.rules.runes, p.kind == PassKind::RuneCentre || p.kind == PassKind::RunePositions);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, ReaderPlan,
    ::testing::Values(PlanCase{"Default",
                               {},
                               {"centre", "rune-centre+runes", "positions", "rune-positions+runes", "tight-frame",
                                "depth-positions", "enlarged"},
                               {}},
                      PlanCase{"Centre", {Where::Centre}, {"centre", "rune-centre+runes", "tight-frame"}, {}},
                      PlanCase{"Anywhere",
                               {Where::Anywhere},
                               {"rune-centre+runes", "positions", "rune-positions+runes", "tight-frame",
                                "depth-positions", "enlarged"},
                               {}},
                      PlanCase{"Inverted",
                               {Where::Auto, 1, true},
                               {"centre", "rune-centre+runes", "positions", "rune-positions+runes", "centre/inverted",
                                "rune-centre/inverted+runes", "positions/inverted", "rune-positions/inverted+runes",
                                "tight-frame", "tight-frame/inverted", "depth-positions", "depth-positions/inverted",
                                "enlarged", "enlarged/inverted"},
                               {}},
                      PlanCase{"CentreInverted",
                               {Where::Centre, 1, true},
                               {"centre", "rune-centre+runes", "centre/inverted", "rune-centre/inverted+runes",
                                "tight-frame", "tight-frame/inverted"},
                               {}},
                      PlanCase{"SeveralSymbols",
                               {Where::Auto, 3},
                               {"centre", "rune-centre+runes", "positions", "rune-positions+runes", "tight-frame",
                                "depth-positions", "enlarged"},
                               {"positions", "depth-positions", "enlarged"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExportPlan, IsOnePassWithTheExportsRules) {
    const struct {
        Export which;
        PassKind kind;
    } cases[] = {{Export::Y, PassKind::Centre}, {Export::BGRA, PassKind::Centre}, {Export::Photo, PassKind::Photo}};
    for (const auto& c : cases) {
        const Plan plan = exportPlan(c.which);
        ASSERT_EQ(plan.passes.size(), 1u);
        EXPECT_EQ(plan.passes[0], (Pass{c.kind, false, ReadRules{}}));
        EXPECT_TRUE(plan.more.empty());
        EXPECT_EQ(plan.maxSymbols, 1u);
    }
}

}  // namespace
}  // namespace AztecCore
