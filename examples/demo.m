% DEMO  Runs each module on the example data shipped in examples/.
%
%   From the shell, scripts/demo installs what is missing, builds and runs
%   this file in octave-cli. From a running GNU Octave or MATLAB session:
%     run examples/demo.m
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
% (section to be added with the Kestrim module)

%% ---- Dovanel: relative pose of two separately calibrated view sets
% (section to be added with the Dovanel module)
