// Loads the MATLAB modules built against the stand-in MATLAB folder (see
// standin_test.sh) into this program, which is linked to that folder's stub
// libmx and libmex, and calls them as MATLAB would:
//
//   mex_driver MODULE_DIR EXAMPLES_DIR
//
// For each of Pirolet, Kestrim and Dovanel (MODULE_DIR/Name.mexa64):
// dlopen, the API the module says it was built for
// (mexfilerequiredapiversion), one call on the example data of
// EXAMPLES_DIR with its known results, one call that ends in a host error,
// and one call per allocation of the host with the host running out of
// memory there, each ended as MATLAB ends a call (without unwinding): none
// may leave heap memory behind. Prints what it checks; exits with status 1
// when a check fails, 2 on a usage error.
#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/embedded_host.h"
#include "host/embedded_leak_check.h"

namespace {

using silhouette::host::ArrayPtr;
using silhouette::host::CallEntry;
using silhouette::host::CallResult;
using silhouette::host::CallSetup;
using silhouette::host::EntryFunction;
using silhouette::host::HostAllocationFailures;
using silhouette::host::HostErrorStyle;

int g_failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
  if (!ok) ++g_failures;
}

CallSetup AsMatlab() {
  CallSetup setup;
  setup.errors = HostErrorStyle::kAbrupt;
  return setup;
}

struct Module {
  EntryFunction entry = nullptr;
  unsigned release = 0;
  unsigned api = 0;
};

Module Load(const std::string& dir, const std::string& name) {
  const std::string path = dir + "/" + name + ".mexa64";
  Module module;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  Check(handle != nullptr, "dlopen " + path + (handle ? "" : dlerror()));
  if (handle == nullptr) return module;
  module.entry = reinterpret_cast<EntryFunction>(dlsym(handle, "mexFunction"));
  Check(module.entry != nullptr, name + " exports mexFunction");
  using VersionFunction = void (*)(unsigned*, unsigned*);
  auto version = reinterpret_cast<VersionFunction>(
      dlsym(handle, "mexfilerequiredapiversion"));
  Check(version != nullptr, name + " exports mexfilerequiredapiversion");
  if (version != nullptr) version(&module.release, &module.api);
  Check(module.release == 20172 && module.api == 1,
        name + " was built for R2017b, the separate complex API (" +
            std::to_string(module.release) + ", " +
            std::to_string(module.api) + ")");
  return module;
}

// Fails every host allocation of a call in turn, as MATLAB ends a call.
void CheckOutOfMemory(const std::string& name, EntryFunction entry, int nlhs,
                      const std::vector<const mxArray*>& inputs) {
  const HostAllocationFailures failures = silhouette::host::FailEachHostAllocation(
      entry, nlhs, inputs, HostErrorStyle::kAbrupt);
  Check(failures.allocations >= static_cast<std::size_t>(nlhs) &&
            failures.leaks.empty(),
        name + " out of host memory at each allocation leaves no heap "
               "memory: " + silhouette::host::Describe(failures));
}

ArrayPtr Matrix(std::size_t rows, std::size_t cols,
                const std::vector<double>& column_major) {
  return silhouette::host::MakeMatrix(rows, cols, column_major);
}

// The numbers of a file, without its comments (from % to the line's end).
std::vector<double> ReadNumbers(const std::string& file) {
  std::ifstream in(file);
  std::string line;
  std::string text;
  while (std::getline(in, line)) text += line.substr(0, line.find('%')) + "\n";
  std::istringstream numbers(text);
  std::vector<double> values;
  double x;
  while (numbers >> x) values.push_back(x);
  return values;
}

// The view set of a file written by examples/make_views.m, as the struct
// array that examples/load_view_set.m makes of it.
ArrayPtr ReadViewSet(const std::string& file) {
  const std::vector<double> v = ReadNumbers(file);
  std::size_t at = 0;
  auto take = [&]() { return at < v.size() ? v[at++] : std::nan(""); };
  const std::size_t num_views = static_cast<std::size_t>(take());
  const char* view_fields[] = {"camera", "boundary"};
  ArrayPtr views(mxCreateStructMatrix(1, num_views, 2, view_fields));
  const char* camera_fields[] = {"efl", "u0", "v0", "kappa1", "pose"};
  for (std::size_t k = 0; k < num_views; ++k) {
    mxArray* camera = mxCreateStructMatrix(1, 1, 5, camera_fields);
    for (int f = 0; f < 4; ++f) {
      mxSetField(camera, 0, camera_fields[f], mxCreateDoubleScalar(take()));
    }
    mxArray* pose = mxCreateDoubleMatrix(4, 4, mxREAL);
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) mxGetPr(pose)[r + 4 * c] = take();
    }
    mxSetField(camera, 0, "pose", pose);
    mxSetField(views.get(), k, "camera", camera);
    const std::size_t n = static_cast<std::size_t>(take());
    mxArray* boundary = mxCreateDoubleMatrix(2, n, mxREAL);
    for (std::size_t i = 0; i < 2 * n; ++i) mxGetPr(boundary)[i] = take();
    mxSetField(views.get(), k, "boundary", boundary);
  }
  Check(at == v.size(), file + " read to its end");
  return views;
}

