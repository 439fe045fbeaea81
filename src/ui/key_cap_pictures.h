#pragma once
// The two key-cap pictures the function-layer editor can draw its keys on
// ("00": a white cap with a grey rim, "01": a green cap), drawn once at
// 90 x 89 pixels, and their copies scaled to the key sizes in use.

#include <QImage>
#include <map>
#include <tuple>

namespace qvk {

class key_cap_pictures {
public:
    static constexpr int count = 2;
    static constexpr int width = 90;
    static constexpr int height = 89;

    key_cap_pictures();
    // Picture `index` (0 or 1) at its own size; a null image for any other
    // index.
    const QImage& picture(int index) const;
    // Picture `index` scaled to w x h; kept for the next key of that size.
    const QImage& scaled(int index, int w, int h);

private:
    QImage pictures_[count];
    QImage none_;
    std::map<std::tuple<int, int, int>, QImage> scaled_;
};

} // namespace qvk
