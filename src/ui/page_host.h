#pragma once
// What a page may ask of the main window: sending to the keyboard, the
// records read from it, the busy state, the dialogs, the texts and the
// screen scale. Pages reach the keyboard only through this interface.

#include <QString>
#include <cstdint>
#include <string>

class QWidget;

namespace qvk {

struct keyboard_records;
class dialog_service;
class key_code_convert;

class page_host {
public:
    virtual ~page_host() = default;

    // 0 queued, 1 refused (the window has told the user why where the user
    // can do something about it). `awaiting` is the reply command the busy
    // state waits for (0: none); `kick` wakes the writer and starts the busy
    // state.
    virtual int send_command(uint32_t command, uint8_t sub, uint16_t value16, uint32_t value32, uint8_t awaiting,
                             bool kick) = 0;
    virtual int send_block(uint32_t command, uint8_t sub, const uint8_t* data, uint32_t length, uint8_t awaiting,
                           bool kick) = 0;
    // A stream packet (the rhythm frame) queued straight on the running link
    // with the writer woken: no busy state, no message. False when there is
    // no running link or the queue refused it. The page decides whether the
    // stream may go at all.
    virtual bool send_stream(uint32_t command, const uint8_t* data, uint32_t length) = 0;
    // A stream value as a short command (the system volume), likewise: 0
    // queued, 1 no running link or refused.
    virtual int stream_command(uint32_t command, uint8_t sub, uint16_t value16, uint32_t value32) = 0;

    // The tool's copy of the keyboard's records; pages edit it in place.
    virtual keyboard_records& records() = 0;

    // Busy state: set_busy(1, 0) ends a wait for a reply.
    virtual bool is_busy() const = 0;
    virtual bool is_task_busy() const = 0;
    virtual void set_busy(int mode, uint8_t awaiting) = 0;
    // True once every record of the read after connecting has arrived.
    virtual bool initial_read_finished() const = 0;

    // Link kind of the connected device (0 none, 1 USB, 2 USB bootloader,
    // 3 Bluetooth LE, 4 2.4 GHz bootloader, 5 2.4 GHz receiver).
    virtual uint32_t link_kind() const = 0;
    // Name and firmware version the connected device told when it was
    // found; renaming changes its entry in the device list and the title.
    virtual QString connected_device_name() const = 0;
    virtual uint16_t connected_device_version() const = 0;
    virtual void rename_connected_device(const QString& name) = 0;
    // Starts the link's count of written reports (the progress of a long
    // transfer) from 0.
    virtual void reset_sent_count() = 0;

    virtual dialog_service& dialogs() = 0;
    // Parent of the page's own modal dialogs (the function picker, ...).
    virtual QWidget* dialog_parent() = 0;
    virtual key_code_convert& texts() = 0;
    virtual QString lng(uint32_t id, const char* default_text) const = 0;
    // Screen scale: design sizes are multiplied by it and truncated.
    virtual float scale() const = 0;
    // The tool's settings file (Skin.ini beside the program file).
    virtual std::string settings_file() const = 0;
    // The window is hidden behind its tray icon.
    virtual bool in_tray() const = 0;
    // Folder of the tool's own files (settings files beside the program).
    virtual std::string exe_dir() const = 0;
    // True once the window has begun closing.
    virtual bool closing() const = 0;
};

} // namespace qvk
