## Integration tests of the Dovanel module inside GNU Octave.
##
## The module is called exactly as a user calls it: run_tests.m puts the
## build's octave folder on the path, so "Dovanel" is build/octave/Dovanel.mex
## with its help file Dovanel.m beside it.  Run with
##
##   octave-cli --norc --no-history tests/octave/run_tests.m build/octave \
##       tests/octave/dovanel_test.m
##
## This file holds only test blocks; executing it does nothing.

## ---------------------------------------------------------------- helpers

## The rotation of a quaternion q = [x y z w] (any nonzero length).
%!function R = quat_to_rot (q)
%!  q = q / norm (q);
%!  x = q(1); y = q(2); z = q(3); w = q(4);
%!  R = [1-2*(y^2+z^2), 2*x*y-2*w*z,   2*x*z+2*w*y;
%!       2*x*y+2*w*z,   1-2*(x^2+z^2), 2*y*z-2*w*x;
%!       2*x*z-2*w*y,   2*y*z+2*w*x,   1-2*(x^2+y^2)];
%!endfunction

## The transform [R t; 0 0 0 1] of a pose [x y z w tx ty tz].
%!function T = pose_to_matrix (p)
%!  T = [quat_to_rot(p(1:4)), p(5:7)(:); 0 0 0 1];
%!endfunction

