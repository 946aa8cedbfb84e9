#include <gtest/gtest.h>

#include <limits>

#include "cli/pictures_text.h"

// The expected digits are printf's ("%.3f", "%.2f") for the same doubles.
TEST(PicturesText, NamedDataSetsInFixedDecimals)
{
    tonalyx::MeasurementPictures pictures;
    pictures.spectrumBinHz = 1.0 / 3;
    pictures.spectrumDb = {-120.004, -3.005, -0.0001};  // -3.005 lies below the tie; -0.00 is 0.00
    pictures.harmonicsHz = {440, 880.0015};
    pictures.humHz = {50};
    pictures.envelopeSeconds = 0.0005;
    pictures.envelopeDb = {-6, std::numeric_limits<double>::quiet_NaN(), -1e15};
    pictures.bursts = {{0.1, 0.6}, {0.7, 1e13}};
    EXPECT_EQ(picturesText(pictures),
              "\n\n# spectrum: Hz dBFS\n0.000 -120.00\n0.333 -3.00\n0.667 0.00\n"
              "\n\n# harmonics: Hz\n440.000\n880.001\n"
              "\n\n# hum: Hz\n50.000\n"
              "\n\n# envelope: s dBFS\n0.000 -6.00\n0.001 0.00\n0.001 -1000000000000.00\n"
              "\n\n# bursts: start end\n0.100 0.600\n0.700 1000000000000.000\n");
}

TEST(PicturesText, EmptySetsKeepTheirNames)
{
    EXPECT_EQ(picturesText({}),
              "\n\n# spectrum: Hz dBFS\n\n\n# harmonics: Hz\n\n\n# hum: Hz\n"
              "\n\n# envelope: s dBFS\n\n\n# bursts: start end\n");
}
