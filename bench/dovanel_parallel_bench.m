% Times one Dovanel call over n starts against dovanel_parallel, which
% splits the same starts across one worker per core, on the example sets,
% and prints the speed-up. Run from the repository:
%   octave-cli --norc --no-history --path build/octave --path examples \
%     bench/dovanel_parallel_bench.m
% Each figure is the median of three runs; the machine's load shows in
% them. The parallel times include starting and removing the workers.

pkg load parallel
A = load_view_set ('examples/stone_views_A.txt');
B = load_view_set ('examples/stone_views_B.txt');
truth = load ('examples/stone_pose_B_to_A.txt').';
settings = [100; 1e-10];
workers = nproc ();

% Start k: the known rotation turned by 3 degrees about an axis that
% walks around the sphere, the translation shifted by 3 percent.
starts_for = @(n) cell2mat (arrayfun (@(k) ...
  start_near (truth, 3, 0.03, [cos(2.4 * k) * sin(1.1 * k); ...
                               sin(2.4 * k) * sin(1.1 * k); cos(1.1 * k)]), ...
  1:n, 'UniformOutput', false));

function s = start_near (truth, degrees, shift, axis)
  axis = axis / norm (axis);
  h = degrees * pi / 360;
  d = [sin(h) * axis; cos(h)];
  q = truth(1:4);
  turned = [d(4) * q(1:3) + q(4) * d(1:3) + cross(d(1:3), q(1:3)); ...
            d(4) * q(4) - d(1:3)' * q(1:3)];
  s = [turned; truth(5:7) * (1 + shift)];
end

Dovanel (A, B, starts_for (1), settings);   % load the module
printf ('%d workers (one per core)\n', workers);
printf ('%7s %14s %14s %9s %7s\n', 'starts', 'one call ms', 'parallel ms', ...
        'speed-up', 'equal');
for n = [8 32 128 512]
  starts = starts_for (n);
  one = zeros (1, 3);
  par = zeros (1, 3);
  for r = 1:3
    t = tic;
    [rms1, pose1, res1] = Dovanel (A, B, starts, settings);
    one(r) = toc (t);
    t = tic;
    [rms2, pose2, res2] = dovanel_parallel (A, B, starts, settings, workers);
    par(r) = toc (t);
  end
  same = isequaln ({rms1, pose1, res1}, {rms2, pose2, res2});
  printf ('%7d %14.1f %14.1f %9.2f %7s\n', n, 1000 * median (one), ...
          1000 * median (par), median (one) / median (par), mat2str (same));
end
