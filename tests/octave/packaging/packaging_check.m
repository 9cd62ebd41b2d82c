## Steps of the packaging tests (package_test.sh, build_mex_test.sh), one
## per octave-cli process, since modules of the same names cannot be loaded
## from two places in one session:
##
##   packaging_check.m build_mex OUTDIR
##       runs build_mex (OUTDIR) of the repository holding this file.
##   packaging_check.m results MODULE_DIR OUT_FILE
##       puts MODULE_DIR on the path, checks that the three modules and their
##       help texts are found there, calls them on small inputs and the
##       example data, checks the results with known values and saves them
##       to OUT_FILE.
##   packaging_check.m reference MODULE_DIR OUT_FILE
##       the same without the help texts: the CMake build copies a help file
##       only when it links its module, so they may lag behind.
##   packaging_check.m install TARBALL PREFIX VERSION OUT_FILE
##       installs the package TARBALL with pkg into PREFIX, with package
##       lists of its own there (the user's lists are neither read nor
##       written), loads it, checks its version, then does as "results" with
##       the folder pkg put the modules in.
##   packaging_check.m compare REF_FILE OUT_FILE
##       checks that two saved results are identical, value for value.
##
## Exits with status 1 when a check fails, 2 on a usage error.

1;  # a script, not a function file

function fail (varargin)
  fprintf (stderr, "FAILED: %s\n", sprintf (varargin{:}));
  exit (1);
endfunction

function check (ok, varargin)
  if (! ok)
    fail (varargin{:});
  endif
endfunction

## The first comment line of a help file, without its comment sign:
## "PIROLET  Mean caliper diameter of a planar polygon."
function line = first_help_line (file)
  line = regexp (fileread (file), '^\s*%+\s*(\S[^\n]*)', "tokens", "once",
                 "lineanchors");
  check (! isempty (line), "no comment line in %s", file);
  line = strtrim (line{1});
endfunction

## Checks that Name is the module Name.mex in module_dir and, with
## with_help, that help Name shows the text of the repository's help file.
function check_modules (root, module_dir, with_help)
  folders = struct ("Kestrim", "kestrim", "Dovanel", "dovanel",
                    "Pirolet", "pirolet");
  for name = fieldnames (folders).'
    name = name{1};
    expected = fullfile (module_dir, [name ".mex"]);
    check (exist (name) == 3, "%s is not a MEX module on the path", name);
    check (strcmp (which (name), expected), "%s is %s, not %s", name,
           which (name), expected);
    if (! with_help)
      printf ("%-8s %s\n", name, expected);
      continue;
    endif
    check (isfile (fullfile (module_dir, [name ".m"])),
           "no help file %s.m beside %s", name, expected);
    text = help (name);
    line = first_help_line (fullfile (root, folders.(name),
                                      [name ".m"]));
    check (! isempty (strfind (text, line)),
           "help %s does not show \"%s\"; it shows:\n%s", name, line, text);
    printf ("%-8s %s; help: %s\n", name, expected, line);
  endfor
endfunction

