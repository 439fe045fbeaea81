#include "lighting/picture_import.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

namespace qvk {

namespace {
// Pictures larger than this are refused before they are decoded: the page
// needs only 26 x 8 pixels of them.
constexpr int allocation_limit_mb = 64;
} // namespace

std::optional<custom_bkl::effect_picture> import_picture(QIODevice& device) {
    QImageReader reader(&device);
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
