#include "vantrel/text/file_names.h"

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/text/random_strings.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

TEST(FileNames, Sanitisers) {
  struct Case {
    std::string_view name;
    std::string_view sanitized, weaker, weakerOld;
  };
  const Case cases[] = {
      {"a:b/c(1)%&.txt", "a_b_c_1___.txt", "a_b_c(1)%&.txt", "abc(1)%&.txt"},
      {"plain.txt", "plain.txt", "plain.txt", "plain.txt"},
      {"", "", "", ""},
      // Control characters are replaced (removed by the old form).
      {"a\tb\nc", "a_b_c", "a_b_c", "abc"},
      {std::string_view("a\0b", 3), "a_b", "a_b", "ab"},
      {"a\x7F" "b\u0085c\u009F", "a_b_c_", "a_b_c_", "abc"},
      {"caf\u00E9 \u00A0x", "caf\u00E9 \u00A0x", "caf\u00E9 \u00A0x", "caf\u00E9 \u00A0x"},  // U+00A0 is no control
      // The folder itself, its parent, or nothing never come out.
      {".", "_", "_", "_"},
      {"..", "_", "_", "_"},
      {":", "_", "_", "_"},
      {".:", "._", "._", "_"},
      {"::", "__", "__", "_"},
      {"\n", "_", "_", "_"},
      {"...", "...", "...", "..."},
      {".hidden", ".hidden", ".hidden", ".hidden"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.name)));
    EXPECT_EQ(vtSanetizeFilename(c.name), c.sanitized);
    EXPECT_EQ(vtSanetizeFilenameWeaker(c.name), c.weaker);
    EXPECT_EQ(vtSanetizeFilenameWeaker_Old(c.name), c.weakerOld);
  }
}

TEST(FileNames, ReplacingMembers) {
  const CharacterSet colon = CharacterSet::fromCharacters(":");
  EXPECT_EQ(stringByReplacingCharacterFromSet("a::b", colon, "_"), "a__b");
  EXPECT_EQ(stringByReplacingContinuousCharacterFromSet("a::b", colon, "_"), "a_b");
  EXPECT_EQ(stringByReplacingCharacterFromSet("x:a::", colon, "_"), "x_a__");
  EXPECT_EQ(stringByReplacingContinuousCharacterFromSet("x:a::", colon, "_"), "x_a_");
  EXPECT_EQ(stringByReplacingContinuousCharacterFromSet(":::", colon, "-"), "-");
  EXPECT_EQ(stringByReplacingContinuousCharacterFromSet(":a:", colon, "-"), "-a-");
  // A replacement of two UTF-16 units (four UTF-8 bytes).
  EXPECT_EQ(stringByReplacingCharacterFromSet("a:b:c", colon, "\U0001F600"), "a\U0001F600b\U0001F600c");
  EXPECT_EQ(stringByReplacingContinuousCharacterFromSet("a::b:c", colon, "\U0001F600"),
            "a\U0001F600b\U0001F600c");
  // Members are scalars: the mark after a matched scalar stays.
  EXPECT_EQ(stringByReplacingCharacterFromSet("a:\u0301b", colon, "_"), "a_\u0301b");
  // Runs of members of two and four bytes.
  const CharacterSet wide = CharacterSet::fromCharacters("\u00E9\U0001F600");
  EXPECT_EQ(stringByReplacingContinuousCharacterFromSet("x\u00E9\U0001F600\u00E9y\u00E9", wide, "."), "x.y.");
  EXPECT_EQ(stringByReplacingCharacterFromSet("none", colon, "_"), "none");
}

TEST(FileNames, StrippingAndKeeping) {
  const CharacterSet hyphen = CharacterSet::fromCharacters("-");
  EXPECT_EQ(vtStringByStrippingCharactersInSet("a--b", hyphen, "x"), "axxb");
  EXPECT_EQ(vtStringByStrippingCharactersInSet("a--b", hyphen), "ab");
  const CharacterSet digits = CharacterSet::fromCharacters("0123456789");
  EXPECT_EQ(vtStringByKeepingCharactersInSet("a1b22", digits), "122");
  EXPECT_EQ(vtStringByKeepingCharactersInSet("a1b22", digits, "x"), "x1x22");
  EXPECT_EQ(vtStringByKeepingCharactersInSet("\u00E91", digits, "x"), "x1");  // one scalar, one replacement
}

TEST(FileNames, RangesOfCharacters) {
  const CharacterSet colon = CharacterSet::fromCharacters(":");
  EXPECT_EQ(rangesOfCharactersIn("a:b::", colon), (std::vector<ByteRange>{{1, 2}, {3, 4}, {4, 5}}));
  EXPECT_EQ(rangesOfCharactersIn("a:b::", colon, ByteRange{2, 4}), (std::vector<ByteRange>{{3, 4}}));
  EXPECT_EQ(rangesOfCharactersIn("abc", colon), std::nullopt);
  EXPECT_EQ(rangesOfCharactersIn("", colon), std::nullopt);
}

