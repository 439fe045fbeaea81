#include "music/pulse_session.h"

#include <algorithm>

#include <pulse/pulseaudio.h>

namespace qvk::music {

namespace {
bool context_failed(pa_context* c) {
    const pa_context_state_t s = pa_context_get_state(c);
    return s == PA_CONTEXT_FAILED || s == PA_CONTEXT_TERMINATED;
}

struct sink_query {
    bool answered = false;
    std::optional<output_device> device;
};

void take_sink(pa_context*, const pa_sink_info* info, int eol, void* user) {
    auto* q = static_cast<sink_query*>(user);
    if (eol != 0) {
        q->answered = true;
        return;
    }
    if (!info || q->device) return;
    output_device d;
    d.index = info->index;
    d.name = info->name ? info->name : "";
    d.monitor_source = info->monitor_source_name ? info->monitor_source_name : "";
    d.volume = static_cast<double>(pa_cvolume_max(&info->volume)) / PA_VOLUME_NORM;
    q->device = std::move(d);
}

struct server_query {
    bool answered = false;
    std::optional<std::string> default_sink;
};

void take_server(pa_context*, const pa_server_info* info, void* user) {
    auto* q = static_cast<server_query*>(user);
    q->answered = true;
    if (info && info->default_sink_name && *info->default_sink_name) q->default_sink = info->default_sink_name;
}
} // namespace

pulse_session::pulse_session() : loop_(pa_mainloop_new()) {}

pulse_session::~pulse_session() {
    if (context_) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    if (loop_) pa_mainloop_free(loop_);
}

bool pulse_session::connect(const char* client_name, std::chrono::milliseconds timeout) {
    if (!loop_ || context_) return false;
    context_ = pa_context_new(pa_mainloop_get_api(loop_), client_name);
    if (!context_) return false;
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return false;
    return run_until([this] { return pa_context_get_state(context_) == PA_CONTEXT_READY; }, timeout);
}

bool pulse_session::connected() const {
    return context_ && pa_context_get_state(context_) == PA_CONTEXT_READY;
}

bool pulse_session::run_until(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const clock::time_point deadline = clock::now() + timeout;
    while (!done()) {
        if (!context_ || context_failed(context_)) return false;
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - clock::now());
        if (left.count() <= 0) return false;
        if (pa_mainloop_prepare(loop_, static_cast<int>(std::min<int64_t>(left.count(), INT32_MAX))) < 0) return false;
        if (pa_mainloop_poll(loop_) < 0) return false;
        if (pa_mainloop_dispatch(loop_) < 0) return false;
    }
    return true;
}

bool pulse_session::run_once() { return pa_mainloop_iterate(loop_, 1, nullptr) >= 0; }

void pulse_session::wake() { pa_mainloop_wakeup(loop_); }

bool pulse_session::finish(pa_operation* op, const bool& answered, std::chrono::milliseconds timeout) {
    if (!op) return false;
    const bool ok = run_until([&] { return answered; }, timeout);
    if (!ok) pa_operation_cancel(op);
    pa_operation_unref(op);
    return ok;
}

std::optional<std::string> pulse_session::default_output_name(std::chrono::milliseconds timeout) {
    if (!connected()) return std::nullopt;
    server_query q;
    if (!finish(pa_context_get_server_info(context_, take_server, &q), q.answered, timeout)) return std::nullopt;
    return q.default_sink;
}

std::optional<output_device> pulse_session::default_output(std::chrono::milliseconds timeout) {
    const std::optional<std::string> name = default_output_name(timeout);
    if (!name) return std::nullopt;
    sink_query q;
    if (!finish(pa_context_get_sink_info_by_name(context_, name->c_str(), take_sink, &q), q.answered, timeout))
        return std::nullopt;
    return q.device;
}

} // namespace qvk::music
