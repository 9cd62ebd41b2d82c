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
  %   view's hull, in front of its camera; at most one edge per hull vertex
  %   and at least half as many; edges from every view, in view order),
  %   for set A and for the union of A and B once Dovanel has placed B's
  %   cameras into A's frame; Dovanel's best RMS
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
  %     kestrim_union.png     Kestrim's viewing edges of sets A and B
  %                           together, B placed into A's frame by the
  %                           recovered pose
  %   MATLAB, and GNU Octave with its qt or fltk toolkit and a window
  %   system, draw them with the current toolkit (print -dpng); elsewhere,
  %   as in octave-cli, Octave draws these figures alone with the gnuplot
  %   toolkit (print -dpngcairo, no display needed).
  %
  %   The shipped data are written by make_outline.m and make_views.m,
  %   which use no random numbers: each run writes the same files.
  %
  %   The helpers for the summary and the figures are in examples/private/,
  %   one function per file.
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

  % Cross-checks (edge_checks). A convex object gives at most one edge per
  % hull vertex; each edge's end points project into, or onto, every other
  % view's hull (a margin of -1e-9 pixel is rounding); and every edge
  % touches the object: for the shipped stone it passes through the point
  % that projects to its hull vertex. Rays through frontier points (a point
  % on the outline of two views) only graze the other silhouette: they
  % give edges of about zero length, or by rounding none.
  numViews = numel (viewsA);
  numEdges = size (nearPts, 2);
  checkA = edge_checks (viewsA, nearPts, farPts, viewNums, stone);
  hulls = checkA.hulls;
  numHull = checkA.numHull;
  numBoundary = checkA.numBoundary;
  perView = checkA.perView;
  inside = checkA.inside;
  worstMargin = checkA.worstMargin;
  edgeLength = checkA.length;
  toStone = checkA.toStone;

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
  if ~checkA.ok
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

  %% ---- Kestrim on the union: set B placed into A's frame
  % The usual workflow: with the recovered pose, B's cameras join A's, and
  % Kestrim runs on all the views at once. The cameras of the two sessions
  % stand at different distances (one of B's stands back at more than twice
  % the others'), so some camera centres lie behind other cameras' image
  % planes.
  union = [viewsA, place_views(viewsB, [q; pose(5:7)])];
  t = tic;
  [unionNear, unionFar, unionNums] = Kestrim (union);
  unionTime = toc (t);
  checkU = edge_checks (union, unionNear, unionFar, unionNums, stone);
  behind = 0;
  centres = zeros (3, numel (union));
  for k = 1:numel (union)
    centres(:, k) = camera_geometry (union(k).camera, 1);
  end
  for k = 1:numel (union)
    P = union(k).camera.pose(1:3, :) * [centres; ones(1, numel (union))];
    behind = behind + sum (P(3, [1:k-1, k+1:end]) < 0);
  end
  distances = sqrt (sum ((centres - mean (stone, 2) * ones (1, numel (union))) .^ 2, 1));
  if isempty (stone)
    distances = sqrt (sum (centres .^ 2, 1));
  end
  fprintf ('\n== Kestrim on the union: set B placed into A''s frame by the recovered pose\n');
  fprintf ('views              %d (%d of A, %d of B); cameras %.0f to %.0f mm away\n', ...
           numel (union), numel (viewsA), numel (viewsB), min (distances), max (distances));
  fprintf ('behind             %d (camera, other camera) pairs with the centre behind the image plane\n', behind);
  fprintf ('edges              %d of %d hull vertices; per view%s\n', size (unionNear, 2), ...
           checkU.numHull, sprintf (' %d', checkU.perView));
  fprintf ('end points inside  %d of %d in every other view''s hull (worst margin %.1e px)\n', ...
           sum (checkU.inside), 2 * size (unionNear, 2), checkU.worstMargin);
  if ~isempty (stone)
    fprintf ('distance to points %.1e mm at most\n', max ([checkU.toStone, 0]));
  end
  fprintf ('time               %s (Kestrim call)\n', ms (unionTime));
  if ~checkU.ok
    error ('demo: Kestrim''s viewing edges of the union fail their cross-checks');
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
                 fullfile(outdir, 'dovanel_pose.png'), ...
                 fullfile(outdir, 'kestrim_union.png')};
      what = {'Pirolet: the outline, its hull and the mean caliper diameter', ...
              'set A: the silhouettes and their convex hulls', ...
              'Kestrim: the viewing edges of set A with its cameras', ...
              'Dovanel: set B''s cameras placed into A''s frame', ...
              'Kestrim: the viewing edges of A and B together, in A''s frame'};
      t = tic;
      draw_outline (g, figures{1}, poly, hullPts, meanDiam, shown (opts.outline));
      draw_silhouettes (g, figures{2}, viewsA, hulls, shown (opts.viewsA));
      draw_edges (g, figures{3}, viewsA, nearPts, farPts, viewNums, stone);
      draw_placement (g, figures{4}, viewsA, viewsB, [q; pose(5:7)], truth, stone, ...
                      [nearPts, farPts]);
      draw_edges (g, figures{5}, union, unionNear, unionFar, unionNums, stone, 'Sets A and B');
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
                      'unionEdges', size (unionNear, 2), 'unionTime', unionTime, ...
                      'figures', {figures});
  end
end
