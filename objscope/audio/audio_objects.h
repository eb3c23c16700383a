// The one registration of the audio object classes and their editors, made
// by the program's start-up, the screenshot program and the tests alike.
#pragma once

namespace objscope {
class TEditorComm;
}

namespace objscope::audio {

// Registers every family's object classes and editor windows; the editors
// talk to the devices through `comm`, which must outlive them. Calling it
// again (with another `comm`) replaces the editors' communication object.
void RegisterAudioObjects(TEditorComm& comm);

// The families' own registrations (generated from the family folders).
void RegisterAudioFamilies(TEditorComm& comm);

}  // namespace objscope::audio
