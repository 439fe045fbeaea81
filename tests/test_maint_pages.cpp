// The device-settings page and the firmware page driven through the real
// main window against the virtual keyboard: every control's report on the
// wire, the name rule, the MAC dialog, the rules by link kind, firmware
// updates from each kind of link, and every refused firmware file.

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "app/dev_cfg_modify_ble_mac_addr.h"
#include "app/device_settings_page.h"
#include "app/firmware_page.h"
#include "link/link_kind.h"
#include "maint/firmware_file.h"
#include "window_fixture.h"

namespace qvk::testing {
namespace {

using bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

bytes pattern(size_t n, uint8_t seed) {
    bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = uint8_t(seed + i * 13 + (i >> 8));
    return b;
}

uint32_t reports_for(size_t n) { return uint32_t((n + 51) / 52); }

class MaintPages : public window_test {
protected:
    // A window connected to a virtual keyboard of the kind, idle after its
    // read (a bootloader has none).
    Tmain_form& connect(uint32_t kind, uint16_t version = 0x0102,
                        const std::function<void(sim::virtual_keyboard&)>& prepare = {}) {
        window_.reset();
        if (kb_) transport_->remove(kb_);
        dialogs_.messages.clear();
        dialogs_.answer_yes = true;
        kb_ = add_keyboard(kind, "QVK Test", version);
        if (prepare) prepare(*kb_);
        Tmain_form& w = open_window();
        detect_and_probe();
        EXPECT_FALSE(w.connect_device(0));
        EXPECT_TRUE(wait_until([&] {
            return !w.is_busy() && (!is_keyboard_kind(kind) || w.initial_read_finished());
        }));
        // The battery request that ends a keyboard's read has been written.
        if (is_keyboard_kind(kind)) {
            EXPECT_TRUE(wait_until([&] { return received(cmd::read_battery); }));
        }
        EXPECT_TRUE(wait_until([&] { return !w.is_busy(); }));
        kb_->clear_messages();
        return w;
    }

    firmware_page* open_firmware(Tmain_form& w) {
        w.action(QStringLiteral("device_manager"))->trigger();
        return dynamic_cast<firmware_page*>(w.page(c_kb_mgr));
    }

    device_settings_page* open_settings(Tmain_form& w) {
        w.action(QStringLiteral("device_config"))->trigger();
        return dynamic_cast<device_settings_page*>(w.page(c_device_config));
    }

    QString write_file(const QString& name, const bytes& data) {
        const QString path = QString::fromStdString(folder_.path()) + QStringLiteral("/") + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(data.data()), qint64(data.size()));
        return path;
    }

    // Chooses a file on the page as the user would.
    void choose(firmware_page* page, const bytes& file) {
        dialogs_.file_to_open = write_file(QStringLiteral("fw.qvk"), file);
        page->Button7Click();
    }

    std::vector<uint8_t> commands_received() const {
        std::vector<uint8_t> out;
        for (const auto& m : kb_->messages())
            if (m.command != cmd::device_info) out.push_back(m.command);
        return out;
    }

    bool received(uint8_t command) const { return !kb_->messages_of(command).empty(); }

    // Waits until the keyboard, restarted, is listed again in the given kind.
    bool listed_again_as(Tmain_form& w, uint32_t kind) {
        return wait_until(
            [&] {
                return !w.active_link() && w.detector() && w.detector()->count() == 1 &&
                       w.detector()->kind_of(0) == kind && !w.probe_link() && !w.device_name(0).isEmpty();
            },
            10s);
    }

