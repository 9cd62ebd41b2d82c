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
