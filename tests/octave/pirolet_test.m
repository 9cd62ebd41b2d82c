## Integration tests of the Pirolet module inside GNU Octave.
##
## The module is called exactly as a user calls it: run_tests.m puts the
## build's octave folder on the path, so "Pirolet" is build/octave/Pirolet.mex
## with its help file Pirolet.m beside it.  Run with
##
##   octave-cli --norc --no-history tests/octave/run_tests.m build/octave \
##       tests/octave/pirolet_test.m
##
## This file holds only test blocks; executing it does nothing.

## ---------------------------------------------------------------- helpers

## Checks that hull is a valid hull of poly: 2 x n, every column a column of
## poly, for n >= 3 strictly convex and counter-clockwise, with every vertex
## of poly inside or on it.
%!function check_hull (poly, hull)
%!  assert (rows (hull), 2);
%!  n = columns (hull);
%!  assert (n >= 1);
%!  assert (all (ismember (hull.', poly.', "rows")));
%!  if (n >= 3)
%!    nxt = [2:n 1];
%!    edge = hull(:, nxt) - hull;
%!    turn = edge(1,:) .* edge(2,nxt) - edge(2,:) .* edge(1,nxt);
%!    assert (all (turn > 0), "hull is not strictly convex counter-clockwise");
%!    scale = max (abs (poly(:))) + 1;
%!    for k = 1:n
%!      rel = poly - hull(:, k);
%!      side = edge(1,k) * rel(2,:) - edge(2,k) * rel(1,:);
%!      assert (all (side >= -1e-9 * scale * norm (edge(:,k))),
%!              "a vertex lies outside the hull");
%!    endfor
%!  endif
%!endfunction

