// The MD5 message digest of RFC 1321, as the RFC gives it. The program uses it only to turn a
// GUID with its node bytes cleared into an identifier that carries nothing of the machine.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wbh::store {

struct Md5Context {
    std::uint32_t state[4];   // the chaining words A, B, C, D
    std::uint64_t bit_count;  // the message length so far, in bits
    std::uint8_t block[64];   // bytes of the block not yet transformed
};

void Md5Init(Md5Context& context);
void Md5Update(Md5Context& context, const std::uint8_t* bytes, std::size_t count);
// Writes the digest and clears the whole context.
void Md5Final(std::uint8_t (&digest)[16], Md5Context& context);

}  // namespace wbh::store
