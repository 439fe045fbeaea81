#include "app/app_settings.h"

#include "common/ini_file.h"

namespace qvk {

namespace {
constexpr const char* file_name = "Skin.ini";
constexpr const char* skin_section = "SkinCfg";
constexpr const char* skin_key = "SkinID";
constexpr const char* language_key = "Language";
constexpr const char* auto_connect_section = "AutoConnKB";
constexpr const char* auto_connect_key = "Enable";
constexpr const char* close_section = "CloseCfg";
constexpr const char* close_key = "Minimize";
} // namespace

app_settings::app_settings(std::string exe_dir) : path_(std::move(exe_dir)) {
    if (!path_.empty() && path_.back() != '/') path_ += '/';
    path_ += file_name;
}

int app_settings::read(const char* section, const char* key, int def) const {
    return ini_file(path_).read_int(section, key, def);
}

void app_settings::write(const char* section, const char* key, int value) {
    ini_file(path_).write_int(section, key, value);
}

int app_settings::skin_id() const { return read(skin_section, skin_key, 0); }
void app_settings::set_skin_id(int index) { write(skin_section, skin_key, index); }
int app_settings::language() const { return read(skin_section, language_key, 0); }
void app_settings::set_language(int index) { write(skin_section, language_key, index); }
bool app_settings::auto_connect() const { return read(auto_connect_section, auto_connect_key, 0) != 0; }
void app_settings::set_auto_connect(bool on) { write(auto_connect_section, auto_connect_key, on ? 1 : 0); }
bool app_settings::minimise_on_close() const { return read(close_section, close_key, 0) != 0; }
void app_settings::set_minimise_on_close(bool on) { write(close_section, close_key, on ? 1 : 0); }

} // namespace qvk
