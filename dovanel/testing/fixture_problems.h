// Test support: the Dovanel problems whose answers are recorded bit for bit
// in dovanel/testdata/recorded_answers.txt, and the reading and writing of
// that file.
//
// The problems are built here and nowhere else, so that the recorded
// answers stay tied to their inputs: the two example stone sets (copies in
// dovanel/testdata, not the files under examples/) with fixed starts, and
// a dozen random problems (2 to 8 views per set, 16 to 512 hull vertices)
// drawn from a generator of our own whose numbers do not depend on the
// standard library's distributions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/embedded_host.h"

namespace silhouette {
namespace testing {

struct FixtureProblem {
  std::string name;
  host::ArrayPtr viewVecA;
  host::ArrayPtr viewVecB;
  // 7 x numStarts, column-major.
  std::vector<double> starts;
  std::size_t numStarts = 0;
  double mfe = 20;
  double tol = 1e-10;
};

// What Dovanel returned for one problem.
struct RecordedAnswer {
  std::string name;
  double rms = 0;
  std::vector<double> pose;
  std::vector<double> residuals;
};

// Every problem, the example sets first. dataDir holds the copies of the
// example sets.
std::vector<FixtureProblem> MakeFixtureProblems(const std::string& dataDir);

// One line per answer: "name rms p0 .. p6 m r0 .. r(m-1)", numbers in %a.
std::string FormatAnswers(const std::vector<RecordedAnswer>& answers);
// Reads what FormatAnswers wrote; throws std::runtime_error on bad text.
std::vector<RecordedAnswer> ParseAnswers(const std::string& text);

// The file's whole text; throws std::runtime_error when it cannot be read.
std::string ReadTextFile(const std::string& path);

// "" when the two answers agree bit for bit, otherwise the first
// difference in words.
std::string AnswerDifference(const RecordedAnswer& expected,
                             const RecordedAnswer& actual);

// Bitwise equality, so that 0.0 differs from -0.0 and NaNs compare by
// their bits.
bool SameBits(double a, double b);

}  // namespace testing
}  // namespace silhouette
