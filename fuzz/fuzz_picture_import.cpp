// Feeds arbitrary bytes to the effect-picture import, as if the user picked
// them as a BMP file: as they are, and with the "BM" magic put in front of
// them so that the BMP decoder reads random headers. An import never
// crashes; one that succeeds never comes from a BMP whose rows end early,
// and its colours hold no bits above 0xFFFFFF.

#include <QBuffer>
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "lighting/bmp_header.h"
#include "lighting/picture_import.h"

namespace {

void check(QByteArray data) {
    const bool complete =
        qvk::bmp::pixel_rows_complete(std::span(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size())));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const auto picture = qvk::import_picture(buffer);
    if (!picture) return;
    if (!complete) std::abort();
    for (unsigned c = 0; c < qvk::custom_bkl::columns; ++c)
        for (unsigned r = 0; r < qvk::custom_bkl::rows; ++r)
            if (picture->at(c, r) > 0xFFFFFF) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray raw(reinterpret_cast<const char*>(data), qsizetype(size));
    check(raw);
    check(QByteArray("BM", 2) + raw);
    return 0;
}
