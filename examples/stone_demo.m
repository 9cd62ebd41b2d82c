% STONE_DEMO  Runs each module on the example data shipped in examples/.
%
%   From the shell, scripts/demo installs what is missing, builds and runs
%   this file in octave-cli. From a running GNU Octave or MATLAB session:
%     run examples/stone_demo.m
%   with the built modules on the path (build/octave or build/matlab); when
%   they are not, the folder of this repository's build is added.
%
%   The file has one section per module. Each section loads its example
%   data from examples/, calls its module, prints a short summary and
%   raises an error when a result fails its cross-check, so a broken build
%   does not pass as a working demo.

example_dir = fileparts (mfilename ('fullpath'));
if exist ('Pirolet') ~= 3
  if exist ('OCTAVE_VERSION', 'builtin')
    addpath (fullfile (example_dir, '..', 'build', 'octave'));
  else
    addpath (fullfile (example_dir, '..', 'build', 'matlab'));
  end
end
% Perimeter of the closed polygon whose vertices are the columns of p.
perimeter = @(p) sum (sqrt (sum ((p(:, [2:end 1]) - p) .^ 2, 1)));

%% ---- Pirolet: mean caliper diameter of a planar outline
% stone_outline.txt (written by make_outline.m) holds one vertex per line,
% x y in millimetres; Pirolet takes the vertices as columns.
poly = load (fullfile (example_dir, 'stone_outline.txt')).';
[meanDiam, hullPts] = Pirolet (poly);

% Cross-check: the mean caliper diameter of a convex hull is its perimeter
% over pi, and the width averaged over all directions ignores rotation.
idx = convhull (poly(1,:), poly(2,:));
reference = perimeter (poly(:, idx(1:end-1))) / pi;
angle = 37 * pi / 180;
rotated = Pirolet ([cos(angle) -sin(angle); sin(angle) cos(angle)] * poly);
extent = max (poly, [], 2) - min (poly, [], 2);

fprintf ('== Pirolet: mean caliper diameter of a planar outline\n');
fprintf ('outline            stone_outline.txt: %d vertices, %.1f x %.1f mm box\n', ...
         size (poly, 2), extent(1), extent(2));
fprintf ('mean diameter      %.4f mm\n', meanDiam);
fprintf ('hull vertices      %d of %d\n', size (hullPts, 2), size (poly, 2));
fprintf ('convhull perim/pi  %.4f mm (relative difference %.1e)\n', ...
         reference, abs (meanDiam - reference) / reference);
fprintf ('outline perim/pi   %.4f mm (the dent is bridged by the hull)\n', ...
         perimeter (poly) / pi);
fprintf ('rotated 37 deg     %.4f mm\n', rotated);
if abs (meanDiam - reference) > 1e-9 * reference ...
   || abs (rotated - meanDiam) > 1e-9 * meanDiam
  error ('demo: Pirolet disagrees with the perimeter of convhull over pi');
end

%% ---- Kestrim: viewing edges of a silhouette set
% stone_views_A.txt and stone_views_B.txt (written by make_views.m, read by
% load_view_set.m) are two silhouette sets of one stone, each calibrated in
% its own world frame; stone_points.txt holds the stone in A's frame (it is
% the convex hull of these points) and stone_pose_B_to_A.txt the known
% transform from B's frame to A's.
addpath (example_dir);
viewsA = load_view_set (fullfile (example_dir, 'stone_views_A.txt'));
viewsB = load_view_set (fullfile (example_dir, 'stone_views_B.txt'));
stone = load (fullfile (example_dir, 'stone_points.txt')).';
truth = load (fullfile (example_dir, 'stone_pose_B_to_A.txt')).';

[nearPts, farPts, viewNums] = Kestrim (viewsA);

% Cross-checks. Each silhouette's hull is taken as the view set reader
% takes it (Pirolet uses the same hull, tolerance 0.001 pixel). A convex
% object gives at most one edge per hull vertex; each edge's end points
% project into, or onto, every other view's hull (a margin of -1e-9 pixel
% is rounding); and every edge touches the stone: here it passes through
% the stone point that projects to its hull vertex. Rays through frontier
% points (a stone point on the outline of two views) only graze the other
% silhouette: they give edges of about zero length, or by rounding none.
numViews = numel (viewsA);
numEdges = size (nearPts, 2);
hulls = cell (1, numViews);
numHull = 0;
perView = zeros (1, numViews);
for k = 1:numViews
  [~, hulls{k}] = Pirolet (viewsA(k).boundary);
  numHull = numHull + size (hulls{k}, 2);
  perView(k) = sum (viewNums == k);
end
ends = [nearPts, farPts];
owner = [viewNums, viewNums];
inside = true (1, 2 * numEdges);
worstMargin = inf;
for k = 1:numViews
  cam = viewsA(k).camera;
  others = owner ~= k;
  P = cam.pose(1:3, :) * [ends(:, others); ones(1, sum (others))];
  uv = [cam.u0 + cam.efl * P(1,:) ./ P(3,:); cam.v0 + cam.efl * P(2,:) ./ P(3,:)];
  h = hulls{k};                                 % counter-clockwise
  m = size (h, 2);
  margin = inf (1, size (uv, 2));               % > 0 inside, pixels
  for j = 1:m
    e = h(:, mod (j, m) + 1) - h(:, j);
    margin = min (margin, (e(1) * (uv(2,:) - h(2,j)) - e(2) * (uv(1,:) - h(1,j))) / norm (e));
  end
  inside(others) = inside(others) & margin > -1e-3 & P(3,:) > 0;
  worstMargin = min (worstMargin, min (margin));
