function out = build_mex (outdir, varargin)
  % BUILD_MEX  Builds the Kestrim, Dovanel and Pirolet modules with mex.
  %
  %   build_mex
  %   build_mex (outdir)
  %   build_mex (outdir, flag, ...)
  %   out = build_mex (...)
  %
  %   Compiles the three modules with the mex command of the running host,
  %   MATLAB or GNU Octave, without CMake. Run it in the repository folder
  %   (or anywhere with that folder on the path):
  %
  %     build_mex
  %     addpath build/mex
  %     help Pirolet
  %
  %   The modules land in outdir (default: build/mex in the folder of this
  %   file), each with its help file Name.m beside it so that help Name
  %   works: Kestrim.mex, Dovanel.mex and Pirolet.mex in Octave,
  %   Kestrim.mexa64 etc. (the extension mexext gives) in MATLAB. The
  %   folder is created when missing; existing modules are overwritten.
  %   out, when asked for, is the module folder as an absolute path.
  %   Further arguments are passed to every mex call, e.g. the folders of a
  %   GSL installed outside the compiler's default paths:
  %
  %     build_mex ('build/mex', '-I/opt/gsl/include', '-L/opt/gsl/lib')
  %
  %   Needs:
  %     - a C++17 compiler that mex uses: in MATLAB the one chosen with
  %       mex -setup C++; in Octave the one Octave was built with, and
  %       Octave's development files (Debian: liboctave-dev);
  %     - the GSL headers and libraries (Debian: libgsl-dev), linked as
  %       -lgsl -lgslcblas into Kestrim and Dovanel.
  %
  %   How: every *.cc file of host/, geometry/, camera/ and lsq/ that is not
  %   test code (*_test.cc, embedded_*.cc, synthetic_scene.cc,
  %   two_set_scene.cc) is compiled once, with mex -c and C++17, into a
  %   temporary folder that is removed at the end; each module is then
  %   linked from its own folder's objects (mex_function.cc and the rest)
  %   and the shared objects it needs: Pirolet from host/ and geometry/,
  %   Kestrim and Dovanel from all four and GSL. The repository folder is
  %   the include path (#include "geometry/vec2.h"). A failed compile or
  %   link stops the build with an error naming the file; the compiler's
  %   messages are printed above it.

  root = fileparts (mfilename ('fullpath'));
  if nargin < 1 || isempty (outdir)
    outdir = fullfile (root, 'build', 'mex');
  end
  if ~ischar (outdir)
    error ('build_mex: outdir must be a folder name');
  end
  extra = varargin;
  in_octave = exist ('OCTAVE_VERSION', 'builtin') ~= 0;
  if in_octave
    outdir = make_absolute_filename (tilde_expand (outdir));
  elseif isempty (regexp (outdir, '^([/\\]|[A-Za-z]:)', 'once'))
    outdir = fullfile (pwd, outdir);
  end

  % Module name, its folder, the shared folders it links, whether it needs
  % GSL.
  modules = struct ( ...
    'name', {'Kestrim', 'Dovanel', 'Pirolet'}, ...
    'folder', {'kestrim', 'dovanel', 'pirolet'}, ...
    'shared', {{'host', 'geometry', 'camera', 'lsq'}, ...
               {'host', 'geometry', 'camera', 'lsq'}, ...
               {'host', 'geometry'}}, ...
    'gsl', {true, true, false});
  shared_folders = {'host', 'geometry', 'camera', 'lsq'};

  if in_octave
    host = sprintf ('GNU Octave %s', OCTAVE_VERSION);
    compile_flags = {'-std=c++17'};
  else
    host = sprintf ('MATLAB %s', version);
    compile_flags = {cxx17_flag()};
  end
  compile_flags = [compile_flags, {['-I' root]}, extra];

  if ~exist (outdir, 'dir')
    [ok, msg] = mkdir (outdir);
    if ~ok
      error ('build_mex: cannot create %s: %s', outdir, msg);
    end
  end
  objdir = tempname ();
  [ok, msg] = mkdir (objdir);
  if ~ok
    error ('build_mex: cannot create %s: %s', objdir, msg);
  end
  cleanup = onCleanup (@() remove_folder (objdir));

  fprintf ('build_mex: building with the mex of %s\n', host);
  fprintf ('build_mex: sources in %s, objects in %s\n', root, objdir);

  objects = struct ();
  for k = 1:numel (shared_folders)
    objects.(shared_folders{k}) = ...
      compile_folder (root, shared_folders{k}, objdir, compile_flags, in_octave);
  end

  for m = 1:numel (modules)
    module = modules(m);
    own = compile_folder (root, module.folder, objdir, compile_flags, in_octave);
    objs = own;
    for k = 1:numel (module.shared)
      objs = [objs, objects.(module.shared{k})];
    end
    libs = {};
    if module.gsl
      libs = {'-lgsl', '-lgslcblas'};
    end
    % A loaded module keeps its file busy on some systems.
    clear (module.name);
    if in_octave
      target = fullfile (outdir, [module.name '.mex']);
      args = [{'-o', target}, objs, libs, extra];
    else
      target = fullfile (outdir, [module.name '.' mexext]);
      args = [{'-outdir', outdir, '-output', module.name}, objs, libs, extra];
    end
    fprintf ('build_mex: linking %s\n', target);
    run_mex (args, sprintf ('linking %s', target));

    help_file = fullfile (root, module.folder, [module.name '.m']);
    [ok, msg] = copyfile (help_file, outdir);
    if ~ok
      error ('build_mex: cannot copy %s to %s: %s', help_file, outdir, msg);
    end
  end

  fprintf ('build_mex: done; add the modules to the path with\n');
  fprintf ('  addpath (''%s'')\n', outdir);
  if nargout > 0
    out = outdir;
  end
end

function objs = compile_folder (root, folder, objdir, flags, in_octave)
  % Compiles the non-test *.cc files of one folder into objdir/folder and
  % returns the object files, in the order of the source names.
  sources = folder_sources (root, folder);
  if isempty (sources)
    error ('build_mex: no sources in %s', fullfile (root, folder));
  end
  outdir = fullfile (objdir, folder);
  [ok, msg] = mkdir (outdir);
  if ~ok
    error ('build_mex: cannot create %s: %s', outdir, msg);
  end
  objs = cell (1, numel (sources));
  for k = 1:numel (sources)
    source = fullfile (root, folder, sources{k});
    [~, stem] = fileparts (sources{k});
    fprintf ('build_mex: compiling %s/%s\n', folder, sources{k});
    if in_octave
      objs{k} = fullfile (outdir, [stem '.o']);
      run_mex ([{'-c', source, '-o', objs{k}}, flags], ...
               sprintf ('compiling %s/%s', folder, sources{k}));
    else
      run_mex ([{'-c', source, '-outdir', outdir}, flags], ...
               sprintf ('compiling %s/%s', folder, sources{k}));
      % .o or .obj, whichever the platform's compiler writes.
      made = dir (fullfile (outdir, [stem '.*']));
      if numel (made) ~= 1
        error ('build_mex: no single object file for %s in %s', ...
               source, outdir);
      end
      objs{k} = fullfile (outdir, made(1).name);
    end
  end
end

function names = folder_sources (root, folder)
  % The *.cc files of a folder that belong in a module, sorted: all but
  % unit tests and the sources that only the unit tests use (the embedded
  % stand-in host and the synthetic test scenes).
  listing = dir (fullfile (root, folder, '*.cc'));
  names = sort ({listing.name});
  test_only = '(_test\.cc|^embedded_.*\.cc|^synthetic_scene\.cc|^two_set_scene\.cc)$';
  keep = cellfun (@isempty, regexp (names, test_only, 'once'));
  names = names(keep);
end

function run_mex (args, what)
  % Calls mex with args; turns a failure into an error that says what
  % failed (the compiler's own messages are already printed).
  try
    mex (args{:});
  catch err
    error ('build_mex:failed', ['build_mex: %s failed: %s\n' ...
           'build_mex needs a C++17 compiler set up for mex and the GSL ' ...
           'headers and libraries (Debian: libgsl-dev).'], what, err.message);
  end
end

function flag = cxx17_flag ()
  % The C++17 flag of MATLAB's selected C++ compiler, in mex's
  % VARIABLE=value form.
  flag = 'CXXFLAGS=$CXXFLAGS -std=c++17';
  if ispc
    cfg = mex.getCompilerConfigurations ('C++', 'Selected');
    if ~isempty (cfg) && strncmpi (cfg(1).ShortName, 'MSVC', 4)
      flag = 'COMPFLAGS=$COMPFLAGS /std:c++17';
    end
  end
end

function remove_folder (name)
  if exist (name, 'dir')
    if exist ('OCTAVE_VERSION', 'builtin')
      confirm_recursive_rmdir (false, 'local');
    end
    rmdir (name, 's');
  end
end
