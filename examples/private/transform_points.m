function Y = transform_points (p, X)
  % X_A = R * X_B + t for the pose p = [qx qy qz qw tx ty tz].
  q = p(1:4) / norm (p(1:4));
  v = q(1:3);
  w = q(4);
  K = [0 -v(3) v(2); v(3) 0 -v(1); -v(2) v(1) 0];
  R = (w ^ 2 - v' * v) * eye (3) + 2 * (v * v') + 2 * w * K;
  Y = R * X + p(5:7) * ones (1, size (X, 2));
end
