#pragma once

// An axis scale on round values: ticks a step of 1, 2 or 5 times a power of
// ten apart, the range widened to the nearest ticks around the data, so that
// labels read 0, 5, 10 rather than -22, -16, -11.
struct NiceScale
{
    double min = 0;
    double max = 0;
    double step = 1;
    int tickCount = 1;
    // Digits after the decimal point the labels need to tell the ticks apart.
    int decimals = 0;

    // A scale of at most maxTicks ticks (3 at least) covering min..max. With
    // wholeSteps the step is 1 at least (counts are not halved). An empty
    // range gets one step on each side of its value.
    static NiceScale of(double min, double max, int maxTicks, bool wholeSteps = false);
};
