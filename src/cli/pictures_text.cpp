#include "cli/pictures_text.h"

#include "measure/decimal_text.h"

using tonalyx::detail::measurement::appendDecimal;

namespace {

// Two empty lines end the set before (gnuplot's data set separator).
void openSet(std::string& out, const char* heading)
{
    out += "\n\n# ";
    out += heading;
    out += '\n';
}

void appendPair(std::string& out, double x, int xDecimals, double y, int yDecimals)
{
    appendDecimal(out, x, xDecimals);
    out += ' ';
    appendDecimal(out, y, yDecimals);
    out += '\n';
}

void appendFrequencies(std::string& out, const std::vector<double>& hz)
{
    for (double value : hz) {
        appendDecimal(out, value, 3);
        out += '\n';
    }
}

}  // namespace

std::string picturesText(const tonalyx::MeasurementPictures& pictures)
{
    std::string out;
    openSet(out, "spectrum: Hz dBFS");
    for (std::size_t k = 0; k < pictures.spectrumDb.size(); ++k)
        appendPair(out, static_cast<double>(k) * pictures.spectrumBinHz, 3, pictures.spectrumDb[k], 2);
    openSet(out, "harmonics: Hz");
    appendFrequencies(out, pictures.harmonicsHz);
    openSet(out, "hum: Hz");
    appendFrequencies(out, pictures.humHz);
    openSet(out, "envelope: s dBFS");
    for (std::size_t k = 0; k < pictures.envelopeDb.size(); ++k)
        appendPair(out, static_cast<double>(k) * pictures.envelopeSeconds, 3, pictures.envelopeDb[k], 2);
    openSet(out, "bursts: start end");
    for (const auto& [start, end] : pictures.bursts)
        appendPair(out, start, 3, end, 3);
    return out;
}