    std::shared_ptr<sim::virtual_keyboard> kb_;
};

// ---------------------------------------------------------------- firmware

TEST_F(MaintPages, FirmwareUpdateFromAUsbKeyboardLink) {
    Tmain_form& w = connect(kind_usb, 0x0102);
    firmware_page* page = open_firmware(w);
    ASSERT_TRUE(page);
    EXPECT_FALSE(page->start_button()->isEnabled());
    EXPECT_TRUE(page->bootloader_button()->isEnabled());
    EXPECT_FALSE(page->keyboard_mode_button()->isEnabled());
    EXPECT_FALSE(page->defaults_button()->isEnabled());

    const bytes file = firmware::make_keyboard_file(pattern(5000, 3), 0x0203);
    choose(page, file);
    EXPECT_TRUE(dialogs_.messages.isEmpty());
    ASSERT_TRUE(page->start_button()->isEnabled());

    page->Button8Click();
    EXPECT_FALSE(page->start_button()->isEnabled());
    // The image follows status 31 with the bar over its reports.
    ASSERT_TRUE(wait_until([&] { return received(cmd::firmware_image); }));
    EXPECT_EQ(page->progress_bar()->maximum(), int(reports_for(file.size())));
    ASSERT_TRUE(listed_again_as(w, kind_usb));

    // 71, then the image when status 31 came, then 72 after status 32.
    const auto cmds = commands_received();
    ASSERT_EQ(cmds, (std::vector<uint8_t>{cmd::prepare_firmware, cmd::firmware_image, cmd::start_upgrade}));
    EXPECT_EQ(kb_->messages_of(cmd::firmware_image)[0].data, file);
    ASSERT_EQ(dialogs_.messages.size(), 2);
    EXPECT_EQ(dialogs_.messages[0], QString::fromUtf8("确认开始更新固件吗？"));
    EXPECT_TRUE(dialogs_.messages[1].startsWith(QString::fromUtf8("固件文件已经保存到键盘")));
    EXPECT_EQ(w.device_version(0), 0x0203);
}

TEST_F(MaintPages, FirmwareUpdateFromTheUsbBootloader) {
    Tmain_form& w = connect(kind_usb_boot, 0x0102);
    firmware_page* page = open_firmware(w);
    ASSERT_TRUE(page);
    EXPECT_FALSE(page->bootloader_button()->isEnabled());
    EXPECT_TRUE(page->keyboard_mode_button()->isEnabled());
    EXPECT_TRUE(page->defaults_button()->isEnabled());
    // An older file is not questioned on the USB bootloader.
    const bytes file = firmware::make_keyboard_file(pattern(4000, 5), 0x0101);
    choose(page, file);
    ASSERT_TRUE(page->start_button()->isEnabled());
    page->Button8Click();
    // Stored (32) -> 72 -> updated (5) -> 2: the keyboard starts its new firmware.
    ASSERT_TRUE(listed_again_as(w, kind_usb));
    EXPECT_EQ(commands_received(),
              (std::vector<uint8_t>{cmd::firmware_image, cmd::start_upgrade, cmd::start_keyboard}));
    EXPECT_EQ(kb_->messages_of(cmd::firmware_image)[0].data, file);
    EXPECT_EQ(w.device_version(0), 0x0101);
    ASSERT_EQ(dialogs_.messages.size(), 3);
    EXPECT_EQ(dialogs_.messages[2], QString::fromUtf8("固件已经更新完成，是否启动新的固件？"));
}

TEST_F(MaintPages, FirmwareUpdateFromTheReceiverBootloader) {
    Tmain_form& w = connect(kind_rf_boot, 0x0102);
    firmware_page* page = open_firmware(w);
    ASSERT_TRUE(page);
    const bytes payload = pattern(3001, 7);
    const bytes file = firmware::make_receiver_file(payload, 0x0300);
    choose(page, file);
    ASSERT_TRUE(page->start_button()->isEnabled());
    kb_->clear_received();
    page->Button8Click();
    EXPECT_EQ(page->progress_bar()->maximum(), int(reports_for(payload.size())));
    ASSERT_TRUE(listed_again_as(w, kind_rf_receiver));

    // On the wire: one header report (command 14) and then ceil(L/52)
    // chunks of command 7.
    std::vector<uint8_t> wire;
    for (const auto& r : kb_->received()) wire.push_back(packet::command_of(&r[1]));
    ASSERT_GE(wire.size(), 1 + reports_for(payload.size()));
    EXPECT_EQ(wire[0], cmd::rf_firmware_header);
    EXPECT_EQ(size_t(std::count(wire.begin(), wire.end(), cmd::firmware_image)), reports_for(payload.size()));
    EXPECT_EQ(commands_received(), (std::vector<uint8_t>{cmd::rf_firmware_header, cmd::firmware_image,
                                                         cmd::start_upgrade, cmd::start_keyboard}));
    EXPECT_EQ(kb_->messages_of(cmd::firmware_image)[0].data, payload);
    const auto header = kb_->messages_of(cmd::rf_firmware_header)[0].data;
    EXPECT_TRUE(std::equal(file.begin() + 32, file.begin() + 48, header.begin()));
}

TEST_F(MaintPages, AnImageLongerThanTheSendQueueArrivesWhole) {
    Tmain_form& w = connect(kind_usb);
    firmware_page* page = open_firmware(w);
    ASSERT_TRUE(page);
    const bytes file = firmware::make_keyboard_file(pattern(300000 - 32, 9), 0x0200);
    ASSERT_GT(reports_for(file.size()), 4096u);
    choose(page, file);
    ASSERT_TRUE(page->start_button()->isEnabled());
    int highest = 0;
    // The window stays busy while the image is on its way: nothing else may
    // be sent between its chunks.
    int idle_during_transfer = 0;
    const int last = int(reports_for(file.size()));
    QObject::connect(page->progress_bar(), &QProgressBar::valueChanged, [&](int v) {
        highest = std::max(highest, v);
        if (v > 0 && v < last - 1 && !w.is_busy()) ++idle_during_transfer;
    });
    page->Button8Click();
    ASSERT_TRUE(wait_until([&] { return received(cmd::start_upgrade) || !w.active_link(); }, 30s));
    const auto images = kb_->messages_of(cmd::firmware_image);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].data, file);
    // The bar followed the written reports of the whole image (the last
    // count may come after status 32 has hidden it).
    EXPECT_EQ(idle_during_transfer, 0);
    EXPECT_GE(highest, int(reports_for(file.size())) - 1);
    EXPECT_LE(highest, int(reports_for(file.size())));
}

