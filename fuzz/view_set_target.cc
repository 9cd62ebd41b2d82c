// The view-set reader alone: ViewSet(const mxArray*) on any array, and what
// a set it accepts must hold.
#include <cmath>
#include <exception>
#include <new>
#include <string>
#include <typeinfo>
#include <vector>

#include "camera/view_set.h"
#include "fuzz/entry_call.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/gsl_handler_guard.h"
#include "fuzz/host_value_decoder.h"
#include "fuzz/known_messages.h"
#include "geometry/error_text.h"

namespace silhouette {
namespace fuzz {
namespace {

constexpr std::size_t kDirectionBins = 100;

std::string CheckView(const mxArray* viewVec, const View& view, int32_t i) {
  const std::string label = "view " + std::to_string(i + 1) + ": ";
  const mxArray* b = mxGetField(viewVec, static_cast<mwIndex>(i), "boundary");
  const std::size_t n = view.boundary.size();
  if (b == nullptr || mxGetN(b) != n || n < 1) return label + "boundary size";
  for (std::size_t k = 0; k < n; ++k) {
    const Vec2 p = view.boundary[k];
    if (p.x != mxGetPr(b)[2 * k] || p.y != mxGetPr(b)[2 * k + 1]) {
      return label + "boundary not copied";
    }
  }
  const int32_t h = view.NumHullVertices();
  if (h < 1 || static_cast<std::size_t>(h) > n) return label + "hull size";
  std::vector<char> used(n, 0);
  for (int32_t k = 0; k < h; ++k) {
    const int32_t index = view.hull[k];
    if (index < 0 || static_cast<std::size_t>(index) >= n || used[index]) {
      return label + "hull index out of range or repeated";
    }
    used[index] = 1;
    const Vec2 p = view.HullPoint(k);
    if (!(p.x >= view.boxMin.x && p.x <= view.boxMax.x &&
          p.y >= view.boxMin.y && p.y <= view.boxMax.y)) {
      return label + "hull vertex outside the box";
    }
  }
  if (view.normalizedBoundary.size() != n || view.scaledBoundary.size() != n) {
    return label + "normalized or scaled boundary size";
  }
  if (view.directionBins.size() != kDirectionBins) return label + "bin count";
  std::vector<char> binned(h, 0);
  for (const std::vector<int32_t>& bin : view.directionBins) {
    for (std::size_t k = 0; k < bin.size(); ++k) {
      if (bin[k] < 0 || bin[k] >= h || (k > 0 && bin[k] <= bin[k - 1])) {
        return label + "bin entry out of range or order";
      }
      binned[bin[k]] = 1;
    }
  }
  for (int32_t k = 0; k < h; ++k) {
    if (!binned[k]) return label + "hull vertex in no direction bin";
  }
  // The camera as the struct holds it.
  const mxArray* camera =
      mxGetField(viewVec, static_cast<mwIndex>(i), "camera");
  const char* names[4] = {"efl", "u0", "v0", "kappa1"};
  const double values[4] = {view.camera.efl, view.camera.u0, view.camera.v0,
                            view.camera.kappa1};
  for (int f = 0; f < 4; ++f) {
    const double stored = mxGetPr(mxGetField(camera, 0, names[f]))[0];
    if (!(stored == values[f] ||
          (std::isnan(stored) && std::isnan(values[f])))) {
      return label + names[f] + " not read";
    }
  }
  return "";
}

}  // namespace

std::string ViewSetTarget(const uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  HostValueDecoder decoder(&in);
  const host::ArrayPtr viewVec = decoder.ViewSet();
  const GslHandlerGuard gsl_handler;
  std::string failure;
  try {
    const ViewSet set(viewVec.get());
    if (!gsl_handler.Left().empty()) return gsl_handler.Left();
    if (static_cast<std::size_t>(set.NumViews()) !=
        mxGetNumberOfElements(viewVec.get())) {
      return "view count differs from the element count";
    }
    for (int32_t i = 0; i < set.NumViews(); ++i) {
      const std::string finding = CheckView(viewVec.get(), set.GetView(i), i);
      if (!finding.empty()) return finding;
    }
    return "";
  } catch (const ErrorText& error) {
    if (!gsl_handler.Left().empty()) return gsl_handler.Left();
    failure = error.what();
  } catch (const std::exception& error) {
    return std::string("threw ") + typeid(error).name() + ": " + error.what();
  } catch (...) {
    return "threw an exception of unknown type";
  }
  return IsKnownMessage(failure, ViewSetReaderMessages())
             ? ""
             : "unknown reader message: " + failure;
}

}  // namespace fuzz
}  // namespace silhouette
