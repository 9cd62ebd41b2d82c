function r = qmul (p, q)
  % The quaternion product p * q, [x y z w] with the scalar last.
  r = [p(4) * q(1:3) + q(4) * p(1:3) + cross(p(1:3), q(1:3)); ...
       p(4) * q(4) - p(1:3)' * q(1:3)];
end
