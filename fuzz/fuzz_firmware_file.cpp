// Checks arbitrary bytes as a firmware file the user picked, on every link
// kind: the checks must never read outside the file, a file they accept must
// hold exactly its announced payload with the right CRC, and what would be
// sent must lie inside the file.

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <span>
#include <vector>

#include "link/link_kind.h"
#include "link/packet.h"
#include "maint/firmware_file.h"

namespace fw = qvk::firmware;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const uint32_t kind = 1 + (data[0] & 0x0F) % 5;
    const uint16_t running = uint16_t(data[1] | data[2] << 8);
    // A copy of exactly the file's size, so that any read past its end is caught.
    std::vector<uint8_t> file(data + 3, data + size);
    // Random bytes seldom make a header that passes; on request, mend the
    // header's fixed fields (and its CRC) so the later checks are reached.
    const size_t header = fw::header_size_for(kind);
    if ((data[0] & 0x80) && file.size() >= header) {
        qvk::packet::write_u16(&file[fw::off_generator], fw::generator_version);
        qvk::packet::write_u16(&file[fw::off_target], fw::target_for(kind));
        file[fw::off_marker_a] = fw::marker_a;
        file[fw::off_marker_b] = fw::marker_b;
        qvk::packet::write_u32(&file[fw::off_length], uint32_t(file.size() - header));
        if (data[0] & 0x40) file[fw::off_crc] = fw::crc8(std::span<const uint8_t>(file).subspan(header));
    }
    const std::span<const uint8_t> f(file);

    const fw::fault fault = fw::check_file(f, kind);
    const fw::fault fields = fw::check_fields(f);
    fw::older_than_running(f, kind, running);
    if (fault == fw::fault::none) {
        if (file.size() < header) std::abort();
        if (qvk::packet::read_u32(&file[fw::off_length]) + header != file.size()) std::abort();
        if (fw::crc8(f.subspan(header)) != file[fw::off_crc]) std::abort();
        if (file[fw::off_marker_a] != fw::marker_a || file[fw::off_marker_b] != fw::marker_b) std::abort();
        const auto image = fw::image_to_send(f, kind);
        if (image.size() + (kind == qvk::kind_rf_boot ? header : 0) != file.size()) std::abort();
        if (kind == qvk::kind_rf_boot && file.size() > header && fw::receiver_header(f, kind).size() != fw::rf_header_size)
            std::abort();
        if (kind == qvk::kind_usb && fw::keyboard_image_ok(f) != (fields == fw::fault::none && file.size() > header))
            std::abort();
    }
    // Any payload wrapped by the tool's own file maker passes every check.
    const auto payload = f.subspan(0, std::min<size_t>(f.size(), 4096));
    if (!payload.empty()) {
        const auto made = fw::make_keyboard_file(payload, running);
        if (fw::check_file(made, qvk::kind_usb) != fw::fault::none || !fw::keyboard_image_ok(made)) std::abort();
        const auto rf = fw::make_receiver_file(payload, running);
        if (fw::check_file(rf, qvk::kind_rf_boot) != fw::fault::none ||
            !fw::receiver_image_ok(fw::receiver_header(rf, qvk::kind_rf_boot), payload))
            std::abort();
    }
    return 0;
}
