% Times Pirolet against Octave's convhull plus perimeter / pi on the same
% point sets, in one session, and prints the ratio. Run from the repository:
%   octave-cli --norc --no-history --path build/octave bench/pirolet_vs_convhull.m
% Each figure is the median of up to 15 runs (one for slow cases); the
% machine's load shows in them, so compare ratios from one run rather than
% absolute times. convhull is slow on points on a circle (all of them are
% hull vertices): a layout whose convhull took over 10 s is not timed again
% at the next size.

layouts = {'disc', 'circle', 'shuffled circle'};
printf ('%-16s %9s %12s %12s %9s %10s\n', 'layout', 'points', ...
        'Pirolet ms', 'convhull ms', 'ratio', 'rel. diff');
too_slow = false (1, 3);
for n = [1e3 1e4 1e5 1e6]
  for layout = 1:3
    rand ('seed', 1);
    if layout == 1
      r = sqrt (rand (1, n));
      a = 2 * pi * rand (1, n);
    else
      r = ones (1, n);
      a = 2 * pi * (0:n-1) / n;
      if layout == 3
        a = a(randperm (n));
      end
    end
    poly = [r .* cos(a); r .* sin(a)];
    tp = [];
    tc = [];
    for k = 1:15
      t0 = tic;
      d = Pirolet (poly);
      tp(end+1) = toc (t0);
      if ~too_slow(layout)
        t0 = tic;
        h = convhull (poly(1, :)', poly(2, :)');
        q = poly(:, h);
        c = sum (sqrt (sum (diff (q, 1, 2) .^ 2, 1))) / pi;
        tc(end+1) = toc (t0);
      end
      if sum (tp) + sum (tc) > 2
        break;
      end
    end
    if isempty (tc)
      printf ('%-16s %9d %12.3f %12s %9s %10s\n', layouts{layout}, n, ...
              1e3 * median (tp), 'skipped', '', '');
    else
      printf ('%-16s %9d %12.3f %12.3f %9.4f %10.1e\n', layouts{layout}, n, ...
              1e3 * median (tp), 1e3 * median (tc), ...
              median (tp) / median (tc), abs (d - c) / c);
      too_slow(layout) = median (tc) > 10;
    end
    fflush (stdout);
  end
end
