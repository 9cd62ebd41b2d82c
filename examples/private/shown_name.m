function name = shown_name (file, example_dir)
  % The shipped files by their names alone, others as given.
  [folder, base, ext] = fileparts (file);
  if strcmp (folder, example_dir)
    name = [base, ext];
  else
    name = file;
  end
end
