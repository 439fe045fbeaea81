#include "lighting/picture_import.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <span>

#include "lighting/bmp_header.h"

namespace qvk {

namespace {
// Pictures larger than this are refused before they are decoded: the page
// needs only 26 x 8 pixels of them.
constexpr int allocation_limit_mb = 64;
// Files are read whole before decoding; no picture file the page could
// want comes near this.
constexpr qint64 file_size_max = qint64(allocation_limit_mb) * 1024 * 1024;
} // namespace

std::optional<custom_bkl::effect_picture> import_picture(QIODevice& device) {
    if (!device.isSequential() && device.size() - device.pos() > file_size_max) return std::nullopt;
    QByteArray data = device.readAll();
    if (data.size() > file_size_max) return std::nullopt;
    // The image reader takes a BMP cut short and fills the missing rows
    // itself; such a file is not the picture the user chose.
    if (!bmp::pixel_rows_complete(std::span(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()))))
        return std::nullopt;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(allocation_limit_mb);
    const QImage image = reader.read();
    if (image.isNull()) return std::nullopt;
    custom_bkl::effect_picture picture;
    for (unsigned c = 0; c < custom_bkl::columns; ++c)
        for (unsigned r = 0; r < custom_bkl::rows; ++r)
            if (int(c) < image.width() && int(r) < image.height())
                picture.set(c, r, image.pixel(int(c), int(r)) & 0xFFFFFF);
    return picture;
}

std::optional<custom_bkl::effect_picture> import_picture_file(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return import_picture(file);
}

} // namespace qvk