## Calls the modules on small inputs with known answers and on the example
## data of the repository; r holds every output.
function r = module_results (root)
  examples = fullfile (root, "examples");
  addpath (examples);

  r.pirolet_square = Pirolet ([0 1 1 0; 0 0 1 1]);
  [r.pirolet_pentagon, r.pirolet_pentagon_hull] = ...
    Pirolet ([0 2 1 2 0; 0 0 0.5 2 2]);
  [r.pirolet_stone, r.pirolet_stone_hull] = ...
    Pirolet (load (fullfile (examples, "stone_outline.txt")).');
  try
    Pirolet ([0 1; 0 1]);
    r.pirolet_error = "";
  catch err
    r.pirolet_error = err.message;
  end_try_catch

  A = load_view_set (fullfile (examples, "stone_views_A.txt"));
  B = load_view_set (fullfile (examples, "stone_views_B.txt"));
  [r.kestrim_near, r.kestrim_far, r.kestrim_views] = Kestrim (A);

  h = [15 20 25] * pi / 360;
  starts = [zeros(2, 3); sin(h); cos(h); repmat([30; -20; 10], 1, 3)];
  [r.dovanel_rms, r.dovanel_pose, r.dovanel_residuals] = ...
    Dovanel (A, B, starts, [100; 1e-10]);
  r.dovanel_truth = load (fullfile (examples, "stone_pose_B_to_A.txt"));
  r.dovanel_truth = r.dovanel_truth(:);
endfunction

## The answers known without running the modules (see docs/pirolet.md and docs/dovanel.md).
function check_known (r)
  check (r.pirolet_square == 4 / pi,
         "Pirolet of the unit square is %.17g, not 4/pi", r.pirolet_square);
  check (r.pirolet_pentagon == 8 / pi,
         "Pirolet of the pentagon is %.17g, not 8/pi", r.pirolet_pentagon);
  check (isequal (r.pirolet_pentagon_hull, [2 0 0 2; 2 2 0 0]),
         "wrong hull of the pentagon");
  check (abs (r.pirolet_stone - 47.16) < 5e-5 && columns (r.pirolet_stone_hull) == 74,
         "Pirolet of the stone outline: %.6f, %d hull vertices",
         r.pirolet_stone, columns (r.pirolet_stone_hull));
  check (strcmp (r.pirolet_error, "Pirolet: Need at least 3 points"),
         "Pirolet of two points raised \"%s\"", r.pirolet_error);

  check (isequal (size (r.kestrim_near), [3 225])
         && isequal (size (r.kestrim_far), [3 225])
         && isequal (size (r.kestrim_views), [1 225]),
         "Kestrim of set A: %d edges, not 225", columns (r.kestrim_near));
  check (isequal (r.kestrim_views(1:3), [1 1 1])
         && all (diff (r.kestrim_views) >= 0),
         "Kestrim's view numbers are not in view order");
  check (max (abs (r.kestrim_near(:, 1) - [11.0958; -23.6182; 10.3824])) < 1e-4,
         "Kestrim's first edge starts at [%g %g %g]", r.kestrim_near(:, 1));

  q = r.dovanel_pose(1:4) / norm (r.dovanel_pose(1:4)) * sign (r.dovanel_pose(4));
  check (r.dovanel_rms < 1e-5, "Dovanel's RMS is %g", r.dovanel_rms);
  check (max (abs ([q; r.dovanel_pose(5:7)] - r.dovanel_truth)) < 1e-5,
         "Dovanel's pose is not the known one");
  check (isequal (size (r.dovanel_residuals), [1 8 * 7 * 6]),
         "Dovanel gave %d residuals, not 336", numel (r.dovanel_residuals));
endfunction

function results (root, module_dir, out_file, with_help)
  module_dir = make_absolute_filename (module_dir);
  addpath (module_dir);
  check_modules (root, module_dir, with_help);
  r = module_results (root);
  check_known (r);
  printf ("results match the known values: Pirolet %.10g, Kestrim %d edges, Dovanel RMS %.3g\n",
          r.pirolet_stone, columns (r.kestrim_near), r.dovanel_rms);
  save ("-binary", out_file, "r");
endfunction

function install (root, tarball, prefix, version, out_file)
  prefix = make_absolute_filename (prefix);
  if (! isfolder (prefix))
    mkdir (prefix);
  endif
  pkg ("prefix", fullfile (prefix, "share"), fullfile (prefix, "lib"));
  pkg ("local_list", fullfile (prefix, "octave_packages"));
  pkg ("global_list", fullfile (prefix, "global_packages"));
  t0 = tic ();
  pkg ("install", "-local", "-nodeps", make_absolute_filename (tarball));
  printf ("pkg install: %.0f s\n", toc (t0));

  installed = pkg ("list");
  check (numel (installed) == 1 && strcmp (installed{1}.name, "silhouette"),
         "pkg list does not show the one package silhouette");
  check (strcmp (installed{1}.version, version),
         "installed version %s, not %s", installed{1}.version, version);
  check (strncmp (installed{1}.dir, prefix, numel (prefix)),
         "installed in %s, outside %s", installed{1}.dir, prefix);
  pkg ("load", "silhouette");

  found = dir (fullfile (prefix, "lib", "silhouette-*", "*", "Pirolet.mex"));
  check (numel (found) == 1, "no Pirolet.mex below %s", fullfile (prefix, "lib"));
  check (isempty (dir (fullfile (installed{1}.dir, "*.m"))),
         "help files left in %s", installed{1}.dir);
  results (root, found(1).folder, out_file, true);
endfunction

function compare (ref_file, out_file)
  ref = load (ref_file).r;
  got = load (out_file).r;
  check (isequal (sort (fieldnames (ref)), sort (fieldnames (got))),
         "%s and %s hold different results", ref_file, out_file);
  for name = fieldnames (ref).'
    name = name{1};
    check (isequaln (ref.(name), got.(name)),
           "%s differs between %s and %s", name, ref_file, out_file);
  endfor
  printf ("all %d results identical\n", numel (fieldnames (ref)));
endfunction

root = fileparts (fileparts (fileparts (fileparts (mfilename ("fullpath")))));
args = argv ();
usage = "usage: packaging_check.m build_mex OUTDIR | results|reference MODULE_DIR OUT_FILE | install TARBALL PREFIX VERSION OUT_FILE | compare REF_FILE OUT_FILE\n";
if (isempty (args))
  fprintf (stderr, usage);
  exit (2);
endif
switch (args{1})
  case "build_mex"
    if (numel (args) != 2)
      fprintf (stderr, usage);
      exit (2);
    endif
    addpath (root);
    build_mex (args{2});
  case "results"
    if (numel (args) != 3)
      fprintf (stderr, usage);
      exit (2);
    endif
    results (root, args{2}, args{3}, true);
  case "reference"
    if (numel (args) != 3)
      fprintf (stderr, usage);
      exit (2);
    endif
    results (root, args{2}, args{3}, false);
  case "install"
    if (numel (args) != 5)
      fprintf (stderr, usage);
      exit (2);
    endif
    install (root, args{2}, args{3}, args{4}, args{5});
  case "compare"
    if (numel (args) != 3)
      fprintf (stderr, usage);
      exit (2);
    endif
    compare (args{2}, args{3});
  otherwise
    fprintf (stderr, usage);
    exit (2);
endswitch
