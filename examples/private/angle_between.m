function deg = angle_between (p, q)
  % The angle (degrees) of the rotation from pose q to pose p: that of the
  % quaternion conj(q) * p, whatever the lengths and signs of both.
  r = qmul ([-q(1:3); q(4)], p(1:4));
  deg = 2 * atan2 (norm (r(1:3)), abs (r(4))) * 180 / pi;
end
