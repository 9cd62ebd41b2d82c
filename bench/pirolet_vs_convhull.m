% Times Pirolet against Octave's convhull plus perimeter / pi on the same
% point sets, in one session, and prints the speed-up (convhull's time over
% Pirolet's). Run from the repository:
%   octave-cli --norc --no-history --path build/octave bench/pirolet_vs_convhull.m
% Each figure is the median of up to 15 runs, or up to 2000 for sets of
% 10^4 points or fewer, within about 2 s per row (one run for slow cases);
% the machine's load shows in them, so compare ratios from one run rather
% than absolute times; the load average is printed before and after.
% convhull is slow on points on a circle (all of them are hull vertices):
% a layout whose convhull took over 10 s is not timed again at the next
% size.
%
% A module named PiroletBaseline on the path (an earlier build of Pirolet,
% renamed) is timed too, with its own column, and its result compared bit
% for bit:
%   octave-cli --norc --no-history --path build/octave \
%     --path /folder/with/PiroletBaseline bench/pirolet_vs_convhull.m
%
% Layouts: random points in a disc; points on a circle in boundary order and
% shuffled; and a traced outline: the pixel chain of a wavy blob in boundary
% order (integer coordinates, consecutive pixels 8-connected, many
% collinear runs and dents), as a silhouette tracer returns it. Its point
% count is the nearest the chain comes to the size asked for.

% The pixel chain of a wavy blob of about n points, in boundary order.
function poly = traced_outline (n)
  radius = n / 5.3;
  for pass = 1:3
    a = 2 * pi * (0:8*n-1) / (8 * n);
    r = radius * (1 + 0.1 * sin (7 * a) + 0.03 * cos (23 * a));
    p = round ([r .* cos(a); 0.7 * r .* sin(a)]);
    keep = any (p ~= p(:, [end 1:end-1]), 1);
    poly = p(:, keep);
    radius = radius * n / columns (poly);
  end
end

% The machine's load average (1, 5 and 15 minutes) where the system
% publishes it, before and after the runs.
function print_load (when)
  if exist ('/proc/loadavg', 'file')
    load = fileread ('/proc/loadavg');
    printf ('load average %s: %s\n', when, strjoin (strsplit (strtrim (load))(1:3), ' '));
  end
end

layouts = {'disc', 'circle', 'shuffled circle', 'traced outline'};
have_baseline = exist ('PiroletBaseline') == 3;
print_load ('before');
printf ('%-16s %9s %12s %12s %9s %10s', 'layout', 'points', ...
        'Pirolet ms', 'convhull ms', 'speed-up', 'rel. diff');
if have_baseline
  printf (' %12s %9s %5s', 'baseline ms', 'speed-up', 'same');
end
printf ('\n');
too_slow = false (1, 4);
for n = [2e3 1e3 1e4 1e5 1e6]
  for layout = 1:4
    if n == 2e3 && layout ~= 4
      continue;
    end
    rand ('seed', 1);
    if layout == 4
      poly = traced_outline (n);
    elseif layout == 1
      r = sqrt (rand (1, n));
      a = 2 * pi * rand (1, n);
      poly = [r .* cos(a); r .* sin(a)];
    else
      r = ones (1, n);
      a = 2 * pi * (0:n-1) / n;
      if layout == 3
        a = a(randperm (n));
      end
      poly = [r .* cos(a); r .* sin(a)];
    end
    runs = 15;
    if columns (poly) <= 1e4
      runs = 2000;
    end
    tp = [];
    tc = [];
    tb = [];
    for k = 1:runs
      t0 = tic;
      d = Pirolet (poly);
      tp(end+1) = toc (t0);
      if have_baseline
        t0 = tic;
        db = PiroletBaseline (poly);
        tb(end+1) = toc (t0);
      end
      if ~too_slow(layout)
        t0 = tic;
        h = convhull (poly(1, :)', poly(2, :)');
        q = poly(:, h);
        c = sum (sqrt (sum (diff (q, 1, 2) .^ 2, 1))) / pi;
        tc(end+1) = toc (t0);
      end
      if sum (tp) + sum (tc) + sum (tb) > 2
        break;
      end
    end
    if isempty (tc)
      printf ('%-16s %9d %12.4f %12s %9s %10s', layouts{layout}, ...
              columns (poly), 1e3 * median (tp), 'skipped', '', '');
    else
      printf ('%-16s %9d %12.4f %12.4f %9.2f %10.1e', layouts{layout}, ...
              columns (poly), 1e3 * median (tp), 1e3 * median (tc), ...
              median (tc) / median (tp), abs (d - c) / c);
      too_slow(layout) = median (tc) > 10;
    end
    if have_baseline
      same = {'no', 'yes'}{1 + (d == db)};
      printf (' %12.4f %9.2f %5s', 1e3 * median (tb), ...
              median (tb) / median (tp), same);
    end
    printf ('\n');
    fflush (stdout);
  end
end
print_load ('after');
