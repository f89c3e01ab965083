#include "values.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string_view>

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

namespace {

// Whether a literal beyond the range of double is too large (else too
// small): the decimal order of its leading digit plus its exponent.
bool beyondLargest(std::string_view text) {
  const size_t e = std::min(text.find_first_of("eE"), text.size());
  long long exponent = 0;
  if (e < text.size()) {
    const size_t digits = text.find_first_not_of("+-", e + 1);
    const auto [end, error] =
        std::from_chars(text.data() + digits, text.data() + text.size(), exponent);
    if (error == std::errc::result_out_of_range) exponent = LLONG_MAX / 2;
    if (text[e + 1] == '-') exponent = -exponent;
  }
  const std::string_view mantissa = text.substr(0, e);
  const size_t point = std::min(mantissa.find('.'), mantissa.size());
  const size_t leading = mantissa.find_first_not_of("0.");
  if (leading == std::string_view::npos) return false;
  const long long order =
      leading < point ? (long long)(point - leading) - 1 : (long long)point - (long long)leading;
  return order + exponent > 0;
}

}  // namespace

double numberLiteralValue(const std::string& text) {
  // Neither the C locale, which a front end may switch to one with a decimal
  // comma, nor the system's C library: every system reads the same double.
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) {
    return beyondLargest(text) ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return value;
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
