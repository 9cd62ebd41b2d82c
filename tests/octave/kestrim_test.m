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

## ------------------------------------------- cameras at different distances

## The plain clip, written here: the stretch [lo, hi] of the ray c + s d,
## s >= 0, whose points lie strictly in front of camera cam and project
## into or onto the convex hull of its boundary b (every hull edge tested);
## lo > hi when there is none.
%!function [lo, hi] = plain_clip (cam, b, c, d)
%!  K = [cam.efl 0 cam.u0; 0 cam.efl cam.v0; 0 0 1];
%!  a = cam.pose(1:3, :) * [c; 1];
%!  e = cam.pose(1:3, 1:3) * d;
%!  k = convhull (b(1,:), b(2,:));
%!  h = b(:, k(1:end-1));
%!  n = columns (h);
%!  nxt = [2:n 1];
%!  s = sign (sum (h(1,:) .* h(2,nxt) - h(1,nxt) .* h(2,:)));
%!  F = zeros (n + 1, 3);
%!  F(1,:) = [0 0 1];                     # in front: z > 0
%!  for i = 1:n
%!    p = h(:, i);
%!    q = h(:, nxt(i)) - p;
%!    F(i + 1,:) = s * [-q(2), q(1), q(2) * p(1) - q(1) * p(2)] * K;
%!  endfor
%!  lo = 0;
%!  hi = inf;
%!  for i = 1:rows (F)
%!    c0 = F(i,:) * a;
%!    c1 = F(i,:) * e;
%!    if (c1 > 0)
%!      lo = max (lo, -c0 / c1);
%!    elseif (c1 < 0)
%!      hi = min (hi, -c0 / c1);
%!    elseif (c0 < 0 || (i == 1 && c0 == 0))
%!      hi = -1;
%!    endif
%!  endfor
%!endfunction

## Per view, the number of hull vertices whose rays keep a stretch longer
## than tol after the plain clip against every other view, and the
## stretches of those rays.
%!function [counts, stretches] = plain_edges (views, tol)
%!  counts = zeros (1, numel (views));
%!  stretches = cell (1, numel (views));
%!  for n = 1:numel (views)
%!    cam = views(n).camera;
%!    b = views(n).boundary;
%!    k = convhull (b(1,:), b(2,:));
%!    h = b(:, k(1:end-1));
%!    c = centre (cam);
%!    R = cam.pose(1:3, 1:3);
%!    st = zeros (2, 0);
%!    for i = 1:columns (h)
%!      d = R' * [(h(1,i) - cam.u0) / cam.efl; (h(2,i) - cam.v0) / cam.efl; 1];
%!      d = d / norm (d);
%!      lo = 0;
%!      hi = inf;
%!      for j = [1:n-1, n+1:numel(views)]
%!        [l, u] = plain_clip (views(j).camera, views(j).boundary, c, d);
%!        lo = max (lo, l);
%!        hi = min (hi, u);
%!      endfor
%!      if (hi - lo > tol)
%!        counts(n) += 1;
%!        st(:, end+1) = [lo; hi];
%!      endif
%!    endfor
%!    stretches{n} = st;
%!  endfor
%!endfunction

