function [viewsA, viewsB, pose, points] = make_views (folder)
  % MAKE_VIEWS  Writes the example silhouette sets of the stone.
  %
  %   make_views ()         writes the four files below into examples/
  %   make_views (folder)   writes them into FOLDER instead
  %   [viewsA, viewsB, pose, points] = make_views (...)  also returns them
  %
  %   The object is a stone about 5 centimetres long: the convex
  %   polyhedron spanned by 360 points of a smooth, irregular surface (an
  %   ellipsoid of semi-axes 26, 19 and 14 millimetres with a few low
  %   harmonics and a fine roughness). It was photographed in two
  %   sessions, each calibrated in its own world frame: set A, 7 views, and
  %   set B, 6 views, taken after the stone had been moved. The two frames are related by X_A = R * X_B + t, a turn of 20
  %   degrees about a tilted axis and a shift of about 3.5 centimetres.
  %
  %   Cameras stand 215 to 255 mm from the stone on two rings (elevations
  %   25/40 degrees in A, 30/45 in B), except B's fourth camera, which
  %   stands back at 560 mm (so that it lies behind the image planes of
  %   cameras beside it, as when two sessions place their cameras
  %   differently), look at it with a slight roll, and
  %   have focal lengths of 1440 to 1560 pixels and 1280 x 960 images,
  %   without distortion (kappa1 = 0). Each boundary is the exact outline
  %   of the polyhedron in that view, the convex hull of its projected
  %   vertices, traced like a digitised contour: the hull vertices, and
  %   points about every 3 pixels in between set 0.01 pixel inside the hull
  %   edge (below any measurement precision), so that the hull of the
  %   outline is exactly the projected vertex hull.
  %
  %   Files, all plain text with '%' comment lines:
  %     stone_views_A.txt, stone_views_B.txt   the two sets (read them with
  %         load_view_set, which describes the layout)
  %     stone_pose_B_to_A.txt   the transform as seven numbers
  %         qx qy qz qw tx ty tz (the layout Dovanel uses), load() reads it
  %     stone_points.txt   the 360 surface points in A's frame, x y z per
  %         line in millimetres, load() reads it
  %
  %   Everything is computed from fixed numbers (the roughness comes from a
  %   linear congruential sequence), and the outlines are put in a fixed
  %   order, so GNU Octave and MATLAB should write the same sets. The values are rounded as written (1e-6 mm, 1e-6 pixel,
  %   12 decimals for rotations) and the outlines are computed from the
  %   rounded points and poses, so the files agree with each other to
  %   within that rounding.

  if nargin < 1
    folder = fileparts (mfilename ('fullpath'));
  end

  % --- The stone in A's world frame.
  n = 360;
  k = (0:n-1) + 0.5;
  phi = acos (1 - 2 * k / n);               % a Fibonacci spiral of directions
  theta = pi * (1 + sqrt (5)) * k;
  d = [sin(phi) .* cos(theta); sin(phi) .* sin(theta); cos(phi)];
  state = 2024;
  noise = zeros (1, n);
  for j = 1:n
    state = mod (1103515245 * state + 12345, 2^31);
    noise(j) = 2 * state / 2^31 - 1;
  end
  r = 1 + 0.10 * d(1,:) .* d(2,:) + 0.07 * d(3,:) .^ 3 ...
      + 0.05 * sin (3 * theta + 0.4) .* sin (phi) ...
      + 0.03 * cos (2 * phi) + 0.008 * noise;
  shape = diag ([26 19 14]) * (d .* [r; r; r]);
  centre = [4; -6; 15];
  points = round_to (axis_rotation ([0.2; 0.1; 1], 30) * shape ...
                     + centre * ones (1, n), 1e-6);

  % --- The transform between the frames: X_A = R * X_B + t.
  turn_axis = [0.3; -0.5; 0.8];
  turn_axis = turn_axis / norm (turn_axis);
  angle = 20;
  R = axis_rotation (turn_axis, angle);
  t = [28; -17; 12];
  pose = [sin(angle * pi / 360) * turn_axis; cos(angle * pi / 360); t];
  points_B = R' * (points - t * ones (1, n));  % the stone in B's frame

  % --- Cameras and outlines.
  viewsA = struct ('camera', {}, 'boundary', {});
  for j = 0:6
    cam = ring_camera (centre, 10 + j * 360 / 7, 25 + 15 * mod (j, 2), ...
                       240 + 15 * cos (2.1 * j), j);
    viewsA(j+1).camera = cam;
    viewsA(j+1).boundary = outline (cam, points);
  end
  centre_B = R' * (centre - t);
  viewsB = struct ('camera', {}, 'boundary', {});
  distance_B = 235 + 20 * sin (1.3 * (0:5));
  distance_B(4) = 560;                         % one camera stands back
  for j = 0:5
    cam = ring_camera (centre_B, 35 + j * 60, 30 + 15 * mod (j, 2), ...
                       distance_B(j+1), j + 7);
    viewsB(j+1).camera = cam;
    viewsB(j+1).boundary = outline (cam, points_B);
  end

  write_views (fullfile (folder, 'stone_views_A.txt'), viewsA, ...
               'Silhouette set A of the example stone (world frame A)');
  write_views (fullfile (folder, 'stone_views_B.txt'), viewsB, ...
               'Silhouette set B of the example stone (world frame B)');

  fid = open_file (fullfile (folder, 'stone_pose_B_to_A.txt'));
  fprintf (fid, '%% Transform from world frame B to world frame A of the example stone,\n');
  fprintf (fid, '%% X_A = R * X_B + t: qx qy qz qw tx ty tz (quaternion of R, then t in mm).\n');
  fprintf (fid, '%% %g degrees about the axis (%.6f, %.6f, %.6f). Written by examples/make_views.m.\n', ...
           angle, turn_axis);
  fprintf (fid, '%.15f %.15f %.15f %.15f %.9f %.9f %.9f\n', pose);
  fclose (fid);

  fid = open_file (fullfile (folder, 'stone_points.txt'));
  fprintf (fid, '%% The %d surface points of the example stone in world frame A, x y z in mm.\n', n);
  fprintf (fid, '%% The stone is their convex hull. Written by examples/make_views.m.\n');
  fprintf (fid, '%.6f %.6f %.6f\n', points);
  fclose (fid);
