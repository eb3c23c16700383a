// busprobe's capture schedule as read from BUSPROBE.INI on arbitrary file
// text: every item becomes a row of seven cells or is refused with a
// reason, and an item text written from a row reads back as that row.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz_touch.h"
#include "schedule_checks.h"
#include "schedule_items.h"

namespace {

const std::string& iniPath() {
    static std::string path = [] {
        char pattern[] = "/dev/shm/vek-fuzz-sched-XXXXXX";
        std::string dir = ::mkdtemp(pattern) != nullptr ? pattern : "/tmp";
        return dir + "/BUSPROBE.INI";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::ofstream file(iniPath(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    int rows = 0;
    for (const busprobe::ScheduleRow& row : busprobe::readScheduleRows(iniPath())) {
        if (++rows > 64) {
            break;  // each row reads the file again
        }
        std::string problem = busprobe::scheduleRowProblem(row);
        if (problem.empty()) {
            fuzz::require(!row[busprobe::kColLogFile].empty());
        }
        // Written and read back, a row stays the same row.
        busprobe::ScheduleRow back =
            busprobe::decodeScheduleItem(busprobe::encodeScheduleItem(rows, row));
        fuzz::require(back == row);
    }
    // The item text itself, as the parser of one value.
    std::string_view text(reinterpret_cast<const char*>(data), size);
    busprobe::ScheduleRow row = busprobe::decodeScheduleItem(text);
    fuzz::require(busprobe::decodeScheduleItem(busprobe::encodeScheduleItem(1, row)) == row);
    for (const auto& cell : {row[busprobe::kColStart], row[busprobe::kColStop]}) {
        if (auto seconds = busprobe::parseTimeOfDay(cell)) {
            fuzz::require(*seconds >= 0 && *seconds < 24 * 3600);
        }
    }
    return 0;
}
