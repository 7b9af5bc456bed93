#pragma once
// Where locate starts its attempts, relative to the image centre: the centre,
// then two square rings 24 and 48 pixels out, each walked clockwise from its
// top-left corner so that every point of the ring is tried exactly once.
#include <algorithm>
#include <array>
#include <cstdint>

namespace AztecCore {

struct StartOffset {
    std::int32_t dx = 0;
    std::int32_t dy = 0;
};

inline constexpr std::array<StartOffset, 25> kStartOffsets = {{
    {0, 0},     {-24, -24}, {0, -24},  {24, -24}, {24, 0},   {24, 24},  {0, 24},    {-24, 24}, {-24, 0},
    {-48, -48}, {-24, -48}, {0, -48},  {24, -48}, {48, -48}, {48, -24}, {48, 0},    {48, 24},  {48, 48},
    {24, 48},   {0, 48},    {-24, 48}, {-48, 48}, {-48, 24}, {-48, 0},  {-48, -24},
}};

// How far from the image centre, along either axis, the start points reach.
constexpr std::int32_t startPointReach() {
    std::int32_t reach = 0;
    for (const StartOffset& o : kStartOffsets) reach = std::max({reach, o.dx, -o.dx, o.dy, -o.dy});
    return reach;
}

}  // namespace AztecCore
