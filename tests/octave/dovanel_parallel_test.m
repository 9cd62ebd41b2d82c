## Tests of examples/dovanel_parallel.m: Dovanel's starts split into chunks
## run by parallel workers (parcellfun of Octave's parallel package) give
## exactly the result of one Dovanel call over all starts.
##
## The example sets and the function are read from examples/ of the source
## tree, found from this file's place in tests/octave.  Run with
##
##   octave-cli --norc --no-history tests/octave/run_tests.m build/octave \
##       tests/octave/dovanel_parallel_test.m
##
## This file holds only test blocks; executing it does nothing.

## ---------------------------------------------------------------- helpers

## Checks that dovanel_parallel with each number of chunks in counts
## returns exactly what one Dovanel call over all starts returns; NaNs
## count as equal.
%!function check_split (A, B, starts, params, counts)
%!  [r1, p1, res1] = Dovanel (A, B, starts, params);
%!  for k = counts
%!    [r, p, res] = dovanel_parallel (A, B, starts, params, k);
%!    assert (isequaln (r, r1), "rms differs for %d chunks", k);
%!    assert (isequaln (p, p1), "pose differs for %d chunks", k);
%!    assert (isequaln (res, res1), "residuals differ for %d chunks", k);
%!  endfor
%!endfunction

## A set whose silhouettes cover every epipole: no residual can be
## measured, every RMS is NaN and each start's pose stays where it began.
%!function views = blind (views)
%!  box = 1e12 * [-1 1 1 -1; -1 -1 1 1];
%!  for i = 1:numel (views)
%!    views(i).boundary = box;
%!  endfor
%!endfunction

## ------------------------------------------------------------ the scene

%!shared A, B, params, starts, rms_of
%! ## test() keeps the name of the file it runs in __file.
%! here = fileparts (evalin ("caller", "__file"));
%! examples = fullfile (here, "..", "..", "examples");
%! assert (isfile (fullfile (examples, "dovanel_parallel.m")));
%! addpath (examples);
%! A = load_view_set (fullfile (examples, "stone_views_A.txt"));
%! B = load_view_set (fullfile (examples, "stone_views_B.txt"));
%! truth = load (fullfile (examples, "stone_pose_B_to_A.txt"))(:);
%! params = [100; 1e-10];
%! ## Eight starts: the quaternion moved by about 2 to 4 degrees and the
%! ## translation by 1 to 3 mm, in fixed directions.
%! dq = [3 0 0 2; 0 -3 1 0; 1 2 0 -2; -2 0 3 1; 0 2 -2 2; 3 1 0 -1; ...
%!       -1 -1 -2 0; 2 -2 1 1]' * 0.01;
%! dt = [1 0 -1; 0 2 1; -2 1 0; 1 1 1; 0 -3 0; 2 0 2; -1 -1 2; 0 1 -2]';
%! starts = repmat (truth, 1, 8) + [dq; dt];
%! rms_of = zeros (1, 8);
%! for i = 1:8
%!   rms_of(i) = Dovanel (A, B, starts(:, i), params);
%! endfor
%! ## Which start ends best is down to the last digits of the arithmetic;
%! ## the tests below need it not to be the first.
%! [~, best] = min (rms_of);
%! if (best == 1)
%!   starts = starts(:, [2:end, 1]);
%!   rms_of = rms_of([2:end, 1]);
%! endif

## ------------------------------------------------------- equal results

%!test
%! ## The starts reach the answer with RMS values that differ in their
%! ## last digits, and the best is not the first: which chunk wins matters.
%! ## One call over all starts returns the best start's own result.
%! assert (all (rms_of < 1e-6));
%! assert (numel (unique (rms_of)) > 1);
%! [~, best] = min (rms_of);
%! assert (best > 1);
%! [r1, p1, res1] = Dovanel (A, B, starts(:, best), params);
%! [r, p, res] = Dovanel (A, B, starts, params);
%! assert (r, r1);
%! assert (p, p1);
%! assert (res, res1);

%!test
%! ## In the given order, for 1, 2, 3 and 8 chunks, and more workers than
%! ## starts.
%! check_split (A, B, starts, params, [1 2 3 8 12]);

