function viewVec = load_view_set (file)
  % LOAD_VIEW_SET  Reads a silhouette set written by make_views.m.
  %
  %   viewVec = load_view_set (file)
  %
  %   Returns the struct array that Kestrim and Dovanel take, one element
  %   per view, with the fields
  %     camera    struct with efl, u0, v0, kappa1 and pose (4 x 4,
  %               world to camera, [R t; 0 0 0 1])
  %     boundary  2 x N silhouette outline, column i = (u; v) in pixels
  %
  %   The file is plain text. Everything from a '%' to the end of its line
  %   is a comment; the rest is a sequence of numbers, separated by blanks
  %   or line ends:
  %     V                          the number of views, then for each view:
  %     efl u0 v0 kappa1           the camera's internal parameters
  %     16 numbers                 the pose, row by row (4 lines of 4)
  %     N                          the number of boundary points
  %     2 N numbers                the points, u v for each (N lines)

  text = fileread (file);
  text = regexprep (text, '%[^\n]*', '');
  v = sscanf (text, '%f');
  pos = 1;
  [num_views, pos] = take (v, pos, 1, file);
  viewVec = struct ('camera', {}, 'boundary', {});
  for k = 1:num_views
    [c, pos] = take (v, pos, 4, file);
    [p, pos] = take (v, pos, 16, file);
    [n, pos] = take (v, pos, 1, file);
    [b, pos] = take (v, pos, 2 * n, file);
    viewVec(k).camera = struct ('efl', c(1), 'u0', c(2), 'v0', c(3), ...
                                'kappa1', c(4), 'pose', reshape (p, 4, 4)');
    viewVec(k).boundary = reshape (b, 2, n);
  end
  if pos <= numel (v)
    error ('load_view_set: %s has %d numbers after its last view', ...
           file, numel (v) - pos + 1);
  end
end

function [x, pos] = take (v, pos, count, file)
  % The next COUNT numbers of v, from position pos on.
  if pos + count - 1 > numel (v)
    error ('load_view_set: %s ends early (need %d more numbers after number %d)', ...
           file, count, pos - 1);
  end
  x = v(pos:pos+count-1);
  pos = pos + count;
end
