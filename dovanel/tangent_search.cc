#include "dovanel/tangent_search.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace silhouette {
namespace {

// Vertices per leaf of the tree: the leaves are the blocks of kLeafSize
// consecutive positions, the last one padded.
constexpr int32_t kLeafSize = 16;
// Coordinates at least this large in magnitude (or 0) have nonzero
// differences of at least 2^-452, whose products cannot underflow.
constexpr double kModerate = 0x1p-400;
constexpr double kSmallestYStep = 0x1p-452;

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

  // -1 when flipped: s (v - e) is e - v, rounded alike.
  double Sign() const { return flip ? -1.0 : 1.0; }

  // The rank of a vertex whose differences are dx and dy.
  Rank Of(double dx, double dy) const {
    const double q = dx / dy;
    if (!sideways || dy > 0) return {0, q};
    if (dy < 0) return {2, q};
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
double QuotientCeiling(double q);
double QuotientFloor(double q);

struct Highest {
  template <typename Node>
  static Rank Bound(const Frame& f, const Node& n) {
    return f.Upper(n);
  }
  static bool Before(const Rank& a, const Rank& b) { return Less(b, a); }
  // Whether every vertex whose exact direction is not further clockwise
  // than that of the vertex of rank r ranks strictly below `best`.
  static bool SurelyAfter(const Rank& r, const Rank& best) {
    return r.cls < best.cls ||
           (r.cls == best.cls && QuotientCeiling(r.q) < best.q);
  }
};
struct Lowest {
  template <typename Node>
  static Rank Bound(const Frame& f, const Node& n) {
    return f.Lower(n);
  }
  static bool Before(const Rank& a, const Rank& b) { return Less(a, b); }
  static bool SurelyAfter(const Rank& r, const Rank& best) {
    return r.cls > best.cls ||
           (r.cls == best.cls && QuotientFloor(r.q) > best.q);
  }
};

// Whether the polygon is surely convex: at least three vertices, every
// corner a left turn by more than the rounding of its orientation could
// hide (the error bound of the plain orientation determinant), and the
// edges turning once round (their y direction changes sign twice).
bool SurelyConvex(const std::vector<Vec2>& p) {
  const std::size_t n = p.size();
  if (n < 3) return false;
  const double bound_factor = (3 + 16 * 0x1p-53) * 0x1p-53;
  int sign_changes = 0;
  int last_sign = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const Vec2& a = p[k];
    const Vec2& b = p[(k + 1) % n];
    const Vec2& c = p[(k + 2) % n];
    const double left = (a.x - c.x) * (b.y - c.y);
    const double right = (a.y - c.y) * (b.x - c.x);
    const double det = left - right;
    const double bound = bound_factor * (std::abs(left) + std::abs(right));
    if (!(det > bound) || !std::isfinite(det)) return false;
    const int sign = b.y > a.y ? 1 : (b.y < a.y ? -1 : 0);
    if (sign != 0) {
      if (last_sign != 0 && sign != last_sign) ++sign_changes;
      last_sign = sign;
    }
  }
  // The change between the last signed edge and the first.
  int first_sign = 0;
  for (std::size_t k = 0; k < n && first_sign == 0; ++k) {
    const Vec2& a = p[k];
    const Vec2& b = p[(k + 1) % n];
    first_sign = b.y > a.y ? 1 : (b.y < a.y ? -1 : 0);
  }
  if (first_sign != 0 && last_sign != first_sign) ++sign_changes;
  return sign_changes == 2;
}

// Steps a local walk may take before the tree search takes over.
constexpr int32_t kMaxWalk = 24;
constexpr double kUnit = 0x1p-53;

// An upper bound on the quotient of every vertex whose exact direction from
// e is not further clockwise than that of the vertex with quotient q (its
// differences and the quotient each round once: relative error below
// 3.01 units, plus one subnormal step). NaN when q is too large for that.
double QuotientCeiling(double q) {
  if (!(std::abs(q) <= 0x1p1000)) return std::numeric_limits<double>::quiet_NaN();
  return q + 8 * kUnit * std::abs(q) + 0x1p-1060;
}
double QuotientFloor(double q) {
  if (!(std::abs(q) <= 0x1p1000)) return std::numeric_limits<double>::quiet_NaN();
  return q - 8 * kUnit * std::abs(q) - 0x1p-1060;
}

}  // namespace

TangentSearch::TangentSearch(const View& view) {
  const int32_t n = view.NumHullVertices();
  points_.reserve(static_cast<std::size_t>(n));
  xs_.reserve(static_cast<std::size_t>(n));
  ys_.reserve(static_cast<std::size_t>(n));
  for (int32_t k = 0; k < n; ++k) {
    const Vec2 p = view.HullPoint(k);
    points_.push_back(p);
    xs_.push_back(p.x);
    ys_.push_back(p.y);
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) finite_ = false;
    if (p.y != 0 && !(std::abs(p.y) >= kModerate)) moderateY_ = false;
  }
  if (!finite_ || n == 0) return;
  convex_ = SurelyConvex(points_);
  // Whole blocks for the leaves' loops; the padding repeats the last
  // vertex and is never compared.
  const int32_t blocks = (n + kLeafSize - 1) / kLeafSize;
  xs_.resize(static_cast<std::size_t>(blocks) * kLeafSize, xs_.back());
  ys_.resize(static_cast<std::size_t>(blocks) * kLeafSize, ys_.back());
  Build(0, blocks);
}

