function placed = place_views (views, pose)
  % Views of set B with their cameras placed into A's frame by the pose
  % p = [qx qy qz qw tx ty tz] (X_A = R * X_B + t): each camera's pose
  % becomes pose_B * [R' -R'*t; 0 0 0 1]; the boundaries stay as they are.
  R = transform_points ([pose(1:4); 0; 0; 0], eye (3));
  t = pose(5:7);
  B_from_A = [R', -R' * t; 0 0 0 1];
  placed = views;
  for k = 1:numel (views)
    placed(k).camera.pose = views(k).camera.pose * B_from_A;
  end
end
