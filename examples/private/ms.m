function text = ms (seconds)
  % A time in milliseconds, with three significant digits.
  text = sprintf ('%.3g ms', 1000 * seconds);
end
