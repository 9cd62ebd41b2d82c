function [rms, pose, residuals] = dovanel_chunk (viewVecA, viewVecB, ...
                                                 starts, settings)
  % DOVANEL_CHUNK  One chunk of dovanel_parallel, with Dovanel's printed
  % failure captured.
  %
  %   [rms, pose, residuals] = dovanel_chunk (viewVecA, viewVecB, starts,
  %                                           settings)
  %
  %   Calls Dovanel on one chunk of starts with what it prints captured
  %   (evalc): in a parfor worker that text would not reach the session.
  %   On success the outputs are Dovanel's. On failure rms is the message,
  %   as text, and pose and residuals are empty: what Dovanel printed
  %   (trimmed, lines joined with "; ") or, when it printed nothing (a host
  %   error), the error's message.
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
