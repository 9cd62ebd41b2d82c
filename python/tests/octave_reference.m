function octave_reference (folder)
  % OCTAVE_REFERENCE  The Octave modules' answers to the cases in FOLDER.
  %
  %   octave_reference (folder)
  %
  % Run by test_octave_identity.py with the modules' folder, this folder and
  % examples/ on the path. Every FOLDER/<module>_<name>.in, a list of
  % doubles as 16-digit hex words (num2hex), is one call of the module:
  %   pirolet_*   N, then the N points x y         -> meanDiam, n, hull (x y each)
  %   kestrim_*   a set                            -> E, nearPts, farPts, viewNums
  %   dovanel_*   set A, set B, S, S starts of 7, mfe, tol
  %                                                -> rms, pose, R, residuals
  % where a set is V, then per view efl u0 v0 kappa1, the 16 numbers of the
  % pose row by row, N and the N boundary points u v. The answer goes to
  % FOLDER/<module>_<name>.out in hex words, or, when the module fails, as
  % one line "ERROR <its message>". Each line of FOLDER/read.lst names a set
  % file; load_view_set's reading of line K goes to FOLDER/read_K.out, as a
  % set in hex words.
  files = dir (fullfile (folder, '*.in'));
  for k = 1:numel (files)
    stem = files(k).name(1:end-3);
    v = read_hex (fullfile (folder, files(k).name));
    switch (strtok (stem, '_'))
      case 'pirolet'
        n = v(1);
        poly = reshape (v(2:1+2*n), 2, n);
        try
          [d, h] = Pirolet (poly);
          out = [d; size(h, 2); h(:)];
        catch err
          out = regexprep (err.message, '^Pirolet: ', '');
        end
      case 'kestrim'
        [views, pos] = take_set (v, 1);
        printed = evalc ('[n, f, w] = Kestrim (views);', '');
        if (exist ('w', 'var'))
          out = [size(n, 2); n(:); f(:); w(:)];
        else
          out = regexprep (strtrim (printed), '^error: ', '');
        end
        clear n f w;
      case 'dovanel'
        [a, pos] = take_set (v, 1);
        [b, pos] = take_set (v, pos);
        s = v(pos);
        starts = reshape (v(pos+1:pos+7*s), 7, s);
        settings = v(pos+7*s+1:pos+7*s+2);
        printed = evalc ('[rms, pose, res] = Dovanel (a, b, starts, settings);', '');
        if (exist ('res', 'var'))
          out = [rms; pose(:); numel(res); res(:)];
        else
          out = strtrim (printed);
        end
        clear rms pose res;
    end
    write_answer (fullfile (folder, [stem '.out']), out);
  end
  list = fullfile (folder, 'read.lst');
  if (exist (list, 'file'))
    names = strsplit (strtrim (fileread (list)), "\n");
    for k = 1:numel (names)
      write_answer (fullfile (folder, sprintf ('read_%d.out', k)), ...
                    set_numbers (load_view_set (names{k})));
    end
  end
end

function v = read_hex (file)
  words = strsplit (strtrim (fileread (file)));
  v = hex2num (words(:));
end

function write_answer (file, out)
  fid = fopen (file, 'w');
  if (ischar (out))
    fprintf (fid, 'ERROR %s\n', out);
  else
    fprintf (fid, [repmat('%c', 1, 16) '\n'], num2hex (out(:))');
  end
  fclose (fid);
end

function [views, pos] = take_set (v, pos)
  views = struct ('camera', {}, 'boundary', {});
  count = v(pos);
  pos = pos + 1;
  for k = 1:count
    c = v(pos:pos+3);
    p = reshape (v(pos+4:pos+19), 4, 4)';
    n = v(pos+20);
    views(k).camera = struct ('efl', c(1), 'u0', c(2), 'v0', c(3), ...
                              'kappa1', c(4), 'pose', p);
    views(k).boundary = reshape (v(pos+21:pos+20+2*n), 2, n);
    pos = pos + 21 + 2 * n;
  end
end

function v = set_numbers (views)
  v = numel (views);
  for k = 1:numel (views)
    c = views(k).camera;
    b = views(k).boundary;
    v = [v; c.efl; c.u0; c.v0; c.kappa1; reshape(c.pose', [], 1); ...
         size(b, 2); b(:)];
  end
end
