// The tangent vertices of a view's hull as TangentPoints finds them, found
// without visiting every vertex.
#pragma once

#include <cstdint>
#include <vector>

#include "camera/view.h"
#include "dovanel/tangent_points.h"
#include "geometry/vec2.h"

namespace silhouette {

// Built once per view (it copies the hull vertices and indexes them by a
// tree of bounding boxes over runs of consecutive hull positions), then
// asked for any number of points e. Find(e) returns exactly the two
// vertices TangentPoints(view, e) returns, bit for bit, ties included.
//
// Why a search can agree with the scan: when every vertex lies strictly
// on one side of e (above or below it, or left or right of it), the scan's
// NegativeTurn comparisons between vertices r - e reduce to comparing a
// rank of each vertex alone: its side class (for left or right) and the
// rounded quotient (r.x - e.x) / (r.y - e.y) that NegativeTurn computes.
// The scan then keeps the first hull position of the highest rank
// (`first`) and the first of the lowest (`second`). Rounding is monotone,
// so the ranks of all vertices inside a box are bounded by ranks computed
// at the box's corners; a run whose bound cannot reach the best rank found
// so far is skipped, and no run that might hold an equal rank at an
// earlier position is. Convexity only makes the search short (about the
// depth of the tree for an e away from the hull); it is not needed for the
// answer to be the scan's.
//
// The scan itself answers whenever that reduction is not certain: e inside
// the hull's box or on its edge, coordinates or differences that are not
// finite, differences so small that NegativeTurn's products or quotients
// could lose their sign, and quotients so large that they could overflow
// (NegativeTurn orders two slopes beyond the range by their cross
// product).
//
// With a hint (the answer for a nearby e) and a hull that is surely
// convex, a walk from the hinted positions usually settles the answer
// with a handful of vertices: see Walk in tangent_search.cc.
class TangentSearch {
 public:
  // The view must have at least one hull vertex.
  explicit TangentSearch(const View& view);

  // Hull positions of a previous answer, from which a later search for a
  // nearby e may start; -1 (or any position out of range) for none. They
  // change how long a search takes, never what it finds.
  struct Hint {
    int32_t first = -1;
    int32_t second = -1;
  };

  // TangentPoints(view, e). With `hint`, the search starts from its
  // positions and stores there the positions it found (the scan leaves the
  // hint as it was). *searched, when given, tells whether the tree answered
  // (true) or the scan (false).
  TangentPair Find(const Vec2& e, Hint* hint = nullptr,
                   bool* searched = nullptr) const;

  int32_t NumVertices() const { return static_cast<int32_t>(points_.size()); }

  // Whether the hull was found surely convex, so that a hinted search may
  // walk.
  bool SurelyConvexHull() const { return convex_; }

 private:
  struct Node {
    double xmin, xmax, ymin, ymax;
    int32_t lo, hi;  // hull positions [lo, hi)
    int32_t right;   // index of the right child; -1 for a leaf
  };

  // Adds the node of blocks [firstBlock, endBlock) and those below it;
  // returns its index.
  int32_t Build(int32_t firstBlock, int32_t endBlock);
  TangentPair Scan(const Vec2& e) const;

  std::vector<Vec2> points_;
  // The same coordinates, one array each, for the leaves' loops.
  std::vector<double> xs_;
  std::vector<double> ys_;
  std::vector<Node> nodes_;
  // Every hull coordinate is finite.
  bool finite_ = true;
  // Every hull y is 0 or at least 2^-400 in magnitude.
  bool moderateY_ = true;
  // The hull vertices surely form a convex polygon, turning once round:
  // a search with a hint may then walk from it.
  bool convex_ = false;
};

}  // namespace silhouette
