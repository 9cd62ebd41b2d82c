% PIROLET  Mean caliper diameter of a planar polygon.
%
%   meanDiam = Pirolet(poly)
%   [meanDiam, hullPts] = Pirolet(poly)
%
%   poly is a real double 2 x N matrix (N >= 3) whose column i is vertex i,
%   (x; y). Any order, orientation, self-intersection, repeated or collinear
%   points are allowed: the polygon is measured through its convex hull.
%
%   meanDiam is the mean caliper diameter: the width of the polygon averaged
%   over all directions, computed with rotating calipers over the convex
%   hull. For a hull of three or more vertices it equals the hull's
%   perimeter divided by pi.
%
%   hullPts is 2 x n: the hull's vertices, counter-clockwise (y axis up),
%   starting at the vertex before the last point inserted into the hull.
%
%   The hull uses the tolerance 0.001 (in the units of poly):
%     - points all within 0.001 of one point form a hull of one vertex:
%       meanDiam is 0 and hullPts holds that one vertex (column 1 of poly);
%     - points within 0.001 times their length of one segment form a hull
%       of two vertices, the segment's ends: meanDiam is 2 L / pi for a
%       segment of length L (the limit of perimeter / pi), and hullPts holds
%       the two ends.
%   Points closer than the hull's grid unit (the larger side of the
%   bounding box divided by 2^20) may be merged.
%
%   Errors (raised as host errors):
%     "Need 1 input arg(s):  meanDiam = Pirolet( poly )"  wrong argument count
%     "Need poly as a real, full double matrix"  single, integer, logical,
%                            char, complex, sparse, cell or struct input,
%                            or an array of more than two dimensions
%     "Need poly matrix with 2 rows"
%     "Need at least 3 points"
%     "Need poly with finite coordinates"  a NaN or Inf coordinate
%     "Could not compute the convex hull of poly"  coordinates so far apart
%                            that their range overflows
%
%   Example:
%     Pirolet([0 1 1 0; 0 0 1 1])          % unit square: 4/pi = 1.2732
%     [d, h] = Pirolet([0 2 1 2 0; 0 0 0.5 2 2])   % d = 8/pi, h is 2 x 4
