// How long the tool takes to load a language file and the key code tables,
// by the number of entries. Loading must grow linearly with the file: a
// language file of 100,000 texts has to load well within a second, since the
// window waits for it at start and on every change of language.
//
//   build/release/bench/bench_texts_load   (configure with -DQVK_BENCH=ON)
//
// The figures end with the fitted growth ("BigO"); linear growth shows as
// N with a small RMS.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/text_codec.h"
#include "functions/key_code_convert.h"

namespace {

// A program folder of its own with the generated files, removed afterwards.
class program_folder {
public:
    program_folder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qvk-bench-XXXXXX").string();
        if (mkdtemp(tmpl.data())) path_ = tmpl;
    }
    ~program_folder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    program_folder(const program_folder&) = delete;
    program_folder& operator=(const program_folder&) = delete;

    void write(const std::string& relative, const std::string& content) const {
        const std::filesystem::path p = path_ + "/" + relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
    }
    std::string program() const { return path_ + "/qvk-tools"; }
    bool ok() const { return !path_.empty(); }

private:
    std::string path_;
};

// A language file of `count` texts in UTF-16 LE with BOM, as translated files
// with Chinese texts are saved.
std::string language_file(int64_t count) {
    std::string text = "[Language]\r\n";
    for (int64_t id = 0; id < count; ++id)
        text += std::to_string(id) + "=Text number " + std::to_string(id) + "<br>second line\r\n";
    return std::string("\xFF\xFE", 2) + qvk::utf8_to_utf16le(text);
}

// A consumer key table of `count` entries in UTF-8.
std::string consumer_file(int64_t count) {
    std::string text = "[ConsumerKeyCode]\r\n";
    char key[24];
    for (int64_t i = 0; i < count; ++i) {
        std::snprintf(key, sizeof key, "0x%05llX", static_cast<unsigned long long>(i));
        text += std::string(key) + "=Usage " + std::to_string(i) + "\r\n";
    }
    return text;
}

void load_language(benchmark::State& state) {
    program_folder folder;
    if (!folder.ok()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    folder.write("Language/Big.ini", language_file(state.range(0)));
    qvk::key_code_convert convert(folder.program());
    for (auto _ : state) {
        if (!convert.load_language(0)) {
            state.SkipWithError("the language file did not load");
            return;
        }
    }
    if (convert.get_lng_text(uint32_t(state.range(0) - 1), "") == "") state.SkipWithError("last text missing");
    state.SetComplexityN(state.range(0));
}
BENCHMARK(load_language)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void load_key_code_tables(benchmark::State& state) {
    program_folder folder;
    if (!folder.ok()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    folder.write("MediaKeyCode.ini", consumer_file(state.range(0)));
    for (auto _ : state) {
        qvk::key_code_convert convert(folder.program());
        benchmark::DoNotOptimize(convert.consumer_names().size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(load_key_code_tables)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

} // namespace
