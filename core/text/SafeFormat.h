// Formatting of texts that come from the language file with one number, e.g. "Unknown Key: %03x"
// or "The maximum number of macro: %d". The format is data a user can edit, so it is never handed
// to printf: only integer conversions (d i u x X o, with flags "-0+ #", a width and a precision)
// take the number; "%%" gives "%"; any other conversion, and every conversion after the first,
// is copied as written. The result is cut to `maxUnits` UTF-16 units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace talvenix::text {

std::string FormatNumber(std::string_view format, std::int64_t value, std::size_t maxUnits = 259);

}  // namespace talvenix::text