TEST_F(MaintPages, EveryRefusedFileShowsItsTextTurnsStartOffAndSendsNothing) {
    const bytes good = firmware::make_keyboard_file(pattern(900, 1), 0x0200);
    const bytes good_rf = firmware::make_receiver_file(pattern(900, 1), 0x0200);
    auto with = [](bytes f, size_t at, uint8_t v) {
        f[at] = v;
        return f;
    };
    bytes longer = good;
    longer.push_back(0);
    bytes flipped = good;
    flipped[500] ^= 0x10;
    struct refusal {
        const char* what;
        uint32_t kind;
        bytes file;
        const char* text;
    };
    const refusal cases[] = {
        {"keyboard file on the 2.4 GHz bootloader", kind_rf_boot, good, "未能识别的固件文件！"},
        {"2.4 GHz file on a USB keyboard", kind_usb, good_rf, "未能识别的固件文件！"},
        {"2.4 GHz file on the USB bootloader", kind_usb_boot, good_rf, "未能识别的固件文件！"},
        {"generator version", kind_usb, with(good, 1, 0x02), "固件文件生成器版本不匹配！"},
        {"one byte too long", kind_usb, longer, "固件文件已损坏！"},
        {"flipped payload byte", kind_ble, flipped, "固件文件校验失败！"},
        {"marker", kind_rf_receiver, with(good, 5, 0xFE), "固件文件已损坏！"},
        {"field 13 above 255", kind_usb, with(good, 14, 0x01), "固件文件已损坏！"},
        {"field 17 above 255", kind_usb, with(good, 18, 0x01), "固件文件已损坏！"},
        {"older version, not confirmed", kind_usb, firmware::make_keyboard_file(pattern(900, 1), 0x0101),
         "所选固件的版本，比当前正在运行的固件老!\r\n这可能会导致问题！仍然要更新吗？"},
    };
    for (const refusal& c : cases) {
        SCOPED_TRACE(c.what);
        Tmain_form& w = connect(c.kind, 0x0102);
        firmware_page* page = open_firmware(w);
        ASSERT_TRUE(page);
        // A valid file first: its start button must not outlive the refusal.
        choose(page, c.kind == kind_rf_boot ? good_rf : good);
        ASSERT_TRUE(page->start_button()->isEnabled());
        dialogs_.messages.clear();
        dialogs_.answer_yes = false;
        choose(page, c.file);
        ASSERT_EQ(dialogs_.messages.size(), 1);
        EXPECT_EQ(dialogs_.messages[0], QString::fromUtf8(c.text));
        EXPECT_FALSE(page->start_button()->isEnabled());
        dialogs_.answer_yes = true;
        page->Button8Click();
        wait_until([] { return false; }, 50ms);
        const auto cmds = commands_received();
        EXPECT_TRUE(cmds.empty()) << "first command " << (cmds.empty() ? 0 : int(cmds[0]));
    }
}

