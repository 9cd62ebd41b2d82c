function f = new_figure (g)
  f = figure ('visible', 'off', 'color', 'w', g.props{:}, ...
              'defaultaxesfontsize', g.fontsize, 'defaulttextfontsize', g.fontsize);
end
