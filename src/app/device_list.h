#pragma once
// The entries of the device-list page: per found interface a picture with a
// caption below it, in two rows of four. A double click on a picture asks
// the window to connect or disconnect that device.

#include <QLabel>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

namespace qvk {

class device_list_view {
public:
    static constexpr uint32_t max_entries = 8;
    static constexpr uint32_t per_row = 4;
    // Design sizes, multiplied by the screen scale.
    static constexpr float picture_width = 128;
    static constexpr float picture_height = 96;
    static constexpr float first_left = 100;
    static constexpr float column_gap = 56;
    static constexpr float first_top = 96;
    static constexpr float row_gap = 56;
    static constexpr float caption_gap = 3;

    struct entry_text {
        QString caption;
        QString hint;
    };

    device_list_view(QWidget* page, std::function<void(uint32_t)> on_double_click);

    // Lays out, fills and shows entry i; kind 0 draws nothing.
    void draw_entry(uint32_t i, uint32_t kind, bool connected, const entry_text& text, float scale);
    void hide_entry(uint32_t i);
    bool exists(uint32_t i) const { return i < max_entries && pictures_[i] && labels_[i]; }
    QLabel* picture(uint32_t i) const { return i < max_entries ? pictures_[i].data() : nullptr; }
    QLabel* label(uint32_t i) const { return i < max_entries ? labels_[i].data() : nullptr; }
    // The kind and connected state the picture shows now.
    uint32_t shown_kind(uint32_t i) const { return i < max_entries ? kinds_[i] : 0; }
    bool shown_connected(uint32_t i) const { return i < max_entries && connected_[i]; }

    // Where a picture of entry i goes (truncated to whole pixels).
    static QRect picture_rect(uint32_t i, float scale);

private:
    class entry_picture;
    void create(uint32_t i);

    QWidget* page_;
    std::function<void(uint32_t)> on_double_click_;
    std::array<QPointer<QLabel>, max_entries> pictures_{};
    std::array<QPointer<QLabel>, max_entries> labels_{};
    std::array<uint32_t, max_entries> kinds_{};
    std::array<bool, max_entries> connected_{};
};

} // namespace qvk