TEST_F(MaintPages, AnOlderFileConfirmedIsStillCheckedAfterTheQuestion) {
    Tmain_form& w = connect(kind_usb, 0x0102);
    firmware_page* page = open_firmware(w);
    ASSERT_TRUE(page);
    bytes older = firmware::make_keyboard_file(pattern(300, 2), 0x0101);
    choose(page, older);
    ASSERT_EQ(dialogs_.messages.size(), 1); // the question, answered Yes
    EXPECT_EQ(dialogs_.last_caption, QString::fromUtf8("危险的操作！"));
    EXPECT_TRUE(page->start_button()->isEnabled());
    dialogs_.messages.clear();
    older[18] = 1; // field 17 becomes 256
    choose(page, older);
    ASSERT_EQ(dialogs_.messages.size(), 2);
    EXPECT_EQ(dialogs_.messages[1], QString::fromUtf8("固件文件已损坏！"));
    EXPECT_FALSE(page->start_button()->isEnabled());
}

TEST_F(MaintPages, AMissingFileCannotBeOpened) {
    Tmain_form& w = connect(kind_usb);
    firmware_page* page = open_firmware(w);
    ASSERT_TRUE(page);
    dialogs_.file_to_open = QString::fromStdString(folder_.path()) + QStringLiteral("/none.qvk");
    page->Button7Click();
    ASSERT_EQ(dialogs_.messages.size(), 1);
    EXPECT_EQ(dialogs_.messages[0], QString::fromUtf8("固件文件打开失败！"));
    EXPECT_FALSE(page->start_button()->isEnabled());
}

TEST_F(MaintPages, ADamagedImageIsReportedAsADataError) {
    Tmain_form& w = connect(kind_usb_boot);
    ASSERT_TRUE(open_firmware(w));
    // An image damaged on its way (one payload byte flipped) reaches the
    // bootloader, which checks it and answers status 6.
    bytes bad = firmware::make_keyboard_file(pattern(2000, 4), 0x0200);
    bad[100] ^= 1;
    ASSERT_EQ(w.send_block(cmd::firmware_image, 0, bad.data(), uint32_t(bad.size()), 0, true), 0);
    ASSERT_TRUE(wait_until([&] { return !dialogs_.messages.isEmpty(); }));
    EXPECT_EQ(dialogs_.messages.back(), QString::fromUtf8("固件更新出现了数据错误！"));
    // Nothing was stored: an upgrade request finds no image.
    kb_->clear_messages();
    ASSERT_EQ(w.send_command(cmd::start_upgrade, 0, 0, 0, 0, true), 0);
    wait_until([] { return false; }, 50ms);
    EXPECT_EQ(dialogs_.messages.size(), 1);
}

TEST_F(MaintPages, ModeSwitchesAndFactoryDefaults) {
    Tmain_form& w = connect(kind_usb);
    firmware_page* page = open_firmware(w);
    ASSERT_TRUE(page);
    page->Button11Click(); // only on the USB bootloader
    page->Button10Click(); // only on a bootloader
    wait_until([] { return false; }, 30ms);
    EXPECT_TRUE(commands_received().empty());
    page->Button9Click();
    ASSERT_TRUE(listed_again_as(w, kind_usb_boot));
    EXPECT_EQ(commands_received(), (std::vector<uint8_t>{cmd::start_bootloader}));

    Tmain_form& b = connect(kind_usb_boot);
    page = open_firmware(b);
    ASSERT_TRUE(page);
    kb_->firmware().set_name("Renamed");
    page->Button11Click();
    // Status 3 asks to start keyboard mode; yes sends 2.
    ASSERT_TRUE(listed_again_as(b, kind_usb));
    EXPECT_EQ(commands_received(), (std::vector<uint8_t>{cmd::factory_defaults, cmd::start_keyboard}));
    ASSERT_EQ(dialogs_.messages.size(), 2);
    EXPECT_EQ(dialogs_.messages[0],
              QString::fromUtf8("这将恢复所有配置为出厂预置状态，存储区的数据将被覆盖（宏会被清空），请确认！"));
    EXPECT_EQ(dialogs_.messages[1], QString::fromUtf8("已经成功恢复默认值，是否启动键盘模式？"));
    EXPECT_EQ(b.device_name(0), QStringLiteral("QVK Test"));
}

