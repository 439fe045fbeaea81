#pragma once
// Save as and Load file of a layer page: the file dialog, the file and the
// message for each way it can fail. The two layer pages differ only in their
// texts.

#include <cstdint>

#include "layers/layer_file.h"

namespace qvk {

class page_host;

struct layer_file_dialog_texts {
    const char* filter;            // file dialog filter, "text(pattern);;..."
    const char* suffix;            // given to a name typed without one
    const char* open_caption;      // caption of the open dialog
    const char* create_failed_end; // shown after "file[" + path
    struct text { uint32_t id; const char* default_text; };
    text wrong_size, read_failed, bad_magic;
};

// Asks for a file name and writes `record` there; a failure is told.
void save_layer_file_as(page_host& host, const layer_file_format& format, const uint8_t* record,
                        const layer_file_dialog_texts& texts);
// Asks for a file and loads it into `record` when every check passes; a
// failure is told and leaves `record` as it was. `record` must outlive the
// page (it is the window's copy): the dialogs may end the connection.
void load_layer_file_into(page_host& host, const layer_file_format& format, uint8_t* record,
                          const layer_file_dialog_texts& texts);

} // namespace qvk
