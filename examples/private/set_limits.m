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
