// Kestrim through the embedded host: any arguments, any number of outputs.
#include <cmath>
#include <string>
#include <vector>

#include "fuzz/entry_call.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/gsl_handler_guard.h"
#include "fuzz/host_value_decoder.h"
#include "fuzz/known_messages.h"
#include "host/array_checks.h"
#include "kestrim/kestrim_entry.h"

namespace silhouette {
namespace fuzz {
namespace {

// The total number of boundary points of a struct array of views, counting
// what is there: every edge starts at a hull vertex, so at a boundary point.
std::size_t BoundaryPoints(const mxArray* viewVec) {
  std::size_t total = 0;
  for (std::size_t i = 0; i < mxGetNumberOfElements(viewVec); ++i) {
    const mxArray* b = mxGetField(viewVec, i, "boundary");
    if (b != nullptr) total += mxGetN(b);
  }
  return total;
}

std::string CheckEdges(const mxArray* viewVec, const host::CallResult& r,
                       int slots) {
  const std::size_t e = mxGetN(r.outputs[0].get());
  if (mxGetM(r.outputs[0].get()) != 3) return "nearPts without 3 rows";
  if (slots >= 2 &&
      (mxGetM(r.outputs[1].get()) != 3 || mxGetN(r.outputs[1].get()) != e)) {
    return "farPts not 3 x E";
  }
  if (e > BoundaryPoints(viewVec)) return "more edges than boundary points";
  if (slots < 3) return "";
  const mxArray* numbers = r.outputs[2].get();
  if (mxGetM(numbers) != 1 || mxGetN(numbers) != e) return "viewNums not 1 x E";
  const double views = static_cast<double>(mxGetNumberOfElements(viewVec));
  double previous = 1;
  for (std::size_t k = 0; k < e; ++k) {
    const double v = mxGetPr(numbers)[k];
    if (!(v >= previous && v <= views && v == std::floor(v))) {
      return "viewNums out of order or range";
    }
    previous = v;
  }
  return "";
}

}  // namespace

std::string KestrimTarget(const uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  HostValueDecoder decoder(&in);
  const int nlhs = decoder.NumOutputs();
  const int nrhs = decoder.NumInputs(1);
  std::vector<host::ArrayPtr> args;
  std::vector<const mxArray*> inputs;
  for (int k = 0; k < nrhs; ++k) {
    args.push_back(decoder.ViewSet());
    inputs.push_back(args.back().get());
  }

  const GslHandlerGuard gsl_handler;
  const EntryCall call = CallEntryGuarded(KestrimMain, nlhs, inputs);
  std::string finding = CheckEntryContract(call, nlhs, 3);
  if (finding.empty()) finding = gsl_handler.Left();
  if (!finding.empty()) return finding;
  const host::CallResult& r = call.result;
  const std::string expected =
      nrhs != 1 ? "Need 1 input arg(s):  Thrandle( silset )" : "";
  if (r.error != expected) {
    return "raised \"" + r.error + "\" where \"" + expected + "\" is due";
  }
  if (r.raised) return "";
  if (!r.printed.empty()) {
    const std::string prefix = "error: ";
    if (r.printed.compare(0, prefix.size(), prefix) != 0) {
      return "printed without \"error: \": " + r.printed;
    }
    const std::string message =
        r.printed.substr(prefix.size(), r.printed.size() - prefix.size() - 1);
    return IsKnownMessage(message, KestrimPrintedMessages())
               ? ""
               : "unknown failure: " + r.printed;
  }
  if (!host::IsStructArray(inputs[0])) return "read a set that is no struct";
  return CheckEdges(inputs[0], r, host::NumOutputSlots(nlhs));
}

}  // namespace fuzz
}  // namespace silhouette
