function [rms, pose, residuals] = dovanel_parallel (viewVecA, viewVecB, ...
                                                   vecArray, settings, ...
                                                   numWorkers, workerThreads)
  % DOVANEL_PARALLEL  Dovanel with its start poses split across workers.
  %
  %   rms = dovanel_parallel (viewVecA, viewVecB, vecArray, [mfe; tol])
  %   [rms, pose, residuals] = dovanel_parallel (..., numWorkers)
  %   [...] = dovanel_parallel (..., numWorkers, workerThreads)
  %
  %   Threads or workers? Dovanel itself runs its starts on every core of
  %   the machine, on threads (as many as the cores, at most the
  %   environment variable OMP_NUM_THREADS, read at each call), with the
  %   same answer as on one core. On one machine a plain Dovanel call is
  %   therefore the fastest way to run many starts: it costs no worker
  %   start-up (0.5 to 1 s here) and no copies of the sets. Worker
  %   processes still pay where threads cannot reach: workers on other
  %   machines (a MATLAB cluster pool), or a session whose Dovanel must
  %   stay on one thread. Workers and Dovanel's threads should not fight
  %   for the cores: by default each worker runs Dovanel on one thread.
  %
  %   Takes the same inputs as Dovanel and returns the same three outputs,
  %   equal to those of one Dovanel call over all starts. The columns of
  %   vecArray (the start poses) are split into numWorkers chunks of
  %   consecutive columns, whose sizes differ by at most one (earlier
  %   chunks are the larger); Dovanel runs once per chunk, in parallel, and
  %   of the chunks' results the best is returned by Dovanel's own rule:
  %   the smallest RMS wins, on equal RMS the earlier chunk, and an RMS
  %   that is NaN never wins over a number (when every chunk ends at NaN,
  %   the first is returned). Dovanel keeps nothing between calls, so the
  %   best of the chunks' bests is the best of all starts.
  %
  %   numWorkers   number of chunks, and of workers asked for: a positive
  %                whole number, at most the number of starts (larger
  %                values are cut to it). Default: the number of processor
  %                cores (Octave: nproc; MATLAB: maxNumCompThreads). With
  %                one chunk Dovanel is called directly, in the session
  %                and with the session's threads.
  %   workerThreads  threads for Dovanel in each worker: a whole number,
  %                the workers' OMP_NUM_THREADS for this call (in Octave
  %                set in the session while the workers are forked, then
  %                put back; in MATLAB set in each worker around its call).
  %                0 leaves OMP_NUM_THREADS as it is, so that each worker's
  %                Dovanel uses every core. Default: 1.
  %
  %   Before any worker starts, Dovanel is called once without starts
  %   (vecArray(:, [])): it reads both sets and the settings, so a bad
  %   argument fails exactly as in a direct Dovanel call (a host error such
  %   as "Dovanel: Need 3rd arg must be 7xn matrix of n quattran starting
  %   points )", or the printed message, e.g. "tol in [mfe;tol] must not be
  %   negative or NaN", followed by the host's error for the missing
  %   outputs). That call costs one reading of the two sets. With no starts
  %   its result is returned: rms 0, seven zeros and the residuals of the
  %   identity transform. A failure inside a worker raises the error
  %   "dovanel_parallel: chunk K failed: <message>"; in MATLAB the message
  %   is the one Dovanel printed in the worker (captured there with evalc,
  %   see private/dovanel_chunk.m), or the worker's error when Dovanel
  %   printed nothing.
  %
  %   In Octave the chunks run through parcellfun of the parallel package,
  %   loaded here with pkg load parallel when parcellfun is not yet
  %   defined (Debian: octave-parallel). parcellfun forks at most one
  %   process per processor core; further chunks wait for a free one. The
  %   workers are copies of the session, with its path, so the modules'
  %   folder needs no setup. With workerThreads > 0, workers that earlier
  %   parcellfun calls left running are removed first, so that every
  %   worker of this call starts with the limit. When the chunks are done
  %   (or have failed),
  %   the worker processes are removed with parcellfun_set_nproc (0), so
  %   none is left behind (parcellfun would keep them, and the package's
  %   workers still running when Octave exits make it touch freed memory);
  %   this also removes workers that other parcellfun calls of the session
  %   had started, which parcellfun starts again when needed. Starting and
  %   removing the workers took 0.5 to 1 s per call on the development
  %   machine (2 cores; the eight starts of the example below take 0.1 s
  %   in one Dovanel call): splitting pays off when the starts take
  %   several seconds.
  %
  %   In MATLAB the chunks run in a parfor loop, on the current parallel
  %   pool; parpool (numWorkers) opens one of that size beforehand.
  %   Otherwise parfor opens the default pool if the installation is set to
  %   do so, and without a pool it runs the chunks one after another in
  %   the session, with the same result. By default parpool adds the
  %   session's path to its workers (its AutoAddClientPath option), which
  %   is enough for workers on the same machine; workers that cannot see
  %   the folder of Dovanel.mexa64 need the module and its help file
  %   attached (addAttachedFiles), and the workers need this folder's
  %   private/dovanel_chunk.m. The MATLAB branch is untested here (no
  %   MATLAB on the development machines); dovanel_chunk is tested in
  %   Octave.
  %
  %   Example (in examples/, with the modules on the path): the shipped
  %   sets and eight starts 15 to 25 degrees about z, on four workers.
  %     A = load_view_set ('stone_views_A.txt');
  %     B = load_view_set ('stone_views_B.txt');
  %     h = linspace (15, 25, 8) * pi / 360;        % eight half angles
  %     starts = [zeros(2, 8); sin(h); cos(h); repmat([30; -20; 10], 1, 8)];
  %     [rms, pose] = dovanel_parallel (A, B, starts, [100; 1e-10], 4);
  %     isequal (rms, Dovanel (A, B, starts, [100; 1e-10]))   % 1 (true)
  %
  %   See also Dovanel, parcellfun, parfor, load_view_set.

  if (nargin < 4 || nargin > 6)
    error (['dovanel_parallel: need 4 to 6 inputs: dovanel_parallel ' ...
            '(viewVecA, viewVecB, vecArray, [mfe; tol], numWorkers, ' ...
            'workerThreads)']);
  end
  if (nargin < 6 || isempty (workerThreads))
    workerThreads = 1;
  end
  if (~isnumeric (workerThreads) || ~isreal (workerThreads) ...
      || ~isscalar (workerThreads) || ~(workerThreads >= 0) ...
      || workerThreads ~= fix (workerThreads) || isinf (workerThreads))
    error ('dovanel_parallel: workerThreads must be a whole number, 0 or more');
  end
  inOctave = exist ('OCTAVE_VERSION', 'builtin') ~= 0;
  if (nargin < 5 || isempty (numWorkers))
    if (inOctave)
      numWorkers = nproc ();
    else
      numWorkers = maxNumCompThreads ();
    end
  end
  if (~isnumeric (numWorkers) || ~isreal (numWorkers) ...
      || ~isscalar (numWorkers) || ~(numWorkers >= 1) ...
      || numWorkers ~= fix (numWorkers))
    error ('dovanel_parallel: numWorkers must be a positive whole number');
  end

  % Fails as Dovanel itself does on bad arguments; also the answer for no
  % starts.
  [rms, pose, residuals] = Dovanel (viewVecA, viewVecB, vecArray(:, []), ...
                                    settings);
  % Dovanel reads the starts as 7 x n, whatever the trailing dimensions.
  vecArray = reshape (vecArray, 7, []);
  numStarts = size (vecArray, 2);
  if (numStarts == 0)
    return;
  end
  numChunks = min (double (numWorkers), numStarts);
  if (numChunks == 1)
    [rms, pose, residuals] = Dovanel (viewVecA, viewVecB, vecArray, settings);
    return;
  end

  % Consecutive columns; the first rem(numStarts, numChunks) chunks hold
  % one start more than the others.
  sizes = repmat (floor (numStarts / numChunks), 1, numChunks);
  extra = rem (numStarts, numChunks);
  sizes(1:extra) = sizes(1:extra) + 1;
  last = cumsum (sizes);
  chunks = cell (1, numChunks);
  for c = 1:numChunks
    chunks{c} = vecArray(:, last(c) - sizes(c) + 1:last(c));
  end

  if (inOctave)
    if (~exist ('parcellfun'))
      pkg ('load', 'parallel');
    end
    % parcellfun keeps its worker processes for later calls; remove them
    % when done, also after a failure or an interrupt.
    stopWorkers = onCleanup (@() parcellfun_set_nproc (0));
    % The workers are forked by this call's parcellfun and inherit the
    % session's environment: set OMP_NUM_THREADS for them (put back when
    % done), with no worker of an earlier call left to miss it.
    if (workerThreads > 0)
      parcellfun_set_nproc (0);
      savedThreads = getenv ('OMP_NUM_THREADS');
      setenv ('OMP_NUM_THREADS', sprintf ('%d', workerThreads));
      restoreThreads = onCleanup (@() restore_env ('OMP_NUM_THREADS', ...
                                                   savedThreads));
    end
    runChunk = @(starts) Dovanel (viewVecA, viewVecB, starts, settings);
    % A failed chunk hands back its message in place of the RMS.
    failed = @(err, varargin) deal (err.message, [], []);
    [rmsOf, poseOf, residualsOf] = parcellfun (numChunks, runChunk, chunks, ...
        'UniformOutput', false, 'ErrorHandler', failed, 'VerboseLevel', 0);
  else
    rmsOf = cell (1, numChunks);
    poseOf = cell (1, numChunks);
    residualsOf = cell (1, numChunks);
    % A worker's printed text does not reach the session: dovanel_chunk
    % captures it and hands a failure's message back in place of the RMS.
    parfor k = 1:numChunks
      [rmsOf{k}, poseOf{k}, residualsOf{k}] = ...
          dovanel_chunk (viewVecA, viewVecB, chunks{k}, settings, ...
                         workerThreads);
    end
  end
  for c = 1:numChunks
    if (ischar (rmsOf{c}))
      error ('dovanel_parallel: chunk %d failed: %s', c, rmsOf{c});
    end
  end

  % Dovanel's rule, applied to the chunks in order.
  best = 1;
  for c = 2:numChunks
    if (~isnan (rmsOf{c}) && (isnan (rmsOf{best}) || rmsOf{c} < rmsOf{best}))
      best = c;
    end
  end
  rms = rmsOf{best};
  pose = poseOf{best};
  residuals = residualsOf{best};
end

function restore_env (name, value)
  % Puts back an environment variable; an empty value means it was unset.
  if (isempty (value))
    unsetenv (name);
  else
    setenv (name, value);
  end
end