TEST_F(MaintPages, StatusesWithTheirTexts) {
    Tmain_form& w = connect(kind_usb);
    ASSERT_TRUE(open_firmware(w));
    const std::pair<uint8_t, const char*> notices[] = {
        {6, "固件更新出现了数据错误！"}, {7, "硬件配置擦除完成！"}, {8, "备份区域已被清空！"}};
    for (const auto& [status, text] : notices) {
        dialogs_.messages.clear();
        kb_->notify_status(status);
        ASSERT_TRUE(wait_until([&] { return !dialogs_.messages.isEmpty(); }));
        EXPECT_EQ(dialogs_.messages[0], QString::fromUtf8(text));
    }
    // Status 5 answered No sends nothing; status 4 hides the bar.
    dialogs_.answer_yes = false;
    dialogs_.messages.clear();
    kb_->notify_status(5);
    ASSERT_TRUE(wait_until([&] { return !dialogs_.messages.isEmpty(); }));
    firmware_page* page = dynamic_cast<firmware_page*>(w.page(c_kb_mgr));
    page->progress_bar()->show();
    kb_->notify_status(4);
    ASSERT_TRUE(wait_until([&] { return page->progress_bar()->isHidden(); }));
    EXPECT_TRUE(commands_received().empty());
}

// ---------------------------------------------------------------- device settings

TEST_F(MaintPages, SettingsShowTheKeyboardsValues) {
    Tmain_form& x = connect(kind_usb, 0x0102, [](sim::virtual_keyboard& kb) {
        auto scan = kb.record(cmd::read_scan_params);
        scan[1] = 200; // debounce 200 is not offered: 16
        scan[2] = 0;
        scan[5] = 0x2C; // hold-key 300
        scan[6] = 0x01;
        scan[7] = 0; // sleep 0: 2
        scan[8] = 0;
        kb.set_record(cmd::read_scan_params, 0, scan);
        // Values the Bluetooth boxes do not offer: slot 9, 1 dBm, 60 minutes.
        auto ble = kb.record(cmd::read_ble_params);
        ble[136] = 9;
        ble[145] = 1;
        ble[146] = 1;
        packet::write_u16(&ble[147], 3600);
        kb.set_record(cmd::read_ble_params, 0, ble);
    });
    device_settings_page* page = open_settings(x);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->debounce_box()->currentText(), QStringLiteral("16"));
    // The page's copy takes the fallback; the window keeps what was read.
    EXPECT_EQ(packet::read_u16(&page->scan_record()[1]), 16);
    EXPECT_EQ(packet::read_u16(&x.records().scan_params[1]), 200);
    EXPECT_EQ(page->hold_trigger_box()->currentText(), QStringLiteral("300"));
    EXPECT_EQ(page->sleep_box()->text(), QStringLiteral("2"));
    EXPECT_EQ(page->name_box()->text(), QStringLiteral("QVK Test"));
    EXPECT_EQ(page->ble_slot_box()->currentText(), QStringLiteral("0"));
    EXPECT_EQ(page->ble_power_box()->currentText(), QStringLiteral("2"));
    EXPECT_EQ(page->ble_sleep_box()->currentText(), QStringLiteral("5"));
    EXPECT_EQ(page->ble_record()[136], 0);
    EXPECT_EQ(page->ble_record()[145], 2);
    EXPECT_EQ(packet::read_u16(&page->ble_record()[147]), 300);
    const auto ble = kb_->record(cmd::read_ble_params);
    for (unsigned k = 0; k < 8; ++k) {
        const uint8_t* e = &ble[k * 17];
        EXPECT_EQ(page->mac_box(k)->text(), QString::asprintf("%02X-%02X-%02X-%02X-%02X-%02X", e[6], e[5], e[4], e[3],
                                                              e[2], e[1]));
        EXPECT_EQ(page->host_mac_box(k)->text(), QString::asprintf("%02X-%02X-%02X-%02X-%02X-%02X", e[16], e[15],
                                                                   e[14], e[13], e[12], e[11]));
    }
    // Opening the page reads the trigger mode.
    EXPECT_TRUE(wait_until([&] { return received(cmd::read_trigger_mode); }));
}

