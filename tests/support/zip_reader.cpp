#include "zip_reader.h"

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <iterator>

namespace driftscope::test_support {
namespace {

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    }
    return v;
}

bool Inflate(const std::string& in, std::size_t size, std::string& out) {
    out.assign(size, '\0');
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) {
        return false;
    }
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int r = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    return r == Z_STREAM_END && z.total_out == size;
}

} // namespace

std::map<std::string, std::string> ReadZip(const std::string& file) {
    std::ifstream f(file, std::ios::binary);
    const std::string b{std::istreambuf_iterator<char>(f), {}};
    std::map<std::string, std::string> parts;
    // The end-of-directory record is the last thing in the file (no comment is written).
    const std::size_t end = b.rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos || end + 22 > b.size()) {
        return parts;
    }
    const std::uint32_t count = Le(b, end + 10, 2);
    std::size_t at = Le(b, end + 16, 4);
    for (std::uint32_t i = 0; i < count && at + 46 <= b.size(); ++i) {
        const std::uint32_t method = Le(b, at + 10, 2);
        const std::uint32_t packed = Le(b, at + 20, 4);
        const std::uint32_t size = Le(b, at + 24, 4);
        const std::uint32_t nameLength = Le(b, at + 28, 2);
        const std::uint32_t extra = Le(b, at + 30, 2);
        const std::uint32_t comment = Le(b, at + 32, 2);
        const std::uint32_t local = Le(b, at + 42, 4);
        const std::string name = b.substr(at + 46, nameLength);
        const std::size_t data = local + 30 + Le(b, local + 26, 2) + Le(b, local + 28, 2);
        const std::string raw = b.substr(data, packed);
        std::string content;
        if (method == 0) {
            content = raw;
        } else if (method != 8 || !Inflate(raw, size, content)) {
            return {};
        }
        parts[name] = content;
        at += 46 + nameLength + extra + comment;
    }
    return parts;
}

} // namespace driftscope::test_support
