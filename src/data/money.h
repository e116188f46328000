#pragma once

#include <QString>
#include <optional>

// Amounts of money: integers of ten-thousandths of a yuan, read from and shown as plain
// decimal text ("0.8", "100", "-100"), never through binary floating point.
namespace Money {

// Ten-thousandths in one yuan.
constexpr qint64 kScale = 10000;
// The largest amount accepted as typed (just under a trillion yuan), so that sums of many
// amounts stay far inside a 64-bit integer.
constexpr qint64 kMaximum = 1'000'000'000'000LL * kScale - 1;

enum class Sign { Positive, Any };

// The amount written as digits with at most one decimal point ("12", "12.5", ".5", "12."),
// with Sign::Any also a leading minus sign. Empty when the text is no such number ("", ".",
// "1.2.3", "1,000"), when it has more than four decimal places that are not zeros, or when it
// is larger than kMaximum.
std::optional<qint64> parse(const QString& text, Sign sign = Sign::Positive);

// The amount as plain decimal text without trailing zeros: 8000 -> "0.8", 1000000 -> "100",
// -1000000 -> "-100".
QString format(qint64 amount);

} // namespace Money
