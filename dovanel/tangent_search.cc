#include "dovanel/tangent_search.h"

#include <algorithm>
#include <cmath>

namespace silhouette {
namespace {

// Vertices per leaf of the tree.
constexpr int32_t kLeafSize = 8;
// Coordinates at least this large in magnitude (or 0) have nonzero
// differences of at least 2^-452, whose products cannot underflow.
constexpr double kModerate = 0x1p-400;

// The order in which the scan's NegativeTurn sees the vertices from e, in
// the frame of one query: higher means further in the clockwise direction.
// cls is the side class (0 whenever every vertex is above e); q is the
// rounded quotient of the differences, exactly as NegativeTurn computes it.
struct Rank {
  int cls;
  double q;
};

bool Less(const Rank& a, const Rank& b) {
  return a.cls < b.cls || (a.cls == b.cls && a.q < b.q);
}

bool Equal(const Rank& a, const Rank& b) {
  return a.cls == b.cls && a.q == b.q;
}

// One query. Differences are taken as v - e, or as e - v when `flip` is
// set, which negates both (exactly) and leaves every quotient unchanged:
// so "below e" becomes "above e" and "right of e" becomes "left of e".
// Upright: every difference in y is positive, and NegativeTurn compares
// quotients only. Sideways: every difference in x is positive, the
// vertices above e (class 0) come before those level with it (class 1)
// and those below it (class 2), and within a class the quotient decides.
struct Frame {
  Vec2 e;
  bool flip;
  bool sideways;

  double Dx(double x) const { return flip ? e.x - x : x - e.x; }
  double Dy(double y) const { return flip ? e.y - y : y - e.y; }

  Rank Of(const Vec2& r) const {
    const double dx = Dx(r.x);
    const double dy = Dy(r.y);
    if (!sideways || dy > 0) return {0, dx / dy};
    if (dy < 0) return {2, dx / dy};
    return {1, 0.0};
  }

  // Rounding is monotone: every vertex in the box has its differences in
  // [x0, x1] x [y0, y1], and its quotient lies between the rounded
  // quotients of the corners that bound it.
  template <typename Node>
  void Ranges(const Node& n, double* x0, double* x1, double* y0,
              double* y1) const {
    if (flip) {
      *x0 = e.x - n.xmax;
      *x1 = e.x - n.xmin;
      *y0 = e.y - n.ymax;
      *y1 = e.y - n.ymin;
    } else {
      *x0 = n.xmin - e.x;
      *x1 = n.xmax - e.x;
      *y0 = n.ymin - e.y;
      *y1 = n.ymax - e.y;
    }
  }

  // No vertex in the box ranks above this.
  template <typename Node>
  Rank Upper(const Node& n) const {
    double x0, x1, y0, y1;
    Ranges(n, &x0, &x1, &y0, &y1);
    if (!sideways) return {0, x1 >= 0 ? x1 / y0 : x1 / y1};
    if (y0 < 0) return {2, x0 / y0};
    if (y0 == 0) return {1, 0.0};
    return {0, x1 / y0};
  }

  // No vertex in the box ranks below this.
  template <typename Node>
  Rank Lower(const Node& n) const {
    double x0, x1, y0, y1;
    Ranges(n, &x0, &x1, &y0, &y1);
    if (!sideways) return {0, x0 >= 0 ? x0 / y1 : x0 / y0};
    if (y1 > 0) return {0, x0 / y1};
    if (y1 == 0) return {1, 0.0};
    return {2, x1 / y1};
  }
};

// For the lowest rank: the same search with the order turned round.
struct Highest {
  template <typename Node>
  static Rank Bound(const Frame& f, const Node& n) {
    return f.Upper(n);
  }
  static bool Before(const Rank& a, const Rank& b) { return Less(b, a); }
};
struct Lowest {
  template <typename Node>
  static Rank Bound(const Frame& f, const Node& n) {
    return f.Lower(n);
  }
  static bool Before(const Rank& a, const Rank& b) { return Less(a, b); }
};

}  // namespace

TangentSearch::TangentSearch(const View& view) {
  const int32_t n = view.NumHullVertices();
  points_.reserve(static_cast<std::size_t>(n));
  for (int32_t k = 0; k < n; ++k) {
    const Vec2 p = view.HullPoint(k);
    points_.push_back(p);
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) finite_ = false;
    if (p.y != 0 && !(std::abs(p.y) >= kModerate)) moderateY_ = false;
  }
  if (finite_ && n > 0) Build(0, n);
}

