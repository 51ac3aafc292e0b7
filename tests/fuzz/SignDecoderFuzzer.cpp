// Any byte stream, cut into two chunks at a point the input chooses, goes
// through the decoder into the virtual sign: nothing may crash, leak or read
// out of bounds, and every error keeps a bounded excerpt of its bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tools/signsim/SignDecoder.h"
#include "tools/signsim/VirtualSign.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CVirtualSign sign([](const std::string&) {});
  sign.Start();
  CSignDecoder decoder([&sign](const CSignDecoder::Event& event) {
    if (const auto* error = std::get_if<CProtocolError>(&event)) {
      if (error->excerpt.size() > CProtocolError::kExcerptLimit ||
          error->excerpt.size() > error->byteCount) {
        std::abort();
      }
    }
    sign.Take(event);
  });
  const std::size_t split = size == 0 ? 0 : data[0] % size;
  decoder.Feed(data, split);
  decoder.Feed(data + split, size - split);
  decoder.Finish();
  return 0;
}
