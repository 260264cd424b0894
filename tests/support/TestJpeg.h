#pragma once

#include <jpeglib.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace torvane::test {

// A real JPEG of the given size, made with libjpeg: one flat grey, or noise (which compresses
// badly: a camera-sized photo of several megabytes at quality 100).
inline std::string testJpeg(int width, int height, bool noise = false, int quality = 75) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::mt19937 random(7);
    std::vector<unsigned char> line(static_cast<std::size_t>(width) * 3, 180);
    while (info.next_scanline < info.image_height) {
        if (noise)
            for (auto& c : line) c = static_cast<unsigned char>(random());
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

}  // namespace torvane::test
