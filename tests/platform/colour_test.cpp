#include "platform/colour.h"

#include <gtest/gtest.h>

namespace kx {
namespace {

TEST(Colour, AchacorOfTheDefaultColours) {
  const struct {
    int number;
    const char* text;
  } cases[] = {{30, "GR+/B"}, {31, "W+/B"}, {63, "W+/BG"}, {112, "N/W"}, {79, "W+/R"},   {28, "R+/B"},
               {15, "W+/N"},  {0, "N/N"},   {48, "N/BG"},  {7, "W/N"},   {255, "W+/W+"}, {0x5D, "BR+/BR"}};
  for (const auto& c : cases) {
    EXPECT_EQ(achacor(c.number), c.text) << c.number;
    // The string reads back as the same attribute.
    EXPECT_EQ(parse_colour(c.text), Attr(c.number)) << c.text;
  }
}

TEST(Colour, ParsesTheFormsInUse) {
  const struct {
    const char* text;
    int colour;
    bool blink;
  } cases[] = {{"N/W+", 0xF0, false}, {"W/R+", 0xC7, false},      {"R/W*", 0x74, true}, {"w+/b", 0x1F, false},
               {"GB/N", 0x03, false}, {"+W/B", 0x1F, false},      {"", 0x07, false},    {"I", 0x70, false},
               {"W+*/B", 0x1F, true}, {" GR+ / B ", 0x1E, false}, {"W", 0x07, false}};
  for (const auto& c : cases) {
    auto a = parse_colour(c.text);
    ASSERT_TRUE(a) << c.text;
    EXPECT_EQ(a->colour, c.colour) << c.text;
    EXPECT_EQ(a->blink, c.blink) << c.text;
  }
  EXPECT_FALSE(parse_colour("Q/B"));
  EXPECT_EQ(colour_or_default("Q/B"), Attr(0x07));
  EXPECT_EQ(colour_string(Attr(0x74, true)), "R*/W");
}

TEST(Colour, SpecificationSlots) {
  const std::string spec = "GR+/B,W/R+,W+/B,W+/B,W+/B,W+/B";
  EXPECT_EQ(parse_colour_spec(spec).size(), 6u);
  EXPECT_EQ(colour_slot(spec, 1), Attr(0xC7));
  EXPECT_EQ(colour_slot(spec, 9), Attr(0x07));  // absent slot
  EXPECT_EQ(colour_slot("N/W,,W+/B", 1), Attr(0x07));
}

}  // namespace
}  // namespace kx
