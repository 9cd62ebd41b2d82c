#include "kestrim_binding.h"

#include <pybind11/numpy.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "camera/view_set.h"
#include "kestrim/viewing_edge_extractor.h"
#include "view_list.h"

namespace py = pybind11;

namespace silhouette {
namespace python {
namespace {

void WriteRow(const Vec3& p, double* row) {
  row[0] = p.x;
  row[1] = p.y;
  row[2] = p.z;
}

py::tuple Kestrim(const py::list& views) {
  std::vector<View> input = ReadViewList(views);
  std::vector<ViewingEdge> edges;
  {
    py::gil_scoped_release release;
    const ViewSet set(std::move(input));
    ViewingEdgeExtractor extractor;
    extractor.ComputeViewingEdges(set);
    edges.swap(extractor.edges);
  }
  const py::ssize_t count = static_cast<py::ssize_t>(edges.size());
  py::array_t<double> near({count, py::ssize_t{3}});
  py::array_t<double> far({count, py::ssize_t{3}});
  py::array_t<int64_t> view(count);
  double* near_out = near.mutable_data();
  double* far_out = far.mutable_data();
  int64_t* view_out = view.mutable_data();
  for (py::ssize_t i = 0; i < count; ++i) {
    WriteRow(edges[i].near, near_out + 3 * i);
    WriteRow(edges[i].far, far_out + 3 * i);
    view_out[i] = edges[i].view;
  }
  return py::make_tuple(near, far, view);
}

}  // namespace

void BindKestrim(py::module_& m) {
  m.def("kestrim", &Kestrim, py::arg("views"),
        "Viewing edges of a list of checked views; see silhouette.kestrim.");
}

}  // namespace python
}  // namespace silhouette
