#pragma once
// Small stand-ins for the link tests: a message sink that records what the
// link posted, and a transport of fixed interfaces whose handles can be told
// to fail.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/link_messages.h"
#include "link/transport.h"

namespace qvk::testing {

struct posted {
    uint32_t message;
    uintptr_t wparam;
    intptr_t lparam;
};

class recording_sink final : public link_message_sink {
public:
    void post_message(uint32_t message, uintptr_t wparam, intptr_t lparam) override {
        {
            std::lock_guard<std::mutex> g(lock_);
            posted_.push_back({message, wparam, lparam});
        }
        changed_.notify_all();
    }
    std::vector<posted> all() const {
        std::lock_guard<std::mutex> g(lock_);
        return posted_;
    }
    size_t count(uint32_t message) const {
        std::lock_guard<std::mutex> g(lock_);
        size_t n = 0;
        for (const posted& p : posted_) n += p.message == message;
        return n;
    }
    bool wait_for(uint32_t message, size_t n = 1, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const {
        return wait_until([&](const std::vector<posted>& all) {
            size_t k = 0;
            for (const posted& p : all) k += p.message == message;
            return k >= n;
        }, timeout);
    }
    // Waits until done(everything posted so far) holds.
    template <class Pred>
    bool wait_until(Pred done, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const {
        std::unique_lock<std::mutex> g(lock_);
        return changed_.wait_for(g, timeout, [&] { return done(posted_); });
    }

private:
    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::vector<posted> posted_;
};

// Interfaces that exist only as names. Each handle delivers the reads of
// `input` once, in order, byte for byte as given, and then nothing; it fails
// every write when told to.
class fixed_transport final : public hid_transport {
public:
    std::vector<hid_interface_info> interfaces;
    std::vector<std::vector<uint8_t>> input;
    bool writes_fail = false;

    std::vector<hid_interface_info> enumerate() override { return interfaces; }
    bool owns(const std::string& path) const override { return path.rfind("fixed:", 0) == 0; }
    std::unique_ptr<hid_device_handle> open(const std::string& path) override {
        if (path == "fixed:unopenable") return nullptr;
        return std::make_unique<handle>(input, writes_fail);
    }

private:
    class handle final : public hid_device_handle {
    public:
        handle(std::vector<std::vector<uint8_t>> input, bool fail) : input_(std::move(input)), fail_(fail) {}
        int read(uint8_t* buf, size_t len, int timeout_ms) override {
            if (next_ < input_.size()) {
                const std::vector<uint8_t>& r = input_[next_++];
                const size_t n = std::min(len, r.size());
                std::copy_n(r.begin(), n, buf);
                return int(n);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(timeout_ms));
            return 0;
        }
        int write(const uint8_t*, size_t len) override { return fail_ ? -1 : int(len); }

    private:
        const std::vector<std::vector<uint8_t>> input_;
        size_t next_ = 0;
        bool fail_;
    };
};

} // namespace qvk::testing
