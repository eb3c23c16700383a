// The device's values of a band: what the property types let through.
#include "audio/shared/device_quantisation.h"

#include <gtest/gtest.h>

#include <cmath>

#include "audio/filters/filter_set.h"

using namespace objscope::audio;

TEST(DeviceQuantisation, ValuesTheDeviceTakesAndWhatItMakesOfTheRest) {
    const struct {
        const char* what;
        BandValues requested;
        BandValues device;
        bool differs;
    } cases[] = {
        {"exact values pass unchanged", {6.5, 1000.0, 2.5}, {6.5, 1000.0, 2.5}, false},
        {"gain goes to half decibels", {3.2, 1000.0, 2.5}, {3.0, 1000.0, 2.5}, true},
        {"gain is limited by its type", {40.0, 1000.0, 2.5}, {27.5, 1000.0, 2.5}, true},
        {"Q goes to 1/256 steps", {0.0, 1000.0, 0.707}, {0.0, 1000.0, 181.0 / 256}, true},
        {"frequency goes to 1/10000 decade and 0.1 Hz",
         {0.0, 1234.56, 2.5},
         {0.0, 1234.5, 2.5},
         true},
    };
    for (const auto& c : cases) {
        const BandValues got = DeviceValues(c.requested);
        EXPECT_NEAR(got.gainDb, c.device.gainDb, 1e-9) << c.what;
        EXPECT_NEAR(got.frequency, c.device.frequency, 0.051) << c.what;
        EXPECT_NEAR(got.q, c.device.q, 1e-9) << c.what;
        EXPECT_EQ(DiffersOnDevice(c.requested), c.differs) << c.what;
    }
}

TEST(DeviceQuantisation, DeviceCurveOfABandDiffersFromTheRequestedOne) {
    TFilterSet requested(0, 1), device(0, 1);
    for (TFilterSet* set : {&requested, &device}) {
        TFilterBand& band = set->Parametric(0);
        band.SetGainDb(7.3);
        band.SetFrequency(1000);
        band.SetQ(4.333);
        band.Recalculate();
    }
    ApplyDeviceValues(device.Parametric(0));
    EXPECT_NEAR(EvaluateResponse(requested, 1000).magnitudeDb, 7.3, 1e-9);
    EXPECT_NEAR(EvaluateResponse(device, 1000).magnitudeDb, 7.5, 1e-9);
}
