// Runs a fuzz target without libFuzzer: on the files named on the command
// line, then on a fixed number of pseudo-random inputs from a fixed seed, so
// the targets build and run under the ordinary test suite.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::mt19937 rng(20261210);
    std::vector<uint8_t> buf;
    const int runs = 20000;
    for (int i = 0; i < runs; ++i) {
        buf.resize(rng() % 1200);
        for (uint8_t& b : buf) b = uint8_t(rng());
        // Often make the packets look real, so deeper paths are reached.
        for (size_t off = 2; off + 12 <= buf.size(); off += 64) {
            if (rng() % 2) buf[off] = uint8_t((buf[off] & 0xF0) | 2);
            if (rng() % 2) buf[off + 8] = uint8_t((buf[off + 8] & 0xFC) | (rng() % 3));
        }
        LLVMFuzzerTestOneInput(buf.data(), buf.size());
    }
    std::printf("%d inputs, no fault\n", runs);
    return 0;
}
