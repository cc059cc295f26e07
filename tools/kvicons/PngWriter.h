// Writing RGBA pixels as a PNG file with nothing but the standard library: the build
// makes the program's icons with it, so packaging needs no image library.
#ifndef KV_PNG_WRITER_H
#define KV_PNG_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

// rgba holds width * height pixels, rows top to bottom, four bytes each in the order red,
// green, blue, alpha (not premultiplied). The image data is stored uncompressed (deflate
// "stored" blocks): icons are small and the encoder stays short and exact. Returns false
// when the sizes do not match or the file cannot be written.
bool WritePng(const std::string& path, uint32_t width, uint32_t height,
              const std::vector<uint8_t>& rgba);

#endif // KV_PNG_WRITER_H
