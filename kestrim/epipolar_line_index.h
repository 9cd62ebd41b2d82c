// A view's silhouette hull indexed by direction around one image point,
// the epipole, for lines through it: which two hull edges does the line
// through the epipole in a given direction cross?
#pragma once

#include <cstdint>
#include <vector>

#include "camera/view.h"
#include "geometry/vec2.h"

namespace silhouette {

// The hull vertices sorted by the direction in which they are seen from
// the epipole, and for each angular sector between two consecutive
// directions the two hull edges that cross it: the epipolar hull index,
// with directions compared by cross products instead of angles, built in
// linear time from the hull's own order. A cursor remembers the sector of
// the last answer, so queries in nearby directions take a step or two.
//
// Edges are named by the hull vertex they start at (edge k runs from
// vertex k to vertex (k + 1) mod n, n >= 3). The index answers exactly
// when the epipole is finite and either
//  - clearly outside the hull: the hull is seen within less than a half
//    turn (the sine of the span above 1e-9), and a line through the
//    epipole crosses two edges of its two sides or misses it; or
//  - clearly inside it: every edge is seen under a positive angle (its
//    sine above 1e-9), and a line through the epipole leaves the hull
//    through one edge each way.
// Otherwise (fewer than three vertices, an epipole on the hull or close to
// it, within a 1e-9 fraction of the farthest vertex's distance or a few
// roundings of a vertex, at or near infinity, not a number, a degenerate
// hull, a hull vertex farther than 1e4 from the image centre in
// normalized coordinates, where the faces lie too close to the image
// plane's parallel through the centre to be told apart) Answers() is
// false and the caller has to test every edge. The index refers to its
// view without owning it; the view must outlive it. Every loop is bounded
// by the hull size.
class EpipolarLineIndex {
 public:
  EpipolarLineIndex() = default;

  // Indexes the hull of `view` around `epipole`; the cursor restarts.
  void Build(const View& view, const Vec2& epipole);

  bool Answers() const { return mode_ != Mode::kNone; }
  bool EpipoleInside() const { return mode_ == Mode::kInside; }

  enum class Answer { kCrossed, kMissed, kUnsure };

  // The two hull edges crossed by the whole line through the epipole with
  // direction `r` (either way along it): kCrossed with `first` and
  // `second` set, kMissed when the line misses the hull. kUnsure, with the
  // outputs untouched, when the index does not answer or `r` is zero or
  // not a number (a ray through the other camera's centre, whose image is
  // the epipole itself), and when the line lies within an angle of sine
  // 1e-9 of the direction of a vertex (which side of the vertex it passes
  // is then the roundings' choice). A line crossing an edge seen from the
  // epipole under an angle of sine 1e-9 or less (an edge whose line passes
  // through the epipole or near it, or one between vertices a rounding
  // apart) runs along that edge, whose face may then bound the ray
  // anywhere or not at all: such a line is kUnsure too.
  Answer CrossedEdges(const Vec2& r, int32_t* first, int32_t* second);

  // Hull vertex numbers in ascending order of direction (outside), or in
  // hull order (inside); empty when the index does not answer.
  const std::vector<int32_t>& order() const { return order_; }

 private:
  enum class Mode { kNone, kOutside, kInside };

  // o * cross(a, b): positive when b lies counter-clockwise of a in the
  // hull's own sense of turning.
  double Turn(const Vec2& a, const Vec2& b) const {
    return orientation_ * a.Cross(b);
  }
  // Whether b lies counter-clockwise of a by an angle whose sine exceeds
  // kMinSine.
  bool Apart(const Vec2& a, const Vec2& b) const;
  // d: the vertices' directions from the epipole; s[k]: the turn from
  // d[k] to d[k + 1]; grazed[k]: whether edge k is seen under an angle
  // whose sine is kMinSine or less.
  void BuildOutside(const std::vector<Vec2>& d, const std::vector<double>& s,
                    const std::vector<char>& grazed);
  Answer SeekOutside(const Vec2& r, int32_t* first, int32_t* second);
  // The edge through which the half-line from the epipole in direction r
  // leaves the hull, starting the search at *cursor.
  bool SeekInside(const Vec2& r, int* cursor, int32_t* edge) const;
  void Clear();

  Mode mode_ = Mode::kNone;
  double orientation_ = 1;
  // Outside: directions_[s] is hull vertex order_[s] minus the epipole,
  // and sectors s = 0 .. n - 2 lie between directions s and s + 1, crossed
  // by the edges near_[s] and far_[s]. Inside: directions_[k] belongs to
  // hull vertex k and sector k is crossed by edge k alone.
  std::vector<int32_t> order_;
  std::vector<Vec2> directions_;
  std::vector<int32_t> near_;
  std::vector<int32_t> far_;
  // Outside: whether sector s is crossed by an edge seen under an angle
  // of sine kMinSine or less (it answers kUnsure).
  std::vector<char> grazed_;
  int cursor_ = 0;
  int back_cursor_ = 0;
};

}  // namespace silhouette