end

function cam = ring_camera (target, azimuth, elevation, distance, j)
  % A camera DISTANCE mm from TARGET at the given azimuth and elevation
  % (degrees), aimed a little beside it, rolled a little; j varies the rest.
  a = azimuth * pi / 180;
  e = elevation * pi / 180;
  c = target + distance * [cos(e) * cos(a); cos(e) * sin(a); sin(e)];
  aim = target + [1.5 * sin(j); -cos(j); 0.8 * sin(2 * j)];
  z = (aim - c) / norm (aim - c);                  % forward
  x = cross (z, [0; 0; 1]);
  x = x / norm (x);                                % right
  y = cross (z, x);                                % down
  roll = 2.5 * sin (1.7 * j) * pi / 180;
  Rc = [cos(roll) sin(roll) 0; -sin(roll) cos(roll) 0; 0 0 1] * [x'; y'; z'];
  Rc = round_to (Rc, 1e-12);
  tc = round_to (-Rc * c, 1e-9);
  cam = struct ('efl', round_to (1500 + 60 * sin (1.3 * j), 0.1), ...
                'u0', round_to (640 + 4 * sin (j + 0.5), 0.01), ...
                'v0', round_to (480 + 3 * cos (j), 0.01), ...
                'kappa1', 0, ...
                'pose', [Rc tc; 0 0 0 1]);
end

function b = outline (cam, X)
  % The outline of the convex hull of X in the camera's image (2 x N).
  P = cam.pose(1:3, :) * [X; ones(1, size (X, 2))];
  uv = [cam.u0 + cam.efl * P(1,:) ./ P(3,:); cam.v0 + cam.efl * P(2,:) ./ P(3,:)];
  if any (P(3,:) <= 0) || any (uv(1,:) < 0 | uv(1,:) > 1280 | uv(2,:) < 0 | uv(2,:) > 960)
    error ('make_views: the stone is not inside the 1280 x 960 image');
  end
  idx = convhull (uv(1,:)', uv(2,:)');
  hull = uv(:, idx(1:end-1)');
  m = size (hull, 2);
  % The same order in every host: counter-clockwise for u right and v up,
  % starting at the vertex of smallest u.
  area = sum (hull(1,:) .* hull(2,[2:m 1]) - hull(1,[2:m 1]) .* hull(2,:));
  if area < 0
    hull = hull(:, m:-1:1);
  end
  [~, first] = min (hull(1,:));
  hull = hull(:, [first:m 1:first-1]);
  b = zeros (2, 0);
  for j = 1:m
    p = hull(:, j);
    q = hull(:, mod (j, m) + 1);
    len = norm (q - p);
    inward = [-(q(2) - p(2)); q(1) - p(1)] / len;   % interior on the left
    steps = max (1, round (len / 3));
    f = (1:steps-1) / steps;
    b = [b, p, p * (1 - f) + q * f + 0.01 * inward * ones(1, steps - 1)]; %#ok<AGROW>
  end
  b = round_to (b, 1e-6);
end

function write_views (file, views, title)
  fid = open_file (file);
  fprintf (fid, '%% %s. Written by examples/make_views.m;\n', title);
  fprintf (fid, '%% read with examples/load_view_set.m. Millimetres and pixels.\n');
  fprintf (fid, '%% Layout: the number of views; then per view: efl u0 v0 kappa1, the\n');
  fprintf (fid, '%% 4 x 4 world-to-camera pose [R t; 0 0 0 1] row by row, the number N of\n');
  fprintf (fid, '%% boundary points, and N lines u v (pixels).\n');
  fprintf (fid, '%d\n', numel (views));
  for j = 1:numel (views)
    cam = views(j).camera;
    b = views(j).boundary;
    fprintf (fid, '%% view %d\n', j);
    fprintf (fid, '%.3f %.3f %.3f %g\n', cam.efl, cam.u0, cam.v0, cam.kappa1);
    fprintf (fid, '%.12f %.12f %.12f %.9f\n', cam.pose(1:3, :)');
    fprintf (fid, '0 0 0 1\n');
    fprintf (fid, '%d\n', size (b, 2));
    fprintf (fid, '%.6f %.6f\n', b);
  end
  fclose (fid);
end

function fid = open_file (file)
  fid = fopen (file, 'w');
  if fid < 0
    error ('make_views: cannot write %s', file);
  end
end

function R = axis_rotation (u, degrees)
  % Rotation by DEGREES about the axis u (right-handed).
  u = u / norm (u);
  a = degrees * pi / 180;
  K = [0 -u(3) u(2); u(3) 0 -u(1); -u(2) u(1) 0];
  R = eye (3) + sin (a) * K + (1 - cos (a)) * (K * K);
end

function y = round_to (x, step)
  y = round (x / step) * step;
end
