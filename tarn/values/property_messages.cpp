#include "values/property_messages.h"

#include <cstdio>
#include <utility>

namespace objscope {
namespace {

PropertyMessageSink& CurrentSink() {
    static PropertyMessageSink sink;
    return sink;
}

}  // namespace

PropertyMessageSink SetPropertyMessageSink(PropertyMessageSink sink) {
    return std::exchange(CurrentSink(), std::move(sink));
}

void ShowPropertyMessage(const std::string& text) {
    if (CurrentSink())
        CurrentSink()(text);
    else
        std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace objscope
