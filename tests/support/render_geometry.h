#pragma once
// Internal to the render tool: the plane map between symbol modules and image
// pixels described next to symbolToImage in render.h.
#include "support/render.h"

namespace talavex_test::detail {

class SymbolPlacement {
public:
    // Throws std::invalid_argument for a non-positive module size, a negative
    // quiet zone, |tilt| >= 1 or a quiet zone that reaches the tilt's horizon.
    SymbolPlacement(int symbolSize, const RenderOptions& options, double centreX, double centreY);

    // Symbol point (u, v) in modules from the top-left corner to image pixels.
    ImagePoint toImage(double u, double v) const;
    // The inverse; false for image points beyond the horizon of the tilt.
    bool toSymbol(double x, double y, double& u, double& v) const;

    // Half the width and height of the axis-aligned box around the mapped
    // symbol-plus-quiet-zone square, measured from the symbol centre both ways.
    double halfExtentX() const { return halfExtentX_; }
    double halfExtentY() const { return halfExtentY_; }
    // Bounding box of the mapped symbol-plus-quiet-zone square, in pixels.
    double minX() const { return minX_; }
    double maxX() const { return maxX_; }
    double minY() const { return minY_; }
    double maxY() const { return maxY_; }

    int symbolSize() const { return symbolSize_; }
    int quietZone() const { return quietZone_; }

private:
    int symbolSize_;
    int quietZone_;
    double moduleSize_;
    double cosA_;
    double sinA_;
    double sign_;   // -1 when mirrored
    double tiltA_;  // perspective denominator w = 1 + tiltA_ * x + tiltB_ * y
    double tiltB_;
    double centreX_;
    double centreY_;
    double halfExtentX_ = 0.0;
    double halfExtentY_ = 0.0;
    double minX_ = 0.0;
    double maxX_ = 0.0;
    double minY_ = 0.0;
    double maxY_ = 0.0;
};

// Image side for a requested size of 0: the whole mapped quiet-zone square
// around a centred symbol. A hair of tolerance keeps a 90-degree turn from
// adding a pixel through rounding.
int naturalImageSide(double halfExtent);

}  // namespace talavex_test::detail
