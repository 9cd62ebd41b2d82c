// The one exception type of the system: a message and nothing else.
#pragma once

#include <stdexcept>
#include <string>

namespace silhouette {

class ErrorText : public std::runtime_error {
 public:
  explicit ErrorText(const std::string& message)
      : std::runtime_error(message) {}
};

}  // namespace silhouette