TEST_F(MaintPages, EachControlSendsItsReport) {
    Tmain_form& w = connect(kind_usb);
    device_settings_page* page = open_settings(w);
    ASSERT_TRUE(page);
    ASSERT_TRUE(wait_until([&] { return !w.is_busy(); }));
    auto last = [&](uint8_t c) {
        EXPECT_TRUE(wait_until([&] { return received(c); }));
        const auto m = kb_->messages_of(c);
        return m.empty() ? sim::host_message{} : m.back();
    };
    auto idle = [&] { EXPECT_TRUE(wait_until([&] { return !w.is_busy(); })); };

    page->debounce_box()->setCurrentIndex(9); // "10"
    page->hold_trigger_box()->setCurrentText(QStringLiteral("300"));
    page->multi_tap_box()->setCurrentText(QStringLiteral("450"));
    page->sleep_box()->setText(QStringLiteral("45"));
    // The debounce button sends every field but the sleep time, which only
    // its own button takes from the box.
    QTest::mouseClick(page->root()->findChild<QPushButton*>(QStringLiteral("dev_cfg_set_keyscan_matrix_cfg")),
                      Qt::LeftButton);
    auto m = last(cmd::write_scan_params);
    ASSERT_GE(m.data.size(), 9u);
    EXPECT_EQ(packet::read_u16(&m.data[1]), 10);
    EXPECT_EQ(packet::read_u16(&m.data[3]), 450);
    EXPECT_EQ(packet::read_u16(&m.data[5]), 300);
    EXPECT_EQ(packet::read_u16(&m.data[7]), 10); // the keyboard's own value
    idle();
    kb_->clear_messages();
    page->scan_apply(3);
    m = last(cmd::write_scan_params);
    EXPECT_EQ(packet::read_u16(&m.data[7]), 45);
    idle();

    page->trigger_mode_box()->setCurrentIndex(1);
    page->trigger_mode_apply();
    m = last(cmd::write_trigger_mode);
    EXPECT_EQ(m.data[0], 1);
    idle();

    page->ble_slot_box()->setCurrentIndex(3);
    page->ble_slot_apply(); // no question over USB
    EXPECT_EQ(last(cmd::set_ble_slot).sub, 3u);
    idle();

    struct sleep_case {
        int item;
        uint32_t sub;
        uint16_t seconds;
    };
    for (const sleep_case c : {sleep_case{0, 0, 300}, sleep_case{30, 1, 1800}, sleep_case{5, 1, 300}}) {
        kb_->clear_messages();
        page->ble_sleep_box()->setCurrentIndex(c.item);
        page->ble_sleep_apply();
        m = last(cmd::set_ble_sleep);
        EXPECT_EQ(m.sub, c.sub);
        EXPECT_EQ(m.value16, c.seconds);
        idle();
    }
    const std::pair<int, uint8_t> powers[] = {{0, 0xF8}, {1, 0xFC}, {2, 0}, {9, 8}};
    for (const auto& [item, sub] : powers) {
        kb_->clear_messages();
        page->ble_power_box()->setCurrentIndex(item);
        page->ble_power_apply();
        EXPECT_EQ(last(cmd::set_ble_power).sub, sub);
        idle();
    }
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(MaintPages, RefusedValuesSendNothing) {
    Tmain_form& w = connect(kind_usb);
    device_settings_page* page = open_settings(w);
    ASSERT_TRUE(page);
    ASSERT_TRUE(wait_until([&] { return !w.is_busy(); }));
    kb_->clear_messages();
    const std::string han12 = [] {
        std::string s;
        for (int i = 0; i < 12; ++i) s += "键";
        return s;
    }();
    struct name_case {
        std::string name;
        const char* text; // null: sent
    };
    const name_case names[] = {
        {std::string(25, 'n'), "设备名字过长！请缩减在24个字符内，当前长度：25"},
        {han12 + "键", "设备名字过长！请缩减在24个字符内，当前长度：26"},
        {"", "设备名字过短！请设置字符数量在1-24个字符之间！"},
    };
    for (const name_case& c : names) {
        SCOPED_TRACE(c.name);
        dialogs_.messages.clear();
        page->name_box()->setText(QString::fromStdString(c.name));
        page->name_apply();
        ASSERT_EQ(dialogs_.messages.size(), 1);
        EXPECT_EQ(dialogs_.messages[0], QString::fromUtf8(c.text));
    }
    for (const char* sleep : {"0", "61", "600"}) {
        dialogs_.messages.clear();
        page->sleep_box()->setText(QString::fromLatin1(sleep));
        page->scan_apply(3);
        ASSERT_EQ(dialogs_.messages.size(), 1);
        EXPECT_EQ(dialogs_.messages[0], QString::fromUtf8("主控休眠时间设置错误！设置范围在1-60秒之间。"));
    }
    wait_until([] { return false; }, 30ms);
    EXPECT_TRUE(kb_->messages().empty());
    EXPECT_EQ(packet::read_u16(&page->scan_record()[7]), 10);
}

TEST_F(MaintPages, NamesUpToTwentyFourBytesAreSentAndRenameTheDevice) {
    Tmain_form& w = connect(kind_usb);
    device_settings_page* page = open_settings(w);
    ASSERT_TRUE(page);
    std::string han12;
    for (int i = 0; i < 12; ++i) han12 += "键";
    for (const std::string& name : {std::string(24, 'a'), han12}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(wait_until([&] { return !w.is_busy(); }));
        kb_->clear_messages();
        page->name_box()->setText(QString::fromStdString(name));
        page->name_apply();
        ASSERT_TRUE(wait_until([&] { return received(cmd::write_name); }));
        const auto m = kb_->messages_of(cmd::write_name).back();
        EXPECT_EQ(m.data[24], 0);
        EXPECT_EQ(m.data[23], name.size() == 24 ? 'a' : 0xFC);
        EXPECT_EQ(kb_->name(), name);
        EXPECT_EQ(w.device_name(0), QString::fromStdString(name));
        EXPECT_TRUE(w.windowTitle().contains(QString::fromStdString(name)));
    }
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(MaintPages, TheMacDialogStoresTheAddressAndSubmitSendsTheTable) {
    Tmain_form& w = connect(kind_usb);
    device_settings_page* page = open_settings(w);
    ASSERT_TRUE(page);
    ASSERT_TRUE(wait_until([&] { return !w.is_busy(); }));
    EXPECT_FALSE(page->mac_submit_button()->isEnabled());
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<Tdev_cfg_modify_mac_addr*>(QApplication::activeModalWidget());
        ASSERT_TRUE(d);
        EXPECT_EQ(d->windowTitle(), QString::fromUtf8("修改链接[2]的MAC地址"));
        const char* typed[6] = {"BC", "9A", "78", "56", "34", "12"}; // ed0 .. ed5
        for (unsigned i = 0; i < 6; ++i) d->byte_edit(i)->setText(QString::fromLatin1(typed[i]));
        answered = true;
        d->Button1Click();
    });
    page->mac_double_click(2);
    ASSERT_TRUE(answered);
    EXPECT_EQ(page->mac_box(2)->text(), QStringLiteral("D2-34-56-78-9A-BC"));
    ASSERT_TRUE(page->mac_submit_button()->isEnabled());
    page->mac_submit();
    ASSERT_TRUE(wait_until([&] { return received(cmd::write_mac_table); }));
    const auto m = kb_->messages_of(cmd::write_mac_table).back();
    ASSERT_EQ(m.data.size(), 136u);
    const bytes want = {0xBC, 0x9A, 0x78, 0x56, 0x34, 0xD2};
    EXPECT_TRUE(std::equal(want.begin(), want.end(), m.data.begin() + 2 * 17 + 1));

    // A cleared box stores C0; cancelling stores nothing.
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<Tdev_cfg_modify_mac_addr*>(QApplication::activeModalWidget());
        ASSERT_TRUE(d);
        d->byte_edit(0)->clear();
        d->Button1Click();
    });
    page->mac_double_click(2);
    EXPECT_EQ(page->mac_box(2)->text(), QStringLiteral("D2-34-56-78-9A-C0"));
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<Tdev_cfg_modify_mac_addr*>(QApplication::activeModalWidget());
        ASSERT_TRUE(d);
        d->byte_edit(3)->setText(QStringLiteral("00"));
        d->cancel_button()->click();
    });
    page->mac_double_click(2);
    EXPECT_EQ(page->mac_box(2)->text(), QStringLiteral("D2-34-56-78-9A-C0"));
}