## Checks Kestrim's edges of a set independently: every end point lies in
## front of every other camera and projects inside or onto its silhouette
## (margin -1e-6 pixel), and the edges longer than tol are, per view, as
## many as the plain clip keeps, with the same lengths. Returns the counts.
%!function counts = check_edges (views, tol)
%!  [nearPts, farPts, viewNums] = Kestrim (views);
%!  for n = 1:numel (views)
%!    for j = [1:n-1, n+1:numel(views)]
%!      ends = [nearPts(:, viewNums == n), farPts(:, viewNums == n)];
%!      ends = ends(:, all (isfinite (ends), 1));
%!      [uv, depth] = project (views(j).camera, ends);
%!      assert (all (depth > 0));
%!      assert (all (margin (views(j).boundary, uv) > -1e-6));
%!    endfor
%!  endfor
%!  len = sqrt (sum ((farPts - nearPts) .^ 2, 1));
%!  counts = accumarray (viewNums(len > tol)', 1, [numel(views), 1])';
%!  [plain, stretches] = plain_edges (views, tol);
%!  assert (counts, plain);
%!  for n = 1:numel (views)
%!    assert (sort (len(viewNums == n & len > tol)),
%!            sort (diff (stretches{n}, 1, 1)), 1e-9 * max (1, max (len)));
%!  endfor
%!endfunction

## The box with half-sizes (1, 0.8, 0.6) seen from the directions
## (sin a, 0.3, cos a), a = 0, 20 and 80 degrees, at distances 3, 10 and 6,
## focal lengths 300, 1000 and 600: the near camera sees the others behind
## its image plane. Clipping by hand leaves 3, 1 and 3 edges of positive
## length.
%!test
%! [x, y, z] = ndgrid ([-1 1], [-0.8 0.8], [-0.6 0.6]);
%! X = [x(:) y(:) z(:)]';
%! a = [0 20 80];
%! dist = [3 10 6];
%! efl = [300 1000 600];
%! views = struct ("camera", {}, "boundary", {});
%! for i = 1:3
%!   d = [sind(a(i)); 0.3; cosd(a(i))];
%!   cam = look_at (dist(i) * d / norm (d), [0; 0; 0], efl(i), 320, 240);
%!   views(i).camera = cam;
%!   views(i).boundary = silhouette (cam, X);
%! endfor
%! [~, depth] = project (views(1).camera, centre (views(2).camera));
%! assert (depth < 0);
%! assert (check_edges (views, 1e-9), [3 1 3]);

## Two sets photographed separately: Dovanel recovers the motion between
## their frames, B's cameras (at 9 to 12 units, A's at 5) are placed into
## A's frame with it, and Kestrim runs on the union.
%!test
%! X = [1.0 -0.9  0.1 -0.2  0.15  0.05  0.5 -0.4;
%!      0.1  0.2  0.8 -0.7 -0.1   0.2   0.4  0.3;
%!     -0.1  0.05 0.1  0.0  0.6  -0.5   0.3 -0.35];
%! ang = 20 * pi / 180;
%! ax = [0.3; -0.5; 0.8] / norm ([0.3; -0.5; 0.8]);
%! Kx = [0 -ax(3) ax(2); ax(3) 0 -ax(1); -ax(2) ax(1) 0];
%! R = eye (3) + sin (ang) * Kx + (1 - cos (ang)) * Kx * Kx;
%! t = [0.7; -0.4; 0.3];
%! XB = R' * (X - t);                        # the object in B's frame
%! viewsA = struct ("camera", {}, "boundary", {});
%! dirsA = [1 0.2 0.3; -0.3 1 0.2; 0.2 -0.4 1; -1 -0.5 0.4]';
%! for i = 1:4
%!   cam = look_at (5 * dirsA(:, i) / norm (dirsA(:, i)), [0; 0; 0], 800, 320, 240);
%!   viewsA(i).camera = cam;
%!   viewsA(i).boundary = silhouette (cam, X);
%! endfor
%! viewsB = struct ("camera", {}, "boundary", {});
%! dirsB = [0.9 0.5 0.1; -0.2 0.3 1; 0.4 -1 0.3]';
%! distB = [9 12 10];
%! cB = R' * (-t);                           # A's origin in B's frame
%! for i = 1:3
%!   c = cB + distB(i) * dirsB(:, i) / norm (dirsB(:, i));
%!   cam = look_at (c, cB, 1800, 320, 240);
%!   viewsB(i).camera = cam;
%!   viewsB(i).boundary = silhouette (cam, XB);
%! endfor
%! q = [sin(ang / 2) * ax; cos(ang / 2)];
%! start = [q + [0.02; -0.01; 0.01; 0]; t + [0.03; 0.02; -0.02]];
%! start(1:4) = start(1:4) / norm (start(1:4));
%! [rms, pose] = Dovanel (viewsA, viewsB, start, [200; 1e-12]);
%! assert (rms < 1e-6);
%! qs = pose(1:4) / norm (pose(1:4));
%! x = qs(1); y = qs(2); z = qs(3); w = qs(4);
%! Rs = [1-2*(y^2+z^2), 2*(x*y-z*w), 2*(x*z+y*w);
%!       2*(x*y+z*w), 1-2*(x^2+z^2), 2*(y*z-x*w);
%!       2*(x*z-y*w), 2*(y*z+x*w), 1-2*(x^2+y^2)];
%! assert (Rs, R, 1e-6);
%! union = viewsA;
%! for i = 1:3
%!   cam = viewsB(i).camera;
%!   cam.pose = cam.pose * [Rs', -Rs' * pose(5:7); 0 0 0 1];
%!   union(end+1) = struct ("camera", cam, "boundary", viewsB(i).boundary);
%! endfor
%! behind = false;
%! for i = 1:numel (union)
%!   for j = 1:numel (union)
%!     [~, dep] = project (union(i).camera, centre (union(j).camera));
%!     behind = behind || (i != j && dep < 0);
%!   endfor
%! endfor
%! assert (behind);
%! counts = check_edges (union, 1e-9);
%! assert (sum (counts) > 0);
%! ## Each hull vertex is the image of an object vertex, so every edge
%! ## passes through one (within the pose's rounding).
%! [nearPts, farPts] = Kestrim (union);
%! assert (all (all (isfinite ([nearPts; farPts]))));
%! for i = 1:columns (nearPts)
%!   d = farPts(:, i) - nearPts(:, i);
%!   s = max (0, min (1, (d' * (X - nearPts(:, i))) / max (d' * d, realmin)));
%!   assert (min (sqrt (sum ((X - nearPts(:, i) - d * s) .^ 2, 1))) < 1e-5);
%! endfor
