#pragma once
// Where the ambient page reads the host's master volume from: a small
// reader that is opened when the volume display comes on, refreshed on
// every poll and closed when the display goes off. The tool's reader asks
// the sound server; tests put their own in its place.

#include <functional>
#include <memory>

namespace qvk {

class volume_source {
public:
    virtual ~volume_source() = default;
    // Connects to the default output device; false when it cannot.
    virtual bool open() = 0;
    // Reads the master volume now.
    virtual void refresh() = 0;
    // The last volume read, 0.0..1.0 (2.0 when there is no device volume).
    virtual float level() const = 0;
};

using volume_source_maker = std::function<std::unique_ptr<volume_source>()>;

// A new reader (not opened yet).
std::unique_ptr<volume_source> make_volume_source();
// Replaces the maker of readers (an empty one restores the tool's own).
void set_volume_source_maker(volume_source_maker maker);

} // namespace qvk