TEST_F(MaintPages, TheMacDialogTakesHexDigitsOnlyAndMovesToTheNextBox) {
    Tmain_form& w = connect(kind_usb);
    device_settings_page* page = open_settings(w);
    ASSERT_TRUE(page);
    ASSERT_TRUE(wait_until([&] { return !w.is_busy(); }));
    QString typed_left, typed_last;
    bool moved = false, wrapped = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<Tdev_cfg_modify_mac_addr*>(QApplication::activeModalWidget());
        ASSERT_TRUE(d);
        QLineEdit* left = d->byte_edit(5);
        left->clear();
        left->setFocus();
        QTest::keyClicks(left, QStringLiteral("g1-z2"));
        typed_left = left->text();
        moved = d->focusWidget() == d->byte_edit(4);
        QLineEdit* last = d->byte_edit(0);
        last->clear();
        last->setFocus();
        QTest::keyClicks(last, QStringLiteral("aF"));
        typed_last = last->text();
        wrapped = d->focusWidget() == d->byte_edit(5);
        d->cancel_button()->click();
    });
    page->mac_double_click(0);
    EXPECT_EQ(typed_left, QStringLiteral("12"));
    EXPECT_EQ(typed_last, QStringLiteral("aF"));
    EXPECT_TRUE(moved);
    EXPECT_TRUE(wrapped);
}

