// The failure messages each module may give, as MessagePattern() writes
// them (runs of digits as "K"). A message outside these lists is a finding:
// an internal text (a library's exception, a GSL reason) reached the user.
#pragma once

#include <string>
#include <vector>

namespace silhouette {
namespace fuzz {

// What reading a view set may throw.
const std::vector<std::string>& ViewSetReaderMessages();
// Kestrim's printed failures, without "error: " and the newline.
const std::vector<std::string>& KestrimPrintedMessages();
// Dovanel's printed failures, without the newline.
const std::vector<std::string>& DovanelPrintedMessages();

}  // namespace fuzz
}  // namespace silhouette