%!test
%! ## The best start last, then first.
%! [~, order] = sort (rms_of, "descend");
%! check_split (A, B, starts(:, order), params, [2 8]);
%! check_split (A, B, starts(:, fliplr (order)), params, 2);

## -------------------------------------------- the parfor branch's chunks

%!test
%! ## MATLAB's parfor branch runs each chunk through private/dovanel_chunk,
%! ## which captures what Dovanel prints in the worker: a failure comes
%! ## back as its message in place of the RMS (the printed line, or the
%! ## host error when nothing was printed), a success as Dovanel's outputs.
%! here = pwd ();
%! unwind_protect
%!   cd (fullfile (fileparts (which ("dovanel_parallel")), "private"));
%!   [r, p, res] = dovanel_chunk (A, B, starts(:, 1:2), [100; -1]);
%!   assert (r, "tol in [mfe;tol] must not be negative or NaN");
%!   assert (isempty (p) && isempty (res));
%!   r = dovanel_chunk (A, B, starts(1:6, 1), params);
%!   assert (r, ["Dovanel: Need 3rd arg must be 7xn matrix of n quattran " ...
%!               "starting points )"]);
%!   [r, p, res] = dovanel_chunk (A, B, starts(:, 1:2), params);
%!   [r1, p1, res1] = Dovanel (A, B, starts(:, 1:2), params);
%!   assert (isequaln ({r, p, res}, {r1, p1, res1}));
%!   ## With a thread count it sets OMP_NUM_THREADS for its call only.
%!   saved = getenv ("OMP_NUM_THREADS");
%!   setenv ("OMP_NUM_THREADS", "3");
%!   [r2, p2, res2] = dovanel_chunk (A, B, starts(:, 1:2), params, 1);
%!   threads_after = getenv ("OMP_NUM_THREADS");
%!   if (isempty (saved)) unsetenv ("OMP_NUM_THREADS"); else setenv ("OMP_NUM_THREADS", saved); end
%!   assert (threads_after, "3");
%!   assert (isequaln ({r2, p2, res2}, {r1, p1, res1}));
%! unwind_protect_cleanup
%!   cd (here);
%! end_unwind_protect

## ------------------------------------------------------------------- NaN

%!test
%! ## A NaN start ends at a NaN RMS, which never wins over a number, also
%! ## when it is alone in the first chunk.
%! bad = starts(:, 1);
%! bad(5) = NaN;
%! mixed = [bad, starts(:, 1:3), bad, starts(:, 4)];
%! assert (isnan (Dovanel (A, B, bad, params)));
%! check_split (A, B, mixed, params, [2 6]);
%! assert (Dovanel (A, B, mixed, params), min (rms_of(1:4)));

%!test
%! ## When every start ends at NaN, the first start's result is returned:
%! ## its pose is the first start itself.
%! few = starts(:, [3 1 4 2]);
%! [r, p, res] = dovanel_parallel (blind (A), blind (B), few, params, 4);
%! assert (isnan (r));
%! assert (p, few(:, 1));
%! assert (all (isnan (res)));
%! check_split (blind (A), blind (B), few, params, 2);

## -------------------------------------------------------------- no starts

%!test
%! [r, p, res] = dovanel_parallel (A, B, zeros (7, 0), params, 4);
%! [r1, p1, res1] = Dovanel (A, B, zeros (7, 0), params);
%! assert (r, 0);
%! assert (p, zeros (7, 1));
%! assert (res, res1);

## ---------------------------------------------------------------- errors

%!error <Dovanel: Need 3rd arg must be 7xn matrix of n quattran starting points \)>
%! dovanel_parallel (A, B, starts(1:6, :), params, 2);

%!error <Dovanel: Need 3rd arg vecArray as a real, full double 7xn matrix>
%! dovanel_parallel (A, B, single (starts), params, 2);

%!error <Dovanel: Need 4th arg \[mfe;tol\]>
%! dovanel_parallel (A, B, starts, 100, 2);

%!test
%! ## A failure inside Dovanel is printed once, before any worker starts,
%! ## and the missing outputs raise the host's error.
%! out = evalc (["try, r = dovanel_parallel (A, B, starts, [100; -1], 2);", ...
%!               " catch err, end"]);
%! assert (out, "tol in [mfe;tol] must not be negative or NaN\n");
%! assert (! isempty (strfind (err.message, "undefined")));

