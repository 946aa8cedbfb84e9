/* The same through the C interface, from bytes in memory. */
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
    tonalyx_settings settings = tonalyx_default_settings();
    settings.length = 4096;
    tonalyx_report* report = tonalyx_analyze_memory(bytes, size, argv[1], &settings);
    if (!report)
        return 1;
    printf("%s %zu %s\n", tonalyx_report_result_line(report), tonalyx_report_candidate_count(report),
           tonalyx_version());
    tonalyx_report_free(report);
    return 0;
}
