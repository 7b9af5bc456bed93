#include "support/render_geometry.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace talavex_test::detail {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Points whose perspective denominator falls below this are treated as
// hopelessly foreshortened rather than risking a division near zero.
constexpr double kMinDenominator = 0.05;

// Perspective coefficient giving the side at +halfSize a length of (1 - |tilt|)
// times the side at -halfSize (or the other way round for negative tilt).
double tiltCoefficient(double tilt, double halfSize) {
    if (!(std::fabs(tilt) < 1.0)) {
        throw std::invalid_argument("render: tilt must lie strictly between -1 and 1");
    }
    return tilt / ((2.0 - std::fabs(tilt)) * halfSize);
}

}  // namespace

SymbolPlacement::SymbolPlacement(int symbolSize, const RenderOptions& options, double centreX, double centreY)
    : symbolSize_(symbolSize),
      quietZone_(options.quietZone),
      moduleSize_(options.moduleSize),
      cosA_(std::cos(options.angleDegrees * kPi / 180.0)),
      sinA_(std::sin(options.angleDegrees * kPi / 180.0)),
      sign_(options.mirror ? -1.0 : 1.0),
      tiltA_(0.0),
      tiltB_(0.0),
      centreX_(centreX),
      centreY_(centreY) {
    if (symbolSize <= 0) {
        throw std::invalid_argument("render: empty symbol");
    }
    if (!(options.moduleSize > 0.0) || !std::isfinite(options.moduleSize)) {
        throw std::invalid_argument("render: module size must be positive");
    }
    if (options.quietZone < 0) {
        throw std::invalid_argument("render: negative quiet zone");
    }
    const double halfSymbol = 0.5 * symbolSize * moduleSize_;
    tiltA_ = tiltCoefficient(options.tiltX, halfSymbol);
    tiltB_ = tiltCoefficient(options.tiltY, halfSymbol);

    const double lo = -quietZone_;
    const double hi = symbolSize_ + quietZone_;
    const double corners[4][2] = {{lo, lo}, {hi, lo}, {hi, hi}, {lo, hi}};
    minX_ = minY_ = 1e300;
    maxX_ = maxY_ = -1e300;
    for (const auto& corner : corners) {
        const double px = sign_ * (corner[0] - 0.5 * symbolSize_) * moduleSize_;
        const double py = (corner[1] - 0.5 * symbolSize_) * moduleSize_;
        const double rx = cosA_ * px - sinA_ * py;
        const double ry = sinA_ * px + cosA_ * py;
        if (1.0 + tiltA_ * rx + tiltB_ * ry < kMinDenominator) {
            throw std::invalid_argument("render: tilt too strong for this symbol and quiet zone");
        }
        const ImagePoint p = toImage(corner[0], corner[1]);
        minX_ = std::min(minX_, p.x);
        maxX_ = std::max(maxX_, p.x);
        minY_ = std::min(minY_, p.y);
        maxY_ = std::max(maxY_, p.y);
    }
    halfExtentX_ = std::max(centreX_ - minX_, maxX_ - centreX_);
    halfExtentY_ = std::max(centreY_ - minY_, maxY_ - centreY_);
}

ImagePoint SymbolPlacement::toImage(double u, double v) const {
    const double px = sign_ * (u - 0.5 * symbolSize_) * moduleSize_;
    const double py = (v - 0.5 * symbolSize_) * moduleSize_;
    const double rx = cosA_ * px - sinA_ * py;
    const double ry = sinA_ * px + cosA_ * py;
    const double w = 1.0 + tiltA_ * rx + tiltB_ * ry;
    return ImagePoint{centreX_ + rx / w, centreY_ + ry / w};
}

bool SymbolPlacement::toSymbol(double x, double y, double& u, double& v) const {
    const double dx = x - centreX_;
    const double dy = y - centreY_;
    const double denominator = 1.0 - tiltA_ * dx - tiltB_ * dy;
    if (denominator <= 0.0) {
        return false;
    }
    const double rx = dx / denominator;
    const double ry = dy / denominator;
    const double px = cosA_ * rx + sinA_ * ry;
    const double py = -sinA_ * rx + cosA_ * ry;
    u = sign_ * px / moduleSize_ + 0.5 * symbolSize_;
    v = py / moduleSize_ + 0.5 * symbolSize_;
    return true;
}

int naturalImageSide(double halfExtent) { return static_cast<int>(std::ceil(2.0 * halfExtent - 1e-6)); }

}  // namespace talavex_test::detail
