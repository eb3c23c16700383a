// The mixing and routing family: mixers, signal selectors and their internal
// variants, matrix routers and combiners.
#include "audio/mixing/matrix_objects.h"
#include "audio/mixing/mixer_objects.h"
#include "binding/editor_comm.h"

namespace objscope::audio {

void RegisterMixingFamily(TEditorComm&) {
    RegisterMixerClasses();
    RegisterMatrixClasses();
}

}  // namespace objscope::audio
