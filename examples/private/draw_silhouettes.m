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
