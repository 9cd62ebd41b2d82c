#include "fuzz/known_messages.h"

namespace silhouette {
namespace fuzz {
namespace {

std::vector<std::string> With(std::vector<std::string> list,
                              const std::vector<std::string>& more) {
  list.insert(list.end(), more.begin(), more.end());
  return list;
}

}  // namespace

const std::vector<std::string>& ViewSetReaderMessages() {
  static const std::vector<std::string> messages = {
      "viewVec is not a struct array with fields camera and boundary.",
      "missing boundary field in viewVec from Matlab.",
      "boundary of view K is not a real double matrix of K rows and at least "
      "K column.",
      "boundary of view K has a coordinate that is not finite.",
      "boundary of view K has too many points.",
      "could not compute the convex hull of the boundary of view K.",
      "missing camera field in viewVec from Matlab.",
      "camera is not a struct.",
      "indexing element is out of range",
      "missing internal parameter field in mxArray.",
      "missing pose parameter field in mxArray.",
      "efl in camera is not a real double.",
      "uK in camera is not a real double.",
      "vK in camera is not a real double.",
      "kappaK in camera is not a real double.",
      "pose in camera is not a real double K x K matrix.",
      "viewVec has too many elements.",
      "Cannot form matrix K with nonzero kappaK",
      "Failed to solve linear system.",
  };
  return messages;
}

const std::vector<std::string>& KestrimPrintedMessages() {
  static const std::vector<std::string> messages =
      With(ViewSetReaderMessages(), {"out of memory"});
  return messages;
}

const std::vector<std::string>& DovanelPrintedMessages() {
  static const std::vector<std::string> messages =
      With(ViewSetReaderMessages(),
           {"viewVecA has no views: each set needs at least one.",
            "viewVecB has no views: each set needs at least one.",
            "view K of set A has no hull vertices.",
            "view K of set B has no hull vertices.",
            "tol in [mfe;tol] must not be negative or NaN",
            "too many view pairs: K x |A| x |B| residuals exceed the largest "
            "int.",
            "out of memory"});
  return messages;
}

}  // namespace fuzz
}  // namespace silhouette
