#pragma once
// The pictures of the device list: one drawing per link kind, in colour for
// the connected device and in grey for the others.

#include <QPixmap>
#include <QSize>
#include <cstdint>

namespace qvk {

// kind 1..5; an empty picture for any other kind.
QPixmap device_picture(uint32_t kind, bool connected, QSize size);

} // namespace qvk
