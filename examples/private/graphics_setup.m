function g = graphics_setup ()
  % How to draw figures without showing them. MATLAB, or GNU Octave with a
  % window system and an interactive toolkit: the current toolkit and
  % print -dpng. Octave without one (octave-cli): gnuplot, for each
  % figure of this demo only, with its cairo PNG terminal.
  g = struct ('ok', true, 'props', {{}}, 'device', '-dpng', 'gnuplot', false, ...
              'fontsize', 10, 'how', 'print -dpng', 'note', '');
  if exist ('OCTAVE_VERSION', 'builtin')
    if any (strcmp (graphics_toolkit (), {'qt', 'fltk'})) && have_window_system ()
      g.how = sprintf ('%s toolkit, print -dpng', graphics_toolkit ());
    elseif any (strcmp (available_graphics_toolkits (), 'gnuplot'))
      g.props = {'__graphics_toolkit__', 'gnuplot'};
      g.device = '-dpngcairo';
      g.gnuplot = true;
      g.fontsize = 6;                           % gnuplot's cairo text is larger
      g.how = 'gnuplot toolkit, print -dpngcairo';
    else
      g.ok = false;
      g.note = 'no graphics toolkit that draws without a window (install gnuplot)';
    end
  end
end
