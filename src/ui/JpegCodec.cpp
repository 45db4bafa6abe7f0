#include "ui/JpegCodec.h"

#include "ui/PictureFile.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace jpeg {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return:
// jump back to the caller, which then cleans up. Nothing with a destructor
// lives between setjmp and the libjpeg calls.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void errorExit(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(err->jump, 1);
}

void quietOutput(j_common_ptr) {}

bool encodeRows(const std::vector<unsigned char>& rgb, int width, int height, int quality,
                unsigned char** out, unsigned long* outSize) {
    jpeg_compress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = errorExit;
    err.base.output_message = quietOutput;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<unsigned char*>(rgb.data() + static_cast<size_t>(info.next_scanline) * width * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

bool decodeRows(const QByteArray& data, std::vector<unsigned char>& rgb, int& width, int& height) {
    jpeg_decompress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = errorExit;
    err.base.output_message = quietOutput;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    // The header may claim any size: refuse what no picture of ours needs
    // before libjpeg or we allocate for it.
    if (!isPictureSizeAcceptable(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    rgb.assign(static_cast<size_t>(width) * height * 3, 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb.data() + static_cast<size_t>(info.output_scanline) * width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

std::optional<QByteArray> encode(const QImage& image, int quality) {
    if (image.isNull() || quality < 1 || quality > 100) {
        return std::nullopt;
    }
    const QImage rgbImage = image.convertToFormat(QImage::Format_RGB888);
    const int width = rgbImage.width();
    const int height = rgbImage.height();
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        std::copy_n(rgbImage.constScanLine(y), static_cast<size_t>(width) * 3,
                    rgb.begin() + static_cast<std::ptrdiff_t>(y) * width * 3);
    }
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const bool ok = encodeRows(rgb, width, height, quality, &out, &outSize);
    std::optional<QByteArray> result;
    if (ok && out != nullptr) {
        result = QByteArray(reinterpret_cast<const char*>(out), static_cast<qsizetype>(outSize));
    }
    std::free(out);
    return result;
}

std::optional<QImage> decode(const QByteArray& data) {
    std::vector<unsigned char> rgb;
    int width = 0;
    int height = 0;
    if (data.isEmpty() || !decodeRows(data, rgb, width, height) || width <= 0 || height <= 0) {
        return std::nullopt;
    }
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        std::copy_n(rgb.begin() + static_cast<std::ptrdiff_t>(y) * width * 3, static_cast<size_t>(width) * 3,
                    image.scanLine(y));
    }
    return image;
}

} // namespace jpeg
