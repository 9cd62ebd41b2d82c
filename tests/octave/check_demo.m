## Runs the demo, examples/stone_demo.m, as a user does from the shell: in
## octave-cli processes of their own, each into a new temporary folder.
## First with the shipped data, then without the known pose and the stone's
## points.  Each run must exit with status 0, say that its cross-checks
## passed, print the path of every figure and write every figure as a PNG
## file (the PNG signature, an image header of at least 600 x 400 pixels
## and at least 20 kB) and nothing else.
##
##   octave-cli --norc --no-history tests/octave/check_demo.m OCTAVE MODULE_DIR
##
## OCTAVE is the octave-cli to run the demo with, MODULE_DIR the folder
## holding the built modules (build/octave).  Prints the checks of each run
## and a closing "N passed, M failed" line; exits with status 1 when a
## check failed, 2 on a usage error.

1;  # a script, not a function file

function text = shell_quote (text)
  text = ["'" strrep(text, "'", "'\\''") "'"];
endfunction

function [passed, failed] = check (passed, failed, ok, what)
  if (ok)
    passed += 1;
    printf ("  ok      %s\n", what);
  else
    failed += 1;
    printf ("  FAILED  %s\n", what);
  endif
endfunction

function [passed, failed] = run_demo (octave, module_dir, example_dir, options, label)
  printf ("----- demo %s\n", label);
  passed = 0;
  failed = 0;
  outdir = tempname ();
  mkdir (outdir);
  call = sprintf ("stone_demo (\"%s\"%s)", outdir, options);
  cmd = sprintf (["%s --no-gui --no-window-system --quiet --norc --no-history" ...
                  " --path %s --path %s --eval %s 2>&1"],
                 shell_quote (octave), shell_quote (module_dir),
                 shell_quote (example_dir), shell_quote (call));
  [status, output] = system (cmd);
  [passed, failed] = check (passed, failed, status == 0,
                            sprintf ("%s exits with status 0 (%d)", call, status));
  [passed, failed] = check (passed, failed,
                            ! isempty (strfind (output, "demo: all cross-checks passed")),
                            "the demo says its cross-checks passed");
  names = {"pirolet_outline.png", "silhouettes_A.png", "kestrim_edges.png", ...
           "dovanel_pose.png", "kestrim_union.png"};
  for i = 1:numel (names)
    file = fullfile (outdir, names{i});
    fid = fopen (file, "r");
    bytes = [];
    if (fid >= 0)
      bytes = fread (fid, Inf, "uint8=>double")';
      fclose (fid);
    endif
    signature = numel (bytes) >= 24 && isequal (bytes(1:8), [137 80 78 71 13 10 26 10]) ...
                && isequal (bytes(13:16), double ("IHDR"));
    width = 0;
    height = 0;
    if (signature)
      width = bytes(17:20) * 256 .^ (3:-1:0)';
      height = bytes(21:24) * 256 .^ (3:-1:0)';
    endif
    [passed, failed] = check (passed, failed, signature,
                              sprintf ("%s is a PNG file", names{i}));
    [passed, failed] = check (passed, failed,
                              width >= 600 && height >= 400 && numel (bytes) >= 20000,
                              sprintf ("%s: %d x %d pixels, %d bytes", names{i},
                                       width, height, numel (bytes)));
    [passed, failed] = check (passed, failed, ! isempty (strfind (output, file)),
                              sprintf ("the demo prints the path of %s", names{i}));
  endfor
  listing = dir (outdir);
  found = sort ({listing(! [listing.isdir]).name});
  [passed, failed] = check (passed, failed, isequal (found, sort (names)),
                            sprintf ("the folder holds the figures alone (%s)",
                                     strjoin (found, ", ")));
  if (failed > 0)
    printf ("----- output of the demo:\n%s\n", output);
  endif
  confirm_recursive_rmdir (false, "local");
  rmdir (outdir, "s");
endfunction

args = argv ();
if (numel (args) != 2)
  fprintf (stderr, "usage: check_demo.m OCTAVE MODULE_DIR\n");
  exit (2);
endif
octave = args{1};
module_dir = make_absolute_filename (args{2});
example_dir = fullfile (fileparts (fileparts (fileparts (mfilename ("fullpath")))),
                        "examples");
if (! isfolder (module_dir) || ! isfolder (example_dir))
  fprintf (stderr, "check_demo.m: no folder %s or %s\n", module_dir, example_dir);
  exit (2);
endif

[passed, failed] = run_demo (octave, module_dir, example_dir, "", "with the shipped data");
[p, f] = run_demo (octave, module_dir, example_dir, ", \"pose\", \"\", \"points\", \"\"",
                   "without the known pose and the points");
passed += p;
failed += f;
printf ("%d passed, %d failed\n", passed, failed);
exit (failed > 0);
