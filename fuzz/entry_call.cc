#include "fuzz/entry_call.h"

#include <cctype>
#include <exception>
#include <typeinfo>

#include "host/array_checks.h"

namespace silhouette {
namespace fuzz {

EntryCall CallEntryGuarded(host::EntryFunction entry, int nlhs,
                           const std::vector<const mxArray*>& inputs) {
  EntryCall call;
  try {
    call.result = host::CallEntry(entry, nlhs, inputs);
  } catch (const std::exception& error) {
    call.escaped = std::string(typeid(error).name()) + ": " + error.what();
  } catch (...) {
    call.escaped = "an exception of unknown type";
  }
  return call;
}

std::string CheckEntryContract(const EntryCall& call, int nlhs,
                               int num_outputs) {
  if (!call.escaped.empty()) return "escaped the entry: " + call.escaped;
  const host::CallResult& r = call.result;
  const int slots = host::NumOutputSlots(nlhs);
  if (static_cast<int>(r.outputs.size()) != slots) {
    return "the host's slots changed in number";
  }
  const bool failed = r.raised || !r.printed.empty();
  for (int k = 0; k < slots; ++k) {
    const mxArray* out = r.outputs[k].get();
    const bool wanted = !failed && k < num_outputs;
    if (!wanted && out != nullptr) {
      return "output " + std::to_string(k + 1) +
             (failed ? " set by a failed call" : " set beyond the outputs");
    }
    if (wanted && out == nullptr) {
      return "output " + std::to_string(k + 1) + " missing after success";
    }
    if (wanted && !host::IsRealDoubleMatrix(out)) {
      return "output " + std::to_string(k + 1) + " not a real double matrix";
    }
  }
  if (r.raised) {
    if (r.error.empty()) return "host error without text";
    if (!r.printed.empty()) return "printed and then raised: " + r.printed;
  }
  if (!r.printed.empty()) {
    const std::size_t newline = r.printed.find('\n');
    if (newline + 1 != r.printed.size()) {
      return "printed failure is not one line: " + r.printed;
    }
  }
  return "";
}

std::string MessagePattern(const std::string& message) {
  std::string pattern;
  bool in_digits = false;
  for (char c : message) {
    const bool digit = std::isdigit(static_cast<unsigned char>(c)) != 0;
    if (digit && !in_digits) pattern.push_back('K');
    if (!digit) pattern.push_back(c);
    in_digits = digit;
  }
  return pattern;
}

bool IsKnownMessage(const std::string& message,
                    const std::vector<std::string>& patterns) {
  const std::string pattern = MessagePattern(message);
  for (const std::string& known : patterns) {
    if (pattern == known) return true;
  }
  return false;
}

}  // namespace fuzz
}  // namespace silhouette
