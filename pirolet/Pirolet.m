% PIROLET  Mean caliper diameter of a planar polygon.
%
%   meanDiam = Pirolet(poly)
%   [meanDiam, hullPts] = Pirolet(poly)
%
%   Pirolet measures the width of a planar polygon averaged over all
%   directions, its mean caliper diameter, by rotating calipers over the
%   polygon's convex hull. For a hull of three or more vertices this is the
%   hull's perimeter divided by pi.
%
%   Input:
%     poly      real double 2 x N matrix, N >= 3: column i is vertex i,
%               (x; y), in any unit. Any order, orientation,
%               self-intersection, repeated or collinear points are
%               allowed: the polygon is measured through its convex hull.
%
%   Outputs:
%     meanDiam  1 x 1, the mean caliper diameter, in the units of poly.
%     hullPts   2 x n, the vertices of the convex hull, counter-clockwise
%               (with the y axis up), starting at the vertex before the last
%               point inserted into the hull. Made only when asked for.
%
%   Degenerate outlines. The hull uses the tolerance 0.001 (in the units of
%   poly):
%     - points all within 0.001 of one point form a hull of one vertex:
%       meanDiam is 0 and hullPts holds that one vertex (column 1 of poly);
%     - points within 0.001 times their length of one segment form a hull
%       of two vertices, the segment's ends: meanDiam is 2 L / pi for a
%       segment of length L (the limit of perimeter / pi), and hullPts holds
%       the two ends.
%   Points closer than the hull's grid unit (the larger side of the
%   bounding box divided by 2^20) may be merged.
%
%   Huge coordinates. As long as the range of each coordinate (largest
%   minus smallest) stays below the largest double, about 1.8e308, the
%   result scales with poly, also where the squares of lengths overflow
%   (extents above about 1e154): poly times a power of two gives hullPts
%   and meanDiam times the same power, bit for bit unless numbers below
%   the smallest normal double (about 2.2e-308) take part. A meanDiam
%   beyond the largest double is Inf; a range that overflows is an error
%   (below).
%
%   Errors, raised as host errors (Octave prefixes them with "Pirolet: "):
%     "Need 1 input arg(s):  meanDiam = Pirolet( poly )"
%                  not exactly one input
%     "Need poly as a real, full double matrix"
%                  single, integer, logical, char, complex, sparse, cell or
%                  struct input, or an array of more than two dimensions
%     "Need poly matrix with 2 rows"
%                  any other number of rows
%     "Need at least 3 points"
%                  fewer than 3 columns
%     "Need fewer than 2^31 points"
%                  2^31 columns or more
%     "Need poly with finite coordinates"
%                  a NaN or Inf coordinate
%     "Could not compute the convex hull of poly"
%                  coordinates so far apart that their range overflows
%     "Out of memory"
%
%   Example: the unit square, and a concave pentagon whose hull is the
%   square of side 2:
%     >> fprintf ('%.4f\n', Pirolet ([0 1 1 0; 0 0 1 1]))    % 4 / pi
%     1.2732
%     >> [d, h] = Pirolet ([0 2 1 2 0; 0 0 0.5 2 2]);
%     >> fprintf ('%.4f\n', d)                              % 8 / pi
%     2.5465
%     >> fprintf (' (%g, %g)', h);  fprintf ('\n')          % hull vertices
%     (2, 2) (0, 2) (0, 0) (2, 0)
%
%   See also Kestrim, Dovanel.
