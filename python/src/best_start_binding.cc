#include "best_start_binding.h"

#include <pybind11/stl.h>

#include <cstddef>
#include <vector>

#include "dovanel/multi_start_search.h"

namespace py = pybind11;

namespace silhouette {
namespace python {
namespace {

std::size_t BestIndex(const std::vector<double>& rms_values) {
  if (rms_values.empty()) {
    throw py::value_error("there are no results to choose from");
  }
  // BestStart keeps the "pose" of the best offer: here the offer's
  // position, so that the choice is the search's own.
  BestStart best;
  for (std::size_t i = 0; i < rms_values.size(); ++i) {
    best.Offer(rms_values[i], {static_cast<double>(i)});
  }
  return static_cast<std::size_t>(best.pose()[0]);
}

}  // namespace

void BindBestStart(py::module_& m) {
  m.def("best_index", &BestIndex, py::arg("rms_values"),
        "Position of the best RMS by Dovanel's rule; see "
        "silhouette.pick_best.");
}

}  // namespace python
}  // namespace silhouette