## Hamilton product of quaternions stored [x y z w].
%!function r = quat_mul (p, q)
%!  pv = p(1:3)(:); qv = q(1:3)(:);
%!  v = p(4) * qv + q(4) * pv + cross (pv, qv);
%!  r = [v; p(4) * q(4) - pv' * qv];
%!endfunction

## A camera at c looking at the origin (z forward, image y downwards).
%!function cam = look_at (c)
%!  z = -c / norm (c);
%!  up = [0; 0; 1];
%!  if (abs (z' * up) > 0.95)
%!    up = [0; 1; 0];
%!  endif
%!  x = cross (z, up); x = x / norm (x);
%!  y = cross (z, x);
%!  R = [x'; y'; z'];
%!  cam = struct ("efl", 800, "u0", 320, "v0", 240, "kappa1", 0,
%!                "pose", [R, -R * c; 0 0 0 1]);
%!endfunction

## The exact silhouette of the points X (3 x n) in camera cam: the convex
## hull of their images, 2 x m.
%!function b = silhouette (cam, X)
%!  Xc = cam.pose(1:3, :) * [X; ones(1, columns (X))];
%!  p = [cam.efl * Xc(1,:) ./ Xc(3,:) + cam.u0;
%!       cam.efl * Xc(2,:) ./ Xc(3,:) + cam.v0];
%!  k = convhull (p(1,:)', p(2,:)');
%!  b = p(:, k(1:end-1));
%!endfunction

## Two silhouette sets of one convex polyhedron: nA views in A's world and
## nB views in B's world, with X_A = T * X_B for T = pose_to_matrix (pose);
## pose is a fixed transform unless given.
%!function [A, B, pose] = make_scene (nA, nB, pose)
%!  n = 40;
%!  k = (0:n-1)' + 0.5;
%!  phi = acos (1 - 2 * k / n);
%!  theta = pi * (1 + sqrt (5)) * k;
%!  r = 1 + 0.05 * sin (17 * k);
%!  X = [r .* cos(theta) .* sin(phi), 0.7 * r .* sin(theta) .* sin(phi), ...
%!       0.5 * r .* cos(phi)]';
%!  dirs = [1 0.2 0.3; -0.3 1 0.5; 0.2 -0.4 1; -1 -0.5 0.2; ...
%!          0.4 0.9 -0.6; -0.2 -1 -0.4; 0.7 -0.7 0.1; -0.6 0.3 -0.8]';
%!  if (nargin < 3)
%!    q = [0.1 -0.2 0.15 0.96];
%!    pose = [q / norm(q), 0.3, -0.5, 0.8]';
%!  endif
%!  T = pose_to_matrix (pose);
%!  A = struct ("camera", {}, "boundary", {});
%!  B = struct ("camera", {}, "boundary", {});
%!  for i = 1:(nA + nB)
%!    cam = look_at (6 * dirs(:, i) / norm (dirs(:, i)));
%!    b = silhouette (cam, X);
%!    if (i <= nA)
%!      A(end+1) = struct ("camera", cam, "boundary", b);
%!    else
%!      cam.pose = cam.pose * T;
%!      B(end+1) = struct ("camera", cam, "boundary", b);
%!    endif
%!  endfor
%!endfunction

## The pose turned by deg degrees about turn_axis and moved by frac of its
## translation's length along dir.
%!function p = perturb (pose, turn_axis, deg, dir, frac)
%!  u = turn_axis(:) / norm (turn_axis);
%!  h = deg * pi / 360;
%!  q = quat_mul ([sin(h) * u; cos(h)], pose(1:4));
%!  t = pose(5:7)(:);
%!  shift = frac * norm (t) * dir(:) / norm (dir);
%!  p = [q; t + shift];
%!endfunction

%!function a = rotation_angle (p, q)
%!  c = (trace (quat_to_rot (p(1:4))' * quat_to_rot (q(1:4))) - 1) / 2;
%!  a = acos (max (-1, min (1, c)));
%!endfunction

## ---------------------------------------------------------------- recovery

%!shared A, B, truth, start, params
%! [A, B, truth] = make_scene (3, 3);
%! start = perturb (truth, [1 2 3], 3, [0.6 -0.8 0], 0.03);
%! params = [100; 1e-12];

%!test
%! ## From a start 3 degrees and 3 percent off, the true pose comes back.
%! [rms, pose, res] = Dovanel (A, B, start, params);
%! assert (size (rms), [1 1]);
%! assert (size (pose), [7 1]);
%! assert (size (res), [1 72]);
%! assert (rms < 1e-6);
%! assert (rotation_angle (pose, truth) < 1e-6);
%! assert (pose(5:7), truth(5:7), 1e-6);
%! assert (rms, sqrt (mean (res .^ 2)), 1e-15);
%! assert (max (abs (res)) < 1e-5);

%!test
%! ## The same transform written with -q and a scaled quaternion.
%! s = start;
%! s(1:4) = -2.5 * s(1:4);
%! [rms, pose] = Dovanel (A, B, s, params);
%! assert (rms < 1e-6);
%! assert (rotation_angle (pose, truth) < 1e-6);

%!test
%! ## The true pose itself is a fixed point with residuals near zero.
%! [rms, pose, res] = Dovanel (A, B, truth, [1; 1e-12]);
%! assert (rms < 1e-9);
%! assert (all (abs (res) < 1e-8));

%!test
%! ## Several starts: a far one, a NaN one and the near one; the best wins
%! ## whatever the order, and equals the near start's result.
%! far = perturb (truth, [0 1 0], 120, [1 0 0], 2);
%! bad = start;
%! bad(6) = NaN;
%! [r1, p1, res1] = Dovanel (A, B, start, params);
%! [r2, p2, res2] = Dovanel (A, B, [far, bad, start], params);
%! [r3, p3, res3] = Dovanel (A, B, [bad, start, far, start], params);
%! assert (r2, r1);
%! assert (p2, p1);
%! assert (res2, res1);
%! assert (r3, r1);
%! assert (p3, p1);

%!test
%! ## Only a NaN start: its NaN RMS is returned.
%! bad = start;
%! bad(5) = NaN;
%! [rms, pose] = Dovanel (A, B, bad, params);
%! assert (isnan (rms));
%! assert (size (pose), [7 1]);

%!test
%! ## No starts: rms 0, the zero pose and the residuals of the identity
%! ## transform, which vanish for two sets that share one world frame.
%! [rms, pose, res] = Dovanel (A, B, zeros (7, 0), params);
%! assert (rms, 0);
%! assert (pose, zeros (7, 1));
%! assert (size (res), [1 72]);
%! assert (sqrt (mean (res .^ 2)) > 1);
%! [A0, B0] = make_scene (3, 3, [0 0 0 1 0 0 0]');
%! [rms, pose, res] = Dovanel (A0, B0, zeros (7, 0), params);
%! assert (rms, 0);
%! assert (pose, zeros (7, 1));
%! assert (size (res), [1 72]);
%! assert (max (abs (res)) < 1e-8);

%!test
%! ## Fewer outputs asked for: the same values.
%! [r3, p3, res3] = Dovanel (A, B, start, params);
%! r1 = Dovanel (A, B, start, params);
%! [r2, p2] = Dovanel (A, B, start, params);
%! assert (r1, r3);
%! assert (r2, r3);
%! assert (p2, p3);
%! Dovanel (A, B, start, params);
%! assert (ans, r3);

%!test
%! ## Sets of different sizes give 8 |A| |B| residuals.
%! [A2, B3] = make_scene (2, 3);
%! [~, ~, res] = Dovanel (A2, B3, zeros (7, 0), [1; 0]);
%! assert (size (res), [1 48]);

%!test
%! ## mfe is truncated toward zero: 2.9 means 2, 0 and below mean 1.
%! far = perturb (truth, [1 -1 2], 15, [0 0 1], 0.3);
%! [~, p1] = Dovanel (A, B, far, [1; 1e-14]);
%! [~, p2] = Dovanel (A, B, far, [2; 1e-14]);
%! [~, p29] = Dovanel (A, B, far, [2.9; 1e-14]);
%! [~, p0] = Dovanel (A, B, far, [0; 1e-14]);
%! [~, pneg] = Dovanel (A, B, far, [-3; 1e-14]);
%! [~, pnan] = Dovanel (A, B, far, [NaN; 1e-14]);
%! [~, pbig] = Dovanel (A, B, far, [1e4; 1e-14]);
%! [~, pinf] = Dovanel (A, B, far, [Inf; 1e-14]);
%! assert (! isequal (p1, p2));
%! assert (p29, p2);
%! assert (p0, p1);
%! assert (pneg, p1);
%! assert (pnan, p1);
%! assert (pinf, pbig);

%!test
%! ## A fourth argument with more than two numbers: the rest is ignored.
%! [r1, p1] = Dovanel (A, B, start, params);
%! [r2, p2] = Dovanel (A, B, start, [params; 7; 8]);
%! assert (r2, r1);
%! assert (p2, p1);

## ---------------------------------------------------------------- host errors

%!error <Dovanel: Need 4 input args: Dovanel\( viewVecA,  viewVecB, vecArray, \[mfe;tol\] \)>
%! Dovanel (A, B, start);
%!error <Need 4 input args>
%! Dovanel ();
%!error <Need 4 input args>
%! Dovanel (A, B, start, params, 1);
%!error <Dovanel: Need 3rd arg must be 7xn matrix of n quattran starting points \)>
%! Dovanel (A, B, zeros (6, 3), params);
%!error <Need 3rd arg must be 7xn matrix of n quattran starting points \)>
%! Dovanel (1, 2, int32 (zeros (6, 3)), "x");
%!error <Need 3rd arg must be 7xn matrix>
%! Dovanel (A, B, start', params);
%!error <Dovanel: Need 3rd arg vecArray as a real, full double 7xn matrix>
%! Dovanel (A, B, single (start), params);
%!error <Need 3rd arg vecArray as a real, full double 7xn matrix>
%! Dovanel (A, B, int32 (start), params);
%!error <Need 3rd arg vecArray as a real, full double 7xn matrix>
%! Dovanel (A, B, complex (start, 1), params);
%!error <Need 3rd arg vecArray as a real, full double 7xn matrix>
%! Dovanel (A, B, sparse (start), params);
%!error <Need 3rd arg vecArray as a real, full double 7xn matrix>
%! Dovanel (A, B, true (7, 1), params);
%!error <Need 3rd arg vecArray as a real, full double 7xn matrix>
%! Dovanel (A, B, num2cell (start), params);
%!error <Dovanel: Need 4th arg \[mfe;tol\] as a real, full double array of at least 2 numbers>
%! Dovanel (A, B, start, 100);
%!error <Need 4th arg \[mfe;tol\] as a real, full double array of at least 2 numbers>
%! Dovanel (A, B, start, []);
%!error <Need 4th arg \[mfe;tol\] as a real, full double array of at least 2 numbers>
%! Dovanel (A, B, start, int32 ([100; 0]));
%!error <Need 4th arg \[mfe;tol\] as a real, full double array of at least 2 numbers>
%! Dovanel (A, B, start, single ([100; 0]));
%!error <Need 4th arg \[mfe;tol\] as a real, full double array of at least 2 numbers>
%! Dovanel (A, B, start, "ab");
%!error <Need 4th arg \[mfe;tol\] as a real, full double array of at least 2 numbers>
%! Dovanel (A, B, start, {100, 0});

## ---------------------------------------------------------------- printed errors

%!test
%! out = evalc ("Dovanel (A, B, start, [10; -1]);");
%! assert (out, "tol in [mfe;tol] must not be negative or NaN\n");
%! out = evalc ("Dovanel (A, B, start, [10; NaN]);");
%! assert (out, "tol in [mfe;tol] must not be negative or NaN\n");
%! out = evalc ("Dovanel (A, B, zeros (7, 0), [10; -1]);");
%! assert (out, "tol in [mfe;tol] must not be negative or NaN\n");

%!test
%! empty = struct ("camera", {}, "boundary", {});
%! out = evalc ("Dovanel (empty, B, start, params);");
%! assert (out, "viewVecA has no views: each set needs at least one.\n");
%! out = evalc ("Dovanel (A, empty, start, params);");
%! assert (out, "viewVecB has no views: each set needs at least one.\n");

%!test
%! noCamera = rmfield (B, "camera");
%! out = evalc ("Dovanel (A, noCamera, start, params);");
%! assert (out, "missing camera field in viewVec from Matlab.\n");
%! noBoundary = rmfield (A, "boundary");
%! out = evalc ("Dovanel (noBoundary, B, start, params);");
%! assert (out, "missing boundary field in viewVec from Matlab.\n");
%! noPose = A;
%! noPose(1).camera = rmfield (A(1).camera, "pose");
%! noPose(2).camera = rmfield (A(2).camera, "pose");
%! noPose(3).camera = rmfield (A(3).camera, "pose");
%! out = evalc ("Dovanel (noPose, B, start, params);");
%! assert (out, "missing pose parameter field in mxArray.\n");

%!test
%! distorted = B;
%! distorted(2).camera.kappa1 = 1e-9;
%! out = evalc ("Dovanel (A, distorted, start, params);");
%! assert (out, "Cannot form matrix K with nonzero kappa1\n");

%!error <undefined>
%! r = Dovanel (A, B, start, [10; -1]);

## ---------------------------------------------------------------- help

%!test
%! text = evalc ("help Dovanel");
%! assert (! isempty (strfind (text, "Rigid transform between two calibrated silhouette sets")));
%! assert (! isempty (strfind (text, "Pose layout")));
%! assert (! isempty (strfind (text, "quaternion scalar part w")));
%! assert (! isempty (strfind (text, "mfe is the number of solver iterations")));

## ------------------------------------------------ reference point and sizes

%!test
%! cam = struct ("efl", 500, "u0", 320, "v0", 240, "kappa1", 0, "pose", eye (4));
%! square = [300 340 340 300; 220 220 260 260];
%! singular = struct ("camera", {cam, cam}, "boundary", {square, square});
%! singular(2).camera.pose(1, 4) = 1;
%! out = evalc ("Dovanel (A, singular, start, params);");
%! assert (out, "Failed to solve linear system.\n");

%!test
%! ## Sets of one view each are accepted: eight residuals.
%! [rms, pose, res] = Dovanel (A(1), B(1), start, params);
%! assert (size (res), [1 8]);
%! assert (isfinite (rms));

%!test
%! ## Point and segment silhouettes do not break the call.
%! degenerate = B;
%! degenerate(2).boundary = [320; 240];
%! degenerate(3).boundary = [300 340; 240 250];
%! [rms, pose, res] = Dovanel (A, degenerate, start, params);
%! assert (size (res), [1 72]);
