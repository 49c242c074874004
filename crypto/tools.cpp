#include "crypto/tools.h"

namespace kestrova::crypto {

void XorBlock(const void* in1, const void* in2, void* out, int length) {
  const auto* a = static_cast<const unsigned char*>(in1);
  const auto* b = static_cast<const unsigned char*>(in2);
  auto* o = static_cast<unsigned char*>(out);
  for (int i = 0; i < length; ++i) o[i] = static_cast<unsigned char>(a[i] ^ b[i]);
}

void IncBlock(void* block, int length) {
  auto* p = static_cast<unsigned char*>(block);
  for (int i = length - 1; i >= 0; --i) {
    if (++p[i] != 0) return;
  }
}

}  // namespace kestrova::crypto
