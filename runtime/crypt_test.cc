#include "runtime/crypt.h"

#include <cstring>
#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace {

std::string Encode(const std::string& plain, int mode, const char* key = kCryptKeyText) {
  char cipher[kCryptCipherCap];
  EXPECT_EQ(0, Crypt_Encode(plain.c_str(), cipher, sizeof cipher, key, mode));
  return cipher;
}

std::string Decode(const std::string& cipher, int mode, const char* key = kCryptKeyText) {
  char plain[kCryptPlainCap];
  EXPECT_EQ(0, Crypt_Decode(cipher.c_str(), plain, sizeof plain, key, mode));
  return plain;
}

TEST(IdeaTest, PublishedVector) {
  const uint16_t key[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  uint16_t enc[52], dec[52];
  Idea_ExpandKey(key, enc);
  Idea_InvertKey(enc, dec);
  // The first subkeys are the key itself, the ninth starts the 25-bit
  // rotation: 0x0400 0x0600 0x0800 0x0a00 ...
  EXPECT_EQ(1, enc[0]);
  EXPECT_EQ(8, enc[7]);
  EXPECT_EQ(0x0400, enc[8]);
  EXPECT_EQ(0x0a00, enc[11]);

  const uint16_t plain[4] = {0, 1, 2, 3};
  uint16_t cipher[4];
  Idea_Block(plain, cipher, enc);
  EXPECT_EQ(0x11FB, cipher[0]);
  EXPECT_EQ(0xED2B, cipher[1]);
  EXPECT_EQ(0x0198, cipher[2]);
  EXPECT_EQ(0x6DE5, cipher[3]);

  uint16_t back[4];
  Idea_Block(cipher, back, dec);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(plain[i], back[i]) << i;
}

TEST(IdeaTest, InversesHoldForEdgeWords) {
  // Subkeys 0 (standing for 65536) and 1 and 65535 exercise the edges of the
  // multiplication and its inverse.
  const uint16_t key[8] = {0, 1, 0xFFFF, 0, 0x8000, 0, 0xFFFF, 1};
  uint16_t enc[52], dec[52];
  Idea_ExpandKey(key, enc);
  Idea_InvertKey(enc, dec);
  const uint16_t blocks[3][4] = {{0, 0, 0, 0}, {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}, {1, 0, 0xFFFF, 2}};
  for (const auto& b : blocks) {
    uint16_t c[4], p[4];
    Idea_Block(b, c, enc);
    Idea_Block(c, p, dec);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(b[i], p[i]);
  }
}

TEST(CryptTest, RoundTripsInBothModes) {
  for (const std::string& plain : std::vector<std::string>{"scott", "tiger", "bde.db", "abcd", "a", "",
                                  "/abs/path/with spaces/and;semicolon",
                                  std::string(52, 'x')}) {
    const std::string digits = Encode(plain, 0);
    EXPECT_EQ((plain.size() + 3) / 4 * 20, digits.size()) << plain;
    EXPECT_EQ(std::string::npos, digits.find_first_not_of("0123456789"));
    EXPECT_EQ(plain, Decode(digits, 0)) << plain;

    const std::string letters = Encode(plain, 1);
    EXPECT_EQ(digits.size() / 2, letters.size());
    EXPECT_EQ(plain, Decode(letters, 1)) << plain;
  }
}

TEST(CryptTest, HighBytesSurvive) {
  const std::string plain = "S\xE4tze";  // ISO-8859-1
  EXPECT_EQ(plain, Decode(Encode(plain, 0), 0));
}

TEST(CryptTest, TheKeyMatters) {
  const std::string cipher = Encode("password", 0);
  EXPECT_NE(cipher, Encode("password", 0, "PLANBDF"));
  EXPECT_NE("password", Decode(cipher, 0, "PLANBDF"));
  // Key words stop at the terminator: the eighth word of the built-in key
  // text is zero, so a key text continuing after it is another key.
  EXPECT_NE(cipher, Encode("password", 0, "PLANBDEX"));
  EXPECT_EQ("password", Decode(Encode("password", 0, "PLANBDEX"), 0, "PLANBDEX"));
}

TEST(CryptTest, TwentyDigitsGiveAtMostFourCharacters) {
  EXPECT_EQ("abcd", Decode(Encode("abcd", 0), 0));
  // Whatever the digits, one block gives at most four characters.
  EXPECT_LE(Decode("12345678901234567890", 0).size(), 4u);
  EXPECT_LE(Decode("99999999999999999999", 0).size(), 4u);
}

TEST(CryptTest, IncompleteLastGroupIsIgnored) {
  const std::string digits = Encode("pass", 0);
  EXPECT_EQ("pass", Decode(digits + "1234", 0));
  EXPECT_EQ("pass", Decode(digits + "\r", 0));
  // A text cut inside a block: the missing words are taken as zero words,
  // so the block deciphers to something else, but only the words present
  // give characters.
  EXPECT_LE(Decode(digits.substr(0, 17), 0).size(), 3u);
}

TEST(CryptTest, LongCipherTextIsCutAtFiftyTwoWords) {
  const std::string a52(52, 'a');
  const std::string digits = Encode(a52, 0);
  ASSERT_EQ(260u, digits.size());
  // A further block is not deciphered.
  EXPECT_EQ(a52, Decode(digits + Encode("zzzz", 0), 0));
  char small[kCryptPlainCap + 40];
  EXPECT_EQ(0, Crypt_Decode((digits + Encode("zzzz", 0)).c_str(), small, sizeof small,
                            kCryptKeyText, 0));
  EXPECT_EQ(a52, small);
  const std::string letters = Encode(a52, 1);
  EXPECT_EQ(a52, Decode(letters + Encode("zzzz", 1), 1));
}

TEST(CryptTest, OutputsNeverOverrun) {
  const std::string digits = Encode("abcdefgh", 0);
  char plain[8];
  std::memset(plain, '#', sizeof plain);
  EXPECT_EQ(0, Crypt_Decode(digits.c_str(), plain, 5, kCryptKeyText, 0));
  EXPECT_STREQ("abcd", plain);
  EXPECT_EQ('#', plain[5]);

  char cipher[40];
  std::memset(cipher, '#', sizeof cipher);
  // "abcde" needs two blocks, 40 digits and a terminator.
  EXPECT_EQ(-1, Crypt_Encode("abcde", cipher, 40, kCryptKeyText, 0));
  EXPECT_STREQ("", cipher);
  EXPECT_EQ('#', cipher[1]);
  EXPECT_EQ(0, Crypt_Encode("abcd", cipher, 21, kCryptKeyText, 0));
  EXPECT_EQ(20u, std::strlen(cipher));

  char big[400];
  EXPECT_EQ(-1, Crypt_Encode(std::string(53, 'x').c_str(), big, sizeof big, kCryptKeyText, 0));
  EXPECT_STREQ("", big);
}

TEST(CryptTest, RejectsBadArguments) {
  char out[64] = "unchanged";
  EXPECT_EQ(-1, Crypt_Decode("00000", out, sizeof out, kCryptKeyText, 2));
  EXPECT_STREQ("", out);
  EXPECT_EQ(-1, Crypt_Decode(nullptr, out, sizeof out, kCryptKeyText, 0));
  EXPECT_EQ(-1, Crypt_Decode("00000", out, sizeof out, nullptr, 0));
  EXPECT_EQ(-1, Crypt_Decode("00000", nullptr, 10, kCryptKeyText, 0));
  EXPECT_EQ(-1, Crypt_Encode("a", out, sizeof out, kCryptKeyText, 7));
  // Mode 1 letters stand for 00..99, i.e. codes 65..164; a digit does not.
  std::strcpy(out, "unchanged");
  EXPECT_EQ(-1, Crypt_Decode("AB1CD", out, sizeof out, kCryptKeyText, 1));
  EXPECT_STREQ("", out);
}

}  // namespace
