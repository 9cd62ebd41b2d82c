## Runs the Octave integration tests of the MEX modules.
##
##   octave-cli --norc --no-history tests/octave/run_tests.m MODULE_DIR [TEST_FILE ...]
##
## MODULE_DIR is the folder holding the built modules (build/octave); it is
## put first on the path, as a user does with addpath.  Each TEST_FILE is a
## file of Octave test blocks (%!test, %!assert, %!error); without any, every
## *_test.m file beside this runner is run.  Prints the counts of each file
## and a closing "N passed, M failed" line, and exits with status 1 when a
## test failed or a file held no test, 2 on a usage error.

1;  # a script, not a function file

function [passed, failed] = run_test_file (file)
  printf ("----- %s\n", file);
  [passed, total, xfail, xbug, skipped] = test (file, "quiet", stdout);
  failed = total - passed - xfail - xbug;
  if (total == 0)
    printf ("no test found in %s\n", file);
    failed = 1;
  endif
  printf ("%s: %d passed, %d failed", file, passed, failed);
  if (xfail + xbug > 0)
    printf (", %d known failures", xfail + xbug);
  endif
  if (skipped > 0)
    printf (", %d skipped", skipped);
  endif
  printf ("\n");
endfunction

args = argv ();
if (numel (args) < 1)
  fprintf (stderr, "usage: run_tests.m MODULE_DIR [TEST_FILE ...]\n");
  exit (2);
endif
module_dir = make_absolute_filename (args{1});
if (! isfolder (module_dir))
  fprintf (stderr, "run_tests.m: no module folder %s\n", module_dir);
  exit (2);
endif
addpath (module_dir);

test_files = args(2:end);
if (isempty (test_files))
  here = fileparts (mfilename ("fullpath"));
  listing = dir (fullfile (here, "*_test.m"));
  test_files = cellfun (@(name) fullfile (here, name), {listing.name},
                        "UniformOutput", false);
endif
if (isempty (test_files))
  fprintf (stderr, "run_tests.m: no test files\n");
  exit (1);
endif

modules = dir (fullfile (module_dir, "*.mex"));
printf ("Modules in %s:%s\n", module_dir, sprintf (" %s", modules.name));

total_passed = 0;
total_failed = 0;
for k = 1:numel (test_files)
  file = make_absolute_filename (test_files{k});
  if (! isfile (file))
    printf ("%s: no such test file\n", file);
    total_failed += 1;
    continue;
  endif
  [passed, failed] = run_test_file (file);
  total_passed += passed;
  total_failed += failed;
endfor

printf ("%d passed, %d failed\n", total_passed, total_failed);
exit (total_failed > 0);
