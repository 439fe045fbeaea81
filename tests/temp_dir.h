#pragma once
// A fresh folder for one test, removed afterwards.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace qvk::testing {

class temp_dir {
public:
    temp_dir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qvk-test-XXXXXX").string();
        if (mkdtemp(tmpl.data())) path_ = tmpl;
    }
    ~temp_dir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& relative) const { return path_ + "/" + relative; }
    std::string write(const std::string& relative, const std::string& content) const {
        const std::filesystem::path p = file(relative);
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }
    std::string read(const std::string& relative) const {
        std::ifstream in(file(relative), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace qvk::testing
