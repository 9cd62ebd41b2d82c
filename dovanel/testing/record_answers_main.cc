// Writes, to standard output, Dovanel's answers to the recorded problems
// (fixture_problems.h) as the current code computes them. Run it only to
// record answers on purpose:
//   dovanel_record_answers dovanel/testdata > dovanel/testdata/recorded_answers.txt
#include <cstdio>
#include <exception>
#include <vector>

#include "dovanel/dovanel_entry.h"
#include "dovanel/testing/fixture_problems.h"
#include "host/embedded_host.h"

int main(int argc, char** argv) {
  using namespace silhouette;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DATA_DIR\n", argv[0]);
    return 2;
  }
  try {
    std::vector<testing::RecordedAnswer> answers;
    for (const testing::FixtureProblem& p :
         testing::MakeFixtureProblems(argv[1])) {
      const host::ArrayPtr starts = host::MakeMatrix(7, p.numStarts, p.starts);
      const host::ArrayPtr settings = host::MakeMatrix(2, 1, {p.mfe, p.tol});
      const host::CallResult r = host::CallEntry(
          DovanelMain, 3,
          {p.viewVecA.get(), p.viewVecB.get(), starts.get(), settings.get()});
      if (r.raised || r.outputs.size() != 3 || r.outputs[2] == nullptr) {
        std::fprintf(stderr, "%s failed: %s%s\n", p.name.c_str(),
                     r.error.c_str(), r.printed.c_str());
        return 1;
      }
      testing::RecordedAnswer a;
      a.name = p.name;
      a.rms = host::Values(r.outputs[0].get())[0];
      a.pose = host::Values(r.outputs[1].get());
      a.residuals = host::Values(r.outputs[2].get());
      answers.push_back(a);
    }
    std::fputs(testing::FormatAnswers(answers).c_str(), stdout);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
