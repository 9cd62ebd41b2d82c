% DOVANEL  Rigid transform between two calibrated silhouette sets.
%
%   rms = Dovanel(viewVecA, viewVecB, vecArray, [mfe; tol])
%   [rms, pose] = Dovanel(...)
%   [rms, pose, residuals] = Dovanel(...)
%
%   viewVecA and viewVecB are two silhouette sets of one object, each
%   calibrated in its own world frame: struct arrays with the fields
%     camera    struct with efl, u0, v0 (pixels), kappa1 (must be 0) and
%               pose, the 4 x 4 world-to-camera matrix [R t; 0 0 0 1]
%     boundary  2 x N silhouette outline in image pixels
%   Every view of A is paired with every view of B. Each set needs at least
%   one view.
%
%   Dovanel finds the rigid transform T that carries world coordinates of
%   set B into world coordinates of set A (X_A = T * X_B), by minimising the
%   epipolar tangency misfits of every view pair with a Levenberg-Marquardt
%   least-squares solver, once from each start pose, and returns the best.
%
%   Pose layout (seven numbers, for the starts and the result):
%     pose(1:3)  quaternion vector part x, y, z
%     pose(4)    quaternion scalar part w
%     pose(5:7)  translation tx, ty, tz
%   The quaternion's length does not matter (q and any nonzero multiple of
%   it, -q included, give the same rotation; a quaternion of length 1e-8 or
%   less means no rotation). The translation is used as given.
%
%   vecArray is a real double 7 x n matrix: column i is start pose i. The
%   residuals are only piecewise smooth, so each start converges to a nearby
%   optimum: give starts within a few degrees and a few percent of the
%   answer, or several spread over the plausible range. With n = 0 no
%   optimisation runs (see below).
%
%   mfe is the number of solver iterations allowed per start (at least one
%   is always made; mfe is truncated toward zero, so 2.9 allows two; values
%   beyond the range of a 32-bit int are clamped to it, NaN counts as 0).
%   tol is the relative step tolerance: a start ends when every component
%   of a step is smaller than tol times the matching parameter, when an
%   iteration lowers the RMS by a fraction of 1e-10 or less (or not at
%   all), or after mfe iterations. The fourth argument may hold more numbers; only the first
%   two are read.
%
%   Outputs:
%     rms        1 x 1, the smallest RMS residual reached (pixels)
%     pose       7 x 1, the optimised pose that reached it (its quaternion
%                is not normalised: divide pose(1:4) by its norm)
%     residuals  1 x 8*|A|*|B|, the residuals of that pose: for view i of A
%                and view j of B (one-based) the group of eight starting at
%                8*((i-1)*|B| + (j-1)) + 1 holds the x, y offsets (pixels)
%                of A's two tangent points from their epipolar lines, then
%                those of B's two tangent points.
%   A group half whose epipole lies inside its view's silhouette bounding
%   box carries no tangents; its four values are replaced by the RMS of all
%   other residuals. When every group half is in that case there is nothing
%   to measure by: the residuals and the RMS are NaN.
%
%   Choice of the best start: the smallest RMS wins; on equal RMS the
%   earlier column wins; an RMS that is NaN never wins over a number,
%   whatever the order (if every start ends at NaN, the first is returned).
%   With n = 0 the outputs are rms 0, the pose of seven zeros and the
%   residuals of that pose (the identity transform).
%
%   Outputs are created only for the outputs asked for.
%
%   Errors raised as host errors (the call ends):
%     "Need 4 input args: Dovanel( viewVecA,  viewVecB, vecArray, [mfe;tol] )"
%     "Need 3rd arg must be 7xn matrix of n quattran starting points )"
%                  vecArray does not have 7 rows
%     "Need 3rd arg vecArray as a real, full double 7xn matrix"
%                  single, integer, logical, char, complex, sparse, cell or
%                  struct starts
%     "Need 4th arg [mfe;tol] as a real, full double array of at least 2 numbers"
%   Failures during the computation are printed to the command window as
%   one line, and the call returns without outputs (so asking for an output
%   then fails with the host's "undefined" error). Among them:
%     the view set reader's messages (missing fields, bad boundaries,
%       "Failed to solve linear system." for degenerate first views, ...)
%     "Cannot form matrix K with nonzero kappa1"
%     "viewVecA has no views: each set needs at least one."  (or viewVecB)
%     "tol in [mfe;tol] must not be negative or NaN"
%     "too many view pairs: 8 x |A| x |B| residuals exceed the largest int."
%     "out of memory"
%
%   Example: B's world is believed turned by about 10 degrees about z and
%   shifted by about (0.1, 0, 0) against A's; try that guess and two
%   neighbours:
%     h = [10 5 15] * pi / 360;                   % half angles
%     starts = [zeros(2, 3); sin(h); cos(h); repmat([0.1; 0; 0], 1, 3)];
%     [rms, pose, res] = Dovanel(viewVecA, viewVecB, starts, [100; 1e-10]);
%     % then X_A = R * X_B + pose(5:7), R the rotation of pose(1:4)
