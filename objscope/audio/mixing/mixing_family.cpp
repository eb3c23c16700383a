// The mixing and routing family: mixers, signal selectors and their internal
// variants.
#include "audio/mixing/mixer_objects.h"
#include "binding/editor_comm.h"

namespace objscope::audio {

void RegisterMixingFamily(TEditorComm&) {
    RegisterMixerClasses();
}

}  // namespace objscope::audio
