// A minimal PNG encoder: one IHDR, one IDAT holding a zlib stream of stored blocks, IEND.
#include "tools/kvicons/PngWriter.h"

#include <array>
#include <fstream>

namespace {

const uint32_t kStoredBlockLimit = 65535;

uint32_t
Crc32(const uint8_t* data, size_t length, uint32_t crc = 0)
{
	static const std::array<uint32_t, 256> sTable = [] {
		std::array<uint32_t, 256> table{};
		for (uint32_t n = 0; n < 256; n++) {
			uint32_t c = n;
			for (int k = 0; k < 8; k++)
				c = (c & 1) != 0 ? 0xedb88320u ^ (c >> 1) : c >> 1;
			table[n] = c;
		}
		return table;
	}();
	crc = ~crc;
	for (size_t i = 0; i < length; i++)
		crc = sTable[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
	return ~crc;
}

uint32_t
Adler32(const std::vector<uint8_t>& data)
{
	uint32_t a = 1, b = 0;
	for (uint8_t byte : data) {
		a = (a + byte) % 65521;
		b = (b + a) % 65521;
	}
	return (b << 16) | a;
}

void
PutBigEndian(std::vector<uint8_t>& out, uint32_t value)
{
	for (int shift = 24; shift >= 0; shift -= 8)
		out.push_back(uint8_t(value >> shift));
}

void
AppendChunk(std::vector<uint8_t>& file, const char type[4], const std::vector<uint8_t>& data)
{
	PutBigEndian(file, uint32_t(data.size()));
	size_t typeStart = file.size();
	file.insert(file.end(), type, type + 4);
	file.insert(file.end(), data.begin(), data.end());
	PutBigEndian(file, Crc32(file.data() + typeStart, file.size() - typeStart));
}

// The zlib stream of the raw scanlines (each led by filter type 0, "none").
std::vector<uint8_t>
ZlibStored(const std::vector<uint8_t>& raw)
{
	std::vector<uint8_t> out = {0x78, 0x01};
	size_t offset = 0;
	do {
		uint32_t length = uint32_t(std::min<size_t>(raw.size() - offset, kStoredBlockLimit));
		bool last = offset + length == raw.size();
		out.push_back(last ? 1 : 0);
		out.push_back(uint8_t(length));
		out.push_back(uint8_t(length >> 8));
		out.push_back(uint8_t(~length));
		out.push_back(uint8_t(~length >> 8));
		out.insert(out.end(), raw.begin() + offset, raw.begin() + offset + length);
		offset += length;
	} while (offset < raw.size());
	PutBigEndian(out, Adler32(raw));
	return out;
}

} // namespace

bool
WritePng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba)
{
	if (width == 0 || height == 0 || rgba.size() != size_t(width) * height * 4)
		return false;

	std::vector<uint8_t> raw;
	raw.reserve(size_t(height) * (width * 4 + 1));
	for (uint32_t y = 0; y < height; y++) {
		raw.push_back(0);
		auto row = rgba.begin() + size_t(y) * width * 4;
		raw.insert(raw.end(), row, row + width * 4);
	}

	std::vector<uint8_t> header;
	PutBigEndian(header, width);
	PutBigEndian(header, height);
	// 8 bits per channel, colour type 6 (RGBA), deflate, adaptive filtering, no interlace.
	header.insert(header.end(), {8, 6, 0, 0, 0});

	std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
	AppendChunk(file, "IHDR", header);
	AppendChunk(file, "IDAT", ZlibStored(raw));
	AppendChunk(file, "IEND", {});

	std::ofstream stream(path, std::ios::binary | std::ios::trunc);
	stream.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
	stream.close();
	return bool(stream);
}
