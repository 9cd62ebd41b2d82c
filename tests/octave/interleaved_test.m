## The three modules called in turn in one Octave process, with failures of
## every kind between the calls (host errors, printed failures, sets whose
## NaNs run through the solvers), give exactly the results of the same
## calls each made in an Octave process of its own: no state of one call
## (GSL's error handler, the solvers' settings) reaches the next.
##
## The example data are read from examples/ of the source tree, found from
## this file's place in tests/octave; the separate processes are octave-cli
## runs of the same installation, with the modules' folder on their path.
## Run with
##
##   octave-cli --norc --no-history tests/octave/run_tests.m build/octave \
##       tests/octave/interleaved_test.m
##
## This file holds only test blocks; executing it does nothing.

## ---------------------------------------------------------------- helpers

## Runs `call` (code that sets the cell `out`) in a new octave-cli process
## on the variables saved in `inputs`, and returns its `out`.
%!function out = run_alone (inputs, call)
%!  module_dir = fileparts (which ("Kestrim"));
%!  octave = fullfile (OCTAVE_HOME (), "bin", "octave-cli");
%!  result = [tempname() ".mat"];
%!  code = sprintf (["addpath ('%s'); load ('%s'); %s " ...
%!                   "save ('-binary', '%s', 'out');"],
%!                  module_dir, inputs, call, result);
%!  command = sprintf (['"%s" --no-gui --no-window-system --quiet --norc ' ...
%!                      '--no-history --eval "%s"'], octave, code);
%!  [status, text] = system (command);
%!  assert (status == 0, "separate process failed: %s", text);
%!  out = load (result).out;
%!  delete (result);
%!endfunction

## The calls compared, as code that sets the cell `out`.
%!function code = call_code (name)
%!  switch (name)
%!    case "pirolet"
%!      code = "out = cell (1, 2); [out{:}] = Pirolet (poly);";
%!    case "kestrim"
%!      code = "out = cell (1, 3); [out{:}] = Kestrim (A);";
%!    case "dovanel"
%!      code = ["out = cell (1, 3); " ...
%!              "[out{:}] = Dovanel (A, B, starts, params);"];
%!    case "dovanel_blind"
%!      code = ["out = cell (1, 3); " ...
%!              "[out{:}] = Dovanel (blindA, blindB, starts, params);"];
%!    case "kestrim_nan"
%!      code = "out = cell (1, 3); [out{:}] = Kestrim (nanA);";
%!  endswitch
%!endfunction

## The same call in this process.
%!function out = run_here (name, poly, A, B, blindA, blindB, nanA, starts,
%!                         params)
%!  eval (call_code (name));
%!endfunction

## ------------------------------------------------------------ the data

%!shared inputs, poly, A, B, blindA, blindB, nanA, starts, params, names
%! here = fileparts (evalin ("caller", "__file"));
%! examples = fullfile (here, "..", "..", "examples");
%! addpath (examples);
%! A = load_view_set (fullfile (examples, "stone_views_A.txt"));
%! B = load_view_set (fullfile (examples, "stone_views_B.txt"));
%! poly = load (fullfile (examples, "stone_outline.txt"))';
%! truth = load (fullfile (examples, "stone_pose_B_to_A.txt"))(:);
%! starts = truth + [0.01 0 -0.02; 0 0.02 0.01; 0 0 0; 0 0 0; 1 -2 0; ...
%!                   0 1 1; -1 0 2];
%! params = [50; 1e-10];
%! ## Silhouettes that cover every epipole: every residual and RMS is NaN
%! ## all through the solver's iterations.
%! blindA = A;
%! for i = 1:numel (blindA)
%!   blindA(i).boundary = 1e12 * [-1 1 1 -1; -1 -1 1 1];
%! endfor
%! blindB = B;
%! for i = 1:numel (blindB)
%!   blindB(i).boundary = 1e12 * [-1 1 1 -1; -1 -1 1 1];
%! endfor
%! ## A NaN principal point: the reference point's solver meets NaNs.
%! nanA = A;
%! nanA(3).camera.u0 = NaN;
%! inputs = [tempname() ".mat"];
%! save ("-binary", inputs, "poly", "A", "B", "blindA", "blindB", "nanA",
%!       "starts", "params");
%! names = {"pirolet", "kestrim", "dovanel", "dovanel_blind", "kestrim_nan"};

## ------------------------------------------------- interleaved and alone

%!test
%! here = struct ();
%! ## Every call once, failures between them.
%! here.pirolet = run_here ("pirolet", poly, A, B, blindA, blindB, nanA, starts,
%!                       params);
%! fail_host = false;
%! try
%!   Pirolet ([0 1; 0 1]);
%! catch err
%!   fail_host = strcmp (err.message, "Pirolet: Need at least 3 points");
%! end_try_catch
%! assert (fail_host);
%! here.kestrim = run_here ("kestrim", poly, A, B, blindA, blindB, nanA, starts,
%!                       params);
%! distorted = A;
%! distorted(2).camera.kappa1 = 1e-7;
%! assert (evalc ("Kestrim (distorted);"),
%!         "error: Cannot form matrix K with nonzero kappa1\n");
%! here.dovanel = run_here ("dovanel", poly, A, B, blindA, blindB, nanA, starts,
%!                       params);
%! assert (evalc ("Dovanel (A, B, starts, [10; -1]);"),
%!         "tol in [mfe;tol] must not be negative or NaN\n");
%! here.dovanel_blind = run_here ("dovanel_blind", poly, A, B, blindA, blindB,
%!                                nanA, starts, params);
%! try
%!   Dovanel (A, B, starts);
%! catch
%! end_try_catch
%! here.kestrim_nan = run_here ("kestrim_nan", poly, A, B, blindA, blindB,
%!                              nanA, starts, params);
%! assert (evalc ("Dovanel (A, distorted, starts, params);"),
%!         "Cannot form matrix K with nonzero kappa1\n");
%! ## Then every call again, in another order, after all those failures.
%! again = struct ();
%! for name = fliplr (names)
%!   again.(name{1}) = run_here (name{1}, poly, A, B, blindA, blindB, nanA,
%!                               starts, params);
%! endfor
%! ## The results are what they should be, the same the second time, and
%! ## the same as in processes of their own.
%! assert (abs (here.pirolet{1} - 47.16) < 0.01);
%! assert (size (here.kestrim{1}), [3 225]);
%! assert (here.dovanel{1} < 1e-6);
%! assert (isnan (here.dovanel_blind{1}));
%! for name = names
%!   assert (isequaln (again.(name{1}), here.(name{1})),
%!           "%s differs when repeated", name{1});
%!   alone = run_alone (inputs, call_code (name{1}));
%!   assert (isequaln (alone, here.(name{1})),
%!           "%s differs from its own process", name{1});
%! endfor

%!test
%! delete (inputs);
