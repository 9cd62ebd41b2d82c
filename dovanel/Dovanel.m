% DOVANEL  Rigid transform between two calibrated silhouette sets.
%
%   rms = Dovanel(viewVecA, viewVecB, vecArray, [mfe; tol])
%   [rms, pose] = Dovanel(...)
%   [rms, pose, residuals] = Dovanel(...)
%
%   Dovanel finds the rigid transform T that carries world coordinates of
%   set B into world coordinates of set A (X_A = T * X_B), by minimising the
%   epipolar tangency misfits of every view pair with a Levenberg-Marquardt
%   least-squares solver, once from each start pose, and returns the best.
%   Every view of A is paired with every view of B. Dovanel keeps nothing
%   between calls.
%
%   Inputs:
%     viewVecA, viewVecB
%               two silhouette sets of one object, each calibrated in its
%               own world frame: struct arrays with the fields
%                 camera    struct with efl, u0, v0 (pixels), kappa1 (must
%                           be 0) and pose, the 4 x 4 world-to-camera matrix
%                           [R t; 0 0 0 1]
%                 boundary  2 x N silhouette outline in image pixels,
%                           column i = (u; v)
%               as for Kestrim (see help Kestrim, and docs/camera_model.md
%               of the source tree for the camera model). Each set needs at
%               least one view.
%     vecArray  real double 7 x n matrix: column i is start pose i.
%     [mfe; tol]
%               real double array of at least two numbers; only the first
%               two are read.
%
%   Pose layout (seven numbers, for the starts and the result):
%     pose(1:3)  quaternion vector part x, y, z
%     pose(4)    quaternion scalar part w
%     pose(5:7)  translation tx, ty, tz, in the world units of set A
%   The quaternion's length does not matter (q and any nonzero multiple of
%   it, -q included, give the same rotation; a quaternion of length 1e-8 or
%   less means no rotation). The translation is used as given. A rotation
%   of angle a (radians) about the unit axis n is [sin(a/2) * n; cos(a/2)].
%
%   Starts: the residuals are only piecewise smooth, so each start converges
%   to a nearby optimum: give starts within a few degrees and a few percent
%   of the answer, or several spread over the plausible range. With n = 0
%   no optimisation runs (see below).
%
%   mfe is the number of solver iterations allowed per start (at least one
%   is always made; mfe is truncated toward zero, so 2.9 allows two; values
%   beyond the range of a 32-bit int are clamped to it, NaN counts as 0).
%   tol is the relative step tolerance: a start ends when every component
%   of a step is smaller than tol times the matching parameter, when an
%   iteration lowers the RMS by a fraction of 1e-10 or less (or not at
%   all), when the RMS is NaN (nothing left to improve, see below), or after
%   mfe iterations. [100; 1e-10] is a reasonable choice.
%
%   Outputs:
%     rms        1 x 1, the smallest RMS residual reached (pixels)
%     pose       7 x 1, the optimised pose that reached it (its quaternion
%                is not normalised and may have drifted far from length 1:
%                divide pose(1:4) by its norm)
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
%   residuals of that pose (the identity transform). Since calls share no
%   state, the starts can also be split over several calls (or worker
%   processes, on other machines) and the best result picked by the same
%   rule: see dovanel_parallel in examples/ of the source tree.
%
%   Outputs are created only for the outputs asked for.
%
%   Threads: the starts run in parallel, one thread per processor core,
%   but at most as many as the environment variable OMP_NUM_THREADS says
%   when it holds a positive whole number (it is read at each call, so
%   setenv ('OMP_NUM_THREADS', '1') in the session runs the next calls on
%   one thread; a value of 0, a negative number, a word, an empty text or
%   a number beyond the int range is ignored). The answer is the same, bit
%   for bit, on any number of threads, the choice of the best start
%   included. Only the calling thread talks to Octave or MATLAB; a failure
%   in any start ends the call with that of the lowest-numbered failing
%   start, as on one thread.
%
%   Errors raised as host errors (the call ends; Octave prefixes the text
%   with "Dovanel: "):
%     "Need 4 input args: Dovanel( viewVecA,  viewVecB, vecArray, [mfe;tol] )"
%                  other than four inputs
%     "Need 3rd arg must be 7xn matrix of n quattran starting points )"
%                  vecArray does not have 7 rows (whatever its class)
%     "Need 3rd arg vecArray as a real, full double 7xn matrix"
%                  single, integer, logical, char, complex, sparse, cell or
%                  struct starts
%     "Need 4th arg [mfe;tol] as a real, full double array of at least 2 numbers"
%   Failures during the computation are printed to the command window as
%   one line, the bare message, and the call returns without outputs (so
%   asking for an output then fails with the host's own error: in Octave
%   "value on right hand side of assignment is undefined" or "element
%   number 1 undefined in return list", in MATLAB "One or more output
%   arguments not assigned during call to 'Dovanel'.").
%   The messages:
%     the view set reader's messages, for set A first, as listed in
%       help Kestrim ("missing boundary field in viewVec from Matlab.",
%       "boundary of view K has a coordinate that is not finite.", ...,
%       "Failed to solve linear system." for degenerate first views)
%     "Cannot form matrix K with nonzero kappa1"   (also for sets of one
%       view)
%     "viewVecA has no views: each set needs at least one."  (or viewVecB)
%     "tol in [mfe;tol] must not be negative or NaN"
%     "too many view pairs: 8 x |A| x |B| residuals exceed the largest int."
%     "out of memory"   (also, before anything is read or allocated, when
%                        the call's working memory would not fit the
%                        machine's physical memory: about 120 bytes per
%                        residual, 8 |A| |B| of them, for each thread the
%                        call runs on, e.g. some 250 GB per thread for two
%                        sets of 16000 views)
%
%   Example: a box seen by six cameras around it, three in set A and three
%   in set B, whose world frame is A's turned by 20 degrees about z and
%   shifted by (0.5, -0.3, 0.2); starts guess 15 to 25 degrees about z and
%   a shift of (0.4, -0.2, 0.3):
%     >> [a, b, c] = ndgrid ([-1 1]);
%     >> X = diag ([1.2 0.9 0.6]) * [a(:) b(:) c(:)]';  % corners, A's frame
%     >> T = [cosd(20) -sind(20) 0 0.5; sind(20) cosd(20) 0 -0.3; ...
%     >>      0 0 1 0.2; 0 0 0 1];                    % X_A = T * X_B
%     >> for k = 1:6             % odd k: a camera of A, even k: one of B
%     >>   C = 8 * [cosd(60 * k) * cosd(25); sind(60 * k) * cosd(25); ...
%     >>            sind(25) * (-1)^k];                 % centre, A's frame
%     >>   z = -C / norm (C);  x = cross (z, [0; 0; 1]);  x = x / norm (x);
%     >>   R = [x'; cross(z, x)'; z'];  P = [R, -R * C; 0 0 0 1];
%     >>   p = P * [X; ones(1, 8)];
%     >>   v.camera = struct ('efl', 800, 'u0', 320, 'v0', 240, ...
%     >>                      'kappa1', 0, 'pose', P);
%     >>   v.boundary = [320 + 800 * p(1, :) ./ p(3, :); ...
%     >>                 240 + 800 * p(2, :) ./ p(3, :)];
%     >>   if mod (k, 2)
%     >>     A((k + 1) / 2) = v;
%     >>   else
%     >>     v.camera.pose = P * T;                     % pose in B's frame
%     >>     B(k / 2) = v;
%     >>   end
%     >> end
%     >> h = [15 20 25] * pi / 360;                     % half angles
%     >> starts = [zeros(2, 3); sin(h); cos(h); repmat([0.4; -0.2; 0.3], 1, 3)];
%     >> [rms, pose, res] = Dovanel (A, B, starts, [100; 1e-10]);
%     >> fprintf ('%d residuals, RMS below 1e-9 pixel: %d\n', ...
%     >>          numel (res), rms < 1e-9);
%     72 residuals, RMS below 1e-9 pixel: 1
%     >> q = pose(1:4) / norm (pose(1:4));               % unit quaternion
%     >> fprintf ('%.4f deg, t = %.4f %.4f %.4f\n', ...
%     >>          2 * acosd (abs (q(4))), pose(5:7));
%     20.0000 deg, t = 0.5000 -0.3000 0.2000
%
%   Then X_A = Rq * X_B + pose(5:7), Rq the rotation of q. B's poses are
%   P * T: a point X_B of B's frame is seen by that camera as P * T * X_B.
%
%   See also Kestrim, Pirolet, dovanel_parallel, load_view_set (both in
%   examples/ of the source tree).