end
edgeLength = sqrt (sum ((farPts - nearPts) .^ 2, 1));
toStone = zeros (1, numEdges);
for i = 1:numEdges
  d = farPts(:, i) - nearPts(:, i);
  s = (d' * (stone - nearPts(:, i) * ones (1, size (stone, 2)))) / max (d' * d, realmin);
  closest = nearPts(:, i) * ones (1, numel (s)) + d * min (1, max (0, s));
  toStone(i) = sqrt (min (sum ((stone - closest) .^ 2, 1)));
end

fprintf ('\n== Kestrim: viewing edges of a silhouette set\n');
fprintf ('views              %d (stone_views_A.txt), %d silhouette hull vertices\n', ...
         numViews, numHull);
fprintf ('edges              %d; per view%s\n', numEdges, sprintf (' %d', perView));
fprintf ('edge lengths       min %.3f, median %.3f, max %.3f mm; %d shorter than 0.001 mm\n', ...
         min (edgeLength), median (edgeLength), max (edgeLength), sum (edgeLength < 1e-3));
fprintf ('end points inside  %d of %d in every other view''s hull (worst margin %.1e px)\n', ...
         sum (inside), 2 * numEdges, worstMargin);
fprintf ('distance to stone  %.1e mm at most (the stone''s box: %.0f x %.0f x %.0f mm)\n', ...
         max (toStone), max (stone, [], 2) - min (stone, [], 2));
if numEdges < numHull / 2 || numEdges > numHull || any (perView == 0) ...
   || sum (perView) ~= numEdges || any (diff (viewNums) < 0) ...
   || ~all (inside) || ~(max (toStone) < 0.01)
  error ('demo: Kestrim''s viewing edges do not fit the example stone');
end

%% ---- Dovanel: relative pose of two separately calibrated view sets
% The known transform (X_A = R * X_B + t) is recovered from three starts,
% each turned by a few degrees about some axis and shifted by a few percent
% of the translation; every start is also run alone to show where it ends.
qmul = @(p, q) [p(4) * q(1:3) + q(4) * p(1:3) + cross(p(1:3), q(1:3)); ...
                p(4) * q(4) - p(1:3)' * q(1:3)];
% The angle (degrees) of the rotation from pose q to pose p: that of the
% quaternion conj(q) * p, whatever the lengths and signs of both.
turnOf = @(r) 2 * atan2 (norm (r(1:3)), abs (r(4))) * 180 / pi;
angleBetween = @(p, q) turnOf (qmul ([-q(1:3); q(4)], p(1:4)));
turnDeg = [4 3 5];
turnAxes = [1 0 0; 0 1 1; 1 -1 1]';
shiftPct = [4 3 5];
shiftDirs = [0 1 0; -1 0 -1; -1 2 0]';
starts = zeros (7, 3);
for i = 1:3
  u = turnAxes(:, i) / norm (turnAxes(:, i));
  half = turnDeg(i) * pi / 360;
  starts(1:4, i) = qmul ([sin(half) * u; cos(half)], truth(1:4));
  starts(5:7, i) = truth(5:7) + shiftPct(i) / 100 * norm (truth(5:7)) ...
                   * shiftDirs(:, i) / norm (shiftDirs(:, i));
end
params = [100; 1e-10];                  % iterations per start, step tolerance
alone = zeros (1, 3);
for i = 1:3
  alone(i) = Dovanel (viewsA, viewsB, starts(:, i), params);
end
[rms, pose, residuals] = Dovanel (viewsA, viewsB, starts, params);
q = pose(1:4) / norm (pose(1:4));
q = q * sign (q' * truth(1:4));          % q and -q are the same rotation
rotError = angleBetween (pose, truth);
transError = norm (pose(5:7) - truth(5:7));

fprintf ('\n== Dovanel: relative pose of two separately calibrated view sets\n');
fprintf ('sets               A %d views, B %d views (stone_views_A/B.txt): %d residuals\n', ...
         numel (viewsA), numel (viewsB), numel (residuals));
fprintf ('known pose         [%.6f %.6f %.6f %.6f | %.4f %.4f %.4f] (%.1f deg, |t| %.2f mm)\n', ...
         truth, angleBetween (truth, [0; 0; 0; 1]), norm (truth(5:7)));
for i = 1:3
  fprintf ('start %d            %.0f deg, %.0f%% off: RMS %.1e px when run alone\n', ...
           i, angleBetween (starts(:, i), truth), shiftPct(i), alone(i));
end
fprintf ('best RMS           %.1e px (mfe %d, tol %g)\n', rms, params(1), params(2));
fprintf ('recovered pose     [%.6f %.6f %.6f %.6f | %.4f %.4f %.4f]\n', q, pose(5:7));
fprintf ('rotation error     %.1e deg\n', rotError);
fprintf ('translation error  %.1e mm\n', transError);
if numel (residuals) ~= 8 * numel (viewsA) * numel (viewsB) || rms ~= min (alone) ...
   || ~(rms < 1e-3) || ~(rotError < 1e-3) || ~(transError < 1e-3)
  error ('demo: Dovanel did not recover the known pose between the example sets');
end
