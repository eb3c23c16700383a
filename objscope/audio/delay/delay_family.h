// The delay family: delay lines (plain and auto-calculating) with their
// taps, and the sample alignment delay, each with its editor.
#pragma once

namespace objscope {
class TEditorComm;
}

namespace objscope::audio {

void RegisterDelayFamily(TEditorComm& comm);

}  // namespace objscope::audio
