// The resource form of a plain INI text: what the program's BFDecryptBinary turns back into it.
#pragma once
#include <string>

namespace kestrova::tools {

// The text, followed by zero bytes up to the next multiple of 8, enciphered with BFEncryptBinary.
// The length is then a multiple of 8, so the reader's (length + 1) div 8 blocks cover every byte
// and none past the end: no byte of the last block is lost and none stays plain. The padding
// deciphers to zero bytes, where the INI store stops reading.
std::string EncipherResource(const std::string& plain);

// The reader's side, as the program does it: the bytes in a memory stream, deciphered in place.
std::string DecipherResource(const std::string& stored);

}  // namespace kestrova::tools
