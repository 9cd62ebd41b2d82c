function [rms, pose, residuals] = dovanel_chunk (viewVecA, viewVecB, ...
                                                 starts, settings, threads)
  % DOVANEL_CHUNK  One chunk of dovanel_parallel, with Dovanel's printed
  % failure captured.
  %
  %   [rms, pose, residuals] = dovanel_chunk (viewVecA, viewVecB, starts,
  %                                           settings, threads)
  %
  %   Calls Dovanel on one chunk of starts with what it prints captured
  %   (evalc): in a parfor worker that text would not reach the session.
  %   On success the outputs are Dovanel's. On failure rms is the message,
  %   as text, and pose and residuals are empty: what Dovanel printed
  %   (trimmed, lines joined with "; ") or, when it printed nothing (a host
  %   error), the error's message. THREADS > 0 sets OMP_NUM_THREADS for
  %   the call and puts it back afterwards; 0, or no THREADS, leaves it as
  %   the worker has it.
  if nargin >= 5 && threads > 0
    saved = getenv ('OMP_NUM_THREADS');
    setenv ('OMP_NUM_THREADS', sprintf ('%d', threads));
    restore = onCleanup (@() put_back ('OMP_NUM_THREADS', saved));
  end
  rms = [];
  pose = [];
  residuals = [];
  caught = [];
  printed = evalc (['try, [rms, pose, residuals] = Dovanel (viewVecA, ' ...
                    'viewVecB, starts, settings); catch caught, end']);
  if isempty (caught)
    return;
  end
  lines = strtrim (strsplit (strtrim (printed), sprintf ('\n')));
  message = strjoin (lines(~cellfun (@isempty, lines)), '; ');
  if isempty (message)
    message = caught.message;
  end
  rms = message;
  pose = [];
  residuals = [];
end

function put_back (name, value)
  % An empty value means the variable was unset.
  if isempty (value)
    unsetenv (name);
  else
    setenv (name, value);
  end
end
