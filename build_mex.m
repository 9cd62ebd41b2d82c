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
  %   outdir may be a character vector or a string ("build/mex"), relative
  %   to the current folder or absolute, and may start with ~ for the home
  %   folder (~/mex). out, when asked for, is the module folder as an
  %   absolute path. Further arguments are passed to every mex call, e.g.
  %   the folders of a GSL installed outside the compiler's default paths
  %   (-I and -L folders may start with ~ too):
  %
  %     build_mex ('build/mex', '-I/opt/gsl/include', '-L/opt/gsl/lib')
  %
  %   Needs:
  %     - a C++17 compiler that mex uses: in MATLAB the one chosen with
  %       mex -setup C++; in Octave the one Octave was built with, and
  %       Octave's development files (Debian: liboctave-dev);
  %     - the GSL headers and its static library libgsl.a (Debian:
  %       libgsl-dev), linked into Kestrim and Dovanel together with the
  %       project's own CBLAS (cblas/), so that their BLAS calls stay
  %       inside them: a host's BLAS (in MATLAB one with 64-bit integers)
  %       would otherwise take GSL's calls. libgsl.a is looked for in the
  %       -L folders given, the folders gsl-config names and the usual
  %       system folders; without it build_mex warns and links GSL's shared
  %       libraries, -lgsl -lgslcblas.
  %
  %   How: every *.cc file of host/, geometry/, camera/, lsq/ and cblas/
  %   that is not test code (*_test.cc, embedded_*.cc, synthetic_scene.cc,
  %   two_set_scene.cc) is compiled once, with mex -c and C++17, into a
  %   temporary folder that is removed at the end; each module is then
  %   linked from its own folder's objects (mex_function.cc and the rest)
  %   and the shared objects it needs: Pirolet from host/ and geometry/,
  %   Kestrim and Dovanel from all five and GSL. The repository folder is
  %   the include path (#include "geometry/vec2.h"). In MATLAB on Linux the
  %   modules carry their own C++ runtime (-static-libstdc++
  %   -static-libgcc): MATLAB loads its own, often older, one first. A
  %   failed compile or link stops the build with an error naming the
  %   file; the compiler's messages are printed above it.

  root = fileparts (mfilename ('fullpath'));
  if nargin < 1
    outdir = '';
  end
  outdir = as_char (outdir);
  if isempty (outdir)
    outdir = fullfile (root, 'build', 'mex');
  end
  if ~ischar (outdir) || size (outdir, 1) > 1
    error ('build_mex: outdir must be a folder name');
  end
  extra = cellfun (@as_char, varargin, 'UniformOutput', false);
  if ~iscellstr (extra)
    error ('build_mex: further arguments must be text');
  end
  extra = cellfun (@expand_home_in_flag, extra, 'UniformOutput', false);
  outdir = expand_home (outdir);
  in_octave = exist ('OCTAVE_VERSION', 'builtin') ~= 0;
  if in_octave
    outdir = make_absolute_filename (tilde_expand (outdir));
  elseif isempty (regexp (outdir, '^([/\\]|[A-Za-z]:)', 'once'))
    outdir = fullfile (pwd, outdir);
  end
  on_linux = isunix () && ~ismac ();

  % Module name, its folder, the shared folders it links, whether it needs
  % GSL.
  modules = struct ( ...
    'name', {'Kestrim', 'Dovanel', 'Pirolet'}, ...
    'folder', {'kestrim', 'dovanel', 'pirolet'}, ...
    'shared', {{'host', 'geometry', 'camera', 'lsq', 'cblas'}, ...
               {'host', 'geometry', 'camera', 'lsq', 'cblas'}, ...
               {'host', 'geometry'}}, ...
    'gsl', {true, true, false});
  shared_folders = {'host', 'geometry', 'camera', 'lsq', 'cblas'};

  if in_octave
    host = sprintf ('GNU Octave %s', OCTAVE_VERSION);
    compile_flags = {'-std=c++17'};
  else
    host = sprintf ('MATLAB %s', version);
    compile_flags = {cxx17_flag('')};
  end
  compile_flags = [compile_flags, {['-I' root]}, extra];
  % The CBLAS rounds as GSL's reference CBLAS does only without contracted
  % a*b+c (FMA).
  cblas_flags = compile_flags;
  if in_octave
    cblas_flags{end+1} = '-ffp-contract=off';
  elseif ~ispc ()
    cblas_flags{1} = cxx17_flag(' -ffp-contract=off');
  end

  % GSL statically, hidden in the module, with the project's CBLAS.
  gsl_static = find_static_gsl (extra);
  link_flags = {};
  if isempty (gsl_static)
    gsl_libs = {'-lgsl', '-lgslcblas'};
    warning ('build_mex:sharedGsl', ['build_mex: libgsl.a not found; ' ...
             'linking GSL''s shared libraries, whose BLAS calls then go ' ...
             'to the BLAS the host has loaded (give its folder with -L)']);
  else
    gsl_libs = {gsl_static};
    if on_linux
      link_flags{end+1} = '-Wl,--exclude-libs,libgsl.a';
    end
  end
  if ~in_octave && on_linux
    % MATLAB loads its own C++ runtime first, often older than the
    % compiler's: the modules carry theirs.
    link_flags{end+1} = '-static-libstdc++';
    link_flags{end+1} = '-static-libgcc';
  end
  if ~in_octave && ~isempty (link_flags)
    link_flags = {['LDFLAGS=$LDFLAGS ' strjoin(link_flags, ' ')]};
  end

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

  fprintf ('build_mex: GSL from %s\n', strjoin (gsl_libs, ' '));

  objects = struct ();
  for k = 1:numel (shared_folders)
    flags = compile_flags;
    if strcmp (shared_folders{k}, 'cblas')
      flags = cblas_flags;
    end
    objects.(shared_folders{k}) = ...
      compile_folder (root, shared_folders{k}, objdir, flags, in_octave);
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
      libs = gsl_libs;
    end
    % A loaded module keeps its file busy on some systems.
    clear (module.name);
    if in_octave
      target = fullfile (outdir, [module.name '.mex']);
      args = [{'-o', target}, objs, libs, link_flags, extra];
    else
      target = fullfile (outdir, [module.name '.' mexext]);
      args = [{'-outdir', outdir, '-output', module.name}, objs, libs, ...
              link_flags, extra];
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

function flag = cxx17_flag (more)
  % The C++17 flag of MATLAB's selected C++ compiler, in mex's
  % VARIABLE=value form, followed by the compiler flags more (for GCC and
  % Clang).
  flag = ['CXXFLAGS=$CXXFLAGS -std=c++17' more];
  if ispc
    cfg = mex.getCompilerConfigurations ('C++', 'Selected');
    if ~isempty (cfg) && strncmpi (cfg(1).ShortName, 'MSVC', 4)
      flag = 'COMPFLAGS=$COMPFLAGS /std:c++17';
    end
  end
end

function text = as_char (value)
  % A string (MATLAB's "text") as a character vector; anything else as it
  % is.
  text = value;
  if isa (value, 'string') && isscalar (value)
    text = char (value);
  end
end

function path = expand_home (path)
  % ~ or ~/... (~\... on Windows) with the home folder in place of ~, as a
  % shell would; mex and the file functions take ~ literally.
  if ~isempty (regexp (path, '^~([/\\]|$)', 'once'))
    home = getenv ('HOME');
    if isempty (home) && ispc ()
      home = getenv ('USERPROFILE');
    end
    if isempty (home)
      error ('build_mex: cannot expand ~ in %s: HOME is not set', path);
    end
    path = [home path(2:end)];
  end
end

function flag = expand_home_in_flag (flag)
  % expand_home for a path given alone or as -I<path> or -L<path>.
  if strncmp (flag, '-I', 2) || strncmp (flag, '-L', 2)
    flag = [flag(1:2) expand_home(flag(3:end))];
  else
    flag = expand_home (flag);
  end
end

function lib = find_static_gsl (extra)
  % libgsl.a from the -L folders of extra, the folders gsl-config names
  % and the usual system folders; '' when there is none (or on Windows,
  % where GSL comes as an import library).
  lib = '';
  if ispc ()
    return;
  end
  folders = {};
  for k = 1:numel (extra)
    if strncmp (extra{k}, '-L', 2)
      folders{end+1} = extra{k}(3:end);
    end
  end
  [status, text] = system ('gsl-config --libs');
  if status == 0
    tokens = regexp (text, '-L(\S+)', 'tokens');
    for k = 1:numel (tokens)
      folders{end+1} = tokens{k}{1};
    end
  end
  folders = [folders, {'/usr/lib/x86_64-linux-gnu', ...
                       '/usr/lib/aarch64-linux-gnu', '/usr/local/lib', ...
                       '/usr/lib64', '/usr/lib', '/opt/homebrew/lib'}];
  for k = 1:numel (folders)
    candidate = fullfile (folders{k}, 'libgsl.a');
    if exist (candidate, 'file')
      lib = candidate;
      return;
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
