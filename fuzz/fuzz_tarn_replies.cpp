// Replies and notifications as objscope receives them from devices.
#include <cstddef>
#include <cstdint>
#include <span>

#include "protocol/tarn_header.h"
#include "protocol/tarn_methods.h"
#include "protocol/tarn_notification.h"
#include "protocol/tarn_replies.h"
#include "protocol/tarn_status.h"
#include "fuzz_touch.h"

using namespace objscope;

namespace {

template <typename Page>
void checkPage(const Page& page) {
    fuzz::require(page.entries.size() <= page.declaredCount);
}

void checkRecordPager(std::span<const uint8_t> payload, RecordPageLayout layout) {
    RecordPager pager(layout);
    size_t taken = pager.addPage(payload);
    pager.addPage(payload);
    fuzz::require(pager.recordCount() == 2 * taken);
    for (size_t i = 0; i < pager.recordCount(); ++i) {
        fuzz::require(pager.record(i).size() == layout.recordSize);
        fuzz::touch(pager.record(i));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> block(data, size);

    fuzz::require(!StatusText(replyStatusValue(block)).empty());
    readTarnHeader(block);
    fuzz::requireInside(replyPayload(block), data, size);
    if (auto item = decodeItemReply(block))
        fuzz::requireInside(item->value, data, size);

    auto properties = decodePropertyListing(block);
    checkPage(properties);
    for (const auto& entry : properties.entries)
        fuzz::requireInside(entry.item.value, data, size);
    checkPage(decodeObjectListing(block));
    checkPage(decodeObjectPlusListing(block));
    checkPage(decodeClassListing(block));
    nextPageStart(0xFFF0, properties.entries.size());

    if (auto notification = decodeNotification(block, 0x8031)) {
        fuzz::require(notification->registrationNumber >= 12);
        if (notification->item)
            fuzz::requireInside(notification->item->value, data, size);
    }

    auto payload = replyPayload(block);
    methodResult(payload);
    checkRecordPager(payload, kTestListLayout);
    checkRecordPager(payload, kTestResultsLayout);
    return 0;
}
