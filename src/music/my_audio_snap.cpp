#include "music/my_audio_snap.h"

#include <pulse/pulseaudio.h>

#include "music/audio_messages.h"
#include "music/pulse_session.h"

namespace qvk::music {

namespace {
constexpr const char* client_name = "qvk music rhythm";
// Ask the server for a packet about every 10 ms of audio.
constexpr uint32_t packet_bytes = my_audio_snap::sample_rate / 100 * my_audio_snap::channels;
} // namespace

// The record stream and what its callbacks need. The callbacks run on the
// thread that drives the session: the window thread during start(), the
// capture thread afterwards.
struct my_audio_snap::stream_state {
    pa_stream* stream = nullptr;
    audio_pipeline* pipeline = nullptr;
    uint32_t sink_index = 0;
    std::string sink_name;
    bool lost = false;

    ~stream_state() {
        if (!stream) return;
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_set_read_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
    }

    static void on_state(pa_stream* s, void* user) {
        const pa_stream_state_t state = pa_stream_get_state(s);
        if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) static_cast<stream_state*>(user)->lost = true;
    }

    static void on_read(pa_stream* s, size_t, void* user) {
        auto* st = static_cast<stream_state*>(user);
        for (;;) {
            const void* data = nullptr;
            size_t n = 0;
            if (pa_stream_peek(s, &data, &n) < 0) {
                st->lost = true;
                return;
            }
            if (n == 0) return;
            // A hole in the stream (no data) and digital silence count as
            // silent packets: they complete no block.
            if (data) {
                const std::span<const uint8_t> packet(static_cast<const uint8_t*>(data), n);
                st->pipeline->feed_packet(packet, is_digital_silence(packet));
            }
            pa_stream_drop(s);
        }
    }

    static void on_server(pa_context*, const pa_server_info* info, void* user) {
        auto* st = static_cast<stream_state*>(user);
        // The default output moved elsewhere: this capture no longer records it.
        if (info && info->default_sink_name && st->sink_name != info->default_sink_name) st->lost = true;
    }

    static void on_event(pa_context* c, pa_subscription_event_type_t t, uint32_t index, void* user) {
        auto* st = static_cast<stream_state*>(user);
        const int facility = t & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
        const int type = t & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
        if (facility == PA_SUBSCRIPTION_EVENT_SINK && type == PA_SUBSCRIPTION_EVENT_REMOVE && index == st->sink_index)
            st->lost = true;
        if (facility == PA_SUBSCRIPTION_EVENT_SERVER) {
            if (pa_operation* op = pa_context_get_server_info(c, on_server, st)) pa_operation_unref(op);
        }
    }
};

my_audio_snap::my_audio_snap(link_message_sink& window, uint16_t vu_gain) : window_(window), vu_gain_(vu_gain) {}

my_audio_snap::~my_audio_snap() {
    {
        std::lock_guard<std::mutex> g(lock_);
        stop_ = true;
        if (session_) session_->wake();
    }
    if (capture_.joinable()) capture_.join();
    if (pipeline_) pipeline_->stop();
    release_stream();
}

spectrum_snapshot my_audio_snap::spectrum() const { return pipeline_ ? pipeline_->spectrum() : spectrum_snapshot{}; }

void my_audio_snap::set_vu_gain(uint16_t gain) {
    vu_gain_ = gain;
    if (pipeline_) pipeline_->set_vu_gain(gain);
}

bool my_audio_snap::query_default_device() {
    pulse_session session;
    if (!session.connect(client_name)) return false;
    const std::optional<std::string> name = session.default_output_name();
    if (!name) return false;
    device_id_ = *name;
    return true;
}

bool my_audio_snap::start() {
    if (session_ || capture_.joinable()) return false;
    auto session = std::make_unique<pulse_session>();
    if (!session->connect(client_name)) return false;
    const std::optional<output_device> device = session->default_output();
    if (!device || device->monitor_source.empty()) return false;
    device_id_ = device->name;

    auto pipeline = std::make_unique<audio_pipeline>(window_, vu_gain_);
    auto st = std::make_unique<stream_state>();
    st->pipeline = pipeline.get();
    st->sink_index = device->index;
    st->sink_name = device->name;

    const pa_sample_spec format{PA_SAMPLE_U8, sample_rate, channels};
    st->stream = pa_stream_new(session->context(), client_name, &format, nullptr);
    if (!st->stream) return false;
    pa_stream_set_state_callback(st->stream, stream_state::on_state, st.get());
    pa_stream_set_read_callback(st->stream, stream_state::on_read, st.get());
    pa_context_set_subscribe_callback(session->context(), stream_state::on_event, st.get());
    if (pa_operation* op = pa_context_subscribe(
            session->context(),
            static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER), nullptr,
            nullptr))
        pa_operation_unref(op);

    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(-1);
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = packet_bytes;
    // The monitor of the default output: what it plays, never a microphone.
    if (pa_stream_connect_record(st->stream, device->monitor_source.c_str(), &attr, PA_STREAM_ADJUST_LATENCY) < 0) {
        pa_context_set_subscribe_callback(session->context(), nullptr, nullptr);
        return false;
    }
    pa_stream* stream = st->stream;
    const bool ready = session->run_until([&] {
        const pa_stream_state_t s = pa_stream_get_state(stream);
        return s == PA_STREAM_READY || s == PA_STREAM_FAILED || s == PA_STREAM_TERMINATED;
    });
    if (!ready || pa_stream_get_state(stream) != PA_STREAM_READY || st->lost) {
        pa_context_set_subscribe_callback(session->context(), nullptr, nullptr);
        st.reset();
        return false;
    }

    pipeline_ = std::move(pipeline);
    session_ = std::move(session);
    stream_ = std::move(st);
    capture_ = std::thread([this] { capture_loop(); });
    return true;
}

bool my_audio_snap::stop_requested() {
    std::lock_guard<std::mutex> g(lock_);
    return stop_;
}

void my_audio_snap::capture_loop() {
    for (;;) {
        if (stop_requested()) return end_capture(audio_result::stopped);
        if (stream_->lost || !session_->connected()) return end_capture(audio_result::device_gone);
        if (!session_->run_once()) return end_capture(audio_result::device_gone);
    }
}

void my_audio_snap::end_capture(uintptr_t result) {
    release_stream();
    // No spectrum follows the closing message.
    pipeline_->stop();
    window_.post_message(msg::audio_snap, result, 0);
}

void my_audio_snap::release_stream() {
    std::lock_guard<std::mutex> g(lock_);
    if (session_ && session_->context()) pa_context_set_subscribe_callback(session_->context(), nullptr, nullptr);
    stream_.reset();
    session_.reset();
}

} // namespace qvk::music
