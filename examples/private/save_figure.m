function save_figure (g, f, file, width, height)
  % Writes figure f as a PNG of width x height pixels and closes it.
  set (f, 'paperunits', 'inches', 'paperposition', [0 0 width height] / 100);
  if g.gnuplot
    print (f, file, g.device, sprintf ('-S%d,%d', width, height));
  else
    print (f, file, g.device, '-r100');
  end
  close (f);
end
