// The cipher of the stored credentials.
//
// A value is stored as one 16-bit word per character (its code in the low
// byte), filled up with zero words to whole blocks of four and enciphered
// with IDEA, each block on its own (electronic code book).  The key is built
// from a key text: the eight key words are the character codes of its first
// eight characters, a shorter text continuing with zero words (so the
// terminator of a seven-letter key text is the eighth word).
//
// Two written forms of the cipher words exist:
//   mode 0: every word as five decimal digits, zero-padded (00000..65535);
//   mode 1: the digit form of mode 0 with every two digits written as one
//           letter, the letter's code being 65 plus their value.
#ifndef PPS2BDE_RUNTIME_CRYPT_H_
#define PPS2BDE_RUNTIME_CRYPT_H_

#include <cstddef>
#include <cstdint>

// The key text compiled into the job; the configuration file is enciphered
// with it.
constexpr const char* kCryptKeyText = "PLANBDE";

// At most this many cipher words (13 blocks) are deciphered, and a plain
// text of at most this many characters can be enciphered.
constexpr int kCryptMaxWords = 52;

// Capacity of a plain-text buffer that always holds a deciphered text whole.
constexpr size_t kCryptPlainCap = kCryptMaxWords + 1;
// Capacity of a cipher-text buffer that always holds the mode 0 form of a
// plain text of at most kCryptMaxWords characters.
constexpr size_t kCryptCipherCap = kCryptMaxWords * 5 + 1;

// Deciphers cipherText (mode 0 or 1) with the key of keyText into
// plainOut[plainCap].
//
// Mode 0 cuts the text into groups of five characters from the start, each
// read like atoi as one word (cut to 16 bits); characters after the last full
// group are ignored.  Mode 1 first turns each letter into its two digits.
// At most kCryptMaxWords words are deciphered, a longer text is cut there; a
// final block of fewer than four words is filled up with zero words.  The
// plain text is the low byte of each deciphered word of the text, ended early
// by the first zero byte, and cut to plainCap-1 characters.
//
// Returns 0.  Returns -1 with an empty plainOut when an argument is null,
// the mode is neither 0 nor 1, or (mode 1) a character is not a letter
// standing for two digits (codes 65..164).  plainOut is never written past
// plainCap bytes; nothing is written when plainCap is 0.
[[nodiscard]] int Crypt_Decode(const char* cipherText, char* plainOut, size_t plainCap,
                 const char* keyText, int mode);

// Enciphers plainText with the key of keyText into cipherOut[cipherCap] in
// the written form of mode (0 or 1): each character becomes one word holding
// its code, the words are filled up with zero words to whole blocks of four
// and enciphered block by block.  An empty plain text gives an empty cipher
// text.
//
// Returns 0.  Returns -1 with an empty cipherOut (when cipherCap > 0) when an
// argument is null, the mode is neither 0 nor 1, the plain text is longer
// than kCryptMaxWords characters (Crypt_Decode would cut it), or the cipher
// text does not fit in cipherCap bytes: a cut cipher text would decipher to
// something else, so none is written.
[[nodiscard]] int Crypt_Encode(const char* plainText, char* cipherOut, size_t cipherCap,
                 const char* keyText, int mode);

// The IDEA block cipher itself, on one block of four words.  Exposed for the
// published test vectors.
//
// Idea_ExpandKey: the 52 encryption subkeys of the 128-bit key key[8].
// Idea_InvertKey: the 52 decryption subkeys of the encryption subkeys.
// Idea_Block: enciphers (with encryption subkeys) or deciphers (with
// decryption subkeys) in[4] into out[4]; in and out may be the same array.
void Idea_ExpandKey(const uint16_t key[8], uint16_t subkeys[52]);
void Idea_InvertKey(const uint16_t encrypt[52], uint16_t decrypt[52]);
void Idea_Block(const uint16_t in[4], uint16_t out[4], const uint16_t subkeys[52]);

#endif  // PPS2BDE_RUNTIME_CRYPT_H_
