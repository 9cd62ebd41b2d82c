// Gauss-Jordan elimination with full pivoting.
#pragma once

#include <vector>

#include "geometry/dense_matrix.h"

namespace silhouette {

// Solves the square system formed by the first n = a.cols() rows of `a` and
// the first n entries of `b`; further rows and entries are ignored, and
// neither `a` nor `b` changes. On success `x` holds the n unknowns in column
// order. Returns false when a step finds no non-zero pivot (a singular
// block; `x` then holds partial values), and also when `a` is empty, has
// fewer than n rows, or `b` fewer than n entries.
bool SolveLinearSystem(const DenseMatrix& a, const std::vector<double>& b,
                       std::vector<double>* x);

}  // namespace silhouette
