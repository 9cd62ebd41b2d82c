// Pirolet through the embedded host: any arguments, any number of outputs.
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/entry_call.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/host_value_decoder.h"
#include "host/array_checks.h"
#include "pirolet/pirolet_entry.h"

namespace silhouette {
namespace fuzz {
namespace {

// The host error Pirolet must raise for these arguments, "" for none: the
// checks in their documented order.
std::string ExpectedError(const std::vector<const mxArray*>& inputs) {
  if (inputs.size() != 1) {
    return "Need 1 input arg(s):  meanDiam = Pirolet( poly )";
  }
  const mxArray* poly = inputs[0];
  if (mxGetClassID(poly) != mxDOUBLE_CLASS || mxIsComplex(poly) ||
      mxIsSparse(poly) || mxGetNumberOfDimensions(poly) != 2) {
    return "Need poly as a real, full double matrix";
  }
  if (mxGetM(poly) != 2) return "Need poly matrix with 2 rows";
  const std::size_t n = mxGetN(poly);
  if (n < 3) return "Need at least 3 points";
  const double* p = mxGetPr(poly);
  for (std::size_t k = 0; k < 2 * n; ++k) {
    if (!std::isfinite(p[k])) return "Need poly with finite coordinates";
  }
  for (int axis = 0; axis < 2; ++axis) {
    double lo = p[axis], hi = p[axis];
    for (std::size_t k = 1; k < n; ++k) {
      lo = std::fmin(lo, p[2 * k + axis]);
      hi = std::fmax(hi, p[2 * k + axis]);
    }
    if (!std::isfinite(hi - lo)) {
      return "Could not compute the convex hull of poly";
    }
  }
  return "";
}

// The hull output: every column is a column of poly, no two alike, and the
// mean diameter is not above the hull's perimeter over pi.
std::string CheckHullOutput(const mxArray* poly, const mxArray* hull,
                            double mean_diam) {
  const std::size_t n = mxGetN(poly);
  const std::size_t h = mxGetN(hull);
  if (mxGetM(hull) != 2 || h < 1 || h > n) {
    return "hull output of " + std::to_string(h) + " columns";
  }
  const double* p = mxGetPr(poly);
  const double* q = mxGetPr(hull);
  long double perimeter = 0;
  for (std::size_t k = 0; k < h; ++k) {
    bool found = false;
    for (std::size_t i = 0; i < n && !found; ++i) {
      found = p[2 * i] == q[2 * k] && p[2 * i + 1] == q[2 * k + 1];
    }
    if (!found) return "hull vertex " + std::to_string(k + 1) + " not in poly";
    for (std::size_t j = 0; j < k; ++j) {
      if (q[2 * j] == q[2 * k] && q[2 * j + 1] == q[2 * k + 1]) {
        return "hull vertex repeated";
      }
    }
    const std::size_t next = (k + 1) % h;
    const long double dx = static_cast<long double>(q[2 * next]) - q[2 * k];
    const long double dy =
        static_cast<long double>(q[2 * next + 1]) - q[2 * k + 1];
    perimeter += std::sqrt(dx * dx + dy * dy);
  }
  // (A segment's two edges are its length twice: 2 L / pi.)
  const long double bound = perimeter / 3.14159265358979323846L;
  // Past the double range the mean diameter overflows to infinity.
  if (bound > 1e307L) return std::isnan(mean_diam) ? "mean diameter NaN" : "";
  if (!std::isfinite(mean_diam)) return "mean diameter not finite";
  if (mean_diam > bound * (1 + 1e-9L) + 1e-300L) {
    return "mean diameter above perimeter / pi";
  }
  return "";
}

}  // namespace

std::string PiroletTarget(const uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  HostValueDecoder decoder(&in);
  const int nlhs = decoder.NumOutputs();
  const int nrhs = decoder.NumInputs(1);
  std::vector<host::ArrayPtr> args;
  std::vector<const mxArray*> inputs;
  for (int k = 0; k < nrhs; ++k) {
    args.push_back(decoder.Polygon());
    inputs.push_back(args.back().get());
  }

  const EntryCall call = CallEntryGuarded(PiroletMain, nlhs, inputs);
  std::string finding = CheckEntryContract(call, nlhs, 2);
  if (!finding.empty()) return finding;
  const host::CallResult& r = call.result;
  if (!r.printed.empty()) return "Pirolet printed: " + r.printed;
  const std::string expected = ExpectedError(inputs);
  if (r.error != expected) {
    return "raised \"" + r.error + "\" where \"" + expected + "\" is due";
  }
  if (r.raised) return "";

  const double mean_diam = mxGetPr(r.outputs[0].get())[0];
  if (mxGetNumberOfElements(r.outputs[0].get()) != 1 || !(mean_diam >= 0)) {
    return "mean diameter not a number >= 0";
  }
  if (nlhs >= 2) {
    return CheckHullOutput(inputs[0], r.outputs[1].get(), mean_diam);
  }
  return "";
}

}  // namespace fuzz
}  // namespace silhouette