TEST_F(MaintPages, RulesByLinkKind) {
    // Bluetooth LE: the MAC table is read-only, the slot change asks first.
    Tmain_form& w = connect(kind_ble);
    device_settings_page* page = open_settings(w);
    ASSERT_TRUE(page);
    ASSERT_TRUE(wait_until([&] { return !w.is_busy(); }));
    EXPECT_FALSE(page->mac_box(0)->isEnabled());
    EXPECT_FALSE(page->mac_submit_button()->isEnabled());
    EXPECT_TRUE(page->ble_slot_box()->isEnabled());
    EXPECT_TRUE(page->name_box()->isEnabled());
    kb_->clear_messages();
    dialogs_.answer_yes = false;
    page->ble_slot_apply();
    ASSERT_EQ(dialogs_.messages.size(), 1);
    EXPECT_EQ(dialogs_.last_caption, QString::fromUtf8("警告"));
    dialogs_.answer_yes = true;
    page->ble_slot_apply();
    ASSERT_TRUE(wait_until([&] { return received(cmd::set_ble_slot); }));
    EXPECT_EQ(kb_->messages_of(cmd::set_ble_slot).size(), 1u);
    page->mac_submit(); // never over Bluetooth
    wait_until([] { return false; }, 30ms);
    EXPECT_FALSE(received(cmd::write_mac_table));

    // USB bootloader: every control off, nothing read.
    Tmain_form& b = connect(kind_usb_boot);
    page = open_settings(b);
    ASSERT_TRUE(page);
    EXPECT_FALSE(page->name_box()->isEnabled());
    EXPECT_FALSE(page->debounce_box()->isEnabled());
    EXPECT_FALSE(page->ble_power_box()->isEnabled());
    EXPECT_FALSE(page->mac_box(3)->isEnabled());
    wait_until([] { return false; }, 30ms);
    EXPECT_TRUE(commands_received().empty());

    // Without Bluetooth support the Bluetooth buttons do nothing.
    Tmain_form& u = connect(kind_usb);
    u.records().ble_support = 0;
    page = open_settings(u);
    ASSERT_TRUE(wait_until([&] { return !u.is_busy(); }));
    kb_->clear_messages();
    page->ble_slot_apply();
    page->ble_sleep_apply();
    page->ble_power_apply();
    page->mac_double_click(0);
    wait_until([] { return false; }, 30ms);
    EXPECT_TRUE(commands_received().empty());
    EXPECT_TRUE(dialogs_.messages.isEmpty());
}

} // namespace
} // namespace qvk::testing
