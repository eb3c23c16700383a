#include "audio/audio_objects.h"

namespace objscope::audio {

void RegisterAudioObjects(TEditorComm& comm) {
    RegisterAudioFamilies(comm);
}

}  // namespace objscope::audio
