#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace driftscope {

class TJpegWriter {
public:
    // Encodes packed RGB pixels (3 bytes each, rows top to bottom) and writes the file;
    // throws std::runtime_error on failure.
    static void WriteRgb(const std::string& file, const std::vector<std::uint8_t>& rgb, int width,
                         int height, int quality);
};

} // namespace driftscope
