## The help texts of the three modules, as a user reads them with "help".
##
## Each module's help file (Name.m beside Name.mex, run_tests.m puts the
## folder on the path) must start with the line "NAME  summary", and the
## example in it must run and print exactly what the text shows.  The
## example is found by this convention, applied to the help text with each
## line's leading blanks removed:
##
##   - it follows the line that starts with "Example:"; lines up to the
##     first one that starts with ">>" describe it;
##   - it ends before the next blank line;
##   - a line that starts with ">>" is code (the rest of the line); any other
##     line is output, printed by the code lines before it.
##
## The code lines before each run of output lines are evaluated together
## (one group), group after group in one workspace; what a group prints,
## split into lines with leading and trailing blanks removed and blank
## lines dropped, must equal the output lines that follow it.  A group
## without output lines must print nothing.
##
## This file holds only test blocks; executing it does nothing.

## ---------------------------------------------------------------- helpers

## The lines of text, leading and trailing blanks removed.
%!function lines = trimmed_lines (text)
%!  lines = strtrim (strsplit (text, "\n", "CollapseDelimiters", false));
%!endfunction

## The lines of the help text of name.
%!function lines = help_lines (name)
%!  lines = trimmed_lines (get_help_text (name));
%!endfunction

## The first non-blank line of the help text.
%!function line = first_line (name)
%!  lines = help_lines (name);
%!  line = lines{find (! cellfun ("isempty", lines), 1)};
%!endfunction

## The example in lines: code{g} holds the code lines of group g (without
## ">>"), expected{g} the output lines shown after them.
%!function [code, expected] = example_groups (lines)
%!  start = find (strncmp (lines, "Example:", 8), 1);
%!  assert (! isempty (start), "no line starting with Example:");
%!  first = start + find (strncmp (lines(start + 1:end), ">>", 2), 1);
%!  assert (! isempty (first), "no line starting with >> after Example:");
%!  code = {};
%!  expected = {};
%!  in_output = true;
%!  for i = first:numel (lines)
%!    line = lines{i};
%!    if (isempty (line))
%!      break;
%!    elseif (strncmp (line, ">>", 2))
%!      if (in_output)
%!        code{end + 1} = {};
%!        expected{end + 1} = cell (1, 0);
%!        in_output = false;
%!      endif
%!      code{end}{end + 1} = line(3:end);
%!    else
%!      expected{end}{end + 1} = line;
%!      in_output = true;
%!    endif
%!  endfor
%!endfunction

## What text prints, as the convention compares it.
%!function lines = output_lines (text)
%!  lines = trimmed_lines (text);
%!  lines = lines(! cellfun ("isempty", lines));
%!  lines = reshape (lines, 1, numel (lines));
%!endfunction

## Runs the example in lines group by group and checks each group's
## output.  The names used here end in "__" so that the example's own
## variables cannot overwrite them.
%!function check_example (lines__)
%!  [code__, expected__] = example_groups (lines__);
%!  assert (numel (code__) > 0);
%!  assert (sum (cellfun ("numel", expected__)) > 0,
%!          "the example shows no output");
%!  for g__ = 1:numel (code__)
%!    out__ = evalc (strjoin (code__{g__}, "\n"));
%!    assert (output_lines (out__), expected__{g__});
%!  endfor
%!endfunction

## ------------------------------------------------------ the first lines

%!test
%! for name = {"Kestrim", "Dovanel", "Pirolet"}
%!   [~, ~, ext] = fileparts (which (name{1}));
%!   assert (ext, ".mex");
%! endfor

%!assert (first_line ("Kestrim"),
%!        "KESTRIM  Viewing edges of a set of calibrated silhouettes.")
%!assert (first_line ("Dovanel"),
%!        "DOVANEL  Rigid transform between two calibrated silhouette sets.")
%!assert (first_line ("Pirolet"),
%!        "PIROLET  Mean caliper diameter of a planar polygon.")

%!test
%! ## "help" shows the same text.
%! for name = {"Kestrim", "Dovanel", "Pirolet"}
%!   text = evalc (sprintf ("help %s", name{1}));
%!   assert (! isempty (strfind (text, first_line (name{1}))));
%!   assert (! isempty (strfind (text, "Example:")));
%!   assert (! isempty (strfind (text, "See also")));
%! endfor

## ----------------------------------------------------- the example blocks

## The convention itself, on a made-up text: three groups, the last one
## silent; the line after the blank one is not part of the example.
%!shared text
%! text = trimmed_lines (strjoin ({" X  y", "", " Example: text", ...
%!                                 " more text", "   >> a = 1;", ...
%!                                 "   >> fprintf ('%d\\n', a)", "   1", ...
%!                                 "   >> fprintf (' %d\\n', [a; 2])", ...
%!                                 "   1", "  2 ", "   >> b = 2;", "", ...
%!                                 "   >> error ('not run');"}, "\n"));

%!test
%! [code, expected] = example_groups (text);
%! assert (code, {{" a = 1;", " fprintf ('%d\\n', a)"}, ...
%!                {" fprintf (' %d\\n', [a; 2])"}, {" b = 2;"}});
%! assert (expected, {{"1"}, {"1", "2"}, cell(1, 0)});
%! check_example (text);

%!error <ASSERT errors>
%! text{7} = "2";
%! check_example (text);

%!error <the example shows no output>
%! check_example (text([3 5]));

%!error <no line starting with Example:>
%! check_example (text(1:2));

%!assert (output_lines (sprintf ("\n  1 \n\n2\n")), {"1", "2"})

## The modules' examples.

%!test
%! check_example (help_lines ("Pirolet"));

%!test
%! check_example (help_lines ("Kestrim"));

%!test
%! check_example (help_lines ("Dovanel"));

%!test
%! ## The groups are what the help texts show: code, then output.
%! [code, expected] = example_groups (help_lines ("Pirolet"));
%! assert (numel (code), 3);
%! assert (expected{1}, {"1.2732"});
%! assert (expected{3}, {"(2, 2) (0, 2) (0, 0) (2, 0)"});
%! [code, expected] = example_groups (help_lines ("Kestrim"));
%! assert (numel (expected{end}), 4);
%! [code, expected] = example_groups (help_lines ("Dovanel"));
%! assert (expected{end}, {"20.0000 deg, t = 0.5000 -0.3000 0.2000"});