%!error <numWorkers must be a positive whole number>
%! dovanel_parallel (A, B, starts, params, 0);
%!error <numWorkers must be a positive whole number>
%! dovanel_parallel (A, B, starts, params, 1.5);
%!error <numWorkers must be a positive whole number>
%! dovanel_parallel (A, B, starts, params, NaN);
%!error <need 4 to 6 inputs>
%! dovanel_parallel (A, B, starts);
%!error <workerThreads must be a whole number, 0 or more>
%! dovanel_parallel (A, B, starts, params, 2, -1);
%!error <workerThreads must be a whole number, 0 or more>
%! dovanel_parallel (A, B, starts, params, 2, 1.5);
%!error <workerThreads must be a whole number, 0 or more>
%! dovanel_parallel (A, B, starts, params, 2, Inf);

## ------------------------------------------------------------- threads

%!test
%! ## Workers on one thread each (the default), on two, or on whatever the
%! ## session has: the same answer, and the session's own setting is
%! ## left as it was.
%! saved = getenv ("OMP_NUM_THREADS");
%! unwind_protect
%!   setenv ("OMP_NUM_THREADS", "2");
%!   [r1, p1, res1] = Dovanel (A, B, starts, params);
%!   for threads = {[], 1, 2, 0}
%!     [r, p, res] = dovanel_parallel (A, B, starts, params, 2, threads{1});
%!     assert (isequaln ({r, p, res}, {r1, p1, res1}));
%!     assert (getenv ("OMP_NUM_THREADS"), "2");
%!   endfor
%! unwind_protect_cleanup
%!   if (isempty (saved))
%!     unsetenv ("OMP_NUM_THREADS");
%!   else
%!     setenv ("OMP_NUM_THREADS", saved);
%!   endif
%! end_unwind_protect

%!test
%! ## Dovanel's own threads: the same answer, bit for bit, whatever
%! ## OMP_NUM_THREADS holds (one thread, two, three, zero, a word, unset);
%! ## it is read at each call. The NaN start and a repeated best start test
%! ## the choice of the best across threads.
%! bad = starts(:, 1);
%! bad(5) = NaN;
%! [~, best] = min (rms_of);
%! many = [bad, starts, starts(:, best), starts];
%! saved = getenv ("OMP_NUM_THREADS");
%! unwind_protect
%!   unsetenv ("OMP_NUM_THREADS");
%!   [r1, p1, res1] = Dovanel (A, B, many, params);
%!   for value = {"1", "2", "3", "0", "abc", "-4", "99999999999", ""}
%!     setenv ("OMP_NUM_THREADS", value{1});
%!     [r, p, res] = Dovanel (A, B, many, params);
%!     assert (isequaln ({r, p, res}, {r1, p1, res1}), ...
%!             "OMP_NUM_THREADS=%s changes the answer", value{1});
%!   endfor
%!   unsetenv ("OMP_NUM_THREADS");
%!   [r, p, res] = Dovanel (A, B, many, params);
%!   assert (isequaln ({r, p, res}, {r1, p1, res1}));
%!   assert (r1, min (rms_of));
%! unwind_protect_cleanup
%!   if (isempty (saved))
%!     unsetenv ("OMP_NUM_THREADS");
%!   else
%!     setenv ("OMP_NUM_THREADS", saved);
%!   endif
%! end_unwind_protect

%!test
%! ## A failure on many threads is printed once, as on one.
%! saved = getenv ("OMP_NUM_THREADS");
%! unwind_protect
%!   B2 = B;
%!   B2(2).camera.kappa1 = 1e-7;
%!   for value = {"1", "3"}
%!     setenv ("OMP_NUM_THREADS", value{1});
%!     out = evalc ("try, r = Dovanel (A, B2, starts, params); catch, end");
%!     assert (out, "Cannot form matrix K with nonzero kappa1\n");
%!   endfor
%! unwind_protect_cleanup
%!   if (isempty (saved))
%!     unsetenv ("OMP_NUM_THREADS");
%!   else
%!     setenv ("OMP_NUM_THREADS", saved);
%!   endif
%! end_unwind_protect