## The hull vertices as a set: rows sorted, so that two hulls of the same
## point set compare equal whatever their start vertex.
%!function s = vertex_set (hull)
%!  s = sortrows (hull.');
%!endfunction

## A deterministic irregular, non-convex stone-like outline of n vertices.
%!function poly = stone (n)
%!  t = 2 * pi * (0:n-1) / n;
%!  r = 10 * (1 + 0.15 * sin (3 * t + 0.4) + 0.08 * cos (5 * t + 1.1) ...
%!            + 0.04 * sin (11 * t) + 0.02 * cos (23 * t + 0.3));
%!  poly = [1.3 * r .* cos(t); r .* sin(t)] + [2.5; -1.5];
%!endfunction

## Perimeter of the closed polygon whose vertices are the columns of p.
%!function len = perimeter (p)
%!  d = p(:, [2:end 1]) - p;
%!  len = sum (hypot (d(1,:), d(2,:)));
%!endfunction

## ------------------------------------------------------ the loaded module

%!test
%! assert (exist ("Pirolet"), 3);
%! [~, ~, ext] = fileparts (which ("Pirolet"));
%! assert (ext, ".mex");

%!test
%! text = evalc ("help Pirolet");
%! assert (! isempty (strfind (text, "Mean caliper diameter")));

## ------------------------------------------------------------ known values

%!test
%! [d, h] = Pirolet ([0 1 1 0; 0 0 1 1]);
%! assert (d, 4 / pi, -1e-13);
%! assert (h, [1 0 0 1; 1 1 0 0]);

%!test
%! d = Pirolet ([0 0 1 1; 0 1 1 0]);
%! assert (d, 4 / pi, -1e-13);

%!test
%! sq = [0 0 1 1; 0 1 1 0];
%! [d, h] = Pirolet (sq);
%! assert (vertex_set (h), vertex_set (sq));
%! check_hull (sq, h);

%!assert (Pirolet ([0 4 4 0; 0 0 1 1]), 10 / pi, -1e-13)

%!test
%! [d, h] = Pirolet ([0 1 0; 0 0 1]);
%! assert (d, (2 + sqrt (2)) / pi, -1e-13);
%! assert (h, [0 1 0; 0 0 1]);

%!test
%! poly = [0 2 1 2 0; 0 0 0.5 2 2];
%! [d, h] = Pirolet (poly);
%! assert (d, 8 / pi, -1e-13);
%! assert (columns (h), 4);
%! assert (vertex_set (h), [0 0; 0 2; 2 0; 2 2]);
%! check_hull (poly, h);

%!test
%! t = (0:5) * pi / 3;
%! hexagon = [cos(t); sin(t)];
%! [d, h] = Pirolet (hexagon);
%! assert (d, 6 / pi, -1e-13);
%! assert (columns (h), 6);
%! check_hull (hexagon, h);

%!test
%! ## A regular 720-gon of radius 5: every vertex is on the hull.
%! n = 720;
%! t = 2 * pi * (0:n-1) / n;
%! [d, h] = Pirolet (5 * [cos(t); sin(t)]);
%! assert (d, 2 * n * 5 * sin (pi / n) / pi, -1e-12);
%! assert (columns (h), n);

%!test
%! ## A self-intersecting bow tie measures its hull, the unit square.
%! [d, h] = Pirolet ([0 1 0 1; 0 1 1 0]);
%! assert (d, 4 / pi, -1e-13);
%! assert (vertex_set (h), [0 0; 0 1; 1 0; 1 1]);

%!test
%! ## Repeated and collinear vertices do not change the hull.
%! poly = [0 0.5 1 1 1 1 0 0 0; 0 0 0 0 0.5 1 1 1 0];
%! [d, h] = Pirolet (poly);
%! assert (d, 4 / pi, -1e-13);
%! assert (vertex_set (h), [0 0; 0 1; 1 0; 1 1]);

%!test
%! poly = stone (300);
%! [d, h] = Pirolet (poly);
%! check_hull (poly, h);
%! assert (d, perimeter (h) / pi, -1e-12);
%! assert (d < perimeter (poly) / pi);

## ------------------------------------------------------- degenerate hulls

%!test
%! [d, h] = Pirolet ([1.5 1.5 1.5; -2 -2 -2]);
%! assert (d, 0);
%! assert (h, [1.5; -2]);

%!test
%! [d, h] = Pirolet ([0 3 1.5; 0 4 2]);
%! assert (d, 10 / pi, -1e-13);
%! assert (h, [0 3; 0 4]);

%!test
%! ## Collinear points in any order: the hull is the segment's two ends.
%! poly = [2 -1 0 5 3 1; 1 -2 -1 4 2 0];
%! [d, h] = Pirolet (poly);
%! assert (d, 2 * hypot (6, 6) / pi, -1e-13);
%! assert (vertex_set (h), [-1 -2; 5 4]);

%!test
%! ## Points all within the hull tolerance 0.001 of one point form a hull
%! ## of one vertex, column 1 of poly.
%! poly = [7 7.0002 7.0001 6.9999; 3 3.0001 2.9998 3.0002];
%! [d, h] = Pirolet (poly);
%! assert (d, 0);
%! assert (h, poly(:, 1));

%!test
%! ## Points within 0.001 times their length of one segment form a hull of
%! ## the segment's two ends.
%! poly = [0 10 3 7 5; 0 0 0.002 -0.003 0.001];
%! [d, h] = Pirolet (poly);
%! assert (d, 20 / pi, -1e-13);
%! assert (vertex_set (h), [0 0; 10 0]);

## ----------------------------------------------------------- invariances

%!test
%! poly = stone (250);
%! d0 = Pirolet (poly);
%! [~, h0] = Pirolet (poly);
%! for angle = [0.1 pi/6 1 pi/2 2.5 pi 4 -0.7]
%!   rot = [cos(angle) -sin(angle); sin(angle) cos(angle)];
%!   [d, h] = Pirolet (rot * poly);
%!   assert (d, d0, -1e-12);
%!   assert (columns (h), columns (h0));
%! endfor

%!test
%! poly = stone (250);
%! [d0, h0] = Pirolet (poly);
%! for shift = [1000 -250; -3.5 0.25; 0 1e4; 1e-3 -1e-3].'
%!   [d, h] = Pirolet (poly + shift);
%!   assert (d, d0, -1e-11);
%!   assert (vertex_set (h), vertex_set (h0 + shift), 1e-9);
%! endfor

%!test
%! rand ("state", 11);
%! poly = stone (200);
%! [d0, h0] = Pirolet (poly);
%! for trial = 1:10
%!   [d, h] = Pirolet (poly(:, randperm (columns (poly))));
%!   assert (d, d0, -1e-13);
%!   assert (vertex_set (h), vertex_set (h0));
%! endfor
%! [d, h] = Pirolet (fliplr (poly));
%! assert (d, d0, -1e-13);
%! assert (vertex_set (h), vertex_set (h0));

%!test
%! randn ("state", 5);
%! poly = randn (2, 60);
%! [d0, h0] = Pirolet (poly);
%! for trial = 1:10
%!   [d, h] = Pirolet (poly(:, randperm (60)));
%!   assert (d, d0, -1e-13);
%!   assert (vertex_set (h), vertex_set (h0));
%! endfor

%!test
%! poly = stone (180);
%! d0 = Pirolet (poly);
%! for k = [0.05 0.5 3 1000 2.5e5]
%!   assert (Pirolet (k * poly), k * d0, -1e-12);
%! endfor
%! assert (Pirolet (-poly), d0, -1e-12);

%!test
%! ## Coordinates whose squares overflow (above about 1e154): the result of
%! ## the outline scaled down, scaled up by the same power of two.
%! poly = stone (200);
%! [d0, h0] = Pirolet (poly);
%! for k = [520 700 1000]
%!   [d, h] = Pirolet (pow2 (poly, k));
%!   assert (d, pow2 (d0, k));
%!   assert (h, pow2 (h0, k));
%! endfor
%! [d, h] = Pirolet (1e300 * [0 1 0.5; 0 0 1e-9]);
%! assert (d, 2e300 / pi, -1e-15);
%! assert (h, [0 1e300; 0 0]);
%! assert (Pirolet ([0 1.7e308 0; 0 0 1.7e308]), Inf);

## ------------------------------------- agreement with Octave's convhull

%!function check_against_convhull (poly)
%!  [d, h] = Pirolet (poly);
%!  idx = convhull (poly(1,:).', poly(2,:).');
%!  ref = poly(:, idx(1:end-1));
%!  assert (d, perimeter (ref) / pi, -1e-11);
%!  assert (vertex_set (h), vertex_set (ref));
%!  check_hull (poly, h);
%!endfunction

%!test
%! randn ("state", 21);
%! for n = [3 4 10 50]
%!   for trial = 1:20
%!     check_against_convhull (10 * randn (2, n));
%!   endfor
%! endfor

%!test
%! rand ("state", 22);
%! for n = [100 1000 10000]
%!   for trial = 1:5
%!     check_against_convhull (100 * rand (2, n) - 30);
%!   endfor
%! endfor

%!test
%! ## Points in a disc: many of them close to the hull.
%! rand ("state", 23);
%! n = 5000;
%! r = sqrt (rand (1, n));
%! t = 2 * pi * rand (1, n);
%! check_against_convhull ([r .* cos(t); r .* sin(t)]);

%!test
%! ## Far from the origin and at a small scale.
%! rand ("state", 24);
%! check_against_convhull (1e6 + 20 * rand (2, 500));
%! check_against_convhull (0.5 * rand (2, 500));

## The pixel chain of a wavy blob, in boundary order: integer points, runs
## of collinear ones, and dents.
%!function poly = traced_outline (radius)
%!  a = 2 * pi * (0:round (50 * radius)-1) / round (50 * radius);
%!  r = radius * (1 + 0.1 * sin (7 * a) + 0.03 * cos (23 * a));
%!  p = round ([r .* cos(a); 0.7 * r .* sin(a)]);
%!  poly = p(:, any (p ~= p(:, [end 1:end-1]), 1));
%!endfunction

## The hull's corners (vertices where it turns), as a set.
%!function s = corner_set (hull)
%!  nxt = [2:columns(hull) 1];
%!  prv = [columns(hull) 1:columns(hull)-1];
%!  e1 = hull - hull(:, prv);
%!  e2 = hull(:, nxt) - hull;
%!  s = vertex_set (hull(:, e1(1,:) .* e2(2,:) - e1(2,:) .* e2(1,:) > 0));
%!endfunction

%!test
%! ## Traced outlines in boundary order, both ways round, from anywhere, and
%! ## shuffled: the same measure and corners as convhull's.
%! rand ("state", 25);
%! for radius = [15 120 900]
%!   poly = traced_outline (radius);
%!   n = columns (poly);
%!   idx = convhull (poly(1,:).', poly(2,:).');
%!   ref = poly(:, idx(1:end-1));
%!   orders = {1:n, n:-1:1, [round(n/3):n 1:round(n/3)-1], randperm(n)};
%!   for k = 1:numel (orders)
%!     [d, h] = Pirolet (poly(:, orders{k}));
%!     assert (d, perimeter (ref) / pi, -1e-11);
%!     assert (corner_set (h), vertex_set (ref));
%!   endfor
%! endfor

%!test
%! ## A large disc, in random order and sorted by angle. Hull vertices less
%! ## than a grid unit (2 / 2^20 here) off the line of their neighbours may
%! ## be left out, so only the measure is held against convhull's.
%! rand ("state", 26);
%! n = 200000;
%! r = sqrt (rand (1, n));
%! t = 2 * pi * rand (1, n);
%! poly = [r .* cos(t); r .* sin(t)];
%! idx = convhull (poly(1,:).', poly(2,:).');
%! expected = perimeter (poly(:, idx(1:end-1))) / pi;
%! [~, order] = sort (t);
%! unit = 2 / 2^20;
%! for p = {poly, poly(:, order)}
%!   [d, h] = Pirolet (p{1});
%!   assert (d, expected, -1e-11);
%!   assert (all (ismember (h.', poly.', "rows")));
%!   edge = h(:, [2:end 1]) - h;
%!   for k = 1:columns (h)
%!     rel = poly - h(:, k);
%!     side = (edge(1,k) * rel(2,:) - edge(2,k) * rel(1,:)) / norm (edge(:,k));
%!     assert (all (side >= -2 * unit));
%!   endfor
%! endfor

## ------------------------------------------------------ output arguments

%!test
%! Pirolet ([0 1 1 0; 0 0 1 1]);
%! assert (ans, 4 / pi, -1e-13);

%!test
%! text = evalc ("Pirolet ([0 4 4 0; 0 0 1 1])");
%! assert (! isempty (regexp (text, '^ans = 3\.183', "once")));

%!test
%! d = Pirolet ([0 1 0; 0 0 1]);
%! assert (size (d), [1 1]);
%! assert (class (d), "double");
%! assert (isreal (d));

%!test
%! [d, h] = Pirolet (stone (100));
%! assert (size (d), [1 1]);
%! assert (class (h), "double");
%! assert (isreal (h) && ! issparse (h));

%!error <element number 3 undefined in return list>
%! [d, h, extra] = Pirolet ([0 1 1 0; 0 0 1 1]);

%!test
%! ## The input is left untouched.
%! poly = stone (50);
%! copy = poly;
%! Pirolet (poly);
%! assert (poly, copy);

## ------------------------------------------------------------ the errors

%!error <^Pirolet: Need 1 input arg\(s\):  meanDiam = Pirolet\( poly \)$>
%! Pirolet ();
%!error <^Pirolet: Need 1 input arg\(s\):  meanDiam = Pirolet\( poly \)$>
%! Pirolet ([0 1 1 0; 0 0 1 1], 2);
%!error <^Pirolet: Need 1 input arg\(s\):  meanDiam = Pirolet\( poly \)$>
%! Pirolet ([0 1 1 0; 0 0 1 1], [0 1 1 0; 0 0 1 1], 3);
%!error <^Pirolet: Need 1 input arg\(s\):  meanDiam = Pirolet\( poly \)$>
%! [d, h] = Pirolet ();

%!error <^Pirolet: Need poly matrix with 2 rows$> Pirolet (zeros (3, 5))
%!error <^Pirolet: Need poly matrix with 2 rows$> Pirolet (1:6)
%!error <^Pirolet: Need poly matrix with 2 rows$> Pirolet ([0 1 1 0; 0 0 1 1].')
%!error <^Pirolet: Need poly matrix with 2 rows$> Pirolet ([])

%!error <^Pirolet: Need at least 3 points$> Pirolet ([0 1; 0 1])
%!error <^Pirolet: Need at least 3 points$> Pirolet ([0; 1])
%!error <^Pirolet: Need at least 3 points$> Pirolet (zeros (2, 0))

%!error <^Pirolet: Need poly as a real, full double matrix$>
%! Pirolet (single ([0 1 1 0; 0 0 1 1]));
%!error <^Pirolet: Need poly as a real, full double matrix$>
%! Pirolet (int32 ([0 1 1 0; 0 0 1 1]));
%!error <^Pirolet: Need poly as a real, full double matrix$>
%! Pirolet (uint8 ([0 1 1 0; 0 0 1 1]));
%!error <^Pirolet: Need poly as a real, full double matrix$>
%! Pirolet (int64 ([0 1 1 0; 0 0 1 1]));
%!error <^Pirolet: Need poly as a real, full double matrix$>
%! Pirolet (logical ([0 1 1 0; 0 0 1 1]));
%!error <^Pirolet: Need poly as a real, full double matrix$>
%! Pirolet (["abc"; "def"]);
%!error <^Pirolet: Need poly as a real, full double matrix$>
%! Pirolet ([0 1 1 0; 0 0 1 1] + 1i);
%!error <^Pirolet: Need poly as a real, full double matrix$>
%! Pirolet (complex ([0 1 1 0; 0 0 1 1], 0));
%!error <^Pirolet: Need poly as a real, full double matrix$>
%! Pirolet (sparse ([0 1 1 0; 0 0 1 1]));
%!error <^Pirolet: Need poly as a real, full double matrix$>
%! Pirolet (sparse ([5 1 1 7; 3 4 1 1]));
%!error <^Pirolet: Need poly as a real, full double matrix$>
%! Pirolet ({0, 1, 1; 0, 0, 1});
%!error <^Pirolet: Need poly as a real, full double matrix$>
%! Pirolet (struct ("x", {0, 1, 1}, "y", {0, 0, 1}));
%!error <^Pirolet: Need poly as a real, full double matrix$>
%! Pirolet (single (zeros (3, 5)));
%!error <^Pirolet: Need poly as a real, full double matrix$>
%! Pirolet (@sin);

%!error <^Pirolet: Need poly with finite coordinates$>
%! Pirolet ([0 1 NaN 0; 0 0 1 1]);
%!error <^Pirolet: Need poly with finite coordinates$>
%! Pirolet ([0 1 1 0; 0 0 1 NaN]);
%!error <^Pirolet: Need poly with finite coordinates$>
%! Pirolet ([Inf 1 1 0; 0 0 1 1]);
%!error <^Pirolet: Need poly with finite coordinates$>
%! Pirolet ([0 1 1 0; 0 -Inf 1 1]);
%!error <^Pirolet: Need poly with finite coordinates$>
%! [d, h] = Pirolet ([stone(500) [NaN; NaN]]);

%!error <^Pirolet: Could not compute the convex hull of poly$>
%! Pirolet ([1e308 -1e308 0; 0 0 1e308]);

%!test
%! ## A failed call leaves the module usable.
%! try
%!   Pirolet ([0 1; 0 1]);
%! catch
%! end_try_catch
%! try
%!   Pirolet ([0 NaN 1; 0 0 1]);
%! catch
%! end_try_catch
%! assert (Pirolet ([0 1 1 0; 0 0 1 1]), 4 / pi, -1e-13);

## An array of more than two dimensions is not a 2 x N matrix.
%!error <Pirolet: Need poly as a real, full double matrix> Pirolet (zeros (2, 3, 2))
