function draw_edges (g, file, views, nearPts, farPts, viewNums, stone, label)
  % Left, the rig: the cameras with their frusta around the edges; right,
  % a close-up of the edges, coloured by view. LABEL names the set in the
  % left panel's title (default 'Set A').
  if nargin < 8
    label = 'Set A';
  end
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
      title (sprintf ('%s: %d cameras, one colour each', label, numViews));
    else
      title (sprintf ('Kestrim: %d viewing edges', size (nearPts, 2)));
    end
  end
  save_figure (g, f, file, 1400, 700);
end
