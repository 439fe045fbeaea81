#include "lighting/system_volume.h"

#include "music/sys_volume.h"

namespace qvk {

namespace {

// The sound server's volume of the default output.
class sound_server_volume final : public volume_source {
public:
    bool open() override { return reader_.open(); }
    void refresh() override { reader_.refresh(); }
    float level() const override { return reader_.level(); }

private:
    music::my_audio_snap_get_sys_volume reader_;
};

volume_source_maker& maker() {
    static volume_source_maker m;
    return m;
}

} // namespace

std::unique_ptr<volume_source> make_volume_source() {
    if (maker()) return maker()();
    return std::make_unique<sound_server_volume>();
}

void set_volume_source_maker(volume_source_maker m) { maker() = std::move(m); }

} // namespace qvk
