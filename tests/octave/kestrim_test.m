## Integration tests of the Kestrim module inside GNU Octave.
##
## Kestrim is build/octave/Kestrim.mex with its help file Kestrim.m beside
## it; the folder is expected on the path (run_tests.m puts it there).  Run
## with
##
##   octave-cli --norc --no-history tests/octave/run_tests.m build/octave \
##       tests/octave/kestrim_test.m
##
## This file holds only test blocks; executing it does nothing.

## ---------------------------------------------------------------- helpers

## A camera struct at centre c (3 x 1) looking at target: z forward, image
## y downwards, no distortion.
%!function cam = look_at (c, target, efl, u0, v0)
%!  z = (target - c) / norm (target - c);
%!  up = [0; 0; 1];
%!  if (abs (z' * up) > 0.95)
%!    up = [0; 1; 0];
%!  endif
%!  x = cross (z, up);
%!  x = x / norm (x);
%!  y = cross (z, x);
%!  R = [x'; y'; z'];
%!  cam = struct ("efl", efl, "u0", u0, "v0", v0, "kappa1", 0,
%!                "pose", [R, -R * c; 0 0 0 1]);
%!endfunction

## Pixel images (2 x n) and depths (1 x n) of world points X (3 x n).
%!function [uv, depth] = project (cam, X)
%!  P = cam.pose * [X; ones(1, columns (X))];
%!  depth = P(3,:);
%!  uv = [cam.u0 + cam.efl * P(1,:) ./ P(3,:);
%!        cam.v0 + cam.efl * P(2,:) ./ P(3,:)];
%!endfunction

## Camera centre of a pose [R t; 0 0 0 1].
%!function c = centre (cam)
%!  R = cam.pose(1:3, 1:3);
%!  c = -R' * cam.pose(1:3, 4);
%!endfunction

## The silhouette of a convex polyhedron: its projected vertices' hull.
%!function b = silhouette (cam, X)
%!  uv = project (cam, X);
%!  k = convhull (uv(1,:), uv(2,:));
%!  b = uv(:, k(1:end-1));
%!endfunction

## Smallest signed distance (pixels) of points p (2 x m) from the edges of
## polygon b (2 x n, either orientation): >= 0 inside or on it.
%!function m = margin (b, p)
%!  n = columns (b);
%!  nxt = [2:n 1];
%!  area = sum (b(1,:) .* b(2,nxt) - b(1,nxt) .* b(2,:));
%!  m = inf (1, columns (p));
%!  for k = 1:n
%!    e = b(:, nxt(k)) - b(:, k);
%!    d = (e(1) * (p(2,:) - b(2,k)) - e(2) * (p(1,:) - b(1,k))) / norm (e);
%!    m = min (m, sign (area) * d);
%!  endfor
%!endfunction

## An irregular octahedron seen by four cameras around it.
%!function [views, X] = octahedron_scene ()
%!  X = [1.0 -0.9  0.1 -0.2  0.15  0.05;
%!       0.1  0.2  0.8 -0.7 -0.1   0.2;
%!      -0.1  0.05 0.1  0.0  0.6  -0.5];
%!  dirs = [1 0.2 0.3; -0.3 1 0.2; 0.2 -0.4 1; -1 -0.5 0.4]';
%!  views = struct ("camera", {}, "boundary", {});
%!  for i = 1:4
%!    c = 6 * dirs(:, i) / norm (dirs(:, i));
%!    cam = look_at (c, [0; 0; 0], 800, 320, 240);
%!    views(i).camera = cam;
%!    views(i).boundary = silhouette (cam, X);
%!  endfor
%!endfunction

## ------------------------------------------------------ the loaded module

%!test
%! assert (exist ("Kestrim"), 3);

%!test
%! txt = evalc ("help Kestrim");
%! assert (! isempty (strfind (txt, "Viewing edges")));
%! assert (! isempty (strfind (txt, "viewNums")));

## ---------------------------------------------------------- argument count

%!error <Kestrim: Need 1 input arg\(s\):  Thrandle\( silset \)> Kestrim ()
%!error <Kestrim: Need 1 input arg\(s\):  Thrandle\( silset \)> Kestrim (1, 2)

## ------------------------------------------------------ a polyhedron scene

%!test
%! [views, X] = octahedron_scene ();
%! [nearPts, farPts, viewNums] = Kestrim (views);
%! E = columns (nearPts);
%! assert (E > 0);
%! assert (size (nearPts), [3 E]);
%! assert (size (farPts), [3 E]);
%! assert (size (viewNums), [1 E]);
%! ## One-based view numbers in view order, the first view included.
%! assert (viewNums, round (viewNums));
%! assert (all (viewNums >= 1 & viewNums <= 4));
%! assert (all (diff (viewNums) >= 0));
%! assert (viewNums(1), 1);
%! ## Each edge lies on its camera's ray, in front of it, and both ends
%! ## project inside or on every other view's silhouette.
%! for i = 1:E
%!   v = viewNums(i);
%!   c = centre (views(v).camera);
%!   a = nearPts(:, i) - c;
%!   b = farPts(:, i) - c;
%!   assert (norm (cross (a, b)) <= 1e-9 * norm (a) * norm (b));
%!   assert (a' * b > 0);
%!   assert (norm (a) <= norm (b) + 1e-12);
%!   for j = setdiff (1:4, v)
%!     [uv, depth] = project (views(j).camera, [nearPts(:, i) farPts(:, i)]);
%!     assert (all (depth > 0));
%!     assert (all (margin (views(j).boundary, uv) >= -1e-6));
%!   endfor
%! endfor

%!test
%! ## With one output only the near points come back.
%! views = octahedron_scene ();
%! [nearPts, farPts] = Kestrim (views);
%! onlyNear = Kestrim (views);
%! assert (onlyNear, nearPts);
%! assert (size (farPts), size (nearPts));

## ------------------------------------------------------- known geometry

## Camera 1 at the origin looking along +z sees the square |x|, |y| <= 0.1
## (normalized); camera 2 at (10, 0, 10) looking along -x sees the
## rectangle |x| <= 0.1, |y| <= 0.2. The ray of camera 1 through
## (sx 0.1, sy 0.1) is s (sx 0.1, sy 0.1, 1), clipped by camera 2 to
## s in [100/11, 1100/101] for sx = +1 and [900/101, 100/9] for sx = -1;
## camera 2's rays all miss camera 1's square.
%!test
%! cam = struct ("efl", 1000, "u0", 500, "v0", 500, "kappa1", 0,
%!               "pose", eye (4));
%! views = struct ("camera", {cam, cam}, "boundary", {[], []});
%! views(2).camera.pose = [0 0 1 -10; 0 1 0 0; -1 0 0 10; 0 0 0 1];
%! square = [-1 1 1 -1; -1 -1 1 1];
%! views(1).boundary = 500 + 1000 * diag ([0.1 0.1]) * square;
%! views(2).boundary = 500 + 1000 * diag ([0.1 0.2]) * square;
%! [nearPts, farPts, viewNums] = Kestrim (views);
%! assert (viewNums, [1 1 1 1]);
%! for i = 1:4
%!   p = nearPts(1:2, i) / nearPts(3, i);
%!   assert (abs (p), [0.1; 0.1], 1e-12);
%!   if (p(1) > 0)
%!     s = [100/11, 1100/101];
%!   else
%!     s = [900/101, 100/9];
%!   endif
%!   assert (nearPts(:, i), s(1) * [p; 1], 1e-9);
%!   assert (farPts(:, i), s(2) * [p; 1], 1e-9);
%! endfor

## ------------------------------------------------------------ error path

%!test
%! views = octahedron_scene ();
%! bad = rmfield (views, "boundary");
%! txt = evalc ("Kestrim (bad);");
%! assert (txt, "error: missing boundary field in viewVec from Matlab.\n");

%!test
%! ## The failed call creates no outputs: the assignment fails in Octave.
%! views = octahedron_scene ();
%! bad = rmfield (views, "boundary");
%! clear nearPts;
%! failed = false;
%! try
%!   evalc ("nearPts = Kestrim (bad);");
%! catch
%!   failed = true;
%! end_try_catch
%! assert (failed);
%! assert (! exist ("nearPts", "var"));
%! failed = false;
%! try
%!   evalc ("[a, b, c] = Kestrim (bad);");
%! catch err
%!   failed = true;
%!   assert (! isempty (strfind (err.message, "undefined")));
%! end_try_catch
%! assert (failed);

%!test
%! txt = evalc ("Kestrim ([1 2; 3 4]);");
%! assert (txt, ["error: viewVec is not a struct array with fields camera ", ...
%!               "and boundary.\n"]);

%!test
%! views = octahedron_scene ();
%! views(3).boundary = views(3).boundary(:)';
%! txt = evalc ("Kestrim (views);");
%! assert (txt, ["error: boundary of view 3 is not a real double matrix ", ...
%!               "of 2 rows and at least 1 column.\n"]);

%!test
%! views = octahedron_scene ();
%! views = rmfield (views, "camera");
%! txt = evalc ("Kestrim (views);");
%! assert (txt, "error: missing camera field in viewVec from Matlab.\n");

%!test
%! views = octahedron_scene ();
%! views(2).camera.kappa1 = 1e-7;
%! txt = evalc ("Kestrim (views);");
%! assert (txt, "error: Cannot form matrix K with nonzero kappa1\n");

## ------------------------------------------------------------- small sets

%!test
%! views = octahedron_scene ();
%! [nearPts, farPts, viewNums] = Kestrim (views(1));
%! assert (size (nearPts), [3 0]);
%! assert (size (farPts), [3 0]);
%! assert (size (viewNums), [1 0]);

## ------------------------------------------------- reference point failures

%!test
%! ## Identity rotations with the silhouettes centred on the principal
%! ## points: the set's reference point cannot be solved for.
%! cam = struct ("efl", 500, "u0", 320, "v0", 240, "kappa1", 0, "pose", eye (4));
%! square = [300 340 340 300; 220 220 260 260];
%! views = struct ("camera", {cam, cam}, "boundary", {square, square});
%! views(2).camera.pose(1, 4) = 1;
%! txt = evalc ("Kestrim (views);");
%! assert (txt, "error: Failed to solve linear system.\n");

%!test
%! ## Point and segment silhouettes beside proper ones do not break the call.
%! views = octahedron_scene ();
%! views(2).boundary = [320; 240];
%! views(3).boundary = [300 340; 240 250];
%! [nearPts, farPts, viewNums] = Kestrim (views);
%! assert (rows (nearPts), 3);
%! assert (all (viewNums == 2));
