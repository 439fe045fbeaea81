// The layer records without a window: the click rules of both layer strips
// on the layer state, the key-slot helpers of a function layer, and layer
// files on disk (round trip, the checks a file must pass and what a failed
// save leaves behind).

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <vector>

#include "functions/func_code.h"
#include "layers/flayer_record.h"
#include "layers/layer_file.h"
#include "layers/layer_state.h"
#include "temp_dir.h"

namespace qvk::testing {
namespace {

using bytes = std::vector<uint8_t>;
using namespace qvk::layer_state;

bytes state_of(std::initializer_list<uint8_t> b) { return bytes(b); }

// ---------------------------------------------------------------- tile rules

TEST(FlayerTiles, DrawTheDefaultLayerAndTheFlags) {
    // L0 default, L1-L7 closed, trigger layer 3.
    const bytes s = state_of({0, 1, 0, 0, 0, 0, 0, 0, 0, 3});
    EXPECT_EQ(flayer_tile(s.data(), 0), tile_default);
    for (unsigned l = 1; l < 8; ++l) EXPECT_EQ(flayer_tile(s.data(), l), tile_closed) << l;

    // A default layer is drawn as the default even with its flag clear;
    // open layers follow their flags.
    const bytes t = state_of({4, 0, 1, 0, 7, 0, 0, 0, 0, 0});
    EXPECT_EQ(flayer_tile(t.data(), 4), tile_default);
    EXPECT_EQ(flayer_tile(t.data(), 1), tile_open);
    EXPECT_EQ(flayer_tile(t.data(), 3), tile_open); // any non-zero flag
    EXPECT_EQ(flayer_tile(t.data(), 0), tile_closed);

    // A default byte beyond the eight layers makes no tile the default.
    const bytes u = state_of({9, 1, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(flayer_tile(u.data(), 0), tile_open);
    for (unsigned l = 1; l < 8; ++l) EXPECT_EQ(flayer_tile(u.data(), l), tile_closed) << l;
}

struct click_case {
    const char* what;
    bytes before;
    bool right; // right button, else left
    unsigned layer;
    bytes after;
    int tile;             // new state of the clicked tile
    unsigned old_default; // right click: the layer to redraw
};

TEST(FlayerTiles, ClicksChangeTheStateAsTheStripShowsIt) {
    const click_case cases[] = {
        {"left opens a closed layer", {0, 1, 0, 0, 0, 0, 0, 0, 0, 3}, false, 2, {0, 1, 0, 1, 0, 0, 0, 0, 0, 3}, tile_open, 0},
        {"left closes an open layer", {0, 1, 0, 1, 0, 0, 0, 0, 0, 3}, false, 2, {0, 1, 0, 0, 0, 0, 0, 0, 0, 3}, tile_closed, 0},
        {"left closes any non-zero flag", {0, 1, 0, 5, 0, 0, 0, 0, 0, 3}, false, 2, {0, 1, 0, 0, 0, 0, 0, 0, 0, 3}, tile_closed, 0},
        {"left on the default only sets its flag", {6, 1, 0, 1, 0, 0, 0, 0, 0, 4}, false, 6, {6, 1, 0, 1, 0, 0, 0, 1, 0, 4}, tile_default, 6},
        {"left on the default with its flag set", {6, 1, 0, 1, 0, 0, 0, 1, 0, 4}, false, 6, {6, 1, 0, 1, 0, 0, 0, 1, 0, 4}, tile_default, 6},
        {"right moves the default, old one stays open", {0, 1, 0, 0, 0, 0, 0, 0, 0, 3}, true, 5, {5, 1, 0, 0, 0, 0, 1, 0, 0, 3}, tile_default, 0},
        {"right opens the old default's closed flag", {0, 0, 0, 0, 0, 0, 0, 0, 0, 7}, true, 5, {5, 1, 0, 0, 0, 0, 1, 0, 0, 7}, tile_default, 0},
        {"right on the default changes nothing", {3, 0, 0, 0, 0, 0, 0, 0, 0, 2}, true, 3, {3, 0, 0, 0, 0, 0, 0, 0, 0, 2}, tile_default, 3},
        {"right to layer 7", {0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, true, 7, {7, 1, 0, 0, 0, 0, 0, 0, 1, 0}, tile_default, 0},
        // A default byte the keyboard sent out of range names no flag: the
        // trigger-layer byte must stay.
        {"right with an out-of-range default", {8, 0, 0, 0, 0, 0, 0, 0, 0, 3}, true, 2, {2, 0, 0, 1, 0, 0, 0, 0, 0, 3}, tile_default, 8},
        {"right with default 0xFF", {0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 3}, true, 0, {0, 1, 0, 0, 0, 0, 0, 0, 0, 3}, tile_default, 0xFF},
        {"left with an out-of-range default", {9, 0, 0, 0, 0, 0, 0, 0, 0, 3}, false, 0, {9, 1, 0, 0, 0, 0, 0, 0, 0, 3}, tile_open, 9},
        {"left on a tile that does not exist", {0, 1, 0, 0, 0, 0, 0, 0, 0, 3}, false, 8, {0, 1, 0, 0, 0, 0, 0, 0, 0, 3}, tile_closed, 0},
        {"right on a tile that does not exist", {0, 1, 0, 0, 0, 0, 0, 0, 0, 3}, true, 8, {0, 1, 0, 0, 0, 0, 0, 0, 0, 3}, -1, 0},
    };
    for (const click_case& c : cases) {
        SCOPED_TRACE(c.what);
        bytes s = c.before;
        if (c.right) {
            EXPECT_EQ(flayer_right_click(s.data(), c.layer), c.old_default);
            if (c.tile >= 0) {
                EXPECT_EQ(flayer_tile(s.data(), c.layer), c.tile);
            }
        } else {
            EXPECT_EQ(flayer_left_click(s.data(), c.layer), c.tile);
        }
        EXPECT_EQ(s, c.after);
    }
}

TEST(FlayerTiles, AfterARightClickTheOldDefaultIsDrawnOpen) {
    bytes s = state_of({0, 0, 0, 0, 0, 0, 0, 0, 0, 3});
    const unsigned old = flayer_right_click(s.data(), 5);
    EXPECT_EQ(flayer_tile(s.data(), old), tile_open);
    EXPECT_EQ(flayer_tile(s.data(), 5), tile_default);
}

TEST(TlayerTiles, ExactlyTheActiveLayerIsLitAndLeftClickMovesIt) {
    bytes s = state_of({2, 1, 1, 1, 1, 1, 1, 1, 1, 3});
    for (unsigned l = 0; l < 8; ++l) EXPECT_EQ(tlayer_tile(s.data(), l), l == 3 ? tile_open : tile_closed) << l;

    EXPECT_FALSE(tlayer_left_click(s.data(), 3)); // already active
    EXPECT_EQ(s, state_of({2, 1, 1, 1, 1, 1, 1, 1, 1, 3}));
    EXPECT_TRUE(tlayer_left_click(s.data(), 6));
    EXPECT_EQ(s, state_of({2, 1, 1, 1, 1, 1, 1, 1, 1, 6}));
    EXPECT_EQ(tlayer_tile(s.data(), 6), tile_open);
    EXPECT_EQ(tlayer_tile(s.data(), 3), tile_closed);
    EXPECT_FALSE(tlayer_left_click(s.data(), 8));
    EXPECT_EQ(s[off_active_tlayer], 6);

    // An active byte out of range lights nothing.
    s[off_active_tlayer] = 8;
    for (unsigned l = 0; l < 8; ++l) EXPECT_EQ(tlayer_tile(s.data(), l), tile_closed) << l;
}

// ---------------------------------------------------------------- key slots

TEST(FlayerSlots, CodesOfEachHalfSitInTheKeysSlot) {
    bytes layer(flayer::record_size, 0);
    EXPECT_EQ(flayer::record_size, 1536u);
    EXPECT_EQ(flayer::slot_code(layer.data(), 0, flayer::key_half::press), layer.data());
    EXPECT_EQ(flayer::slot_code(layer.data(), 0, flayer::key_half::release), layer.data() + 4);
    EXPECT_EQ(flayer::slot_code(layer.data(), 100, flayer::key_half::press), layer.data() + 800);
    EXPECT_EQ(flayer::slot_code(layer.data(), 191, flayer::key_half::release), layer.data() + 1532);
    EXPECT_EQ(flayer::slot_code(layer.data(), 192, flayer::key_half::press), nullptr);
    EXPECT_EQ(flayer::slot_code(layer.data(), 255, flayer::key_half::release), nullptr);
}

TEST(FlayerSlots, RightClickClearsAndMiddleClickDisablesOneCode) {
    bytes slot = {2, 4, 0, 0, 2, 4, 0, 0};
    flayer::clear_code(slot.data() + flayer::off_press);
    EXPECT_EQ(slot, (bytes{0, 0, 0, 0, 2, 4, 0, 0}));
    slot = {0x12, 5, 0x2C, 1, 0x12, 5, 0x2C, 1};
    flayer::disable_code(slot.data() + flayer::off_release);
    EXPECT_EQ(slot, (bytes{0x12, 5, 0x2C, 1, 1, 0, 0, 0}));
}

TEST(FlayerSlots, OnlyHeldActionsAreCopiedFromPressToRelease) {
    for (unsigned kind = 0; kind <= fk_bkl_speed; ++kind) {
        SCOPED_TRACE(kind);
        const bytes press = {uint8_t(kind), 0x11, 0x22, 0x33};
        bytes slot = {press[0], press[1], press[2], press[3], 0xA1, 0xA2, 0xA3, 0xA4};
        flayer::copy_held_press_to_release(slot.data());
        const bool held = kind >= 2 && kind <= 13;
        const bytes release(slot.begin() + 4, slot.end());
        EXPECT_EQ(release, held ? press : (bytes{0xA1, 0xA2, 0xA3, 0xA4}));
        EXPECT_EQ(bytes(slot.begin(), slot.begin() + 4), press);
    }
}

// ---------------------------------------------------------------- layer files

class LayerFiles : public ::testing::Test {
protected:
    std::string write_file(const std::string& name, const bytes& content) {
        const std::string path = dir.file(name);
        dir.write(name, std::string(content.begin(), content.end()));
        return path;
    }
    bytes read_file(const std::string& name) const {
        const std::string s = dir.read(name);
        return bytes(s.begin(), s.end());
    }
    static bytes pattern(size_t n, uint8_t seed) {
        bytes b(n);
        for (size_t i = 0; i < n; ++i) b[i] = uint8_t(seed + i * 7);
        return b;
    }
    static bytes file_bytes(uint32_t magic, const bytes& payload) {
        bytes f = {uint8_t(magic), uint8_t(magic >> 8), uint8_t(magic >> 16), uint8_t(magic >> 24)};
        f.insert(f.end(), payload.begin(), payload.end());
        return f;
    }
    temp_dir dir;
};

TEST_F(LayerFiles, FormatsAreMagicAndPayload) {
    EXPECT_EQ(flayer_file_format.file_size(), 1540u);
    EXPECT_EQ(tlayer_file_format.file_size(), 1524u);
}

TEST_F(LayerFiles, SavedFileIsMagicThenTheLayerAndLoadsBackByteForByte) {
    const bytes layer = pattern(1536, 3);
    const std::string path = dir.file("layer.Fl_Cfg");
    ASSERT_EQ(save_layer_file(path, flayer_file_format, layer.data()), layer_file_result::ok);
    const bytes on_disk = read_file("layer.Fl_Cfg");
    ASSERT_EQ(on_disk.size(), 1540u);
    EXPECT_EQ(bytes(on_disk.begin(), on_disk.begin() + 4), (bytes{0x52, 0x27, 0x69, 0x23}));
    EXPECT_EQ(bytes(on_disk.begin() + 4, on_disk.end()), layer);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::others_read,
              std::filesystem::perms::others_read);

    bytes back(1536, 0xEE);
    ASSERT_EQ(load_layer_file(path, flayer_file_format, back.data()), layer_file_result::ok);
    EXPECT_EQ(back, layer);

    // Saving over it replaces it, leaving no other file behind.
    const bytes other = pattern(1536, 99);
    ASSERT_EQ(save_layer_file(path, flayer_file_format, other.data()), layer_file_result::ok);
    const bytes replaced = read_file("layer.Fl_Cfg");
    EXPECT_EQ(bytes(replaced.begin() + 4, replaced.end()), other);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);

    // A trigger layer in its own format.
    const bytes tl = pattern(1520, 40);
    ASSERT_EQ(save_layer_file(dir.file("t.Tl_Cfg"), tlayer_file_format, tl.data()), layer_file_result::ok);
    const bytes tl_disk = read_file("t.Tl_Cfg");
    ASSERT_EQ(tl_disk.size(), 1524u);
    EXPECT_EQ(bytes(tl_disk.begin(), tl_disk.begin() + 4), (bytes{0x53, 0x27, 0x69, 0x23}));
    bytes tl_back(1520, 0);
    ASSERT_EQ(load_layer_file(dir.file("t.Tl_Cfg"), tlayer_file_format, tl_back.data()), layer_file_result::ok);
    EXPECT_EQ(tl_back, tl);
}

TEST_F(LayerFiles, FilesThatFailACheckLeaveThePayloadAlone) {
    const bytes good = pattern(1536, 1);
    bytes fl_magic_1539 = file_bytes(flayer_file_format.magic, good);
    fl_magic_1539.pop_back();
    bytes fl_magic_1541 = file_bytes(flayer_file_format.magic, good);
    fl_magic_1541.push_back(0);
    bytes other_magic_1539 = file_bytes(tlayer_file_format.magic, good);
    other_magic_1539.pop_back();
    bytes one_bit_off = file_bytes(flayer_file_format.magic, good);
    one_bit_off[3] ^= 0x80;
    struct load_case {
        const char* what;
        const layer_file_format& format;
        bytes content;
        layer_file_result want;
    };
    const load_case cases[] = {
        {"1539 bytes", flayer_file_format, fl_magic_1539, layer_file_result::wrong_size},
        {"1541 bytes", flayer_file_format, fl_magic_1541, layer_file_result::wrong_size},
        {"empty", flayer_file_format, {}, layer_file_result::wrong_size},
        // Size is checked before the magic.
        {"wrong size and wrong magic", flayer_file_format, other_magic_1539, layer_file_result::wrong_size},
        {"a trigger-layer file", flayer_file_format, file_bytes(tlayer_file_format.magic, good), layer_file_result::bad_magic},
        {"magic in the wrong byte order", flayer_file_format, file_bytes(0x52276923u, good), layer_file_result::bad_magic},
        {"high magic byte changed", flayer_file_format, one_bit_off, layer_file_result::bad_magic},
        {"function layer as a trigger layer", tlayer_file_format, file_bytes(flayer_file_format.magic, good), layer_file_result::wrong_size},
        {"trigger-layer magic at function-layer size", tlayer_file_format, file_bytes(tlayer_file_format.magic, good), layer_file_result::wrong_size},
    };
    int n = 0;
    for (const load_case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = write_file("f" + std::to_string(n++), c.content);
        bytes payload(c.format.payload_size, 0x5A);
        EXPECT_EQ(load_layer_file(path, c.format, payload.data()), c.want);
        EXPECT_EQ(payload, bytes(c.format.payload_size, 0x5A));
    }

    bytes payload(1536, 0x5A);
    EXPECT_EQ(load_layer_file(dir.file("missing.Fl_Cfg"), flayer_file_format, payload.data()),
              layer_file_result::open_failed);
    // A folder opens, but is no layer file.
    std::filesystem::create_directory(dir.file("folder.Fl_Cfg"));
    EXPECT_EQ(load_layer_file(dir.file("folder.Fl_Cfg"), flayer_file_format, payload.data()),
              layer_file_result::wrong_size);
    EXPECT_EQ(payload, bytes(1536, 0x5A));
}

TEST_F(LayerFiles, SaveThatCannotCreateTheFileSaysSoAndLeavesNothing) {
    const bytes layer = pattern(1536, 5);
    EXPECT_EQ(save_layer_file(dir.file("no/such/folder/x.Fl_Cfg"), flayer_file_format, layer.data()),
              layer_file_result::create_failed);
    // A folder in the file's place stays a folder.
    std::filesystem::create_directory(dir.file("taken"));
    EXPECT_EQ(save_layer_file(dir.file("taken"), flayer_file_format, layer.data()), layer_file_result::create_failed);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("taken")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

// The disk fills up during the write: the file-size limit of the process
// stands in for a full disk (it applies to root as well).
class file_size_limit {
public:
    explicit file_size_limit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit now = old_;
        now.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &now);
    }
    ~file_size_limit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }
    file_size_limit(const file_size_limit&) = delete;
    file_size_limit& operator=(const file_size_limit&) = delete;

private:
    rlimit old_{};
    void (*old_handler_)(int) = nullptr;
};

TEST_F(LayerFiles, FailedWriteKeepsTheFileThatWasThere) {
    const bytes old_layer = pattern(1536, 11);
    const std::string path = dir.file("keep.Fl_Cfg");
    ASSERT_EQ(save_layer_file(path, flayer_file_format, old_layer.data()), layer_file_result::ok);
    const bytes before = read_file("keep.Fl_Cfg");

    const bytes new_layer = pattern(1536, 77);
    layer_file_result r;
    {
        file_size_limit limit(1000);
        r = save_layer_file(path, flayer_file_format, new_layer.data());
    }
    EXPECT_EQ(r, layer_file_result::write_failed);
    EXPECT_EQ(read_file("keep.Fl_Cfg"), before);
    // No half-written file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

// Saving over a file that is a link, or that has its own permissions,
// replaces the contents the user meant and keeps the rest as it was.
TEST_F(LayerFiles, SavingOverALinkOrAPrivateFileKeepsThem) {
    namespace fs = std::filesystem;
    const bytes old_layer = pattern(1536, 5);
    const std::string real = dir.file("real.Fl_Cfg");
    ASSERT_EQ(save_layer_file(real, flayer_file_format, old_layer.data()), layer_file_result::ok);
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    const std::string link = dir.file("link.Fl_Cfg");
    fs::create_symlink(real, link);

    const bytes new_layer = pattern(1536, 61);
    ASSERT_EQ(save_layer_file(link, flayer_file_format, new_layer.data()), layer_file_result::ok);
    EXPECT_TRUE(fs::is_symlink(link));
    const bytes on_disk = read_file("real.Fl_Cfg");
    EXPECT_EQ(bytes(on_disk.begin() + 4, on_disk.end()), new_layer);
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);

    // A folder of that name is not replaced.
    fs::create_directory(dir.file("folder.Fl_Cfg"));
    EXPECT_EQ(save_layer_file(dir.file("folder.Fl_Cfg"), flayer_file_format, new_layer.data()),
              layer_file_result::create_failed);
    EXPECT_TRUE(fs::is_directory(dir.file("folder.Fl_Cfg")));
}

} // namespace
} // namespace qvk::testing
