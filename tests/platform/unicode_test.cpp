// The UTF-8 / UTF-16 edge and the wildcard rules on names outside ASCII.
#include "platform/unicode.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/wildcard.h"

namespace {

using platform::Utf16FromUtf8;
using platform::Utf8FromUtf16;
using platform::WildcardMatches;

TEST(Unicode, EveryUtf16NameComesBackUnitForUnit) {
  const std::u16string names[] = {
      u"\u7167\u7247",                    // CJK
      u"\u0391\u03b8\u03ae\u03bd\u03b1",  // Greek
      u"\U0001F600.tmp",                  // an emoji: a surrogate pair
      std::u16string(u"a\xD800z"),        // a high surrogate alone
      std::u16string(u"\xDC00"),          // a low one alone
      std::u16string(u"x\xD83D"),         // a high one cut off at the end
      std::u16string(u"\xDE00\xD83D"),    // a pair in the wrong order: two lone surrogates
      std::u16string(u"\0mid", 4),        // NUL is a unit like any other here
  };
  for (const std::u16string& name : names) {
    const std::string utf8 = Utf8FromUtf16(name);
    EXPECT_TRUE(platform::IsUtf8(utf8));
    EXPECT_EQ(Utf16FromUtf8(utf8), name) << utf8;
  }
  // A pair is one four-byte character, a lone surrogate the three bytes of its own value.
  EXPECT_EQ(Utf8FromUtf16(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8FromUtf16(std::u16string(u"\xD800")), "\xED\xA0\x80");
  // Two encoded halves of a pair read as the pair: the same UTF-16 either way.
  EXPECT_EQ(Utf16FromUtf8("\xED\xA0\xBD\xED\xB8\x80"), u"\U0001F600");
}

TEST(Unicode, BytesThatAreNotUtf8AreRefusedNotGuessed) {
  const char* const invalid[] = {
      "\x80",              // a continuation byte with no lead
      "caf\xE9",           // Latin-1 from a hand-edited file
      "\xE7\x85",          // cut short
      "\xC0\xAF",          // overlong "/"
      "\xE0\x80\xAF",      // overlong "/" in three bytes
      "\xF4\x90\x80\x80",  // beyond U+10FFFF
      "\xF8\x88\x80\x80\x80",
      "ok\xC3",  // cut at the end
  };
  for (const char* text : invalid) {
    EXPECT_FALSE(platform::IsUtf8(text)) << text;
    EXPECT_EQ(Utf16FromUtf8(text), std::nullopt) << text;
    EXPECT_EQ(platform::CodePointsOf(text), std::nullopt) << text;
  }
  EXPECT_EQ(Utf16FromUtf8(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(Unicode, WildcardsIgnoreCaseInEveryScriptAndCountCharactersNotBytes) {
  EXPECT_TRUE(WildcardMatches("*.\xCE\x9B\xCE\x9F\xCE\x93", "\xCE\xB1.\xCE\xBB\xCE\xBF\xCE\xB3"));  // *.ΛΟΓ, α.λογ
  EXPECT_TRUE(WildcardMatches("\xC3\x84RGER*", "\xC3\xA4rger.txt"));                                // ÄRGER*, ärger
  EXPECT_TRUE(WildcardMatches("\xD0\xA4\xD0\x90\xD0\x99\xD0\x9B.*", "\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB"));  // ФАЙЛ.*
  EXPECT_TRUE(WildcardMatches("\xCF\x83*", "\xCE\xA3\xCF\x82"));              // σ*, Σς: final sigma is a small sigma
  EXPECT_TRUE(WildcardMatches("\xEF\xBC\xA1*", "\xEF\xBD\x81"));              // fullwidth A, fullwidth a
  EXPECT_TRUE(WildcardMatches("\xE7\x85\xA7?", "\xE7\x85\xA7\xE7\x89\x87"));  // 照? matches 照片
  // "?" is one character, also when UTF-16 needs two units for it.
  EXPECT_TRUE(WildcardMatches("a?b",
                              "a\xF0\x9F\x98\x80"
                              "b"));
  EXPECT_FALSE(WildcardMatches("a??b",
                               "a\xF0\x9F\x98\x80"
                               "b"));
  EXPECT_FALSE(WildcardMatches("?",
                               "\xC3\xA4"
                               "a"));
  // No folding that changes the length, and none beyond the Basic Multilingual Plane, as the
  // file system's own comparison: "ß" is not "SS", Deseret capital and small letters differ.
  EXPECT_FALSE(
      WildcardMatches("STRA\xC3\x9F"
                      "E",
                      "strasse"));
  EXPECT_FALSE(WildcardMatches("\xF0\x90\x90\x80", "\xF0\x90\x90\xA8"));
  // A lone surrogate from the disk matches itself, and "?" takes it as one character.
  EXPECT_TRUE(WildcardMatches("x?.tmp", "x\xED\xA0\x80.tmp"));
  // Different letters that only look alike stay different.
  EXPECT_FALSE(WildcardMatches("*.log",
                               "x.l\xD0\xBE"
                               "g"));
}

}  // namespace
