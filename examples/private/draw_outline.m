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
