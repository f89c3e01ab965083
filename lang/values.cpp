#include "values.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <locale.h>

namespace lang {

int truncateToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v <= double(INT_MIN)) return INT_MIN;
  if (v >= double(INT_MAX)) return INT_MAX;
  return static_cast<int>(v);
}

double power(double base, double exponent) {
  if (!(base > 0)) return std::numeric_limits<double>::quiet_NaN();
  return std::exp2(exponent * std::log2(base));
}

double numberLiteralValue(const std::string& text) {
  // A front end may switch the C locale to one with a decimal comma.
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return strtod_l(text.c_str(), nullptr, cLocale);
}

int integerLiteralValue(const std::string& text) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range || value > INT_MAX) return INT_MAX;
  return static_cast<int>(value);
}

std::string indexSuffix(double index) {
  return "." + std::to_string(truncateToInt(index));
}

engine::Rgb colorFromArguments(const double* args, int count) {
  if (count == 1) return {args[0], args[0], args[0]};
  const double k = count == 4 ? args[3] : 1.0;
  return {args[0] * k, args[1] * k, args[2] * k};
}

engine::Vec3 vectorFromArguments(const double* args) {
  return {args[0], args[1], args[2]};
}

}  // namespace lang
