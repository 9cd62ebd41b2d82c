function results = stone_demo (outdir, varargin)
  % STONE_DEMO  Runs each module on the example data and draws figures.
  %
  %   stone_demo ()
  %   stone_demo (outdir)
  %   stone_demo (outdir, 'name', value, ...)
  %   results = stone_demo (...)
  %
  %   Runs Pirolet, Kestrim and Dovanel on the example stone shipped in
  %   examples/, prints a summary per module (its inputs, its results, the
  %   time of each module call and the cross-checks) and writes PNG figures
  %   into the folder OUTDIR (created when missing; default build/demo in
  %   this repository; '' draws nothing). A result that fails its
  %   cross-check raises an error, so a broken build does not pass as a
  %   working demo.
  %
  %   From the shell, scripts/demo installs what is missing, builds and
  %   runs this function in octave-cli, writing the figures into
  %   build/demo/. From a running GNU Octave or MATLAB session, with the
  %   built modules on the path (when they are not, this repository's
  %   build/octave or build/matlab is added):
  %     run examples/stone_demo.m                   % all defaults
  %     addpath examples
  %     stone_demo ('/tmp/stone')                   % figures into /tmp/stone
  %   and from a shell:
  %     octave-cli --path build/octave --path examples \
  %       --eval "stone_demo ('/tmp/stone')"
  %
  %   Your own data: name the files to use instead of the shipped ones
  %   (relative names are taken from the current folder):
  %     'outline'  planar outline for Pirolet: one vertex "x y" per line
  %                (default examples/stone_outline.txt)
  %     'viewsA'   silhouette set for Kestrim and the first set for
  %                Dovanel, in the layout load_view_set reads
  %                (default examples/stone_views_A.txt)
  %     'viewsB'   the second set for Dovanel (default stone_views_B.txt)
  %     'points'   points of the object in A's frame, "x y z" per line
  %                (default stone_points.txt); '' for none
  %     'pose'     the known transform from B's frame to A's, one line
  %                "qx qy qz qw tx ty tz" (default stone_pose_B_to_A.txt);
  %                '' for none
  %     'starts'   Dovanel's start poses: a 7 x n matrix, or a file of one
  %                start per line "qx qy qz qw tx ty tz". By default three
  %                starts a few degrees and percent off the known pose, or,
  %                without a known pose, the identity transform alone.
  %   For example, with sets of your own and no known pose:
  %     stone_demo ('out', 'viewsA', 'my_A.txt', 'viewsB', 'my_B.txt', ...
  %                 'points', '', 'pose', '', 'starts', [0; 0; 0; 1; 0; 0; 0])
  %
  %   Cross-checks. Always: Pirolet against the perimeter of convhull over
  %   pi, and against the same outline turned by 37 degrees; Kestrim's edges
  %   against the silhouettes (every end point projects into every other
  %   view's hull; at most one edge per hull vertex and at least half as
  %   many; edges from every view, in view order); Dovanel's best RMS
  %   against that of each start run alone, and the number of residuals. The
  %   points and the known pose add checks that hold for exact silhouettes
  %   such as the shipped ones, so leave them out ('') for measured data:
  %   every edge passes within 0.01 mm of the points; the recovered pose is
  %   within 1e-3 degree and 1e-3 mm of the known one, at an RMS below
  %   1e-3 pixel. Without a known pose its check and the "known" markers
  %   are left out; the recovered placement is still drawn.
  %
  %   Figures (PNG, drawn without a window):
  %     pirolet_outline.png   the outline, its convex hull and the mean
  %                           caliper diameter
  %     silhouettes_A.png     set A's silhouettes with their convex hulls,
  %                           in pixels (v downward)
  %     kestrim_edges.png     Kestrim's viewing edges of set A in 3D, with
  %                           the cameras and the object
  %     dovanel_pose.png      set B's cameras placed into A's frame by the
  %                           recovered pose, beside A's cameras and where
  %                           the known pose puts them
  %   MATLAB, and GNU Octave with its qt or fltk toolkit and a window
  %   system, draw them with the current toolkit (print -dpng); elsewhere,
  %   as in octave-cli, Octave draws these figures alone with the gnuplot
  %   toolkit (print -dpngcairo, no display needed).
  %
  %   The shipped data are written by make_outline.m and make_views.m,
  %   which use no random numbers: each run writes the same files.
  %
  %   results is a struct with the main results, the times of the module
  %   calls (seconds) and the figure files.

  example_dir = fileparts (mfilename ('fullpath'));
  if nargin < 1
    outdir = fullfile (fileparts (example_dir), 'build', 'demo');
  end
  opts = struct ('outline', fullfile (example_dir, 'stone_outline.txt'), ...
                 'viewsA', fullfile (example_dir, 'stone_views_A.txt'), ...
                 'viewsB', fullfile (example_dir, 'stone_views_B.txt'), ...
                 'points', fullfile (example_dir, 'stone_points.txt'), ...
                 'pose', fullfile (example_dir, 'stone_pose_B_to_A.txt'), ...
                 'starts', []);
  if mod (numel (varargin), 2) ~= 0
    error ('stone_demo: options come in pairs: name, value');
  end
  names = fieldnames (opts);
  for i = 1:2:numel (varargin)
    match = strcmpi (varargin{i}, names);
    if ~ischar (varargin{i}) || ~any (match)
      error ('stone_demo: unknown option (known: %s)', strjoin (names', ', '));
    end
    opts.(names{match}) = varargin{i+1};
  end
  if ~ischar (outdir)
    error ('stone_demo: outdir must be a folder name, or '''' for no figures');
  end

  if exist ('Pirolet') ~= 3
    if exist ('OCTAVE_VERSION', 'builtin')
      addpath (fullfile (fileparts (example_dir), 'build', 'octave'));
    else
      addpath (fullfile (fileparts (example_dir), 'build', 'matlab'));
    end
  end
  addpath (example_dir);                        % load_view_set
  shown = @(file) shown_name (file, example_dir);
  perimeter = @(p) sum (sqrt (sum ((p(:, [2:end 1]) - p) .^ 2, 1)));
  total = tic;

  %% ---- Inputs
  poly = load (opts.outline).';                 % x y per line -> 2 x N
  viewsA = load_view_set (opts.viewsA);
  viewsB = load_view_set (opts.viewsB);
  stone = zeros (3, 0);
  if ~isempty (opts.points)
    stone = load (opts.points).';
  end
  truth = [];
  if ~isempty (opts.pose)
    truth = load (opts.pose);
    truth = truth(:);
    if numel (truth) ~= 7
      error ('stone_demo: %s must hold 7 numbers: qx qy qz qw tx ty tz', opts.pose);
    end
  end

  % Load the modules (their first calls), so that the times below are
  % those of the calls alone.
  t = tic;
  Pirolet ([0 1 0; 0 0 1]);
  Kestrim (viewsA(1:0));
  Dovanel (viewsA(1), viewsB(1), zeros (7, 0), [1; 0]);
  loadTime = toc (t);
  moduleDir = fileparts (which ('Pirolet'));
  here = [pwd(), filesep];
  if strncmp (moduleDir, here, numel (here))
    moduleDir = moduleDir(numel (here) + 1:end);  % under the current folder
  end
  fprintf ('modules            %s (loaded by their first calls in %s)\n', ...
           moduleDir, ms (loadTime));

  %% ---- Pirolet: mean caliper diameter of a planar outline
  t = tic;
  [meanDiam, hullPts] = Pirolet (poly);
  piroletTime = toc (t);

  % Cross-check: the mean caliper diameter of a convex hull is its perimeter
  % over pi, and the width averaged over all directions ignores rotation.
  idx = convhull (poly(1,:), poly(2,:));
  reference = perimeter (poly(:, idx(1:end-1))) / pi;
  turn = 37 * pi / 180;
  t = tic;
  rotated = Pirolet ([cos(turn) -sin(turn); sin(turn) cos(turn)] * poly);
  rotatedTime = toc (t);
  extent = max (poly, [], 2) - min (poly, [], 2);

  fprintf ('\n== Pirolet: mean caliper diameter of a planar outline\n');
  fprintf ('outline            %s: %d vertices, %.1f x %.1f mm box\n', ...
           shown (opts.outline), size (poly, 2), extent(1), extent(2));
  fprintf ('mean diameter      %.4f mm\n', meanDiam);
  fprintf ('hull vertices      %d of %d\n', size (hullPts, 2), size (poly, 2));
  fprintf ('convhull perim/pi  %.4f mm (relative difference %.1e)\n', ...
           reference, abs (meanDiam - reference) / reference);
  fprintf ('outline perim/pi   %.4f mm (the hull bridges the outline''s dents)\n', ...
           perimeter (poly) / pi);
  fprintf ('rotated 37 deg     %.4f mm\n', rotated);
  fprintf ('time               %s (Pirolet call; %s on the rotated outline)\n', ...
           ms (piroletTime), ms (rotatedTime));
  if abs (meanDiam - reference) > 1e-9 * reference ...
     || abs (rotated - meanDiam) > 1e-9 * meanDiam
    error ('demo: Pirolet disagrees with the perimeter of convhull over pi');
  end

  %% ---- Kestrim: viewing edges of a silhouette set
  t = tic;
  [nearPts, farPts, viewNums] = Kestrim (viewsA);
  kestrimTime = toc (t);

  % Cross-checks. Each silhouette's hull is taken as the view set reader
  % takes it (Pirolet uses the same hull, tolerance 0.001 pixel). A convex
  % object gives at most one edge per hull vertex; each edge's end points
  % project into, or onto, every other view's hull (a margin of -1e-9 pixel
  % is rounding); and every edge touches the object: for the shipped stone
  % it passes through the point that projects to its hull vertex. Rays
  % through frontier points (a point on the outline of two views) only
  % graze the other silhouette: they give edges of about zero length, or
  % by rounding none.
  numViews = numel (viewsA);
  numEdges = size (nearPts, 2);
  hulls = cell (1, numViews);
  numHull = 0;
  numBoundary = zeros (1, numViews);
  perView = zeros (1, numViews);
  for k = 1:numViews
    [~, hulls{k}] = Pirolet (viewsA(k).boundary);
    numHull = numHull + size (hulls{k}, 2);
    numBoundary(k) = size (viewsA(k).boundary, 2);
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
    h = hulls{k};                               % counter-clockwise
    m = size (h, 2);
    margin = inf (1, size (uv, 2));             % > 0 inside, pixels
    for j = 1:m
      e = h(:, mod (j, m) + 1) - h(:, j);
      margin = min (margin, (e(1) * (uv(2,:) - h(2,j)) - e(2) * (uv(1,:) - h(1,j))) / norm (e));
    end
    inside(others) = inside(others) & margin > -1e-3 & P(3,:) > 0;
    worstMargin = min ([worstMargin, margin]);
  end
  edgeLength = sqrt (sum ((farPts - nearPts) .^ 2, 1));
  toStone = zeros (1, numEdges);
  if ~isempty (stone)
    for i = 1:numEdges
      d = farPts(:, i) - nearPts(:, i);
      s = (d' * (stone - nearPts(:, i) * ones (1, size (stone, 2)))) / max (d' * d, realmin);
      closest = nearPts(:, i) * ones (1, numel (s)) + d * min (1, max (0, s));
      toStone(i) = sqrt (min (sum ((stone - closest) .^ 2, 1)));
    end
  end

  fprintf ('\n== Kestrim: viewing edges of a silhouette set\n');
  fprintf ('views              %s: %d views, %d boundary points (%d to %d per view)\n', ...
           shown (opts.viewsA), numViews, sum (numBoundary), min (numBoundary), ...
           max (numBoundary));
  fprintf ('hull vertices      %d (one viewing ray each)\n', numHull);
  fprintf ('edges              %d; per view%s\n', numEdges, sprintf (' %d', perView));
  if numEdges > 0
    fprintf ('edge lengths       min %.3f, median %.3f, max %.3f mm; %d shorter than 0.001 mm\n', ...
             min (edgeLength), median (edgeLength), max (edgeLength), sum (edgeLength < 1e-3));
  end
  fprintf ('end points inside  %d of %d in every other view''s hull (worst margin %.1e px)\n', ...
           sum (inside), 2 * numEdges, worstMargin);
  if ~isempty (stone)
    fprintf ('distance to points %.1e mm at most (%s: %d points, %.0f x %.0f x %.0f mm)\n', ...
             max ([toStone, 0]), shown (opts.points), size (stone, 2), ...
             max (stone, [], 2) - min (stone, [], 2));
  end
  fprintf ('time               %s (Kestrim call)\n', ms (kestrimTime));
  if numEdges < numHull / 2 || numEdges > numHull || any (perView == 0) ...
     || sum (perView) ~= numEdges || any (diff (viewNums) < 0) ...
     || ~all (inside) || ~(max ([toStone, 0]) < 0.01)
    error ('demo: Kestrim''s viewing edges fail their cross-checks');
  end

  %% ---- Dovanel: relative pose of two separately calibrated view sets
  % With a known transform (X_A = R * X_B + t), it is recovered from three
  % starts, each turned by a few degrees about some axis and shifted by a
  % few percent of the translation; every start is also run alone to show
  % where it ends.
  turnDeg = [4 3 5];
  shiftPct = [4 3 5];
  if ~isempty (opts.starts)
    starts = opts.starts;
    if ischar (starts)
      starts = load (starts).';
    end
    if size (starts, 1) ~= 7 || isempty (starts)
      error ('stone_demo: starts must be 7 x n (n >= 1), one start per column');
    end
  elseif ~isempty (truth)
    turnAxes = [1 0 0; 0 1 1; 1 -1 1]';
    shiftDirs = [0 1 0; -1 0 -1; -1 2 0]';
    starts = zeros (7, 3);
    for i = 1:3
      u = turnAxes(:, i) / norm (turnAxes(:, i));
      half = turnDeg(i) * pi / 360;
      starts(1:4, i) = qmul ([sin(half) * u; cos(half)], truth(1:4));
      starts(5:7, i) = truth(5:7) + shiftPct(i) / 100 * norm (truth(5:7)) ...
                       * shiftDirs(:, i) / norm (shiftDirs(:, i));
    end
  else
    starts = [0; 0; 0; 1; 0; 0; 0];
  end
  numStarts = size (starts, 2);
  params = [100; 1e-10];                  % iterations per start, step tolerance
  alone = zeros (1, numStarts);
  aloneTime = zeros (1, numStarts);
  for i = 1:numStarts
    t = tic;
    alone(i) = Dovanel (viewsA, viewsB, starts(:, i), params);
    aloneTime(i) = toc (t);
  end
  t = tic;
  [rms, pose, residuals] = Dovanel (viewsA, viewsB, starts, params);
  dovanelTime = toc (t);
  q = pose(1:4) / norm (pose(1:4));
  q = q * sign (q(4) + (q(4) == 0));      % q and -q are the same rotation

  fprintf ('\n== Dovanel: relative pose of two separately calibrated view sets\n');
  fprintf ('set A              %s: %d views\n', shown (opts.viewsA), numel (viewsA));
  fprintf ('set B              %s: %d views\n', shown (opts.viewsB), numel (viewsB));
  fprintf ('residuals          %d (8 per view pair, %d pairs)\n', numel (residuals), ...
           numel (viewsA) * numel (viewsB));
  if ~isempty (truth)
    fprintf ('known pose         %s: a turn of %.1f deg, a shift of %.2f mm\n', ...
             shown (opts.pose), angle_between (truth, [0; 0; 0; 1]), norm (truth(5:7)));
  end
  for i = 1:numStarts
    if ~isempty (truth) && isempty (opts.starts)
      where = sprintf ('%.0f deg, %.0f%% off', angle_between (starts(:, i), truth), shiftPct(i));
    elseif ~isempty (truth)
      where = sprintf ('%.1f deg, %.1f mm off', angle_between (starts(:, i), truth), ...
                       norm (starts(5:7, i) - truth(5:7)));
    else
      where = sprintf ('turn %.1f deg, shift %.2f mm', ...
                       angle_between (starts(:, i), [0; 0; 0; 1]), norm (starts(5:7, i)));
    end
    fprintf ('start %-12d %s: RMS %.1e px, %s when run alone\n', i, where, alone(i), ...
             ms (aloneTime(i)));
  end
  fprintf ('best RMS           %.1e px (mfe %d, tol %g)\n', rms, params(1), params(2));
  fprintf ('recovered pose     [%s]\n', pose_text ([q; pose(5:7)]));
  if ~isempty (truth)
    rotError = angle_between (pose, truth);
    transError = norm (pose(5:7) - truth(5:7));
    fprintf ('known pose         [%s]\n', pose_text (truth));
    fprintf ('rotation error     %.1e deg\n', rotError);
    fprintf ('translation error  %.1e mm\n', transError);
  else
    fprintf ('recovered motion   a turn of %.1f deg, a shift of %.2f mm\n', ...
             angle_between (q, [0; 0; 0; 1]), norm (pose(5:7)));
  end
  fprintf ('time               %s (one Dovanel call with the %d start(s))\n', ...
           ms (dovanelTime), numStarts);
  if numel (residuals) ~= 8 * numel (viewsA) * numel (viewsB) || rms ~= min (alone) ...
     || (~isempty (truth) && (~(rms < 1e-3) || ~(rotError < 1e-3) || ~(transError < 1e-3)))
    if isempty (truth)
      error ('demo: Dovanel''s results fail their cross-checks');
    end
    error ('demo: Dovanel did not recover the known pose between the sets');
  end

  %% ---- Figures
  figures = {};
  if ~isempty (outdir)
    g = graphics_setup ();
    fprintf ('\n== Figures\n');
    if ~g.ok
      fprintf ('none drawn: %s\n', g.note);
    else
      if ~exist (outdir, 'dir') && ~mkdir (outdir)
        error ('stone_demo: cannot create the folder %s', outdir);
      end
      oldWarnings = warning ();
      restoreWarnings = onCleanup (@() warning (oldWarnings));
      warning ('off', 'Octave:gnuplot-graphics'); % the toolkit is chosen above
      warning ('off', 'print:nogs');            % PNG needs no Ghostscript
      figures = {fullfile(outdir, 'pirolet_outline.png'), ...
                 fullfile(outdir, 'silhouettes_A.png'), ...
                 fullfile(outdir, 'kestrim_edges.png'), ...
                 fullfile(outdir, 'dovanel_pose.png')};
      what = {'Pirolet: the outline, its hull and the mean caliper diameter', ...
              'set A: the silhouettes and their convex hulls', ...
              'Kestrim: the viewing edges of set A with its cameras', ...
              'Dovanel: set B''s cameras placed into A''s frame'};
      t = tic;
      draw_outline (g, figures{1}, poly, hullPts, meanDiam, shown (opts.outline));
      draw_silhouettes (g, figures{2}, viewsA, hulls, shown (opts.viewsA));
      draw_edges (g, figures{3}, viewsA, nearPts, farPts, viewNums, stone);
      draw_placement (g, figures{4}, viewsA, viewsB, [q; pose(5:7)], truth, stone, ...
                      [nearPts, farPts]);
      for i = 1:numel (figures)
        fprintf ('%s  %s\n', figures{i}, what{i});
      end
      fprintf ('drawn in %.1f s (%s)\n', toc (t), g.how);
    end
  end

  fprintf ('\ndemo: all cross-checks passed (%.1f s in all)\n', toc (total));
  if nargout > 0
    results = struct ('meanDiam', meanDiam, 'numEdges', numEdges, 'rms', rms, ...
                      'pose', [q; pose(5:7)], 'loadTime', loadTime, ...
                      'piroletTime', piroletTime, 'kestrimTime', kestrimTime, ...
                      'dovanelTime', dovanelTime, 'startTimes', aloneTime, ...
                      'figures', {figures});
  end
end

%% ---- Helpers for the summary

function text = ms (seconds)
  % A time in milliseconds, with three significant digits.
  text = sprintf ('%.3g ms', 1000 * seconds);
end

function name = shown_name (file, example_dir)
  % The shipped files by their names alone, others as given.
  [folder, base, ext] = fileparts (file);
  if strcmp (folder, example_dir)
    name = [base, ext];
  else
    name = file;
  end
end

function text = pose_text (p)
  text = sprintf ('%.6f %.6f %.6f %.6f | %.4f %.4f %.4f', p);
end

function r = qmul (p, q)
  % The quaternion product p * q, [x y z w] with the scalar last.
  r = [p(4) * q(1:3) + q(4) * p(1:3) + cross(p(1:3), q(1:3)); ...
       p(4) * q(4) - p(1:3)' * q(1:3)];
end

function deg = angle_between (p, q)
  % The angle (degrees) of the rotation from pose q to pose p: that of the
  % quaternion conj(q) * p, whatever the lengths and signs of both.
  r = qmul ([-q(1:3); q(4)], p(1:4));
  deg = 2 * atan2 (norm (r(1:3)), abs (r(4))) * 180 / pi;
end

%% ---- Helpers for the figures

function g = graphics_setup ()
  % How to draw figures without showing them. MATLAB, or GNU Octave with a
  % window system and an interactive toolkit: the current toolkit and
  % print -dpng. Octave without one (octave-cli): gnuplot, for each
  % figure of this demo only, with its cairo PNG terminal.
  g = struct ('ok', true, 'props', {{}}, 'device', '-dpng', 'gnuplot', false, ...
              'fontsize', 10, 'how', 'print -dpng', 'note', '');
  if exist ('OCTAVE_VERSION', 'builtin')
    if any (strcmp (graphics_toolkit (), {'qt', 'fltk'})) && have_window_system ()
      g.how = sprintf ('%s toolkit, print -dpng', graphics_toolkit ());
    elseif any (strcmp (available_graphics_toolkits (), 'gnuplot'))
      g.props = {'__graphics_toolkit__', 'gnuplot'};
      g.device = '-dpngcairo';
      g.gnuplot = true;
      g.fontsize = 6;                           % gnuplot's cairo text is larger
      g.how = 'gnuplot toolkit, print -dpngcairo';
    else
      g.ok = false;
      g.note = 'no graphics toolkit that draws without a window (install gnuplot)';
    end
  end
end

function f = new_figure (g)
  f = figure ('visible', 'off', 'color', 'w', g.props{:}, ...
              'defaultaxesfontsize', g.fontsize, 'defaulttextfontsize', g.fontsize);
end

function save_figure (g, f, file, width, height)
  % Writes figure f as a PNG of width x height pixels and closes it.
  set (f, 'paperunits', 'inches', 'paperposition', [0 0 width height] / 100);
  if g.gnuplot
    print (f, file, g.device, sprintf ('-S%d,%d', width, height));
  else
    print (f, file, g.device, '-r100');
  end
  close (f);
end

function [C, frustum] = camera_geometry (cam, depth)
  % The camera's centre in its world frame, and its frustum cut at DEPTH
  % as one polyline (3 x 15, NaN between the pieces), for an image of
  % 2 u0 x 2 v0 pixels.
  R = cam.pose(1:3, 1:3);
  C = -R' * cam.pose(1:3, 4);
  u = [0 2 2 0] * cam.u0;
  v = [0 0 2 2] * cam.v0;
  corners = R' * ([(u - cam.u0) / cam.efl; (v - cam.v0) / cam.efl; ones(1, 4)] * depth) ...
            + C * ones (1, 4);
  gap = nan (3, 1);
  frustum = [C corners(:, 1) gap C corners(:, 2) gap C corners(:, 3) gap ...
             C corners(:, 4) gap corners corners(:, 1)];
end

function Y = transform_points (p, X)
  % X_A = R * X_B + t for the pose p = [qx qy qz qw tx ty tz].
  q = p(1:4) / norm (p(1:4));
  v = q(1:3);
  w = q(4);
  K = [0 -v(3) v(2); v(3) 0 -v(1); -v(2) v(1) 0];
  R = (w ^ 2 - v' * v) * eye (3) + 2 * (v * v') + 2 * w * K;
  Y = R * X + p(5:7) * ones (1, size (X, 2));
end

function draw_outline (g, file, poly, hullPts, meanDiam, name)
  % The outline, its convex hull and, for scale, a circle of the same mean
  % caliper diameter around the hull's centre.
  f = new_figure (g);
  hold on;
  closedHull = hullPts(:, [1:end 1]);
  centre = mean (hullPts, 2);
  a = linspace (0, 2 * pi, 181);
  circle = centre * ones (1, numel (a)) + meanDiam / 2 * [cos(a); sin(a)];
  hFill = fill (poly(1, :), poly(2, :), [0.85 0.88 0.93], 'edgecolor', [0.25 0.35 0.55]);
  hHull = plot (closedHull(1, :), closedHull(2, :), '-', 'color', [0.85 0.33 0.10], ...
                'linewidth', 1.5);
  hVertices = plot (hullPts(1, :), hullPts(2, :), 'o', 'color', [0.85 0.33 0.10], ...
                    'markersize', 4);
  hCircle = plot (circle(1, :), circle(2, :), '--', 'color', [0.45 0.45 0.45]);
  lo = min ([poly, circle], [], 2);
  hi = max ([poly, circle], [], 2);
  pad = 0.06 * max (hi - lo);
  height = hi(2) - lo(2) + 2 * pad;
  width = max (hi(1) - lo(1) + 2 * pad, 1.75 * height);  % room for the key
  axis equal;
  axis ([hi(1) + pad - width, hi(1) + pad, lo(2) - pad, hi(2) + pad]);
  box on;
  legend ([hFill, hHull, hVertices, hCircle], ...
          {sprintf('outline, %d vertices', size (poly, 2)), 'convex hull', ...
           sprintf('hull vertices (%d)', size (hullPts, 2)), ...
           'circle of the same mean width'}, 'location', 'northwest');
  xlabel ('x (mm)');
  ylabel ('y (mm)');
  title (sprintf ('Pirolet on %s: mean caliper diameter %.2f mm (hull perimeter / pi)', ...
                  name, meanDiam), 'interpreter', 'none');
  save_figure (g, f, file, 900, 600);
end

function draw_silhouettes (g, file, views, hulls, name)
  % One panel per view, all at the same scale, in pixels with v downward;
  % the last panel is the key.
  numViews = numel (views);
  cols = ceil (sqrt (1.5 * (numViews + 1)));
  rows = ceil ((numViews + 1) / cols);
  span = zeros (2, 1);
  for k = 1:numViews
    b = views(k).boundary;
    span = max (span, max (b, [], 2) - min (b, [], 2));
  end
  span = 1.15 * span + 20;
  f = new_figure (g);
  for k = 1:numViews
    panel_axes (rows, cols, k);
    b = views(k).boundary;
    h = hulls{k}(:, [1:end 1]);
    fill (b(1, :), b(2, :), [0.85 0.88 0.93], 'edgecolor', 'none');
    hold on;
    plot (b(1, :), b(2, :), '.', 'color', [0.25 0.35 0.55], 'markersize', 2);
    plot (h(1, :), h(2, :), '-', 'color', [0.85 0.33 0.10]);
    plot (h(1, 1:end-1), h(2, 1:end-1), 'o', 'color', [0.85 0.33 0.10], 'markersize', 3);
    mid = (max (b, [], 2) + min (b, [], 2)) / 2;
    axis equal;
    axis ([mid(1) - span(1) / 2, mid(1) + span(1) / 2, ...
           mid(2) - span(2) / 2, mid(2) + span(2) / 2]);
    axis ij;
    box on;
    step = 100 * ceil (max (span) / 400);       % ticks every 100 pixels or more
    lo = mid - span / 2;
    hi = mid + span / 2;
    set (gca, 'xtick', step * (ceil (lo(1) / step):floor (hi(1) / step)), ...
              'ytick', step * (ceil (lo(2) / step):floor (hi(2) / step)));
    title (sprintf ('view %d: %d / %d', k, size (hulls{k}, 2), size (b, 2)));
  end
  orange = [0.85 0.33 0.10];
  key = {{'-', 'color', [0.75 0.80 0.88], 'linewidth', 6}, {'silhouette'}; ...
         {'.', 'color', [0.25 0.35 0.55], 'markersize', 8}, {'outline points'}; ...
         {'-', 'color', orange}, {'convex hull'}; ...
         {'o', 'color', orange, 'markersize', 4}, {'hull vertices', '(Kestrim''s rays)'}; ...
         {}, {'title: view, hull', 'vertices / points'}; ...
         {}, {'pixels, v down,', 'all at one scale'}};
  axes ('position', [(cols - 1) / cols + 0.05 / cols, 0.02, 0.94 / cols, 0.44]);
  text (0, 0.97, name, 'interpreter', 'none', 'fontweight', 'bold');
  draw_key (key, 0.07, [0 0.86]);
  save_figure (g, f, file, 1400, 760);
end

function panel_axes (rows, cols, k)
  % Axes for panel k of a rows x cols grid, filled row by row, with less
  % room between the panels than subplot leaves.
  r = ceil (k / cols);
  c = k - (r - 1) * cols;
  axes ('position', [(c - 1) / cols + 0.2 / cols, 1 - r / rows + 0.18 / rows, ...
                     0.76 / cols, 0.68 / rows]);
end

function draw_edges (g, file, views, nearPts, farPts, viewNums, stone)
  % Left, the rig: the cameras with their frusta around the edges; right,
  % a close-up of the edges, coloured by view.
  numViews = numel (views);
  colours = lines (numViews);
  ends = [nearPts, farPts];
  centre = mean (ends, 2);
  f = new_figure (g);
  for panel = 1:2
    subplot (1, 2, panel);
    hold on;
    if ~isempty (stone)
      plot3 (stone(1, :), stone(2, :), stone(3, :), '.', 'color', [0.6 0.6 0.6], ...
             'markersize', 2);
    end
    extent = [ends, stone];
    for k = 1:numViews
      mine = find (viewNums == k);
      seg = nan (3, 3 * numel (mine));
      seg(:, 1:3:end) = nearPts(:, mine);
      seg(:, 2:3:end) = farPts(:, mine);
      plot3 (seg(1, :), seg(2, :), seg(3, :), '-', 'color', colours(k, :));
      if panel == 1
        C = camera_geometry (views(k).camera, 1);
        depth = 0.25 * norm (centre - C);
        [C, frustum] = camera_geometry (views(k).camera, depth);
        plot3 (frustum(1, :), frustum(2, :), frustum(3, :), '-', 'color', colours(k, :));
        plot3 ([C(1) centre(1)], [C(2) centre(2)], [C(3) centre(3)], ':', ...
               'color', colours(k, :));
        plot3 (C(1), C(2), C(3), 'o', 'color', colours(k, :), ...
               'markerfacecolor', colours(k, :), 'markersize', 4);
        label = C + 0.12 * (C - centre);
        text (label(1), label(2), label(3), sprintf ('%d', k));
        extent = [extent, frustum, label]; %#ok<AGROW>
      end
    end
    set_limits (g, extent, 0.04);
    grid on;
    view (-35, 35);
    xlabel ('x (mm)');
    ylabel ('y (mm)');
    zlabel ('z (mm)');
    if panel == 1
      title (sprintf ('Set A: %d cameras, one colour each', numViews));
    else
      title (sprintf ('Kestrim: %d viewing edges', size (nearPts, 2)));
    end
  end
  save_figure (g, f, file, 1400, 700);
end

function set_limits (g, X, pad)
  % Limits around the points X (NaN ignored), a cube, so that the three
  % axes share one scale. (gnuplot draws such a box as a cube by itself,
  % larger than it does with axis equal.)
  X = X(:, all (isfinite (X), 1));
  mid = (min (X, [], 2) + max (X, [], 2)) / 2;
  half = (1 + pad) * max (max (X, [], 2) - min (X, [], 2)) / 2;
  if ~g.gnuplot
    axis equal;
  end
  axis ([mid(1) - half, mid(1) + half, mid(2) - half, mid(2) + half, ...
         mid(3) - half, mid(3) + half]);
end

function draw_placement (g, file, viewsA, viewsB, pose, truth, stone, edgeEnds)
  % A's cameras, the object, and B's cameras carried into A's frame by the
  % recovered pose (crosses) and, when known, by the known pose (circles):
  % in 3D, seen from above, and a key.
  blue = [0 0.45 0.74];
  red = [0.85 0.20 0.10];
  grey = [0.45 0.45 0.45];
  if ~isempty (stone)
    object = stone;
    objectLabel = {'object''s points'};
  else
    object = edgeEnds;
    objectLabel = {'Kestrim''s edges', '(set A)'};
  end
  centre = mean (object, 2);
  numA = numel (viewsA);
  numB = numel (viewsB);
  depth = 40;
  framesA = cell (1, numA);
  framesB = cell (1, numB);
  CA = zeros (3, numA);
  CB = zeros (3, numB);
  CK = zeros (3, 0);
  for k = 1:numA
    [CA(:, k), framesA{k}] = camera_geometry (viewsA(k).camera, depth);
  end
  for k = 1:numB
    [C, frustum] = camera_geometry (viewsB(k).camera, depth);
    framesB{k} = transform_points (pose, frustum);
    CB(:, k) = transform_points (pose, C);
    if ~isempty (truth)
      CK(:, k) = transform_points (truth, C);
    end
  end
  extent = [object, framesA{:}, framesB{:}];

  f = new_figure (g);
  for panel = 1:2
    if panel == 1
      axes ('position', [0.08 0.08 0.40 0.8]);
      draw = @(P, varargin) plot3 (P(1, :), P(2, :), P(3, :), varargin{:});
    else
      axes ('position', [0.54 0.13 0.22 0.72]);
      draw = @(P, varargin) plot (P(1, :), P(2, :), varargin{:});
    end
    hold on;
    draw (object, '.', 'color', grey, 'markersize', 2);
    for k = 1:numA
      draw (framesA{k}, '-', 'color', blue);
      draw ([CA(:, k) centre], ':', 'color', blue);
    end
    for k = 1:numB
      draw (framesB{k}, '-', 'color', red);
      draw ([CB(:, k) centre], ':', 'color', red);
    end
    draw (CB, 'x', 'color', 'k', 'markersize', 10, 'linewidth', 1.5);
    if ~isempty (CK)
      draw (CK, 'o', 'color', 'k', 'markersize', 12);
    end
    xlabel ('x (mm)');
    ylabel ('y (mm)');
    grid on;
    if panel == 1
      set_limits (g, extent, 0.06);
      view (-35, 35);
      zlabel ('z (mm)');
      title ('Dovanel: set B''s cameras placed into A''s frame');
    else
      lo = min (extent, [], 2);
      hi = max (extent, [], 2);
      half = 0.53 * max (hi(1:2) - lo(1:2));
      mid = (lo + hi) / 2;
      axis equal;
      axis ([mid(1) - half, mid(1) + half, mid(2) - half, mid(2) + half]);
      box on;
      title ('seen from above');
    end
  end

  key = {{'.', 'color', grey, 'markersize', 6}, objectLabel; ...
         {'-', 'color', blue}, {sprintf('set A: %d cameras', numA), '(its own frame)'}; ...
         {'-', 'color', red}, {sprintf('set B: %d cameras', numB), 'placed by the', ...
                               'recovered pose'}; ...
         {'x', 'color', 'k', 'markersize', 10, 'linewidth', 1.5}, ...
             {'B''s centres,', 'recovered pose'}};
  if ~isempty (CK)
    gap = max (sqrt (sum ((CB - CK) .^ 2, 1)));
    key(end + 1, :) = {{'o', 'color', 'k', 'markersize', 12}, ...
                       {'B''s centres,', 'known pose', sprintf('(%.0e mm away)', gap)}};
  end
  key(end + 1, :) = {{':', 'color', grey}, {'line of sight', 'to the object'}};
  axes ('position', [0.785 0.1 0.21 0.8]);
  draw_key (key, 0.045, [0 0.97]);
  save_figure (g, f, file, 1500, 650);
end

function draw_key (key, step, corner)
  % A key in the current axes: one row per entry, a sample drawn with the
  % plot arguments key{i, 1} beside the lines of text key{i, 2}; STEP is
  % the height of a text line, CORNER the top left corner of the key, both
  % in units of the axes (which the key sets to [0 1 0 1], without axes).
  hold on;
  axis ([0 1 0 1]);
  axis off;
  x = corner(1);
  y = corner(2);
  for i = 1:size (key, 1)
    style = key{i, 1};
    if isempty (style)
      % text only
    elseif any (strcmp (style{1}, {'-', ':', '--'}))
      plot (x + [0 0.14], [y y], style{:});
    else
      plot (x + 0.07, y, style{:});
    end
    lines = key{i, 2};
    for j = 1:numel (lines)
      text (x + 0.2, y, lines{j}, 'interpreter', 'none');
      y = y - step;
    end
    y = y - 0.6 * step;
  end
end
