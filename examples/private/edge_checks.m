function c = edge_checks (views, nearPts, farPts, viewNums, stone)
  % Cross-checks of Kestrim's edges against the silhouettes and the object.
  % Each silhouette's hull is taken as the view set reader takes it
  % (Pirolet uses the same hull, tolerance 0.001 pixel). c has the fields
  %   hulls, numHull, numBoundary, perView   the hulls, their vertex count,
  %                 the boundary sizes and the edges of each view
  %   inside        per end point: in front of, and inside or on (margin
  %                 > -1e-3 pixel), every other view's hull
  %   worstMargin   the smallest margin, pixels (> 0 inside)
  %   toStone       per edge, its distance to the nearest object point
  %   length        per edge, its length
  %   ok            whether the checks pass: at most one edge per hull
  %                 vertex and at least half as many, edges from every view
  %                 in view order, every end inside, every edge within
  %                 0.01 of the points
  numViews = numel (views);
  numEdges = size (nearPts, 2);
  c.hulls = cell (1, numViews);
  c.numHull = 0;
  c.numBoundary = zeros (1, numViews);
  c.perView = zeros (1, numViews);
  for k = 1:numViews
    [~, c.hulls{k}] = Pirolet (views(k).boundary);
    c.numHull = c.numHull + size (c.hulls{k}, 2);
    c.numBoundary(k) = size (views(k).boundary, 2);
    c.perView(k) = sum (viewNums == k);
  end
  ends = [nearPts, farPts];
  owner = [viewNums, viewNums];
  c.inside = true (1, 2 * numEdges);
  c.worstMargin = inf;
  for k = 1:numViews
    cam = views(k).camera;
    others = owner ~= k;
    P = cam.pose(1:3, :) * [ends(:, others); ones(1, sum (others))];
    uv = [cam.u0 + cam.efl * P(1,:) ./ P(3,:); cam.v0 + cam.efl * P(2,:) ./ P(3,:)];
    h = c.hulls{k};                               % counter-clockwise
    m = size (h, 2);
    margin = inf (1, size (uv, 2));               % > 0 inside, pixels
    for j = 1:m
      e = h(:, mod (j, m) + 1) - h(:, j);
      margin = min (margin, (e(1) * (uv(2,:) - h(2,j)) - e(2) * (uv(1,:) - h(1,j))) / norm (e));
    end
    c.inside(others) = c.inside(others) & margin > -1e-3 & P(3,:) > 0;
    c.worstMargin = min ([c.worstMargin, margin]);
  end
  c.length = sqrt (sum ((farPts - nearPts) .^ 2, 1));
  c.toStone = zeros (1, numEdges);
  if ~isempty (stone)
    for i = 1:numEdges
      d = farPts(:, i) - nearPts(:, i);
      s = (d' * (stone - nearPts(:, i) * ones (1, size (stone, 2)))) / max (d' * d, realmin);
      closest = nearPts(:, i) * ones (1, numel (s)) + d * min (1, max (0, s));
      c.toStone(i) = sqrt (min (sum ((stone - closest) .^ 2, 1)));
    end
  end
  c.ok = ~(numEdges < c.numHull / 2 || numEdges > c.numHull || any (c.perView == 0) ...
           || sum (c.perView) ~= numEdges || any (diff (viewNums) < 0) ...
           || ~all (c.inside) || ~(max ([c.toStone, 0]) < 0.01));
end
