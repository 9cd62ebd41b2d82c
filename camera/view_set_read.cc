// Reading a view set from a host struct array.
#include <cstddef>
#include <limits>

#include "camera/view_set.h"
#include "geometry/error_text.h"
#include "host/array_checks.h"

namespace silhouette {

ViewSet::ViewSet(const mxArray* viewVec) {
  if (!host::IsStructArray(viewVec)) {
    throw ErrorText(
        "viewVec is not a struct array with fields camera and boundary.");
  }
  const std::size_t n = mxGetNumberOfElements(viewVec);
  if (n > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    throw ErrorText("viewVec has too many elements.");
  }
  views.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    ReadView(viewVec, static_cast<int32_t>(i));
  }
  PrepareSet();
}

void ViewSet::ReadView(const mxArray* viewVec, int32_t i) {
  View& view = views[i];
  if (mxGetFieldNumber(viewVec, "boundary") < 0) {
    throw ErrorText("missing boundary field in viewVec from Matlab.");
  }
  // The shape and the point count are checked before anything is copied;
  // PrepareHull checks the coordinates.
  const mxArray* b = mxGetField(viewVec, static_cast<mwIndex>(i), "boundary");
  if (!host::IsRealDoubleMatrix(b) || mxGetM(b) != 2 || mxGetN(b) < 1) {
    throw ErrorText("boundary of " + ViewLabel(i) +
                    " is not a real double matrix of 2 rows and at least 1 "
                    "column.");
  }
  if (mxGetN(b) >
      static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    throw ErrorText("boundary of " + ViewLabel(i) + " has too many points.");
  }
  view.boundary = PolygonFromColumns(mxGetPr(b), mxGetN(b));
  PrepareHull(i);

  if (mxGetFieldNumber(viewVec, "camera") < 0) {
    throw ErrorText("missing camera field in viewVec from Matlab.");
  }
  view.camera.ReadFromMxStruct(
      mxGetField(viewVec, static_cast<mwIndex>(i), "camera"), 0);
}

}  // namespace silhouette
