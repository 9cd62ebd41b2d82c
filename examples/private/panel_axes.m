function panel_axes (rows, cols, k)
  % Axes for panel k of a rows x cols grid, filled row by row, with less
  % room between the panels than subplot leaves.
  r = ceil (k / cols);
  c = k - (r - 1) * cols;
  axes ('position', [(c - 1) / cols + 0.2 / cols, 1 - r / rows + 0.18 / rows, ...
                     0.76 / cols, 0.68 / rows]);
end
