% KESTRIM  Viewing edges of a set of calibrated silhouettes.
%
%   [nearPts, farPts, viewNums] = Kestrim(viewVec)
%   [nearPts, farPts] = Kestrim(viewVec)
%   nearPts = Kestrim(viewVec)
%
%   For every convex-hull vertex of every silhouette, Kestrim takes the
%   viewing ray from that view's camera centre through the vertex and keeps
%   the points of it (from the camera centre on) that lie strictly in front
%   of every other camera and whose image lies inside, or on, the convex
%   hull of that camera's silhouette. Each surviving stretch is one viewing
%   edge: for a convex object seen by exact silhouettes every viewing edge
%   touches the object. Cameras may stand at any distance from the object
%   and from each other.
%
%   Changed from the previous release: where a camera centre lies behind
%   another camera's image plane (cameras at clearly different distances,
%   as when a set placed by Dovanel joins another), the previous release
%   returned wrong or missing edges without an error. Where every camera
%   centre lies in front of every other camera the edges of positive
%   length are unchanged (same edges, same order, end points within 1e-9
%   of the scene's size); edges of length 0 at frontier points (below)
%   come and go with rounding, as before.
%
%   Input:
%     viewVec   struct array, one element per view (views are numbered by
%               linear index), with the fields
%       camera    a struct with the fields below (only element 1 of a
%                 camera struct array is read, and the first number of each
%                 field):
%                   efl     focal length, in pixels
%                   u0, v0  principal point, in pixels
%                   kappa1  radial distortion coefficient; cameras must
%                           have kappa1 = 0 (a set of two or more views
%                           with any other value fails, see Errors)
%                   pose    4 x 4 world-to-camera transform [R t; 0 0 0 1]
%                           (its first 16 numbers, column by column):
%                           camera coordinates = pose * [X; Y; Z; 1]; the
%                           image of camera point (x, y, z) is
%                           (u0 + efl x/z, v0 + efl y/z). R is a rotation,
%                           t in world units; the camera centre is -R' * t.
%       boundary  2 x N real double matrix, N >= 1: the silhouette outline
%                 in image pixels, column i = (u; v) of vertex i. Any order;
%                 only its convex hull (tolerance 0.001 pixel) is used.
%   The camera model, with a worked example, is described in
%   docs/camera_model.md of the source tree.
%
%   Outputs, one column per viewing edge E:
%     nearPts   3 x E: world point of each edge's end nearer to its camera,
%               in world units (those of the poses' t)
%     farPts    3 x E: world point of its end farther from the camera
%     viewNums  1 x E: the one-based number of the view (element of viewVec)
%               whose ray the edge lies on
%   Edges come in view order, within a view in the order of the hull
%   vertices (counter-clockwise); hull vertices whose stretch is empty give
%   no edge. On success the outputs asked for are created (at least the
%   first), also when there is no edge (3 x 0, 3 x 0 and 1 x 0).
%
%   Errors:
%     With other than one input, Kestrim raises the host error
%       "Need 1 input arg(s):  Thrandle( silset )"
%     (Octave prefixes it with "Kestrim: "). Every other failure is printed
%     as one line "error: <message>" and Kestrim returns without outputs:
%     asking for outputs then gives the host's own error (in Octave "value
%     on right hand side of assignment is undefined" or "element number 1
%     undefined in return list", in MATLAB "One or more output arguments
%     not assigned during call to 'Kestrim'."). The messages (K is a
%     one-based view number):
%       viewVec is not a struct array with fields camera and boundary.
%       missing boundary field in viewVec from Matlab.
%       boundary of view K is not a real double matrix of 2 rows and at least 1 column.
%       boundary of view K has a coordinate that is not finite.
%       boundary of view K has too many points.
%       could not compute the convex hull of the boundary of view K.
%       missing camera field in viewVec from Matlab.
%       camera is not a struct.
%       indexing element is out of range   (a camera struct array with no
%                                           element)
%       missing internal parameter field in mxArray.   (no efl, u0, v0 or
%                                                       kappa1 field)
%       missing pose parameter field in mxArray.
%       efl in camera is not a real double.   (likewise u0, v0, kappa1:
%                                              not real double, or empty)
%       pose in camera is not a real double 4 x 4 matrix.   (or fewer than
%                                                           16 numbers)
%       viewVec has too many elements.
%       Cannot form matrix K with nonzero kappa1
%       Failed to solve linear system.   (the reference point of the set
%                 cannot be estimated, e.g. views 1 and 2 looking the same
%                 way)
%       out of memory   (also, before anything is allocated, when the
%                        working tables of the set would not fit the
%                        machine's physical memory: they grow as the
%                        square of the number of views, beyond 100 GB
%                        for 30000 views)
%     Views are read in order, each view's boundary before its camera; the
%     first problem found is the one reported. The host's own out-of-memory
%     error is raised when the host has no room for the outputs: that room
%     (up to seven numbers per boundary point, cut to the edges found) is
%     taken before the computation.
%
%   Special cases:
%     - An empty viewVec, or one of a single view, gives no edges (three
%       empty outputs): a view needs another to clip its rays.
%     - A view whose silhouette hull has a single vertex (all its points
%       within 0.001 pixel of one point) is a point, one of two vertices a
%       segment: another view's ray keeps only the points that project onto
%       it, in practice none or a single point, so the other views keep
%       few or no edges. Its own rays are still clipped by the others.
%     - Two views whose camera centres coincide give no depth for each
%       other: both lose all their edges.
%     - A camera centre in another camera's principal plane (its image
%       there is at infinity) is handled like any other.
%     - A NaN camera parameter (efl, u0, v0 or pose) gives no edges at all,
%       unless the set already fails while its reference point is estimated
%       ("error: Failed to solve linear system.").
%     - A view whose pose cannot be inverted (|det| <= 1e-8, e.g. a last
%       row of zeros) gives no edges of its own; the other views' rays are
%       clipped by it with the first three rows of its pose as they are.
%     - A camera centre in front of another camera that projects inside its
%       silhouette: in that view the stretch starts at the camera centre
%       itself.
%     - A ray that enters another view's silhouette cone and never leaves it
%       (its vanishing point lies inside that silhouette, as for cameras a
%       few degrees apart) is not bounded by that view; when no view bounds
%       it, its far end is at infinity and farPts holds Inf or NaN there.
%     - Rays through frontier points (object points on the outlines of two
%       views, such as the corners of a polyhedron) only graze the other
%       view's silhouette: their edges have length 0 or, by rounding, are
%       missing.
%
%   Example: four cameras about 9.4 units from the centre of the cube
%   [-1, 1]^3, 32 degrees above it, looking at the centre (x right, y down
%   in each image); the silhouettes are the projected corners. The edges
%   longer than 0 end at a corner; the others (their number depends on
%   rounding) are single points at frontier corners.
%     >> [a, b, c] = ndgrid ([-1 1]);  X = [a(:) b(:) c(:)]';   % corners
%     >> for k = 1:4
%     >>   C = [8 * cosd(90 * k - 60); 8 * sind(90 * k - 60); 5];  % centre
%     >>   z = -C / norm (C);  x = cross (z, [0; 0; 1]);  x = x / norm (x);
%     >>   R = [x'; cross(z, x)'; z'];       % camera axes as rows
%     >>   cam = struct ('efl', 800, 'u0', 320, 'v0', 240, 'kappa1', 0, ...
%     >>                 'pose', [R, -R * C; 0 0 0 1]);
%     >>   p = cam.pose * [X; ones(1, 8)];   % corners in camera coordinates
%     >>   views(k).camera = cam;
%     >>   views(k).boundary = [320 + 800 * p(1, :) ./ p(3, :); ...
%     >>                        240 + 800 * p(2, :) ./ p(3, :)];
%     >> end
%     >> [nearPts, farPts, viewNums] = Kestrim (views);
%     >> long = find (sqrt (sum ((farPts - nearPts) .^ 2)) > 1e-6);
%     >> fprintf ('view %d: %7.4f %7.4f %7.4f to %7.4f %7.4f %7.4f\n', ...
%     >>          [viewNums(long); nearPts(:, long); farPts(:, long)]);
%     view 1:  0.5161  1.5737  0.1474 to -1.0000  1.0000 -1.0000
%     view 2: -1.5737  0.5161  0.1474 to -1.0000 -1.0000 -1.0000
%     view 3: -0.5161 -1.5737  0.1474 to  1.0000 -1.0000 -1.0000
%     view 4:  1.5737 -0.5161  0.1474 to  1.0000  1.0000 -1.0000
%
%   See also Dovanel, Pirolet, load_view_set (examples/ of the source
%   tree).
