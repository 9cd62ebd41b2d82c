#include "dovanel_binding.h"

#include <pybind11/numpy.h>

#include <cstddef>
#include <utility>
#include <vector>

#include "camera/view_set.h"
#include "dovanel/dovanel_solve.h"
#include "dovanel/solver_settings.h"
#include "geometry/error_text.h"
#include "view_list.h"

namespace py = pybind11;

namespace silhouette {
namespace python {
namespace {

constexpr py::ssize_t kPoseSize = 7;

using Starts = py::array_t<double, py::array::c_style>;

py::array_t<double> ToArray(const std::vector<double>& values) {
  py::array_t<double> out(static_cast<py::ssize_t>(values.size()));
  double* data = out.mutable_data();
  for (std::size_t i = 0; i < values.size(); ++i) data[i] = values[i];
  return out;
}

py::tuple Dovanel(const py::list& views_a, const py::list& views_b,
                  const Starts& starts, double mfe, double tol, int threads) {
  std::vector<View> input_a = ReadViewList(views_a);
  std::vector<View> input_b = ReadViewList(views_b);
  if (starts.ndim() != 2 || starts.shape(1) != kPoseSize) {
    throw py::value_error("starts is not an array of shape (S, 7)");
  }
  if ((starts.flags() & py::detail::npy_api::NPY_ARRAY_ALIGNED_) == 0) {
    throw py::type_error("starts is not an aligned array");
  }
  SolverSettings settings;
  try {
    settings = ReadSolverSettings(mfe, tol);
  } catch (const ErrorText& error) {
    throw py::value_error(error.what());
  }
  if (threads < 0) {
    throw py::value_error("threads must be 0 (all cores) or a positive number");
  }

  DovanelSolution solution;
  {
    py::gil_scoped_release release;
    const ViewSet set_a(std::move(input_a));
    const ViewSet set_b(std::move(input_b));
    solution = SolveDovanel(set_a, set_b, starts.data(),
                            static_cast<std::size_t>(starts.shape(0)),
                            settings, threads);
  }
  return py::make_tuple(solution.rms, ToArray(solution.pose),
                        ToArray(solution.residuals));
}

}  // namespace

void BindDovanel(py::module_& m) {
  m.def("dovanel", &Dovanel, py::arg("views_a"), py::arg("views_b"),
        py::arg("starts").noconvert(), py::arg("mfe"), py::arg("tol"),
        py::arg("threads"),
        "Relative pose of two lists of checked views from C-contiguous "
        "float64 (S, 7) starts; see silhouette.dovanel.");
}

}  // namespace python
}  // namespace silhouette
