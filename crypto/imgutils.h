// The cipher and digest helpers: Blowfish-CBC with the program's built-in key over buffers and
// texts, and MD5 of texts, bytes and files. Every BF call is one chain from a zero register.
#pragma once
#include <string>

#include "crypto/mountool.h"

namespace kestrova::crypto {

// Restarts the CBC chain of the unit's cipher state.
void BFReset();

// In place, (length + 1) div 8 blocks from offset 0. A length of 8k + 7 works on the byte at
// offset length too, so the buffer must hold 8 × ((length + 1) div 8) bytes; for 8k + 1 to 8k + 6
// the bytes after the last whole block stay as they are.
void BFEncryptBinary(void* buffer, int length);
void BFDecryptBinary(void* buffer, int length);

// The text's length (32-bit, least significant byte first) and bytes, zero-padded and enciphered:
// 8 × ((n + 5) div 8 + 1) bytes of raw cipher text.
std::string BFEncryptString(const std::string& text);
// The text back; damaged input whose length field does not fit the data gives the empty text.
std::string BFDecryptString(const std::string& cipher);

TMounDigest MD5EncryptString(const std::string& text);
TMounDigest MD5EncryptBinary(const void* data, int length);
// File errors reach the caller as EInOutError.
TMounDigest MD5EncryptFile(const std::string& fileName);

}  // namespace kestrova::crypto
