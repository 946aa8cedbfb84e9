// The C interface's settings: a handle that can grow by new setters.
#include <new>

#include "core/c_handles.h"

namespace tonalyx::detail::capi {

const tonalyx_settings& settingsOrDefaults(const tonalyx_settings* settings)
{
    static const tonalyx_settings defaults{};
    return settings ? *settings : defaults;
}

}  // namespace tonalyx::detail::capi

extern "C" {

tonalyx_settings* tonalyx_settings_new(void)
{
    return new (std::nothrow) tonalyx_settings{};
}

void tonalyx_settings_free(tonalyx_settings* settings)
{
    delete settings;
}

void tonalyx_settings_set_length(tonalyx_settings* settings, uint32_t length)
{
    if (settings)
        settings->settings.length = length;
}

void tonalyx_settings_set_trace(tonalyx_settings* settings, int on)
{
    if (settings)
        settings->settings.keepTrace = on != 0;
}

void tonalyx_settings_set_keep_samples(tonalyx_settings* settings, int on)
{
    if (settings)
        settings->settings.keepSamples = on != 0;
}

void tonalyx_settings_set_pictures(tonalyx_settings* settings, int on)
{
    if (settings)
        settings->measure.pictures = on != 0;
}

}  // extern "C"
