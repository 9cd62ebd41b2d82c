function poly = make_outline (file)
  % MAKE_OUTLINE  Writes the example stone outline, stone_outline.txt.
  %
  %   poly = make_outline ()       writes examples/stone_outline.txt
  %   poly = make_outline (file)   writes FILE instead
  %
  %   The outline is an irregular, slightly concave closed curve of 400
  %   vertices, about 50 x 36 millimetres, like the silhouette of a pebble
  %   traced from a photograph: a few low harmonics for the shape, one dent
  %   and a fine roughness. It is fully deterministic (the roughness comes
  %   from a fixed linear congruential sequence), so the file is the same in
  %   GNU Octave and MATLAB. poly is 2 x 400, column k = vertex k (x; y);
  %   the file holds one vertex per line, "x y", in millimetres.

  if nargin < 1
    file = fullfile (fileparts (mfilename ('fullpath')), 'stone_outline.txt');
  end

  n = 400;
  t = 2 * pi * (0:n-1) / n;

  % Fine roughness in [-1, 1], smoothed over three neighbours.
  state = 12345;
  noise = zeros (1, n);
  for k = 1:n
    state = mod (1103515245 * state + 12345, 2^31);
    noise(k) = 2 * state / 2^31 - 1;
  end
  noise = (noise + noise([2:n 1]) + noise([n 1:n-1])) / 3;

  r = 20 * (1 + 0.10 * cos (2 * t) + 0.06 * sin (3 * t + 0.7) ...
            + 0.05 * cos (4 * t + 2.1) + 0.03 * sin (7 * t + 0.3));
  r = r - 3.5 * exp (-((t - 2.2) / 0.25) .^ 2);  % a dent on one side
  r = r + 0.15 * noise;

  shape = [1.25 * r .* cos(t); r .* sin(t)];
  angle = 20 * pi / 180;
  rot = [cos(angle) -sin(angle); sin(angle) cos(angle)];
  poly = rot * shape + [60; 45] * ones (1, n);

  fid = fopen (file, 'w');
  if fid < 0
    error ('make_outline: cannot write %s', file);
  end
  fprintf (fid, '%% Example stone outline: %d vertices, one per line, x y in millimetres.\n', n);
  fprintf (fid, '%% Written by examples/make_outline.m; read with load().\n');
  fprintf (fid, '%.4f %.4f\n', poly);
  fclose (fid);
end
