// Any text through the settings file parser: nothing may crash, leak or read
// out of bounds. A text that parses formats to one that parses to the same
// keys and values and formats the same again, so a save never changes what
// it does not set; a text that does not parse names a line inside it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/RegExportFormat.h"

namespace {

bool SameHive(const CRegHive& a, const CRegHive& b) {
  return std::equal(a.Keys().begin(), a.Keys().end(), b.Keys().begin(), b.Keys().end(),
                    [](const CRegKey& x, const CRegKey& y) {
                      return x.path == y.path &&
                             std::equal(x.values.begin(), x.values.end(), y.values.begin(),
                                        y.values.end(), [](const CRegValue& v, const CRegValue& w) {
                                          return v.name == w.name && v.type == w.type &&
                                                 v.data == w.data;
                                        });
                    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CRegParseError error;
  const auto hive = ParseRegExport(text, &error);
  if (!hive) {
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    if (error.line < 1 || error.line > lines || error.what.empty()) std::abort();
    return 0;
  }
  const std::string formatted = FormatRegExport(*hive);
  const auto again = ParseRegExport(formatted);
  if (!again || !SameHive(*hive, *again) || FormatRegExport(*again) != formatted) std::abort();
  return 0;
}
