#pragma once
// Turning an image file into an effect picture: the image's top-left 26 x 8
// pixels are taken as they are (no scaling), positions the image does not
// reach are black. Any image Qt can read is taken; nothing is returned for
// data that is no readable image.

#include <QString>
#include <optional>

#include "lighting/custom_backlight.h"

class QIODevice;

namespace qvk {

std::optional<custom_bkl::effect_picture> import_picture(QIODevice& device);
std::optional<custom_bkl::effect_picture> import_picture_file(const QString& path);

} // namespace qvk