int32_t TangentSearch::Build(int32_t firstBlock, int32_t endBlock) {
  const int32_t lo = firstBlock * kLeafSize;
  const int32_t hi = std::min(endBlock * kLeafSize, NumVertices());
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
  if (endBlock - firstBlock > 1) {
    const int32_t mid = firstBlock + (endBlock - firstBlock) / 2;
    Build(firstBlock, mid);
    const int32_t right = Build(mid, endBlock);
    nodes_[static_cast<std::size_t>(index)].right = right;
  }
  return index;
}

namespace {

// The first hull position whose rank comes first in Order's sense (the
// highest or the lowest), found by a depth-first search that opens the
// more promising child first and skips every run whose bound comes
// strictly after the best rank found so far.
// `start`, a hull position or -1, is the first candidate when valid.
template <typename Order, typename Node>
int32_t Extreme(const Frame& f, const std::vector<Node>& nodes,
                const double* xs, const double* ys, int32_t count,
                int32_t start) {
  struct Item {
    int32_t node;
    Rank bound;
  };
  const double s = f.Sign();
  // One pending sibling per level of the tree at most.
  Item stack[80];
  int top = 0;
  Rank best{0, 0.0};
  int32_t best_index = -1;
  if (start >= 0 && start < count) {
    best = f.Of(s * (xs[start] - f.e.x), s * (ys[start] - f.e.y));
    best_index = start;
  }
  stack[top++] = {0, Order::Bound(f, nodes[0])};
  while (top > 0) {
    const Item item = stack[--top];
    if (best_index >= 0 && Order::Before(best, item.bound)) continue;
    const Node& n = nodes[static_cast<std::size_t>(item.node)];
    if (n.right < 0) {
      // The differences and quotients first, free of branches, then the
      // comparisons.
      double dx[kLeafSize], dy[kLeafSize], q[kLeafSize];
      const double* x = xs + n.lo;
      const double* y = ys + n.lo;
      for (int32_t i = 0; i < kLeafSize; ++i) {
        dx[i] = s * (x[i] - f.e.x);
        dy[i] = s * (y[i] - f.e.y);
        q[i] = dx[i] / dy[i];
      }
      const int32_t size = n.hi - n.lo;
      for (int32_t i = 0; i < size; ++i) {
        Rank r{0, q[i]};
        if (f.sideways && !(dy[i] > 0)) {
          r = dy[i] < 0 ? Rank{2, q[i]} : Rank{1, 0.0};
        }
        const int32_t k = n.lo + i;
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

namespace {

// The first position of the extreme rank of a convex hull, by a walk from
// `start` in both directions. On a convex polygon the exact direction
// from an outside e rises and falls once around the hull, so once the walk
// meets, on each side, a vertex whose exact direction surely lies behind
// the best found, every vertex beyond both lies behind them and so ranks
// strictly below the best: the answer is the best of the vertices walked.
// -1 when the walk grows too long (e far away, where rounding blurs the
// directions).
template <typename Order>
int32_t Walk(const Frame& f, const double* xs, const double* ys,
             int32_t count, int32_t start) {
  const double s = f.Sign();
  auto rank_of = [&](int32_t k) {
    return f.Of(s * (xs[k] - f.e.x), s * (ys[k] - f.e.y));
  };
  Rank best = rank_of(start);
  int32_t best_index = start;
  auto offer = [&](const Rank& r, int32_t k) {
    if (Order::Before(r, best) || (Equal(r, best) && k < best_index)) {
      best = r;
      best_index = k;
    }
  };
  int32_t steps = 0;
  int32_t ahead = start;
  for (;;) {
    ahead = ahead + 1 == count ? 0 : ahead + 1;
    if (ahead == start) return best_index;  // every vertex walked
    const Rank r = rank_of(ahead);
    if (Order::SurelyAfter(r, best)) break;
    offer(r, ahead);
    if (++steps > kMaxWalk) return -1;
  }
  int32_t behind = start;
  for (;;) {
    behind = behind == 0 ? count - 1 : behind - 1;
    if (behind == ahead) return best_index;
    const Rank r = rank_of(behind);
    if (Order::SurelyAfter(r, best)) break;
    offer(r, behind);
    if (++steps > kMaxWalk) return -1;
  }
  return best_index;
}

}  // namespace

TangentPair TangentSearch::Find(const Vec2& e, Hint* hint,
                                bool* searched) const {
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
  // Every quotient finite: NegativeTurn orders two slopes that overflow to
  // one infinity by their cross product, which no rank holds. The widest x
  // difference over the smallest nonzero y difference bounds them all (a
  // nonzero difference of moderate y is a multiple of 2^-452).
  const double widest = std::max(std::abs(x0), std::abs(x1));
  const double lowest = f.sideways ? kSmallestYStep : (f.flip ? -y1 : y0);
  if (!(widest / lowest <= std::numeric_limits<double>::max())) return Scan(e);
  if (searched != nullptr) *searched = true;
  const int32_t count = NumVertices();
  const double* xs = xs_.data();
  const double* ys = ys_.data();
  const int32_t first_start = hint ? hint->first : -1;
  const int32_t second_start = hint ? hint->second : -1;
  int32_t first = -1;
  int32_t second = -1;
  if (convex_ && first_start >= 0 && first_start < count) {
    first = Walk<Highest>(f, xs, ys, count, first_start);
  }
  if (convex_ && second_start >= 0 && second_start < count) {
    second = Walk<Lowest>(f, xs, ys, count, second_start);
  }
  if (first < 0) first = Extreme<Highest>(f, nodes_, xs, ys, count, first_start);
  if (second < 0) {
    second = Extreme<Lowest>(f, nodes_, xs, ys, count, second_start);
  }
  if (hint != nullptr) {
    hint->first = first;
    hint->second = second;
  }
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
