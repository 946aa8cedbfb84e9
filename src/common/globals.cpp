#include "common/globals.h"

#include <cstdlib>

int gVerbose = 0;
bool gGnuplot = false;
bool gValuelist = false;

WaveFormat gWaveFormat = {};

uint32_t gNoSamples = 0;
double* gSamples = nullptr;
uint32_t gHeldSlots = 0;
uint32_t gLoadedSlots = 0;
uint32_t gActLength = 0;

double gSineStep = 0.0;
bool gSineHeld = false;
const CorrelationBound* gCorrelationBound = nullptr;

uint32_t gFrameCount = 0;
bool gInputEnded = false;

uint32_t gValuelistCalls = 0;

void releaseBuffers()
{
    gSineHeld = false;
    gCorrelationBound = nullptr;
    std::free(gSamples);
    gSamples = nullptr;
    gHeldSlots = 0;
}

void resetRunState()
{
    releaseBuffers();
    gVerbose = 0;
    gGnuplot = false;
    gValuelist = false;
    gWaveFormat = {};
    gNoSamples = 0;
    gLoadedSlots = 0;
    gActLength = 0;
    gFrameCount = 0;
    gInputEnded = false;
    gValuelistCalls = 0;
}