void CheckPirolet(const Module& m) {
  ArrayPtr square = Matrix(2, 4, {0, 0, 1, 0, 1, 1, 0, 1});
  const CallResult r = CallEntry(m.entry, 2, {square.get()}, AsMatlab());
  Check(!r.raised && r.outputs[0] != nullptr &&
            silhouette::host::Values(r.outputs[0].get())[0] == 4 / M_PI,
        "Pirolet of the unit square is 4 / pi");
  Check(r.outputs[1] != nullptr && mxGetN(r.outputs[1].get()) == 4,
        "Pirolet's hull of the unit square has 4 vertices");
  ArrayPtr two = Matrix(2, 2, {0, 0, 1, 1});
  const CallResult e = CallEntry(m.entry, 1, {two.get()}, AsMatlab());
  Check(e.raised && e.error == "Need at least 3 points" &&
            e.outputs[0] == nullptr,
        "Pirolet of two points raises \"" + e.error + "\"");
  CheckOutOfMemory("Pirolet", m.entry, 2, {square.get()});
}

void CheckKestrim(const Module& m, const mxArray* a) {
  const CallResult r = CallEntry(m.entry, 3, {a}, AsMatlab());
  const bool made = !r.raised && r.outputs[0] && r.outputs[1] && r.outputs[2];
  Check(made && mxGetN(r.outputs[0].get()) == 225 &&
            mxGetN(r.outputs[2].get()) == 225,
        "Kestrim of view set A gives 225 edges");
  if (made) {
    const double* near = mxGetPr(r.outputs[0].get());
    Check(std::fabs(near[0] - 11.0958) < 1e-4 &&
              std::fabs(near[1] + 23.6182) < 1e-4 &&
              std::fabs(near[2] - 10.3824) < 1e-4,
          "Kestrim's first edge starts at (11.0958, -23.6182, 10.3824)");
  }
  const CallResult e = CallEntry(m.entry, 1, {}, AsMatlab());
  Check(e.raised && e.error == "Need 1 input arg(s):  Thrandle( silset )",
        "Kestrim without input raises \"" + e.error + "\"");
  CheckOutOfMemory("Kestrim", m.entry, 3, {a});
}

void CheckDovanel(const Module& m, const mxArray* a, const mxArray* b,
                  const std::vector<double>& truth) {
  // Three starts turned 15, 20 and 25 degrees about z.
  std::vector<double> columns;
  for (double degrees : {15.0, 20.0, 25.0}) {
    const double h = degrees * M_PI / 360;
    for (double x : {0.0, 0.0, std::sin(h), std::cos(h), 30.0, -20.0, 10.0}) {
      columns.push_back(x);
    }
  }
  ArrayPtr starts = Matrix(7, 3, columns);
  ArrayPtr settings = Matrix(2, 1, {100, 1e-10});
  const CallResult r = CallEntry(
      m.entry, 3, {a, b, starts.get(), settings.get()}, AsMatlab());
  const bool made = !r.raised && r.outputs[0] && r.outputs[1] && r.outputs[2];
  Check(made && silhouette::host::Values(r.outputs[0].get())[0] < 1e-5,
        "Dovanel's RMS is below 1e-5");
  if (made) {
    const std::vector<double> pose =
        silhouette::host::Values(r.outputs[1].get());
    const double norm = std::sqrt(pose[0] * pose[0] + pose[1] * pose[1] +
                                  pose[2] * pose[2] + pose[3] * pose[3]);
    const double sign = pose[3] < 0 ? -1 : 1;
    double error = 0;
    for (int i = 0; i < 7; ++i) {
      const double p = i < 4 ? pose[i] / norm * sign : pose[i];
      error = std::fmax(error, std::fabs(p - truth[i]));
    }
    Check(truth.size() == 7 && error < 1e-5, "Dovanel finds the known pose");
    Check(mxGetN(r.outputs[2].get()) == 8 * 7 * 6,
          "Dovanel gives 336 residuals");
  }
  ArrayPtr negative = Matrix(2, 1, {100, -1});
  const CallResult p = CallEntry(
      m.entry, 1, {a, b, starts.get(), negative.get()}, AsMatlab());
  Check(!p.raised && p.outputs[0] == nullptr &&
            p.printed == "tol in [mfe;tol] must not be negative or NaN\n",
        "Dovanel prints a failure and returns without outputs");
  ArrayPtr one = Matrix(7, 1, {columns.begin(), columns.begin() + 7});
  CheckOutOfMemory("Dovanel", m.entry, 3, {a, b, one.get(), settings.get()});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: mex_driver MODULE_DIR EXAMPLES_DIR\n");
    return 2;
  }
  const std::string modules = argv[1];
  const std::string examples = argv[2];
  const Module pirolet = Load(modules, "Pirolet");
  const Module kestrim = Load(modules, "Kestrim");
  const Module dovanel = Load(modules, "Dovanel");
  if (g_failures > 0) return 1;

  ArrayPtr a = ReadViewSet(examples + "/stone_views_A.txt");
  ArrayPtr b = ReadViewSet(examples + "/stone_views_B.txt");
  const std::vector<double> truth =
      ReadNumbers(examples + "/stone_pose_B_to_A.txt");
  CheckPirolet(pirolet);
  CheckKestrim(kestrim, a.get());
  CheckDovanel(dovanel, a.get(), b.get(), truth);
  std::printf("%s\n", g_failures == 0 ? "all checks passed"
                                      : "some checks FAILED");
  return g_failures == 0 ? 0 : 1;
}
