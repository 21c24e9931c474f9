#include "platform/decimal.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <stdexcept>
#include <string>

namespace kx {
namespace {

Decimal D(std::string_view text) {
  const auto d = Decimal::parse(text);
  if (!d) throw std::invalid_argument("bad test literal: " + std::string(text));
  return *d;
}

Decimal::Coefficient pow10(int n) {
  Decimal::Coefficient p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

// ---- Parsing and text -------------------------------------------------------

TEST(DecimalParse, AcceptsAndKeepsWrittenScale) {
  struct Case {
    const char* text;
    const char* shown;
  };
  const Case cases[] = {
      {"1234.5", "1234.5"},
      {"-0,25", "-0.25"},
      {" 12 ", "12"},
      {"+3", "3"},
      {".5", "0.5"},
      {"-.5", "-0.5"},
      {"5.", "5"},
      {"1.50", "1.50"},
      {"007", "7"},
      {"0.000000000000000001", "0.000000000000000001"},
      // More decimals than the widest scale are rounded half away from zero.
      {"0.0000000000000000015", "0.000000000000000002"},
      {"-0.0000000000000000015", "-0.000000000000000002"},
      {"1.0000000000000000004", "1.000000000000000000"},
      {"170141183460469231731687303715884105727", "170141183460469231731687303715884105727"},
  };
  for (const auto& c : cases) {
    const auto d = Decimal::parse(c.text);
    ASSERT_TRUE(d.has_value()) << "\"" << c.text << "\"";
    EXPECT_EQ(d->to_string(), c.shown) << "\"" << c.text << "\"";
  }
}

TEST(DecimalParse, RefusesWhatIsNotANumber) {
  const char* const cases[] = {
      "",     "   ",  "+",    "-",    ".",     "1.2.3", "1,2.3", "1 000", "1e5",   "- 3",   "--3",
      "12a",  "0x10", "**",   "1-",   "+-1",   "\x01",  "1_0",
      "170141183460469231731687303715884105728",  // one past the coefficient range
  };
  for (const char* text : cases) EXPECT_FALSE(Decimal::parse(text).has_value()) << "\"" << text << "\"";
}

TEST(DecimalText, ToStringPadsFractionAndNeverShowsMinusZero) {
  struct Case {
    Decimal value;
    const char* shown;
  };
  const Case cases[] = {
      {Decimal::of(123450, 2), "1234.50"}, {Decimal::of(5, 2), "0.05"},    {Decimal::of(-5, 3), "-0.005"},
      {Decimal::of(0, 2), "0.00"},         {Decimal(0), "0"},              {Decimal(-42), "-42"},
      {D("-0.00"), "0.00"},                {-Decimal::of(0, 1), "0.0"},     {Decimal::of(-1, 18), "-0.000000000000000001"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value.to_string(), c.shown) << c.shown;
}

TEST(DecimalText, NegativeZeroIsZero) {
  const Decimal z = D("-0.00");
  EXPECT_TRUE(z.is_zero());
  EXPECT_EQ(z.sign(), 0);
  EXPECT_EQ(z, Decimal(0));
  EXPECT_FALSE(z < Decimal(0));
  EXPECT_EQ(D("-0.004").round(2).to_string(), "0.00");
  EXPECT_EQ(D("-0.4").round(0).to_string(), "0");
  EXPECT_EQ(D("-0.9").int_part().to_string(), "0");
  EXPECT_EQ((D("-1.5") + D("1.5")).to_string(), "0.0");
  EXPECT_EQ((D("-1.5") * Decimal(0)).to_string(), "0.0");
  EXPECT_EQ(Decimal::div(D("-0.01"), Decimal(3), 2)->to_string(), "0.00");
  EXPECT_EQ(D("-0.00001").despreza().to_string(), "0.00");
}

// ---- Rounding ----------------------------------------------------------------

TEST(DecimalRound, HalfAwayFromZero) {
  struct Case {
    const char* value;
    int decimals;
    const char* expected;
  };
  const Case cases[] = {
      {"13322.405", 2, "13322.41"},
      {"-13322.405", 2, "-13322.41"},
      {"13322.404999", 2, "13322.40"},
      {"2.5", 0, "3"},
      {"-2.5", 0, "-3"},
      {"2.45", 1, "2.5"},
      {"-2.45", 1, "-2.5"},
      {"2.449", 1, "2.4"},
      {"0.005", 2, "0.01"},
      {"0.0049", 2, "0.00"},
      {"9.995", 2, "10.00"},
      {"1.5", 3, "1.500"},  // more decimals: same value, wider scale
      {"7", 2, "7.00"},
      {"1250", -2, "1300"},
      {"-1250", -2, "-1300"},
      {"1249.99", -2, "1200"},
      {"1250.00", -2, "1300"},
      {"49", -2, "0"},
      {"50", -2, "100"},
      {"-50", -2, "-100"},
      {"5", -1, "10"},
      {"123456", -40, "0"},
      {"1.234", 25, "1.234000000000000000"},  // capped at the widest scale
  };
  for (const auto& c : cases) {
    EXPECT_EQ(D(c.value).round(c.decimals).to_string(), c.expected) << c.value << " to " << c.decimals;
  }
}

TEST(DecimalRound, WithScaleRoundsLikeRound) {
  EXPECT_EQ(D("13322.405").with_scale(2).to_string(), "13322.41");
  EXPECT_EQ(D("-2.5").with_scale(0).to_string(), "-3");
  EXPECT_EQ(D("1.5").with_scale(4).to_string(), "1.5000");
  EXPECT_THROW((void)D("1").with_scale(19), std::invalid_argument);
  EXPECT_THROW((void)D("1").with_scale(-1), std::invalid_argument);
}

TEST(DecimalRound, TruncateCutsTowardZero) {
  struct Case {
    const char* value;
    int decimals;
    const char* expected;
  };
  const Case cases[] = {
      {"2.999", 2, "2.99"},   {"-2.999", 2, "-2.99"}, {"-0.001", 2, "0.00"}, {"3.7", 0, "3"},
      {"-3.7", 0, "-3"},      {"1299", -2, "1200"},   {"-1299", -2, "-1200"}, {"1.5", 3, "1.500"},
      {"99", -2, "0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(D(c.value).truncate(c.decimals).to_string(), c.expected) << c.value << " to " << c.decimals;
  }
  EXPECT_EQ(D("-3.7").int_part().to_string(), "-3");
}

TEST(DecimalRound, DesprezaRoundsToFourThenCutsToTwo) {
  struct Case {
    const char* value;
    const char* expected;
  };
  const Case cases[] = {
      {"10.4999", "10.49"},   {"10.49999", "10.50"},   {"10.49995", "10.50"}, {"10.499949", "10.49"},
      {"-10.4999", "-10.49"}, {"-10.49999", "-10.50"}, {"10.5", "10.50"},     {"3", "3.00"},
      {"0.009949", "0.00"},   {"0.009995", "0.01"},
  };
  for (const auto& c : cases) EXPECT_EQ(DESPREZA(D(c.value)).to_string(), c.expected) << c.value;
}

// ---- Arithmetic --------------------------------------------------------------

TEST(DecimalArithmetic, SumsDifferencesAndProductsAreExact) {
  struct Case {
    const char* a;
    char op;
    const char* b;
    const char* expected;
  };
  const Case cases[] = {
      {"0.1", '+', "0.2", "0.3"},
      {"1.05", '+', "-3", "-1.95"},
      {"1.5", '-', "1.50", "0.00"},
      {"-2", '-', "-2.25", "0.25"},
      {"1.25", '*', "0.5", "0.625"},
      {"-1.1", '*', "1.1", "-1.21"},
      {"48444.02", '*', "0.275", "13322.10550"},
      // Product scale capped at 18, rounded half away from zero.
      {"0.000000001", '*', "0.0000000015", "0.000000000000000002"},
      {"-0.000000001", '*', "0.0000000015", "-0.000000000000000002"},
      {"0.0000000001", '*', "-0.0000000001", "0.000000000000000000"},
      // The exact product needs more than 128 bits before rounding.
      {"100.000000000000000000", '*', "100.000000000000000000", "10000.000000000000000000"},
      {"123456789.123456789123456789", '*', "987654321.987654321", "121932631356500531.469135800347203169"},
  };
  for (const auto& c : cases) {
    const Decimal a = D(c.a);
    const Decimal b = D(c.b);
    const Decimal r = c.op == '+' ? a + b : c.op == '-' ? a - b : a * b;
    EXPECT_EQ(r.to_string(), c.expected) << c.a << " " << c.op << " " << c.b;
  }
}

TEST(DecimalArithmetic, CompoundAssignmentAndNegation) {
  Decimal d = D("10.00");
  d += D("0.5");
  d -= Decimal(3);
  d *= D("2");
  EXPECT_EQ(d.to_string(), "15.00");
  EXPECT_EQ((-d).to_string(), "-15.00");
  EXPECT_EQ(D("-2.5").abs().to_string(), "2.5");
}

TEST(DecimalArithmetic, MulRoundsToTheAskedScale) {
  struct Case {
    const char* a;
    const char* b;
    int scale;
    const char* expected;
  };
  const Case cases[] = {
      {"48444.02", "0.275", 2, "13322.11"},
      {"-48444.02", "0.275", 2, "-13322.11"},
      {"1.005", "1", 2, "1.01"},
      {"0.333", "0.333", 2, "0.11"},
      {"1.5", "2", 3, "3.000"},
      {"0.000000000000000001", "0.000000000000000001", 18, "0.000000000000000000"},
      {"0.000000000000000005", "0.1", 18, "0.000000000000000001"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Decimal::mul(D(c.a), D(c.b), c.scale).to_string(), c.expected) << c.a << " * " << c.b;
  }
}

TEST(DecimalArithmetic, DivRoundsHalfAwayFromZero) {
  struct Case {
    const char* a;
    const char* b;
    int scale;
    const char* expected;
  };
  const Case cases[] = {
      {"1", "3", 2, "0.33"},
      {"2", "3", 2, "0.67"},
      {"-2", "3", 2, "-0.67"},
      {"2", "-3", 2, "-0.67"},
      {"-2", "-3", 2, "0.67"},
      {"1", "8", 2, "0.13"},  // 0.125
      {"-1", "8", 2, "-0.13"},
      {"10", "4", 0, "3"},
      {"-10", "4", 0, "-3"},
      {"7", "-2", 0, "-4"},
      {"1", "0.25", 0, "4"},
      {"0.5", "0.125", 1, "4.0"},
      {"26644.81", "2", 2, "13322.41"},  // 13322.405
      {"1", "7", 18, "0.142857142857142857"},
      {"2", "3", 18, "0.666666666666666667"},
      {"1", "0.000000000000000001", 18, "1000000000000000000.000000000000000000"},
      {"1.500000000000000000", "1", 0, "2"},
      {"0.000000000000000001", "1000000000000000000", 18, "0.000000000000000000"},
      {"170141183460469231731687303715884105727", "170141183460469231731687303715884105727", 2, "1.00"},
      {"-98765432109876543210.5", "3.000000000000000001", 18, "-32921810703292181059.192729765569272980"},
      {"1", "0.000000000000000003", 18, "333333333333333333.333333333333333333"},
  };
  for (const auto& c : cases) {
    const auto q = Decimal::div(D(c.a), D(c.b), c.scale);
    ASSERT_TRUE(q.has_value()) << c.a << " / " << c.b;
    EXPECT_EQ(q->to_string(), c.expected) << c.a << " / " << c.b << " to " << c.scale;
  }
}

// Integer quotients checked against a reference computed with int64 remainders.
TEST(DecimalArithmetic, DivMatchesIntegerReference) {
  for (int a = -60; a <= 60; ++a) {
    for (int b = -13; b <= 13; ++b) {
      if (b == 0) continue;
      for (int scale = 0; scale <= 3; ++scale) {
        std::int64_t n = a;
        for (int i = 0; i < scale; ++i) n *= 10;
        std::int64_t q = n / b;
        const std::int64_t r = n % b;
        if (2 * (r < 0 ? -r : r) >= (b < 0 ? -b : b)) q += ((n < 0) != (b < 0)) ? -1 : 1;
        const auto got = Decimal::div(Decimal(a), Decimal(b), scale);
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(*got, Decimal::of(q, scale)) << a << " / " << b << " to " << scale;
        EXPECT_EQ(got->scale(), scale);
      }
    }
  }
}

TEST(DecimalArithmetic, DivByZeroIsNothing) {
  EXPECT_FALSE(Decimal::div(Decimal(1), Decimal(0), 2).has_value());
  EXPECT_FALSE(Decimal::div(D("1.5"), D("0.00"), 2).has_value());
  EXPECT_FALSE(Decimal::div(Decimal(0), D("-0.0"), 0).has_value());
}

TEST(DecimalArithmetic, CoefficientOverflowThrows) {
  const Decimal max = Decimal::of(std::numeric_limits<Decimal::Coefficient>::max(), 0);
  const Decimal min = Decimal::of(std::numeric_limits<Decimal::Coefficient>::min(), 0);
  EXPECT_THROW((void)(max + Decimal(1)), std::overflow_error);
  EXPECT_THROW((void)(min - Decimal(1)), std::overflow_error);
  EXPECT_THROW((void)(-min), std::overflow_error);
  EXPECT_THROW((void)(Decimal::of(pow10(37), 0) * Decimal(100)), std::overflow_error);
  EXPECT_THROW((void)(max + D("0.1")), std::overflow_error);  // aligning the scales overflows
  EXPECT_THROW((void)Decimal::div(max, D("0.5"), 0), std::overflow_error);
  EXPECT_THROW((void)Decimal::of(1, 19), std::invalid_argument);
  EXPECT_EQ((max - max).to_string(), "0");
}

// ---- Comparison and conversion ------------------------------------------------

TEST(DecimalCompare, ByValueNotScale) {
  EXPECT_EQ(D("1.50"), D("1.5"));
  EXPECT_EQ(D("0"), D("-0.000"));
  EXPECT_EQ(D("1.50") <=> D("1.5"), std::strong_ordering::equal);
  // Each row is strictly below the next.
  const char* const ascending[] = {"-100", "-2", "-1.5", "-1.4999", "-0.000000000000000001", "0",
                                   "0.000000000000000001", "0.1", "0.10001", "1", "1.000000000000000001", "2", "100"};
  for (std::size_t i = 0; i + 1 < std::size(ascending); ++i) {
    const Decimal lo = D(ascending[i]);
    const Decimal hi = D(ascending[i + 1]);
    EXPECT_LT(lo, hi) << ascending[i] << " < " << ascending[i + 1];
    EXPECT_GT(hi, lo) << ascending[i + 1] << " > " << ascending[i];
    EXPECT_NE(lo, hi) << ascending[i];
  }
}

TEST(DecimalCompare, WideCoefficientsAtDifferentScales) {
  // Aligning these scales would overflow 128 bits; the comparison must still hold.
  const Decimal huge = Decimal::of(pow10(37), 0);
  const Decimal tiny = Decimal::of(pow10(37), 18);
  EXPECT_GT(huge, tiny);
  EXPECT_LT(-huge, -tiny);
  EXPECT_EQ(Decimal::of(pow10(20), 18), Decimal(100));
}

TEST(DecimalConvert, ToInt64TruncatesAndSaturates) {
  struct Case {
    Decimal value;
    std::int64_t expected;
  };
  const Case cases[] = {
      {D("3.99"), 3},
      {D("-3.99"), -3},
      {D("-0.5"), 0},
      {D("9223372036854775807"), std::numeric_limits<std::int64_t>::max()},
      {D("9223372036854775808"), std::numeric_limits<std::int64_t>::max()},
      {D("-9223372036854775808.9"), std::numeric_limits<std::int64_t>::min()},
      {D("-100000000000000000000000"), std::numeric_limits<std::int64_t>::min()},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value.to_int64(), c.expected) << c.value;
}

// ---- Field text ----------------------------------------------------------------

TEST(DecimalFieldText, RightAlignedWithFixedDecimals) {
  struct Case {
    const char* value;
    int width;
    int decimals;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"1234.5", 12, 2, "     1234.50"},
      {"-0.5", 12, 2, "       -0.50"},
      {"0", 12, 2, "        0.00"},
      {"-0.001", 6, 2, "  0.00"},  // rounds to zero: no sign
      {"1234.565", 10, 2, "   1234.57"},
      {"-1234.565", 10, 2, "  -1234.57"},
      {"7", 5, 0, "    7"},
      {"7.5", 5, 0, "    8"},
      {"999", 3, 0, "999"},
      {"1000", 3, 0, std::nullopt},
      {"-99", 3, 0, "-99"},
      {"-100", 3, 0, std::nullopt},
      {"999.994", 6, 2, "999.99"},
      {"999.995", 6, 2, std::nullopt},  // rounds to 1000.00
      {"0.5", 4, 2, "0.50"},
      {"0.5", 3, 2, ".50"},
      {"-0.5", 4, 2, "-.50"},
      {"-0.5", 3, 2, std::nullopt},
      {"1.5", 3, 2, std::nullopt},
      {"1.5", 4, 2, "1.50"},
      {"1", 0, 0, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(to_field_text(D(c.value), c.width, c.decimals), c.expected)
        << c.value << " in N " << c.width << "," << c.decimals;
  }
}

TEST(DecimalFieldText, ReadsBlankAsZeroAndRefusesJunk) {
  struct Case {
    const char* text;
    std::optional<Decimal> expected;
  };
  const Case cases[] = {
      {"   12.30", D("12.30")}, {"", Decimal(0)},         {"     ", Decimal(0)}, {" -3", Decimal(-3)},
      {"  -.50", D("-0.5")},    {"**", std::nullopt},     {"12a", std::nullopt}, {"*****", std::nullopt},
      {"1 2", std::nullopt},    {"  -  ", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(from_field_text(c.text), c.expected) << "\"" << c.text << "\"";
  EXPECT_EQ(from_field_text("   12.30")->to_string(), "12.30");
}

TEST(DecimalFieldText, RoundTripsRoundedValue) {
  struct Format {
    int width;
    int decimals;
  };
  const Format formats[] = {{12, 2}, {5, 0}, {8, 4}, {3, 2}, {20, 18}};
  const char* const values[] = {"0", "-0.5", "0.5", "1.005", "-1.005", "12.3456", "-7", "99.99", "0.000000000000000005"};
  for (const auto& f : formats) {
    for (const char* v : values) {
      const Decimal d = D(v);
      const auto text = to_field_text(d, f.width, f.decimals);
      if (!text) continue;  // does not fit: covered above
      ASSERT_EQ(text->size(), static_cast<std::size_t>(f.width)) << v;
      const auto back = from_field_text(*text);
      ASSERT_TRUE(back.has_value()) << v << " as \"" << *text << "\"";
      EXPECT_EQ(*back, d.round(f.decimals)) << v << " as \"" << *text << "\"";
    }
  }
}

}  // namespace
}  // namespace kx
