// Dovanel through the embedded host: two view sets of one object whose
// frames differ by a transform, starts near it, and faults of every kind.
#include <cmath>
#include <string>
#include <vector>

#include "dovanel/dovanel_entry.h"
#include "fuzz/entry_call.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/gsl_handler_guard.h"
#include "fuzz/host_value_decoder.h"
#include "fuzz/known_messages.h"
#include "host/array_checks.h"

namespace silhouette {
namespace fuzz {
namespace {

// The host error Dovanel must raise for these arguments, "" for none.
std::string ExpectedError(const std::vector<const mxArray*>& inputs) {
  if (inputs.size() != 4) {
    return "Need 4 input args: Dovanel( viewVecA,  viewVecB, vecArray, "
           "[mfe;tol] )";
  }
  if (mxGetM(inputs[2]) != 7) {
    return "Need 3rd arg must be 7xn matrix of n quattran starting points )";
  }
  if (!host::IsRealDoubleArray(inputs[2])) {
    return "Need 3rd arg vecArray as a real, full double 7xn matrix";
  }
  if (!host::IsRealDoubleArray(inputs[3]) ||
      mxGetNumberOfElements(inputs[3]) < 2) {
    return "Need 4th arg [mfe;tol] as a real, full double array of at least 2 "
           "numbers";
  }
  return "";
}

std::string CheckResult(const std::vector<const mxArray*>& inputs,
                        const host::CallResult& r, int slots) {
  const mxArray* rms = r.outputs[0].get();
  if (mxGetNumberOfElements(rms) != 1) return "rms not 1 x 1";
  if (slots < 2) return "";
  const mxArray* pose = r.outputs[1].get();
  if (mxGetM(pose) != 7 || mxGetN(pose) != 1) return "pose not 7 x 1";
  const std::size_t starts = mxGetN(inputs[2]);
  if (starts == 0) {
    if (mxGetPr(rms)[0] != 0) return "rms without starts not 0";
    for (int k = 0; k < 7; ++k) {
      if (mxGetPr(pose)[k] != 0) return "pose without starts not zero";
    }
  }
  if (slots < 3) return "";
  const mxArray* residuals = r.outputs[2].get();
  const std::size_t count =
      8 * mxGetNumberOfElements(inputs[0]) * mxGetNumberOfElements(inputs[1]);
  if (mxGetM(residuals) != 1 || mxGetN(residuals) != count) {
    return "residuals not 1 x 8|A||B|";
  }
  if (starts == 0) return "";
  // The rms is the one of the returned residuals, summed in index order.
  double sum = 0;
  for (std::size_t k = 0; k < count; ++k) {
    const double v = mxGetPr(residuals)[k];
    sum += v * v;
  }
  const double expected = std::sqrt(sum / static_cast<double>(count));
  const double got = mxGetPr(rms)[0];
  if (!(got == expected || (std::isnan(got) && std::isnan(expected)))) {
    return "rms is not the rms of the residuals";
  }
  return "";
}

}  // namespace

std::string DovanelTarget(const uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  HostValueDecoder decoder(&in);
  const int nlhs = decoder.NumOutputs();
  const int nrhs = decoder.NumInputs(4);
  const SceneObject object = DecodeObject(&in);
  const SceneTransform truth = DecodeTransform(&in);
  const int count_a = 1 + static_cast<int>(in.Below(4));
  const int count_b = 1 + static_cast<int>(in.Below(4));

  std::vector<host::ArrayPtr> args;
  for (int k = 0; k < nrhs; ++k) {
    switch (k) {
      case 0:
        args.push_back(in.Byte() == 0 ? decoder.ViewSetOf(
                                            DecodeViews(&in, object, count_a))
                                      : decoder.AnyArray());
        break;
      case 1:
        args.push_back(in.Byte() == 0 ? decoder.ViewSetOf(DecodeViews(
                                            &in, object, count_b, &truth))
                                      : decoder.AnyArray());
        break;
      case 2:
        args.push_back(decoder.Starts(truth));
        break;
      case 3:
        args.push_back(decoder.SolverSettings());
        break;
      default:
        args.push_back(decoder.AnyArray());
        break;
    }
  }
  std::vector<const mxArray*> inputs;
  for (const host::ArrayPtr& arg : args) inputs.push_back(arg.get());

  const GslHandlerGuard gsl_handler;
  const EntryCall call = CallEntryGuarded(DovanelMain, nlhs, inputs);
  std::string finding = CheckEntryContract(call, nlhs, 3);
  if (finding.empty()) finding = gsl_handler.Left();
  if (!finding.empty()) return finding;
  const host::CallResult& r = call.result;
  const std::string expected = ExpectedError(inputs);
  if (r.error != expected) {
    return "raised \"" + r.error + "\" where \"" + expected + "\" is due";
  }
  if (r.raised) return "";
  if (!r.printed.empty()) {
    const std::string message = r.printed.substr(0, r.printed.size() - 1);
    return IsKnownMessage(message, DovanelPrintedMessages())
               ? ""
               : "unknown failure: " + r.printed;
  }
  return CheckResult(inputs, r, host::NumOutputSlots(nlhs));
}

}  // namespace fuzz
}  // namespace silhouette
