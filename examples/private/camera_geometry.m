function [C, frustum] = camera_geometry (cam, depth)
  % The camera's centre in its world frame, and its frustum cut at DEPTH
  % as one polyline (3 x 15, NaN between the pieces), for an image of
  % 2 u0 x 2 v0 pixels.
  R = cam.pose(1:3, 1:3);
  C = -R' * cam.pose(1:3, 4);
  u = [0 2 2 0] * cam.u0;
  v = [0 0 2 2] * cam.v0;
  corners = R' * ([(u - cam.u0) / cam.efl; (v - cam.v0) / cam.efl; ones(1, 4)] * depth) ...
            + C * ones (1, 4);
  gap = nan (3, 1);
  frustum = [C corners(:, 1) gap C corners(:, 2) gap C corners(:, 3) gap ...
             C corners(:, 4) gap corners corners(:, 1)];
end
