// Feeds arbitrary packets, as the tool (or a broken tool) might write them,
// to the virtual keyboard's firmware. Whatever arrives, it must stay inside
// its buffers, keep every record at its size, and only ever answer with
// well-formed packets.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "link/command_catalogue.h"
#include "link/packet.h"
#include "sim/keyboard_firmware.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint32_t kind = 1 + data[0] % 5;
    ++data;
    --size;
    qvk::sim::keyboard_firmware firmware("Fuzz", 0x0100);
    qvk::packet::packet64 p;
    while (size > 0) {
        const size_t n = size < p.size() ? size : p.size();
        p.fill(0);
        std::memcpy(p.data(), data, n);
        data += n;
        size -= n;
        // Mostly packets of the right type and commands that exist, so the
        // input reaches the handlers; totals kept small so the run stays fast.
        p[0] = uint8_t((p[0] & 0xF0) | qvk::packet::packet_type);
        p[3] &= 0x03;
        p[qvk::packet::off_command] = uint8_t(p[qvk::packet::off_command] % 80);
        const auto out = firmware.handle(p, kind);
        for (const auto& r : out.replies)
            if (qvk::packet::type_of(r.data()) != qvk::packet::packet_type) std::abort();
        if (out.restart_as > 5) std::abort();
    }
    if (firmware.record(qvk::cmd::read_layout).size() != qvk::record_size::kb_layout ||
        firmware.record(qvk::cmd::read_lighting).size() != qvk::record_size::lighting ||
        firmware.record(qvk::cmd::read_flayer, 7).size() != qvk::record_size::flayer ||
        firmware.record(qvk::cmd::read_macro, 99).size() != qvk::record_size::macro_group)
        std::abort();
    return 0;
}
