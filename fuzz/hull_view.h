// A view made of a decoded point set and its hull, for the targets that
// query hulls directly.
#pragma once

#include <vector>

#include "camera/view.h"
#include "fuzz/fuzz_input.h"

namespace silhouette {
namespace fuzz {

// Decodes planar points (DecodePlanarPoints), hulls them (tolerance 0.001
// with a zero byte, else 0 or a Number()) and makes a view whose boundary
// and normalized boundary are the points and whose hull is the ring,
// counter-clockwise or reversed (as a camera of negative focal length sees
// it) and starting at any vertex. False when the points have no hull. At
// most `max_points` points are decoded.
bool DecodeHullView(FuzzInput* in, View* view, std::size_t max_points = 64);

// The view's hull vertices in hull order.
std::vector<Vec2> HullRing(const View& view);

}  // namespace fuzz
}  // namespace silhouette
