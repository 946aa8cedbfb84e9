/* The same through the C interface: bytes in memory, settings set by calls,
 * and what a NULL handle reads as. */
#include <stdio.h>
#include <stdlib.h>

#include <tonalyx/tonalyx.h>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    FILE* file = fopen(argv[1], "rb");
    if (!file)
        return 2;
    static unsigned char bytes[1 << 20];
    const size_t size = fread(bytes, 1, sizeof bytes, file);
    fclose(file);
    tonalyx_settings* settings = tonalyx_settings_new();
    if (!settings)
        return 1;
    tonalyx_settings_set_length(settings, 4096);
    tonalyx_report* report = tonalyx_analyze_memory(bytes, size, argv[1], settings);
    tonalyx_settings_free(settings);
    if (!report)
        return 1;
    printf("%s %zu %s %u\n", tonalyx_report_result_line(report), tonalyx_report_candidate_count(report),
           tonalyx_version(), tonalyx_version_number() == TONALYX_VERSION_NUMBER);
    tonalyx_report_free(report);
    printf("%s [%s]\n", tonalyx_status_name(tonalyx_report_status(NULL)), tonalyx_report_result_line(NULL));
    return 0;
}
