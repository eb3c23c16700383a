// The dynamics family: limiter, compressor, noise gate, envelope detector
// and audio comparator, each with its editor.
#pragma once

namespace objscope {
class TEditorComm;
}

namespace objscope::audio {

void RegisterDynamicsFamily(TEditorComm& comm);

}  // namespace objscope::audio
