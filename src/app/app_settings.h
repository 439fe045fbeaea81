#pragma once
// The tool's own preferences in Skin.ini beside the program file. Every read
// goes to the file, every change is written at once.

#include <string>

namespace qvk {

class app_settings {
public:
    explicit app_settings(std::string exe_dir);
    const std::string& path() const { return path_; }

    int skin_id() const;
    void set_skin_id(int index);
    int language() const;
    void set_language(int index);
    bool auto_connect() const;
    void set_auto_connect(bool on);
    bool minimise_on_close() const;
    void set_minimise_on_close(bool on);

private:
    int read(const char* section, const char* key, int def) const;
    void write(const char* section, const char* key, int value);
    std::string path_;
};

} // namespace qvk
