#pragma once
// A page of the card panel that edits what the keyboard stores. The window
// creates it when its card is first shown or its first record arrives, and
// destroys it when the connection ends; in between it tells the page about
// navigation, stored records, texts and closing through these calls.

#include <cstdint>
#include <cstddef>

namespace qvk {

class page_host;

class keyboard_page {
public:
    explicit keyboard_page(page_host& host) : host_(host) {}
    virtual ~keyboard_page() = default;
    keyboard_page(const keyboard_page&) = delete;
    keyboard_page& operator=(const keyboard_page&) = delete;

    // The navigation showed the page's card; `tag` is the action's own
    // value (a layer number, or 0).
    virtual void open(int /*tag*/) {}
    // Whether a reply of `command` for `sub` is to be stored now (a page
    // may keep only the part it asked for).
    virtual bool accepts(uint32_t /*command*/, uint32_t /*sub*/) const { return true; }
    // The window stored a reply of `command` (with its sub value) in the
    // records; pages redraw what shows it.
    virtual void record_arrived(uint32_t /*command*/, uint32_t /*sub*/) {}
    // Every record of the read after connecting has arrived.
    virtual void initial_read_finished() {}
    // Progress of a long write (the writer's count of reports sent).
    virtual void send_progress(intptr_t /*reports_sent*/) {}
    // The language changed: every text is set again.
    virtual void apply_texts() {}
    // The window is closing: dialogs the page opened close now.
    virtual void close_dialogs() {}

protected:
    page_host& host() { return host_; }
    const page_host& host() const { return host_; }

private:
    page_host& host_;
};

} // namespace qvk
