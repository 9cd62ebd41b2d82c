% KESTRIM  Viewing edges of a set of calibrated silhouettes.
%
%   [nearPts, farPts, viewNums] = Kestrim(viewVec)
%
%   For every convex-hull vertex of every silhouette, Kestrim takes the
%   viewing ray from that view's camera centre through the vertex and keeps
%   the stretch of it whose image lies inside the convex hulls of the
%   silhouettes of all other views. Each surviving stretch is one viewing
%   edge: for a convex object every viewing edge touches the object.
%
%   viewVec is a struct array, one element per view, with the fields
%     camera    a struct with the fields
%                 efl     focal length, in pixels
%                 u0, v0  principal point, in pixels
%                 kappa1  radial distortion coefficient; cameras must
%                         have kappa1 = 0 (a set of two or more views with
%                         any other value fails, see Errors)
%                 pose    4 x 4 world-to-camera transform [R t; 0 0 0 1]:
%                         camera coordinates = pose * [X; Y; Z; 1]; the
%                         image of camera point (x, y, z) is
%                         (u0 + efl x/z, v0 + efl y/z)
%               (only element 1 of a camera struct array is read);
%     boundary  2 x N real double matrix, N >= 1: the silhouette outline in
%               image pixels, column i = (u; v) of vertex i. Any order; only
%               its convex hull (tolerance 0.001 pixel) is used.
%
%   Outputs, one column per viewing edge E:
%     nearPts   3 x E: world point of each edge's end nearer to its camera
%     farPts    3 x E: world point of its end farther from the camera
%     viewNums  1 x E: the one-based number of the view (element of viewVec)
%               whose ray the edge lies on
%   Edges come in view order, within a view in the order of the hull
%   vertices (counter-clockwise); hull vertices whose stretch is empty give
%   no edge. On success the outputs asked for are created (at least the
%   first), also when there is no edge (3 x 0, 3 x 0 and 1 x 0).
%
%   Errors:
%     With other than one input, Kestrim raises the error
%       "Need 1 input arg(s):  Thrandle( silset )".
%     Every other failure is printed as a line "error: <message>", for
%     example "error: missing boundary field in viewVec from Matlab.", and
%     Kestrim returns without outputs: asking for outputs then gives the
%     host's own error (in Octave "value on right hand side of assignment
%     is undefined" or "element number 1 undefined in return list").
%     Messages include
%       missing boundary field in viewVec from Matlab.
%       missing camera field in viewVec from Matlab.
%       missing internal parameter field in mxArray.
%       missing pose parameter field in mxArray.
%       viewVec is not a struct array with fields camera and boundary.
%       boundary of view K is not a real double matrix of 2 rows and at
%         least 1 column.
%       boundary of view K has a coordinate that is not finite.
%       Cannot form matrix K with nonzero kappa1
%       Failed to solve linear system.  (the reference point of the set
%         cannot be estimated, e.g. views 1 and 2 looking the same way)
%
%   Special cases:
%     - An empty viewVec, or one of a single view, gives no edges (three
%       empty outputs): a view needs another to clip its rays.
%     - A view whose silhouette hull has a single vertex (all its points
%       within 0.001 pixel of one point) cannot be crossed by an epipolar
%       line: every other view loses all its edges. Its own single ray is
%       still clipped by the others. A hull of two vertices (a segment)
%       bounds each ray crossing it to one depth, so the other views keep
%       few or no edges.
%     - Two views whose camera centres coincide give no depth for each
%       other: both lose all their edges.
%     - A NaN camera parameter (efl, u0, v0 or pose) gives no edges at all,
%       unless the set already fails while its reference point is estimated
%       ("error: Failed to solve linear system.").
%     - A view whose pose cannot be inverted (|det| <= 1e-8, e.g. a last
%       row of zeros) gives no edges of its own, and the other views take
%       its camera centre to be the world origin, so their stretches in that
%       view are meaningless unless the camera really is there.
%     - A camera centre that projects inside another view's silhouette: in
%       that view the stretch starts at the camera centre itself.
%     - A ray that enters another view's silhouette cone and never leaves it
%       (its vanishing point lies inside that silhouette, as for cameras a
%       few degrees apart) is not bounded by that view; when no view bounds
%       it, its far end is at infinity and farPts holds Inf or NaN there.
%     - The depths along a ray are computed for camera centres that lie in
%       front of each other's cameras (as for cameras around the object,
%       looking at it); a camera centre behind another camera's image plane
%       gives meaningless stretches for that pair.
%
%   Example (four cameras around the unit cube centred at the origin):
%     [nearPts, farPts, viewNums] = Kestrim(viewVec);
%     plot3([nearPts(1,:); farPts(1,:)], [nearPts(2,:); farPts(2,:)], ...
%           [nearPts(3,:); farPts(3,:)], '-');
