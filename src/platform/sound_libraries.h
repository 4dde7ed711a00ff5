#pragma once

#include <pulse/pulseaudio.h>
#include <sndfile.h>

// The sound server's client library and the sound file library, loaded when the first sound
// plays instead of when the console starts: a start that has not played yet, and a console that
// never plays, pay nothing for them and the codecs they bring. Each table is loaded once per
// process, on whichever thread asks first, and never unloaded.
namespace platform {

#define KESTA_PULSE_FUNCTIONS(F)                                                                   \
    F(pa_channel_map_init_stereo)                                                                  \
    F(pa_context_connect)                                                                          \
    F(pa_context_disconnect)                                                                       \
    F(pa_context_errno)                                                                            \
    F(pa_context_get_server_info)                                                                  \
    F(pa_context_get_state)                                                                        \
    F(pa_context_new)                                                                              \
    F(pa_context_set_state_callback)                                                               \
    F(pa_context_unref)                                                                            \
    F(pa_operation_unref)                                                                          \
    F(pa_stream_begin_write)                                                                       \
    F(pa_stream_cancel_write)                                                                      \
    F(pa_stream_connect_playback)                                                                  \
    F(pa_stream_cork)                                                                              \
    F(pa_stream_disconnect)                                                                        \
    F(pa_stream_flush)                                                                             \
    F(pa_stream_get_buffer_attr)                                                                   \
    F(pa_stream_get_sample_spec)                                                                   \
    F(pa_stream_get_state)                                                                         \
    F(pa_stream_new)                                                                               \
    F(pa_stream_set_buffer_attr)                                                                   \
    F(pa_stream_set_state_callback)                                                                \
    F(pa_stream_set_write_callback)                                                                \
    F(pa_stream_unref)                                                                             \
    F(pa_stream_write)                                                                             \
    F(pa_strerror)                                                                                 \
    F(pa_threaded_mainloop_free)                                                                   \
    F(pa_threaded_mainloop_get_api)                                                                \
    F(pa_threaded_mainloop_lock)                                                                   \
    F(pa_threaded_mainloop_new)                                                                    \
    F(pa_threaded_mainloop_set_name)                                                               \
    F(pa_threaded_mainloop_start)                                                                  \
    F(pa_threaded_mainloop_stop)                                                                   \
    F(pa_threaded_mainloop_unlock)                                                                 \
    F(pa_usec_to_bytes)

#define KESTA_SNDFILE_FUNCTIONS(F) F(sf_close) F(sf_open) F(sf_readf_float) F(sf_strerror)

#define KESTA_LIBRARY_FUNCTION(name) decltype(&::name) name = nullptr;

// The functions of the PulseAudio client library the sound device calls, by their own names.
struct PulseLibrary
{
    KESTA_PULSE_FUNCTIONS(KESTA_LIBRARY_FUNCTION)
};

// The functions of libsndfile the decoder calls, by their own names.
struct SndFileLibrary
{
    KESTA_SNDFILE_FUNCTIONS(KESTA_LIBRARY_FUNCTION)
};

#undef KESTA_LIBRARY_FUNCTION

// nullptr when the library is missing or lacks a function; the reason is logged once.
const PulseLibrary *pulseLibrary();
const SndFileLibrary *sndFileLibrary();

} // namespace platform