int32_t TangentSearch::Build(int32_t lo, int32_t hi) {
  Node node{points_[lo].x, points_[lo].x, points_[lo].y, points_[lo].y,
            lo,            hi,            -1};
  for (int32_t k = lo + 1; k < hi; ++k) {
    node.xmin = std::min(node.xmin, points_[k].x);
    node.xmax = std::max(node.xmax, points_[k].x);
    node.ymin = std::min(node.ymin, points_[k].y);
    node.ymax = std::max(node.ymax, points_[k].y);
  }
  const int32_t index = static_cast<int32_t>(nodes_.size());
  nodes_.push_back(node);
  if (hi - lo > kLeafSize) {
    const int32_t mid = lo + (hi - lo) / 2;
    Build(lo, mid);
    const int32_t right = Build(mid, hi);
    nodes_[static_cast<std::size_t>(index)].right = right;
  }
  return index;
}

namespace {

// The first hull position whose rank comes first in Order's sense (the
// highest or the lowest), found by a depth-first search that opens the
// more promising child first and skips every run whose bound comes
// strictly after the best rank found so far.
template <typename Order, typename Node>
int32_t Extreme(const Frame& f, const std::vector<Node>& nodes,
                const std::vector<Vec2>& points) {
  struct Item {
    int32_t node;
    Rank bound;
  };
  // One pending sibling per level of the tree at most.
  Item stack[80];
  int top = 0;
  Rank best{0, 0.0};
  int32_t best_index = -1;
  stack[top++] = {0, Order::Bound(f, nodes[0])};
  while (top > 0) {
    const Item item = stack[--top];
    if (best_index >= 0 && Order::Before(best, item.bound)) continue;
    const Node& n = nodes[static_cast<std::size_t>(item.node)];
    if (n.right < 0) {
      for (int32_t k = n.lo; k < n.hi; ++k) {
        const Rank r = f.Of(points[static_cast<std::size_t>(k)]);
        if (best_index < 0 || Order::Before(r, best) ||
            (Equal(r, best) && k < best_index)) {
          best = r;
          best_index = k;
        }
      }
      continue;
    }
    const Item left{item.node + 1,
                    Order::Bound(f, nodes[static_cast<std::size_t>(
                                        item.node + 1)])};
    const Item right{n.right,
                     Order::Bound(f, nodes[static_cast<std::size_t>(n.right)])};
    // The better one on top, so that it is opened first.
    if (Order::Before(right.bound, left.bound)) {
      stack[top++] = left;
      stack[top++] = right;
    } else {
      stack[top++] = right;
      stack[top++] = left;
    }
  }
  return best_index;
}

}  // namespace

TangentPair TangentSearch::Find(const Vec2& e, bool* searched) const {
  if (searched != nullptr) *searched = false;
  if (!finite_ || !std::isfinite(e.x) || !std::isfinite(e.y)) return Scan(e);
  const Node& root = nodes_[0];
  const double x0 = root.xmin - e.x;
  const double x1 = root.xmax - e.x;
  const double y0 = root.ymin - e.y;
  const double y1 = root.ymax - e.y;
  if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) ||
      !std::isfinite(y1)) {
    return Scan(e);
  }
  Frame f{e, false, false};
  // Upright: every product of two y differences is positive (it is at
  // least the square of the smallest one).
  if (y0 > 0 && y0 * y0 > 0) {
    f.flip = false;
  } else if (y1 < 0 && y1 * y1 > 0) {
    f.flip = true;
  } else if (moderateY_ && (e.y == 0 || std::abs(e.y) >= kModerate)) {
    // Sideways: products of nonzero y differences keep their sign, and no
    // quotient rounds to zero (each is at least x0 / ymax in magnitude).
    const double ymax = std::max(std::abs(y0), std::abs(y1));
    f.sideways = true;
    if (x0 > 0 && x0 / ymax > 0) {
      f.flip = false;
    } else if (x1 < 0 && -x1 / ymax > 0) {
      f.flip = true;
    } else {
      return Scan(e);
    }
  } else {
    return Scan(e);
  }
  if (searched != nullptr) *searched = true;
  const int32_t first = Extreme<Highest>(f, nodes_, points_);
  const int32_t second = Extreme<Lowest>(f, nodes_, points_);
  return TangentPair{points_[static_cast<std::size_t>(first)],
                     points_[static_cast<std::size_t>(second)]};
}

TangentPair TangentSearch::Scan(const Vec2& e) const {
  TangentPair pair{points_[0], points_[0]};
  const std::size_t n = points_.size();
  for (std::size_t k = 1; k < n; ++k) {
    const Vec2 r = points_[k];
    if (NegativeTurn(pair.first - e, r - e)) pair.first = r;
    if (NegativeTurn(r - e, pair.second - e)) pair.second = r;
  }
  return pair;
}

}  // namespace silhouette
