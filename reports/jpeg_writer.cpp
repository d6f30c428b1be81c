#include "reports/jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace driftscope {
namespace {

struct TJpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<TJpegError*>(info->err)->jump, 1);
}

// Only plain C state lives in this function, so the jump on an encoder error skips no
// destructor.
bool Encode(const std::uint8_t* rgb, int width, int height, int quality, unsigned char** out,
            unsigned long* size) {
    jpeg_compress_struct info{};
    TJpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = &OnJpegError;
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + static_cast<std::size_t>(info.next_scanline) *
                                                      static_cast<std::size_t>(width) * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

void TJpegWriter::WriteRgb(const std::string& file, const std::vector<std::uint8_t>& rgb, int width,
                           int height, int quality) {
    if (width <= 0 || height <= 0 ||
        rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
        throw std::runtime_error("Invalid picture for " + file);
    }
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool encoded = Encode(rgb.data(), width, height, quality, &buffer, &size);
    const std::unique_ptr<unsigned char, decltype(&std::free)> owned(buffer, &std::free);
    if (!encoded) {
        throw std::runtime_error("Unable to encode the picture for " + file);
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(buffer), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        throw std::runtime_error("Unable to write " + file);
    }
}

} // namespace driftscope
