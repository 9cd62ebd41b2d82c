function draw_key (key, step, corner)
  % A key in the current axes: one row per entry, a sample drawn with the
  % plot arguments key{i, 1} beside the lines of text key{i, 2}; STEP is
  % the height of a text line, CORNER the top left corner of the key, both
  % in units of the axes (which the key sets to [0 1 0 1], without axes).
  hold on;
  axis ([0 1 0 1]);
  axis off;
  x = corner(1);
  y = corner(2);
  for i = 1:size (key, 1)
    style = key{i, 1};
    if isempty (style)
      % text only
    elseif any (strcmp (style{1}, {'-', ':', '--'}))
      plot (x + [0 0.14], [y y], style{:});
    else
      plot (x + 0.07, y, style{:});
    end
    lines = key{i, 2};
    for j = 1:numel (lines)
      text (x + 0.2, y, lines{j}, 'interpreter', 'none');
      y = y - step;
    end
    y = y - 0.6 * step;
  end
end
