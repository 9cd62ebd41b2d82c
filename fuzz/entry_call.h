// Calling a module's entry from a fuzz target, and the contract every
// entry keeps whatever it is given.
#pragma once

#include <string>
#include <vector>

#include "host/embedded_host.h"

namespace silhouette {
namespace fuzz {

struct EntryCall {
  host::CallResult result;
  // What left the entry other than the host error, if anything: no
  // exception may escape a module into its host.
  std::string escaped;
};

// Calls `entry` as the host does (host::CallEntry) and records anything
// thrown past it.
EntryCall CallEntryGuarded(host::EntryFunction entry, int nlhs,
                           const std::vector<const mxArray*>& inputs);

// The contract of every entry: nothing escapes; a host error leaves no
// output and prints nothing; a printed failure is one line ending in a
// newline and leaves no output; a success fills the first min(max(nlhs, 1),
// num_outputs) slots with real, full double matrices and nothing beyond
// them. Returns "" or what broke.
std::string CheckEntryContract(const EntryCall& call, int nlhs,
                               int num_outputs);

// The message with every run of digits replaced by "K", so that the
// messages that number views or name sizes compare with one pattern.
std::string MessagePattern(const std::string& message);

// Whether MessagePattern(message) is one of `patterns`.
bool IsKnownMessage(const std::string& message,
                    const std::vector<std::string>& patterns);

}  // namespace fuzz
}  // namespace silhouette
