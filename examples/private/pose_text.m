function text = pose_text (p)
  % A pose [qx qy qz qw tx ty tz] on one line.
  text = sprintf ('%.6f %.6f %.6f %.6f | %.4f %.4f %.4f', p);
end