TEST(FileNames, SetTests) {
  struct Case {
    std::string_view text;
    bool base32;
  };
  const Case cases[] = {
      {"", true},          {"MZXW6YTBOI", true}, {"mzxw6", true},   {"MZXW6===", false},
      {"AB01", false},     {"AB8", false},       {"a b", false},    {"\u00E9", false},
      {"e\u0301", false},  // every scalar is tested, the mark too
      {"\xFF", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.text)));
    EXPECT_EQ(isBase32(c.text), c.base32);
  }
  const CharacterSet letters = CharacterSet::fromRange(U'a', U'z').union_(CharacterSet::fromRange(U'A', U'Z'));
  EXPECT_TRUE(containsOnlyCharacters("abcXYZ", letters));
  EXPECT_FALSE(containsOnlyCharacters("e\u0301", letters));
  EXPECT_FALSE(containsOnlyCharacters("a\r\n", CharacterSet::fromCharacters("a\r")));
  EXPECT_TRUE(containsOnlyCharacters("", letters));
  EXPECT_TRUE(containsNoCharacters("", letters));
  EXPECT_TRUE(containsNoCharacters("123", letters));
  EXPECT_FALSE(containsNoCharacters("1\u0301a", letters));
  for (int i = 0; i < 200; ++i) {
    const std::string drawn = randomBase32(1 + i % 40);
    SCOPED_TRACE(drawn);
    EXPECT_TRUE(isBase32(drawn));
    EXPECT_TRUE(isBase32(lowercased(drawn)));
  }
}

TEST(FileNames, FixedSets) {
  const auto members = [](const CharacterSet& set) {
    std::string all;
    for (const std::string& m : set.vtContainingCharacters()) all += m;
    return all;
  };
  EXPECT_EQ(members(CharacterSet::vtInvalidForFilesystemCharacterSet()), "\"%&()+/:<>?\\|");
  EXPECT_EQ(members(CharacterSet::vtWeakerInvalidForFilesystemCharacterSet()), "\"+/:<>?\\|");
  EXPECT_EQ(members(CharacterSet::vtPortableForFilesystemCharacterSet()),
            "-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(members(CharacterSet::base32()), "234567ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(CharacterSet::base32().vtContainingCharacters().size(), 58u);
  EXPECT_EQ(&CharacterSet::base32(), &CharacterSet::base32());
  // Every plane with members is walked; the surrogates are passed over.
  const CharacterSet spread =
      CharacterSet::fromRange(0xD7FF, 0xE000).union_(CharacterSet::fromCharacters("\U0010FFFD"));
  EXPECT_EQ(spread.vtContainingCharacters(), (std::vector<std::string>{"\uD7FF", "\uE000", "\U0010FFFD"}));
  EXPECT_EQ(CharacterSet().vtContainingCharacters(), std::vector<std::string>{});

  const CharacterSet all = CharacterSet::URLVantrelAllCombinedAllowed();
  for (const CharacterSet* part : {&CharacterSet::urlUserAllowed(), &CharacterSet::urlPasswordAllowed(),
                                   &CharacterSet::urlHostAllowed(), &CharacterSet::urlPathAllowed(),
                                   &CharacterSet::urlQueryAllowed(), &CharacterSet::urlFragmentAllowed()}) {
    EXPECT_EQ(part->union_(all), all);
  }
  EXPECT_TRUE(all.contains(U'[') && all.contains(U'/') && all.contains(U'?') && !all.contains(U' '));
}

TEST(FileNames, UrlSetDump) {
  ConsoleCapture capture;
  CharacterSet::debug_PrintNSURLCharacterSets();
  EXPECT_EQ(capture.standardOutput(),
      "URLUserAllowedCharacterSet     is --> !$&'()*+,-.0123456789;="
      "ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz~ <--\n"
      "URLPasswordAllowedCharacterSet is --> !$&'()*+,-.0123456789;="
      "ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz~ <--\n"
      "URLHostAllowedCharacterSet     is --> !$&'()*+,-.0123456789:;="
      "ABCDEFGHIJKLMNOPQRSTUVWXYZ[]_abcdefghijklmnopqrstuvwxyz~ <--\n"
      "URLPathAllowedCharacterSet     is --> !$&'()*+,-./0123456789:=@"
      "ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz~ <--\n"
      "URLQueryAllowedCharacterSet    is --> !$&'()*+,-./0123456789:;=?@"
      "ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz~ <--\n"
      "URLFragmentAllowedCharacterSet is --> !$&'()*+,-./0123456789:;=?@"
      "ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz~ <--\n");
}

}  // namespace
}  // namespace vantrel
