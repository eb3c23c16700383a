// Listings: paging by start index, continuous numbering of created
// properties, the end of a listing reported through its callback also when
// the device misbehaves.
#include "comm_session.h"
#include "values/property_typed_values.h"
#include "protocol/tarn_items.h"

namespace comm_testing {
namespace {

std::vector<uint8_t> u16Item(uint16_t id, uint16_t value) {
    std::vector<uint8_t> bytes{static_cast<uint8_t>(value & 0xFF),
                               static_cast<uint8_t>(value >> 8)};
    return encodeItem(id, bytes);
}

TEST_F(CommSession, AnObjectListingOverThreePagesAsksFromTheRunningStartIndex) {
    const std::vector<std::vector<ObjectEntry>> pages = {
        {{1, 4, ""}, {2, 60, ""}, {3, 37, ""}}, {{4, 73, ""}, {5, 11, ""}}, {{6, 226, ""}}};
    std::vector<uint16_t> starts;
    runScript([&] {
        for (size_t i = 0; i < pages.size(); ++i) {
            auto request = nextRequest();
            ASSERT_TRUE(request);
            EXPECT_EQ(request->datagram.message, 1024);
            starts.push_back(request->u16At(0));
            reply(*request, *buildObjectListingReply(request->header, kDeviceItself, pages[i],
                                                     i + 1 < pages.size()));
        }
    });
    TVEKList<TVEKroot> objects;
    int calls = 0;
    EXPECT_GT(monitor_->GetAllObjects(kDeviceItself, objects, std::nullopt,
                                      TNotifyEvent([&](TTarn_Monitor&) { ++calls; })),
              0);
    EXPECT_TRUE(pumpUntil([&] { return calls > 0; }));
    stopScript();

    EXPECT_EQ(starts, (std::vector<uint16_t>{0, 3, 5}));
    ASSERT_EQ(objects.size(), 6u);
    EXPECT_EQ(objects.at(5)->ObjHandle(), 6);
    EXPECT_EQ(objects.at(5)->ClassID(), 226);
    EXPECT_EQ(objects.at(5)->DevHandle(), kDev);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(monitor_->TicketCount(), 0u);
    EXPECT_EQ(logCount("    Retrieving More..."), 2u);
    EXPECT_TRUE(logHas("Get ALL Objects for Dev ID: 1"));
    EXPECT_TRUE(logHas("Add Ticket (GetAll_Objs)"));
    EXPECT_TRUE(logHas("GetAllObjects Done"));
}

TEST_F(CommSession, APropertyListingWithoutCallbackWaitsAndNumbersPropertiesAcrossPages) {
    runScript([&] {
        uint16_t id = 100;
        for (int page = 0; page < 3; ++page) {
            auto request = nextRequest();
            ASSERT_TRUE(request);
            EXPECT_EQ(request->datagram.message, 19);
            EXPECT_EQ(request->header.Dest_Obj, 7);
            std::vector<PropertyListEntry> entries;
            for (int i = 0; i < 2; ++i, ++id)
                entries.push_back({2, u16Item(id, static_cast<uint16_t>(id * 10))});
            reply(*request,
                  *buildPropertyListingReply(request->header, {kNet, kDev, 7}, entries, page < 2));
        }
    });
    TVEKList<TVEKPropertyBase> properties;
    EXPECT_EQ(monitor_->GetAllProperties({kNet, kDev, 7}, properties), 0);
    stopScript();

    ASSERT_EQ(properties.size(), 6u);
    for (size_t i = 0; i < properties.size(); ++i) {
        EXPECT_EQ(properties.at(i)->Name(), "P" + std::to_string(i) + " (UWord)");
        auto* value = dynamic_cast<TU32UWord*>(properties.at(i));
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->Value(), (100 + i) * 10);
    }
    EXPECT_EQ(monitor_->TicketCount(), 0u);
}

TEST_F(CommSession, ADeviceThatAlwaysSaysMoreButSendsNothingEndsTheListingOnce) {
    runScript([&] {
        // Every answer claims more follows, with no entries; further
        // requests would go unanswered.
        while (auto request = nextRequest(1500ms)) {
            reply(*request, *buildObjectListingReply(request->header, kDeviceItself, {}, true));
        }
    });
    TVEKList<TVEKroot> objects;
    int calls = 0;
    monitor_->GetAllObjectsPlus(kDeviceItself, objects,
                                TNotifyEvent([&](TTarn_Monitor&) { ++calls; }));
    EXPECT_TRUE(pumpUntil([&] { return calls > 0; }));
    pumpFor(300ms);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(objects.size(), 0u);
    EXPECT_EQ(monitor_->TicketCount(), 0u);
    stopScript();
}

TEST_F(CommSession, AListingWhoseCallerHasGoneWritesNothingAndCallsNobody) {
    auto owner = std::make_shared<int>(0);
    int calls = 0;
    auto objects = std::make_unique<TVEKList<TVEKroot>>();
    monitor_->GetAllObjects(
        kDeviceItself, *objects, std::nullopt,
        TNotifyEvent::Bound(std::weak_ptr<int>(owner), [&](TTarn_Monitor&) { ++calls; }));
    auto request = nextRequest();
    ASSERT_TRUE(request);
    owner.reset();
    objects.reset();  // the list went with its owner
    std::vector<ObjectEntry> entries = {{1, 4, ""}};
    reply(*request, *buildObjectListingReply(request->header, kDeviceItself, entries, false));
    EXPECT_TRUE(pumpUntil([&] { return monitor_->TicketCount() == 0; }));
    EXPECT_EQ(calls, 0);
}

TEST_F(CommSession, AClassListingCallsBackAlsoWhenItFails) {
    TVEKList<TVEKroot> classes;
    int calls = 0;
    monitor_->SetRequestTimeOut(300);
    monitor_->GetAllClasses(kDeviceItself, classes, TNotifyEvent([&](TTarn_Monitor&) { ++calls; }));
    EXPECT_TRUE(pumpUntil([&] { return calls > 0; }));
    EXPECT_EQ(classes.size(), 0u);
    EXPECT_EQ(monitor_->TicketCount(), 0u);

    // And synchronously, without callback, from a device that answers.
    ASSERT_TRUE(nextRequest());  // the one left unanswered
    runScript([&] {
        auto request = nextRequest();
        ASSERT_TRUE(request);
        std::vector<uint16_t> ids = {4, 60, 226};
        reply(*request, *buildClassListingReply(request->header, kDeviceItself, ids));
    });
    monitor_->SetRequestTimeOut(2000);
    EXPECT_EQ(monitor_->GetAllClasses(kDeviceItself, classes), 0);
    stopScript();
    ASSERT_EQ(classes.size(), 3u);
    EXPECT_EQ(classes.at(2)->ClassID(), 226);
}

}  // namespace
}  // namespace comm_testing
